// Waits on what the display shows rather than on the clock.
#include "tests/support/ScreenWait.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace mv::test {

std::vector<uint32_t> ReadPixels(HDC Source, int X, int Y, int Width, int Height) {
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof Info.bmiHeader;
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    void* Bits = nullptr;
    HDC Memory = CreateCompatibleDC(Source);
    HBITMAP Dib = CreateDIBSection(Memory, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    HGDIOBJ Old = SelectObject(Memory, Dib);
    BitBlt(Memory, 0, 0, Width, Height, Source, X, Y, SRCCOPY);
    GdiFlush();
    const auto* First = static_cast<const uint32_t*>(Bits);
    std::vector<uint32_t> Pixels(First, First + static_cast<size_t>(Width) * Height);
    for (uint32_t& Pixel : Pixels)
        Pixel &= 0xFFFFFF;
    SelectObject(Memory, Old);
    DeleteObject(Dib);
    DeleteDC(Memory);
    return Pixels;
}

namespace {

// Which pixels of Bounds (the window's rectangle) lie off the screen or under
// windows above it: the display shows those, not the window.
std::vector<bool> Covered(HWND Window, const RECT& Bounds) {
    const int Width = Bounds.right - Bounds.left, Height = Bounds.bottom - Bounds.top;
    std::vector<bool> Mask(static_cast<size_t>(Width) * Height, false);
    // Off the screen nothing is shown.
    const int ScreenLeft = GetSystemMetrics(SM_XVIRTUALSCREEN),
              ScreenTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int ScreenRight = ScreenLeft + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int ScreenBottom = ScreenTop + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    for (int Y = Bounds.top; Y < Bounds.bottom; ++Y)
        for (int X = Bounds.left; X < Bounds.right; ++X)
            if (X < ScreenLeft || X >= ScreenRight || Y < ScreenTop || Y >= ScreenBottom)
                Mask[static_cast<size_t>(Y - Bounds.top) * Width + (X - Bounds.left)] = true;
    HWND Top = GetAncestor(Window, GA_ROOT);
    for (HWND Above = GetWindow(Top, GW_HWNDPREV); Above; Above = GetWindow(Above, GW_HWNDPREV)) {
        RECT R{};
        if (!IsWindowVisible(Above) || !GetWindowRect(Above, &R)) continue;
        for (int Y = std::max(R.top, Bounds.top); Y < std::min(R.bottom, Bounds.bottom); ++Y)
            for (int X = std::max(R.left, Bounds.left); X < std::min(R.right, Bounds.right); ++X)
                Mask[static_cast<size_t>(Y - Bounds.top) * Width + (X - Bounds.left)] = true;
    }
    return Mask;
}

// True when the screen shows every visible pixel as the window holds it.
bool ScreenAgrees(HWND Window) {
    RECT Bounds{};
    GetWindowRect(Window, &Bounds);
    const int Width = Bounds.right - Bounds.left, Height = Bounds.bottom - Bounds.top;
    if (Width <= 0 || Height <= 0) return true;
    HDC Own = GetWindowDC(Window);
    const std::vector<uint32_t> Painted = ReadPixels(Own, 0, 0, Width, Height);
    ReleaseDC(Window, Own);
    HDC Screen = GetDC(nullptr);
    const std::vector<uint32_t> Shown = ReadPixels(Screen, Bounds.left, Bounds.top, Width, Height);
    ReleaseDC(nullptr, Screen);
    const std::vector<bool> Hidden = Covered(Window, Bounds);
    for (size_t At = 0; At < Painted.size(); ++At)
        if (!Hidden[At] && Painted[At] != Shown[At]) return false;
    return true;
}

void DispatchWaiting() {
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
        if (Msg.message == WM_QUIT) continue;
        TranslateMessage(&Msg);
        DispatchMessageA(&Msg);
    }
}

} // namespace

bool PumpUntilIdle(unsigned TimeoutMs) {
    const DWORD Start = GetTickCount();
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
        if (Msg.message != WM_QUIT) {
            TranslateMessage(&Msg);
            DispatchMessageA(&Msg);
        }
        if (GetTickCount() - Start >= TimeoutMs) return false;
    }
    return true;
}

bool WaitUntilShown(HWND Window, unsigned TimeoutMs) {
    RedrawWindow(Window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    const DWORD Start = GetTickCount();
    for (;;) {
        DispatchWaiting();
        if (ScreenAgrees(Window)) return true;
        if (GetTickCount() - Start >= TimeoutMs) return false;
        // Nothing to do until the display catches up: let the driver's events in.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool RepaintAndWaitUntilShown(HWND Window, unsigned TimeoutMs) {
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return WaitUntilShown(Window, TimeoutMs);
}

} // namespace mv::test
