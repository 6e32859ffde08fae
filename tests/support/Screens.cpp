// Window screenshots as PNG files.
#include "tests/support/Screens.h"
#include "tests/support/ScreenWait.h"

#include "gui/GdiGuards.h"
#include "gui/GraphicImages.h"
#include "tests/support/PngFile.h"

#include <stdexcept>

void CaptureWindow(HWND Wnd, TBitmap& Shot) {
    // What the window painted last, once the display shows it.
    mv::test::WaitUntilShown(Wnd);
    RECT r{};
    GetWindowRect(Wnd, &r);
    Shot.SetSize(r.right - r.left, r.bottom - r.top);
    TWindowDC screen(nullptr);
    BitBlt(Shot.Canvas().Handle(), 0, 0, r.right - r.left, r.bottom - r.top, screen.Get(), r.left, r.top,
           SRCCOPY);
}

std::string EncodePng(TBitmap& Bitmap) {
    return mv::test::EncodePng(Bitmap.Width(), Bitmap.Height(), [&Bitmap](int Y, uint8_t* Rgb) {
        const auto* Row = static_cast<const uint8_t*>(Bitmap.ScanLine(Y));
        for (int X = 0; X < Bitmap.Width(); ++X) {
            Rgb[X * 3] = Row[X * 3 + 2];
            Rgb[X * 3 + 1] = Row[X * 3 + 1];
            Rgb[X * 3 + 2] = Row[X * 3];
        }
    });
}

std::string SaveScreen(HWND Wnd, const std::string& Name) {
    TBitmap shot(1, 1);
    CaptureWindow(Wnd, shot);
    const std::string bytes = EncodePng(shot);
    if (!mv::test::WriteFile(MV_SCREENS_DIR, Name + ".png", bytes))
        throw std::runtime_error("cannot write " + Name + ".png in " MV_SCREENS_DIR);
    return std::string(MV_SCREENS_DIR) + "/" + Name + ".png";
}
