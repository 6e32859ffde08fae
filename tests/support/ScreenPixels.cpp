// Pixels of windows on the display.
#include "tests/support/ScreenPixels.h"

#include "tests/support/Screens.h"
#include "tests/support/ScreenWait.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Paints with Flags, then waits until the display shows the window; a test
// fails rather than read a half-shown window.
void PaintAndSettle(HWND Window, UINT Flags) {
    RedrawWindow(Window, nullptr, nullptr, Flags);
    if (!mv::test::WaitUntilShown(Window)) throw std::runtime_error("the display never showed the window");
}

std::vector<std::uint32_t> ReadScreen(int X, int Y, int W, int H) {
    HDC Screen = GetDC(nullptr);
    HDC Mem = CreateCompatibleDC(Screen);
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
    Info.bmiHeader.biWidth = W;
    Info.bmiHeader.biHeight = -H;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    void* Bits = nullptr;
    HBITMAP Dib = CreateDIBSection(Screen, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    HGDIOBJ Old = SelectObject(Mem, Dib);
    BitBlt(Mem, 0, 0, W, H, Screen, X, Y, SRCCOPY);
    GdiFlush();
    std::vector<std::uint32_t> Pixels(static_cast<const std::uint32_t*>(Bits),
                                      static_cast<const std::uint32_t*>(Bits) + static_cast<size_t>(W) * H);
    for (auto& P : Pixels)
        P &= 0xFFFFFF;
    SelectObject(Mem, Old);
    DeleteObject(Dib);
    DeleteDC(Mem);
    ReleaseDC(nullptr, Screen);
    return Pixels;
}

} // namespace

void SettleWindow(HWND Window) {
    PaintAndSettle(Window, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_FRAME);
}

std::vector<std::uint32_t> CaptureClient(HWND Window, int& Width, int& Height) {
    PaintAndSettle(Window, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
    return CaptureClientAsShown(Window, Width, Height);
}

std::vector<std::uint32_t> CaptureClientAsShown(HWND Window, int& Width, int& Height) {
    PaintAndSettle(Window, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT C{};
    GetClientRect(Window, &C);
    POINT Origin{0, 0};
    ClientToScreen(Window, &Origin);
    Width = C.right;
    Height = C.bottom;
    return ReadScreen(Origin.x, Origin.y, Width, Height);
}

int CountPixels(const std::vector<std::uint32_t>& Pixels, int Width, const RECT& Part,
                const std::function<bool(std::uint32_t)>& Match) {
    const int Height = Width > 0 ? static_cast<int>(Pixels.size()) / Width : 0;
    int Count = 0;
    for (int Y = std::max<int>(Part.top, 0); Y < std::min<int>(Part.bottom, Height); ++Y)
        for (int X = std::max<int>(Part.left, 0); X < std::min<int>(Part.right, Width); ++X)
            Count += Match(Pixels[static_cast<size_t>(Y) * Width + X]);
    return Count;
}

int CountDark(const std::vector<std::uint32_t>& Pixels, int Width, const RECT& Part) {
    return CountPixels(Pixels, Width, Part, [](std::uint32_t P) {
        return ((P >> 16) & 0xFF) + ((P >> 8) & 0xFF) + (P & 0xFF) < 3 * 96;
    });
}

std::string SaveSettledScreen(HWND Window, const std::string& Name) {
    SettleWindow(Window);
    return SaveScreen(Window, Name);
}
