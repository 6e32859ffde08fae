// Theme services over uxtheme: whether themes are on (with a test override), parent backgrounds, themed
// parts.
#pragma once

#include "gui/Graphics.h"

#include <windows.h>

#include <optional>
#include <string>

class TControl;
class TWinControl;

// An open theme handle for one class list ("BUTTON", "EDIT", ...), closed on destruction.
class TThemeData {
public:
    TThemeData(HWND wnd, const wchar_t* classList);
    ~TThemeData();
    TThemeData(const TThemeData&) = delete;
    TThemeData& operator=(const TThemeData&) = delete;
    HANDLE Get() const { return theme_; }
    explicit operator bool() const { return theme_ != nullptr; }

private:
    HANDLE theme_ = nullptr;
};

// One part of a themed control: its class list, part and state numbers (the
// uxtheme "vsstyle" values), plus the classic-style fallback for DrawFrameControl.
struct TThemedElementDetails {
    const wchar_t* ClassList = L"BUTTON";
    int Part = 0;
    int State = 0;
    UINT ClassicType = DFC_BUTTON;
    UINT ClassicState = DFCS_BUTTONPUSH;
};

class TThemeServices {
public:
    // True when drawing should use the theme. The override (tests) wins over
    // what the system says.
    bool ThemesEnabled() const;
    // What the system says: uxtheme is there and the application is themed.
    bool ThemesAvailable() const;
    void SetOverride(std::optional<bool> forced) { override_ = forced; }
    std::optional<bool> Override() const { return override_; }

    // Paints the parent's background behind a control into dc (in the control's
    // client coordinates). Themed: DrawThemeParentBackground; classic: the parent
    // erases (WM_ERASEBKGND) and paints (WM_PRINTCLIENT) with the origin moved.
    void DrawParentBackground(HWND wnd, HDC dc, const RECT* rect);
    // Draws one element. Falls back to the classic look when themes are off or
    // the theme has no such part. Returns true when the theme drew it.
    bool DrawElement(HDC dc, const TThemedElementDetails& details, const RECT& rect, HWND wnd = nullptr);
    // Draws text with the theme's font and colour for the element (classic: DrawText).
    void DrawText(HDC dc, const TThemedElementDetails& details, const std::string& text, RECT rect,
                  UINT flags, HWND wnd = nullptr);
    // Number of times each path ran (diagnostics and tests).
    int ThemedDraws() const { return themedDraws_; }
    int ClassicDraws() const { return classicDraws_; }

private:
    std::optional<bool> override_;
    int themedDraws_ = 0;
    int classicDraws_ = 0;
};

TThemeServices& ThemeServices();

// Forces themes on or off for the life of the scope (tests).
class TThemeOverrideScope {
public:
    explicit TThemeOverrideScope(bool themed) : previous_(ThemeServices().Override()) {
        ThemeServices().SetOverride(themed);
    }
    ~TThemeOverrideScope() { ThemeServices().SetOverride(previous_); }
    TThemeOverrideScope(const TThemeOverrideScope&) = delete;
    TThemeOverrideScope& operator=(const TThemeOverrideScope&) = delete;

private:
    std::optional<bool> previous_;
};
