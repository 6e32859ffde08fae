// PNG pictures of the tests' windows.
#include "tests/app/Screens.h"

#include "tests/support/PngFile.h"
#include "tests/support/ScreenWait.h"

#include <algorithm>
#include <cstdio>

namespace mv::app::test {

namespace {

TPicture FromDib(HDC Source, int X, int Y, int Width, int Height) {
    TPicture P;
    P.Width = Width;
    P.Height = Height;
    P.Pixels = mv::test::ReadPixels(Source, X, Y, Width, Height);
    return P;
}

} // namespace

TPicture CaptureScreen(const RECT& Rect) {
    HDC Screen = GetDC(nullptr);
    TPicture P = FromDib(Screen, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top);
    ReleaseDC(nullptr, Screen);
    return P;
}

TPicture CaptureSettledScreen(const RECT& Rect, unsigned TimeoutMs) {
    const DWORD Start = GetTickCount();
    TPicture Last = CaptureScreen(Rect);
    for (;;) {
        Sleep(20);
        TPicture Next = CaptureScreen(Rect);
        const bool Blank = std::all_of(Next.Pixels.begin(), Next.Pixels.end(),
                                       [&Next](uint32_t P) { return P == Next.Pixels.front(); });
        if ((!Blank && Next.Pixels == Last.Pixels) || GetTickCount() - Start >= TimeoutMs) return Next;
        Last = std::move(Next);
    }
}

TPicture DrawIcon(HICON Icon, int Size, uint32_t Background) {
    HDC Screen = GetDC(nullptr);
    HDC Memory = CreateCompatibleDC(Screen);
    HBITMAP Canvas = CreateCompatibleBitmap(Screen, Size, Size);
    HGDIOBJ Old = SelectObject(Memory, Canvas);
    // COLORREF is 0x00BBGGRR.
    HBRUSH Brush =
        CreateSolidBrush(RGB((Background >> 16) & 0xFF, (Background >> 8) & 0xFF, Background & 0xFF));
    RECT All{0, 0, Size, Size};
    FillRect(Memory, &All, Brush);
    DeleteObject(Brush);
    DrawIconEx(Memory, 0, 0, Icon, Size, Size, 0, nullptr, DI_NORMAL);
    TPicture P = FromDib(Memory, 0, 0, Size, Size);
    SelectObject(Memory, Old);
    DeleteObject(Canvas);
    DeleteDC(Memory);
    ReleaseDC(nullptr, Screen);
    return P;
}

bool SavePng(const TPicture& Picture, const std::string& Path) {
    const std::string File =
        mv::test::EncodePng(Picture.Width, Picture.Height, [&Picture](int Y, uint8_t* Rgb) {
            for (int X = 0; X < Picture.Width; ++X) {
                const uint32_t C = Picture.At(X, Y);
                Rgb[X * 3] = static_cast<uint8_t>(C >> 16);
                Rgb[X * 3 + 1] = static_cast<uint8_t>(C >> 8);
                Rgb[X * 3 + 2] = static_cast<uint8_t>(C);
            }
        });
    std::FILE* Out = std::fopen(Path.c_str(), "wb");
    if (!Out) return false;
    const bool Written = std::fwrite(File.data(), 1, File.size(), Out) == File.size();
    return std::fclose(Out) == 0 && Written;
}

std::string ScreensFolder() {
    return MV_SCREENS_DIR_W;
}

bool SaveScreen(const TPicture& Picture, const std::string& Name) {
    CreateDirectoryA(ScreensFolder().c_str(), nullptr);
    return SavePng(Picture, ScreensFolder() + "\\" + Name + ".png");
}

bool SaveWindowScreen(HWND Window, const std::string& Name) {
    RECT Rect{};
    GetWindowRect(Window, &Rect);
    return SaveScreen(CaptureSettledScreen(Rect), Name);
}

} // namespace mv::app::test
