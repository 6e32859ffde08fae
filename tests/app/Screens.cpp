// PNG pictures of the tests' windows.
#include "tests/app/Screens.h"

#include <cstdio>

namespace mv::app::test {

namespace {

uint32_t Crc32(const uint8_t* Data, size_t Count, uint32_t Crc = 0) {
    Crc = ~Crc;
    for (size_t I = 0; I < Count; ++I) {
        Crc ^= Data[I];
        for (int K = 0; K < 8; ++K)
            Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1u)));
    }
    return ~Crc;
}

void PutBigEndian(std::string& Out, uint32_t Value) {
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        Out += static_cast<char>((Value >> Shift) & 0xFF);
}

void PutChunk(std::string& Out, const char* Type, const std::string& Data) {
    PutBigEndian(Out, static_cast<uint32_t>(Data.size()));
    const std::string Body = std::string(Type, 4) + Data;
    Out += Body;
    PutBigEndian(Out, Crc32(reinterpret_cast<const uint8_t*>(Body.data()), Body.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string StoredZlib(const std::string& Raw) {
    std::string Out = "\x78\x01";
    size_t At = 0;
    do {
        const size_t N = std::min<size_t>(Raw.size() - At, 65535);
        const bool Last = At + N == Raw.size();
        Out += static_cast<char>(Last ? 1 : 0);
        Out += static_cast<char>(N & 0xFF);
        Out += static_cast<char>(N >> 8);
        Out += static_cast<char>(~N & 0xFF);
        Out += static_cast<char>((~N >> 8) & 0xFF);
        Out.append(Raw, At, N);
        At += N;
    } while (At < Raw.size());
    uint32_t A = 1, B = 0;
    for (unsigned char C : Raw) {
        A = (A + C) % 65521;
        B = (B + A) % 65521;
    }
    PutBigEndian(Out, (B << 16) | A);
    return Out;
}

TPicture FromDib(HDC Source, int X, int Y, int Width, int Height) {
    TPicture P;
    P.Width = Width;
    P.Height = Height;
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
    const auto* Pixels = static_cast<const uint32_t*>(Bits);
    P.Pixels.assign(Pixels, Pixels + static_cast<size_t>(Width) * Height);
    for (uint32_t& Pixel : P.Pixels)
        Pixel &= 0xFFFFFF;
    SelectObject(Memory, Old);
    DeleteObject(Dib);
    DeleteDC(Memory);
    return P;
}

} // namespace

TPicture CaptureScreen(const RECT& Rect) {
    HDC Screen = GetDC(nullptr);
    TPicture P = FromDib(Screen, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top);
    ReleaseDC(nullptr, Screen);
    return P;
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
    std::string Header;
    PutBigEndian(Header, static_cast<uint32_t>(Picture.Width));
    PutBigEndian(Header, static_cast<uint32_t>(Picture.Height));
    Header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, no interlace
    std::string Raw;
    Raw.reserve(static_cast<size_t>(Picture.Height) * (1 + 3 * static_cast<size_t>(Picture.Width)));
    for (int Y = 0; Y < Picture.Height; ++Y) {
        Raw += '\0'; // no filter
        for (int X = 0; X < Picture.Width; ++X) {
            const uint32_t C = Picture.At(X, Y);
            Raw += static_cast<char>((C >> 16) & 0xFF);
            Raw += static_cast<char>((C >> 8) & 0xFF);
            Raw += static_cast<char>(C & 0xFF);
        }
    }
    std::string File = "\x89PNG\r\n\x1a\n";
    PutChunk(File, "IHDR", Header);
    PutChunk(File, "IDAT", StoredZlib(Raw));
    PutChunk(File, "IEND", "");
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

} // namespace mv::app::test
