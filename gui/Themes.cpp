// Theme services.
#include "gui/Themes.h"

#include "gui/GdiGuards.h"

#include <uxtheme.h>

TThemeData::TThemeData(HWND wnd, const wchar_t* classList) : theme_(OpenThemeData(wnd, classList)) {}

TThemeData::~TThemeData() {
    if (theme_) CloseThemeData(theme_);
}

TThemeServices& ThemeServices() {
    static TThemeServices services;
    return services;
}

bool TThemeServices::ThemesAvailable() const {
    return IsThemeActive() && IsAppThemed();
}

bool TThemeServices::ThemesEnabled() const {
    if (override_) return *override_;
    return ThemesAvailable();
}

void TThemeServices::DrawParentBackground(HWND wnd, HDC dc, const RECT* rect) {
    HWND parent = GetParent(wnd);
    if (!parent) return;
    if (ThemesEnabled()) {
        ++themedDraws_;
        RECT r = rect ? *rect : RECT{};
        DrawThemeParentBackground(wnd, dc, rect ? &r : nullptr);
        return;
    }
    ++classicDraws_;
    // Classic: let the parent paint itself into our DC, shifted so that its
    // client coordinates line up with ours.
    TSavedDC saved(dc);
    POINT p{0, 0};
    MapWindowPoints(wnd, parent, &p, 1);
    OffsetWindowOrgEx(dc, p.x, p.y, nullptr);
    if (rect) {
        RECT clip = *rect;
        OffsetRect(&clip, p.x, p.y);
        IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    }
    SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

bool TThemeServices::DrawElement(HDC dc, const TThemedElementDetails& details, const RECT& rect, HWND wnd) {
    if (ThemesEnabled()) {
        TThemeData theme(wnd, details.ClassList);
        if (theme &&
            SUCCEEDED(DrawThemeBackground(theme.Get(), dc, details.Part, details.State, &rect, nullptr))) {
            ++themedDraws_;
            return true;
        }
    }
    ++classicDraws_;
    RECT r = rect;
    DrawFrameControl(dc, &r, details.ClassicType, details.ClassicState);
    return false;
}

void TThemeServices::DrawText(HDC dc, const TThemedElementDetails& details, const std::string& text,
                              RECT rect, UINT flags, HWND wnd) {
    if (ThemesEnabled()) {
        TThemeData theme(wnd, details.ClassList);
        if (theme) {
            int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
            std::wstring wide(static_cast<size_t>(n), L'\0');
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
            if (SUCCEEDED(::DrawThemeText(theme.Get(), dc, details.Part, details.State, wide.c_str(), n,
                                          flags, 0, &rect))) {
                ++themedDraws_;
                return;
            }
        }
    }
    ++classicDraws_;
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
}
