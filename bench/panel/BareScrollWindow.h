// The platform's floor for scrolling the side panel by a page: a plain Win32 window, no engine,
// that scrolls as the panel must. Its scroll bar control is moved with SetScrollInfo, the pixels
// that stay in view move with ScrollWindowEx, and WM_PAINT draws the uncovered strip with
// ExtTextOutA: the white margin, the grey box with its frames, and each line's mark and link
// title as two runs in the panel's font and their two colours, the title underlined. Each
// character is placed at the advance the platform measures for it in its text (ExtTextOutA's
// lpDx), as any window must place text to draw it where it was measured.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Where the panel shows its link lines, in document pixels: what the bare window draws.
struct TBareScrollPage {
    struct TLine {
        int32_t Baseline = 0; // document y
        std::string Title;
    };
    std::vector<TLine> Lines; // top to bottom, one height apart
    int32_t LineHeight = 13;
    int32_t MarkX = 0;                 // where the mark starts (the title follows it)
    int32_t BoxLeft = 0, BoxRight = 0; // the box's outer frame columns
    int32_t Width = 0, Height = 0;     // of the painted area (the scroll bar goes beside it)
    int32_t DocumentHeight = 0;
    int32_t Page = 0; // one page of scrolling
    COLORREF Text = 0, Link = 0, Background = 0, Box = 0, Light = 0, Shadow = 0;
};

class TBareScrollWindow {
public:
    // A top-level window at (Left, Top) showing Page from the top; its fonts made once.
    TBareScrollWindow(const TBareScrollPage& Page, int Left, int Top);
    ~TBareScrollWindow();
    TBareScrollWindow(const TBareScrollWindow&) = delete;
    TBareScrollWindow& operator=(const TBareScrollWindow&) = delete;

    // Scrolls to Pos (document y) the way the panel does it: the bar, the pixels, the strip.
    void ScrollTo(int32_t Pos);
    int32_t Position() const { return pos_; }
    HWND PaintWindow() const { return paint_; }
    // What WM_PAINT draws of Strip (client pixels) on DC.
    void Paint(HDC DC, const RECT& Strip);

private:
    static LRESULT CALLBACK PaintProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

    const TBareScrollPage& page_;
    HWND frame_ = nullptr, paint_ = nullptr, bar_ = nullptr;
    HFONT font_ = nullptr;
    HBRUSH background_ = nullptr, box_ = nullptr, light_ = nullptr, shadow_ = nullptr, link_ = nullptr;
    std::vector<INT> markAdvances_;                  // of the mark's two characters
    std::vector<std::vector<INT>> advances_;         // of each line's title's characters
    std::vector<int32_t> widths_;                    // of each line's title (its advances' sum)
    int32_t underlineTop_ = 1, underlineHeight_ = 1; // from the baseline
    int32_t pos_ = 0;
    int32_t titleX_ = 0;
};
