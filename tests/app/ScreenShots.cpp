// Window screenshots as PNG files.
#include "tests/app/ScreenShots.h"

#include "tests/support/PngFile.h"

#include <algorithm>

namespace mv::app::test {

std::string EncodePng(int Width, int Height, const std::vector<uint8_t>& Bgr) {
    return mv::test::EncodePng(Width, Height, [&](int Y, uint8_t* Rgb) {
        const uint8_t* Row = Bgr.data() + static_cast<size_t>(Y) * Width * 3;
        for (int X = 0; X < Width; ++X) {
            Rgb[X * 3] = Row[X * 3 + 2];
            Rgb[X * 3 + 1] = Row[X * 3 + 1];
            Rgb[X * 3 + 2] = Row[X * 3];
        }
    });
}

std::vector<uint8_t> SaveWindowPng(HWND Window, const std::string& Name, int* Width, int* Height) {
    RECT R{};
    GetWindowRect(Window, &R);
    const int W = R.right - R.left, H = R.bottom - R.top;
    std::vector<uint8_t> Pixels(static_cast<size_t>(W) * H * 3);
    HDC Screen = GetDC(nullptr);
    HDC Memory = CreateCompatibleDC(Screen);
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = W;
    Info.bmiHeader.biHeight = -H;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 24;
    void* Bits = nullptr;
    HBITMAP Dib = CreateDIBSection(Screen, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    HGDIOBJ Old = SelectObject(Memory, Dib);
    BitBlt(Memory, 0, 0, W, H, Screen, R.left, R.top, SRCCOPY);
    GdiFlush();
    const size_t Stride = (static_cast<size_t>(W) * 3 + 3) & ~size_t(3);
    for (int Y = 0; Y < H; ++Y)
        std::copy_n(static_cast<uint8_t*>(Bits) + Stride * Y, static_cast<size_t>(W) * 3,
                    Pixels.begin() + static_cast<ptrdiff_t>(static_cast<size_t>(Y) * W * 3));
    SelectObject(Memory, Old);
    DeleteObject(Dib);
    DeleteDC(Memory);
    ReleaseDC(nullptr, Screen);

    mv::test::WriteFile(MV_SCREENS_DIR, Name + ".png", EncodePng(W, H, Pixels));
    if (Width) *Width = W;
    if (Height) *Height = H;
    return Pixels;
}

} // namespace mv::app::test
