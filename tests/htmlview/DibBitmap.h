// A 24-bit DIB section with a memory DC, filled white: the engine draws into it and the tests read
// its pixels or save it as a screen.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "ImageScreens.h"

struct TDibBitmap {
    TDibBitmap(int W, int H) : Width(W), Height(H) {
        BITMAPINFO Info{};
        Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
        Info.bmiHeader.biWidth = W;
        Info.bmiHeader.biHeight = -H;
        Info.bmiHeader.biPlanes = 1;
        Info.bmiHeader.biBitCount = 24;
        DC = CreateCompatibleDC(nullptr);
        Bitmap = CreateDIBSection(DC, &Info, DIB_RGB_COLORS, reinterpret_cast<void**>(&Bits), nullptr, 0);
        Old = SelectObject(DC, Bitmap);
        Clear();
    }
    ~TDibBitmap() {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    TDibBitmap(const TDibBitmap&) = delete;
    TDibBitmap& operator=(const TDibBitmap&) = delete;

    void Clear() {
        RECT R{0, 0, Width, Height};
        FillRect(DC, &R, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    int Stride() const { return (Width * 3 + 3) & ~3; }
    // 0x00BBGGRR
    uint32_t Pixel(int X, int Y) {
        GdiFlush();
        const uint8_t* P =
            Bits + static_cast<size_t>(Y) * static_cast<size_t>(Stride()) + static_cast<size_t>(X) * 3;
        return static_cast<uint32_t>(P[0]) << 16 | static_cast<uint32_t>(P[1]) << 8 | P[2];
    }
    std::vector<uint8_t> Pixels() {
        GdiFlush();
        return std::vector<uint8_t>(Bits, Bits + static_cast<size_t>(Stride()) * static_cast<size_t>(Height));
    }
    void Save(const std::string& Name) {
        GdiFlush();
        TPixelImage Image;
        Image.Allocate(Width, Height);
        for (int Y = 0; Y < Height; ++Y)
            std::copy_n(Bits + static_cast<size_t>(Y) * static_cast<size_t>(Stride()), Width * 3,
                        Image.Row(Y));
        SaveScreenPng(Name, Image);
    }

    int Width, Height;
    HDC DC;
    HBITMAP Bitmap;
    HGDIOBJ Old;
    uint8_t* Bits = nullptr;
};
