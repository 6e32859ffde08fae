// An uncompressed PNG writer for the tests' screens.
#include "tests/support/PngFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#endif

namespace mv::test {

namespace {

void PutBigEndian(std::string& Out, uint32_t Value) {
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        Out += static_cast<char>((Value >> Shift) & 0xFF);
}

void PutChunk(std::string& Out, const char* Type, const std::string& Data) {
    PutBigEndian(Out, static_cast<uint32_t>(Data.size()));
    const size_t Start = Out.size();
    Out.append(Type, 4);
    Out += Data;
    PutBigEndian(Out, Crc32(Out.data() + Start, Out.size() - Start));
}

// A zlib stream of stored deflate blocks (at most 65,535 bytes each).
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

bool MakeFolder(const std::string& Folder) {
#ifdef _WIN32
    return _mkdir(Folder.c_str()) == 0 || errno == EEXIST;
#else
    return mkdir(Folder.c_str(), 0777) == 0 || errno == EEXIST;
#endif
}

} // namespace

uint32_t Crc32(const void* Data, size_t Count, uint32_t Crc) {
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
    const auto* Bytes = static_cast<const uint8_t*>(Data);
    uint32_t C = ~Crc;
    for (size_t I = 0; I < Count; ++I)
        C = Table[(C ^ Bytes[I]) & 0xFF] ^ (C >> 8);
    return ~C;
}

std::string EncodePng(int Width, int Height, const TPngRowFiller& FillRow) {
    const size_t RowBytes = static_cast<size_t>(Width) * 3;
    std::string Raw;
    Raw.reserve(static_cast<size_t>(Height) * (RowBytes + 1));
    std::vector<uint8_t> Row(RowBytes);
    for (int Y = 0; Y < Height; ++Y) {
        Raw += '\0'; // no filter
        FillRow(Y, Row.data());
        Raw.append(reinterpret_cast<const char*>(Row.data()), RowBytes);
    }
    std::string Header;
    PutBigEndian(Header, static_cast<uint32_t>(Width));
    PutBigEndian(Header, static_cast<uint32_t>(Height));
    Header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter set, no interlace
    std::string File = "\x89PNG\r\n\x1a\n";
    PutChunk(File, "IHDR", Header);
    PutChunk(File, "IDAT", StoredZlib(Raw));
    PutChunk(File, "IEND", "");
    return File;
}

bool WriteFile(const std::string& Folder, const std::string& FileName, const std::string& Bytes) {
    if (!MakeFolder(Folder)) return false;
    std::FILE* Out = std::fopen((Folder + "/" + FileName).c_str(), "wb");
    if (!Out) return false;
    const bool Written = std::fwrite(Bytes.data(), 1, Bytes.size(), Out) == Bytes.size();
    return std::fclose(Out) == 0 && Written;
}

} // namespace mv::test
