// The headers of a BMP file (the file header and a Windows or OS/2 info header), read without
// trusting the file: every reader of BMP files starts here. Free of windows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mv::pictures {

struct TBmpHeader {
    uint32_t OffBits = 0;  // where the pixel data starts in the file
    uint32_t InfoSize = 0; // 12 (OS/2) or 40..124 (Windows)
    int64_t Width = 0;
    int64_t Height = 0; // negative: rows stored from the top (Windows headers only)
    uint32_t Planes = 0;
    uint32_t Bits = 0;
    uint32_t Compression = 0; // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields
    uint32_t ColorsUsed = 0;
    bool WholeInfo = false; // the file holds the whole info header (missing fields read as 0)
};

enum class TBmpHeaderResult { Read, NotBmp, UnknownHeader };

// Reads the headers of a BMP file. NotBmp: too short for a signature and an OS/2 header, or no
// "BM"; UnknownHeader: an info header size that is neither OS/2's nor a Windows one.
TBmpHeaderResult ReadBmpHeader(const uint8_t* data, size_t size, TBmpHeader& header);

} // namespace mv::pictures
