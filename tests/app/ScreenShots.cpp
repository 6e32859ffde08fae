// Window screenshots as PNG files.
#include "tests/app/ScreenShots.h"

#include <algorithm>
#include <array>
#include <direct.h>
#include <fstream>

namespace mv::app::test {

namespace {

uint32_t Crc32(const std::string& Data, size_t From) {
    static const std::array<uint32_t, 256> Table = [] {
        std::array<uint32_t, 256> T{};
        for (uint32_t N = 0; N < 256; ++N) {
            uint32_t C = N;
            for (int K = 0; K < 8; ++K)
                C = (C & 1) ? 0xEDB88320u ^ (C >> 1) : C >> 1;
            T[N] = C;
        }
        return T;
    }();
    uint32_t C = 0xFFFFFFFFu;
    for (size_t I = From; I < Data.size(); ++I)
        C = Table[(C ^ static_cast<uint8_t>(Data[I])) & 0xFF] ^ (C >> 8);
    return C ^ 0xFFFFFFFFu;
}

void Put32(std::string& Out, uint32_t V) {
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        Out += static_cast<char>((V >> Shift) & 0xFF);
}

void Chunk(std::string& Out, const char* Type, const std::string& Data) {
    Put32(Out, static_cast<uint32_t>(Data.size()));
    const size_t Start = Out.size();
    Out += Type;
    Out += Data;
    Put32(Out, Crc32(Out, Start));
}

} // namespace

// Stored (uncompressed) deflate blocks: simple, and the files stay small enough.
std::string EncodePng(int Width, int Height, const std::vector<uint8_t>& Bgr) {
    std::string Raw;
    Raw.reserve(static_cast<size_t>(Height) * (Width * 3 + 1));
    for (int Y = 0; Y < Height; ++Y) {
        Raw += '\0'; // no filter
        for (int X = 0; X < Width; ++X) {
            const size_t P = (static_cast<size_t>(Y) * Width + X) * 3;
            Raw += static_cast<char>(Bgr[P + 2]);
            Raw += static_cast<char>(Bgr[P + 1]);
            Raw += static_cast<char>(Bgr[P]);
        }
    }
    std::string Z = "\x78\x01";
    for (size_t At = 0; At < Raw.size() || At == 0; At += 65535) {
        const size_t N = std::min<size_t>(65535, Raw.size() - At);
        const bool Last = At + N >= Raw.size();
        Z += static_cast<char>(Last ? 1 : 0);
        Z += static_cast<char>(N & 0xFF);
        Z += static_cast<char>(N >> 8);
        Z += static_cast<char>(~N & 0xFF);
        Z += static_cast<char>((~N >> 8) & 0xFF);
        Z.append(Raw, At, N);
        if (Last) break;
    }
    uint32_t A = 1, B = 0;
    for (char C : Raw) {
        A = (A + static_cast<uint8_t>(C)) % 65521;
        B = (B + A) % 65521;
    }
    Put32(Z, (B << 16) | A);

    std::string Png = "\x89PNG\r\n\x1a\n";
    std::string Header;
    Put32(Header, static_cast<uint32_t>(Width));
    Put32(Header, static_cast<uint32_t>(Height));
    Header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB
    Chunk(Png, "IHDR", Header);
    Chunk(Png, "IDAT", Z);
    Chunk(Png, "IEND", "");
    return Png;
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

    _mkdir(MV_SCREENS_DIR);
    std::ofstream(std::string(MV_SCREENS_DIR) + "/" + Name + ".png", std::ios::binary)
        << EncodePng(W, H, Pixels);
    if (Width) *Width = W;
    if (Height) *Height = H;
    return Pixels;
}

} // namespace mv::app::test
