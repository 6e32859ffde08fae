// A plain Win32 window scrolling a page of link lines: the panel's steps with nothing around them.
#include "bench/panel/BareScrollWindow.h"

#include <algorithm>

namespace {

constexpr char kFrameClass[] = "MvBareScrollFrame";
constexpr char kPaintClass[] = "MvBareScrollPaint";

HFONT MakeFont() {
    HDC Screen = GetDC(nullptr);
    const int Ppi = GetDeviceCaps(Screen, LOGPIXELSY);
    ReleaseDC(nullptr, Screen);
    return CreateFontA(-MulDiv(8, Ppi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
}

void RegisterClasses(WNDPROC PaintProc) {
    static bool Done = false;
    if (Done) return;
    Done = true;
    WNDCLASSA Class{};
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    Class.lpfnWndProc = DefWindowProcA;
    Class.lpszClassName = kFrameClass;
    RegisterClassA(&Class);
    Class.lpfnWndProc = PaintProc;
    Class.cbWndExtra = sizeof(void*);
    Class.lpszClassName = kPaintClass;
    RegisterClassA(&Class);
}

} // namespace

TBareScrollWindow::TBareScrollWindow(const TBareScrollPage& Page, int Left, int Top) : page_(Page) {
    RegisterClasses(PaintProc);
    font_ = MakeFont();
    background_ = CreateSolidBrush(Page.Background);
    box_ = CreateSolidBrush(Page.Box);
    light_ = CreateSolidBrush(Page.Light);
    shadow_ = CreateSolidBrush(Page.Shadow);
    link_ = CreateSolidBrush(Page.Link);
    {
        // What the lines need measured, found once: each character's advance in its text (the
        // platform's partial extents, the last ending at the whole text's extent), where the title
        // starts, each title's width and where the font puts its underline.
        HDC Screen = GetDC(nullptr);
        HGDIOBJ Old = SelectObject(Screen, font_);
        auto Advances = [Screen](const std::string& Text) {
            std::vector<INT> Dx(Text.size());
            SIZE Size{};
            if (Text.empty() || !GetTextExtentExPointA(Screen, Text.data(), static_cast<int>(Text.size()), 0,
                                                       nullptr, Dx.data(), &Size))
                return Dx;
            Dx.back() = Size.cx;
            for (size_t K = Dx.size() - 1; K > 0; --K)
                Dx[K] -= Dx[K - 1];
            return Dx;
        };
        markAdvances_ = Advances("\xBB ");
        titleX_ = Page.MarkX + markAdvances_[0] + markAdvances_[1];
        advances_.reserve(Page.Lines.size());
        widths_.reserve(Page.Lines.size());
        for (const auto& L : Page.Lines) {
            advances_.push_back(Advances(L.Title));
            int32_t Width = 0;
            for (const INT A : advances_.back())
                Width += A;
            widths_.push_back(Width);
        }
        OUTLINETEXTMETRICA Otm{};
        Otm.otmSize = sizeof Otm;
        if (GetOutlineTextMetricsA(Screen, sizeof Otm, &Otm)) {
            underlineHeight_ = std::max<int32_t>(Otm.otmsUnderscoreSize, 1);
            underlineTop_ = -Otm.otmsUnderscorePosition - underlineHeight_ / 2;
        }
        SelectObject(Screen, Old);
        ReleaseDC(nullptr, Screen);
    }
    const int BarWidth = GetSystemMetrics(SM_CXVSCROLL);
    frame_ = CreateWindowExA(WS_EX_TOOLWINDOW, kFrameClass, "", WS_POPUP | WS_VISIBLE, Left, Top,
                             Page.Width + BarWidth, Page.Height, nullptr, nullptr, GetModuleHandleA(nullptr),
                             nullptr);
    paint_ = CreateWindowExA(0, kPaintClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, Page.Width,
                             Page.Height, frame_, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(paint_, 0, reinterpret_cast<LONG_PTR>(this));
    bar_ = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, Page.Width, 0, BarWidth,
                           Page.Height, frame_, nullptr, GetModuleHandleA(nullptr), nullptr);
    SCROLLINFO Info{};
    Info.cbSize = sizeof Info;
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Info.nMax = Page.DocumentHeight;
    Info.nPage = static_cast<UINT>(Page.Height + 1);
    SetScrollInfo(bar_, SB_CTL, &Info, TRUE);
    UpdateWindow(frame_);
    UpdateWindow(paint_);
}

TBareScrollWindow::~TBareScrollWindow() {
    DestroyWindow(frame_);
    for (HGDIOBJ Object :
         {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(background_), static_cast<HGDIOBJ>(box_),
          static_cast<HGDIOBJ>(light_), static_cast<HGDIOBJ>(shadow_), static_cast<HGDIOBJ>(link_)})
        DeleteObject(Object);
}

void TBareScrollWindow::ScrollTo(int32_t Pos) {
    Pos = std::clamp(Pos, 0, std::max(0, page_.DocumentHeight - page_.Height));
    if (Pos == pos_) return;
    SCROLLINFO Info{};
    Info.cbSize = sizeof Info;
    Info.fMask = SIF_POS;
    Info.nPos = Pos;
    SetScrollInfo(bar_, SB_CTL, &Info, TRUE);
    const int32_t Old = pos_;
    pos_ = Pos;
    ScrollWindowEx(paint_, 0, Old - Pos, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    UpdateWindow(paint_);
}

LRESULT CALLBACK TBareScrollWindow::PaintProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* Self = reinterpret_cast<TBareScrollWindow*>(GetWindowLongPtrA(Window, 0));
    switch (Msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT Ps;
        HDC DC = BeginPaint(Window, &Ps);
        if (Self) Self->Paint(DC, Ps.rcPaint);
        EndPaint(Window, &Ps);
        return 0;
    }
    default:
        return DefWindowProcA(Window, Msg, WParam, LParam);
    }
}

void TBareScrollWindow::Paint(HDC DC, const RECT& Strip) {
    const TBareScrollPage& P = page_;
    // The margins beside the box, its two frames (raised outside, sunken inside) and its inside.
    auto Fill = [&](int L, int R, HBRUSH Brush) {
        RECT Rc{std::max<LONG>(L, Strip.left), Strip.top, std::min<LONG>(R, Strip.right), Strip.bottom};
        if (Rc.left < Rc.right) FillRect(DC, &Rc, Brush);
    };
    Fill(0, P.BoxLeft, background_);
    Fill(P.BoxLeft, P.BoxLeft + 1, light_);
    Fill(P.BoxLeft + 1, P.BoxLeft + 2, shadow_);
    Fill(P.BoxLeft + 2, P.BoxRight - 1, box_);
    Fill(P.BoxRight - 1, P.BoxRight, light_);
    Fill(P.BoxRight, P.BoxRight + 1, shadow_);
    Fill(P.BoxRight + 1, P.Width, background_);
    // The lines reaching into the strip: the mark, then the title and its underline (the plain
    // font's text and a bar: the same pixels as the underlined font's, and far cheaper on Wine).
    SetBkMode(DC, TRANSPARENT);
    SetTextAlign(DC, TA_BASELINE | TA_LEFT);
    HGDIOBJ Old = SelectObject(DC, font_);
    const int32_t Top = Strip.top + pos_, Bottom = Strip.bottom + pos_;
    const auto First = std::lower_bound(P.Lines.begin(), P.Lines.end(), Top, [&](const auto& L, int32_t Y) {
        return L.Baseline + P.LineHeight < Y;
    });
    for (auto L = First; L != P.Lines.end() && L->Baseline - P.LineHeight < Bottom; ++L) {
        const int Y = L->Baseline - pos_;
        const size_t Line = static_cast<size_t>(L - P.Lines.begin());
        SetTextColor(DC, P.Text);
        ExtTextOutA(DC, P.MarkX, Y, 0, nullptr, "\xBB ", 2, markAdvances_.data());
        SetTextColor(DC, P.Link);
        ExtTextOutA(DC, titleX_, Y, 0, nullptr, L->Title.data(), static_cast<UINT>(L->Title.size()),
                    advances_[Line].data());
        const RECT Bar{titleX_, Y + underlineTop_, titleX_ + widths_[Line],
                       Y + underlineTop_ + underlineHeight_};
        FillRect(DC, &Bar, link_);
    }
    SelectObject(DC, Old);
}
