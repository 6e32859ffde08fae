// Reading the picture files the editor inserts (JPEG through libjpeg, and the
// header of a BMP), free of windows: the bytes of a file become pixels or a
// clear refusal, never a crash or a partial picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mv::richedit {

// The largest picture accepted: each side at most MaxPictureSide pixels and the
// whole at most MaxPicturePixels, so that the bitmap, its copy in the text and
// the metafile made from it fit in a 32-bit process.
constexpr int64_t MaxPictureSide = 16384;
constexpr int64_t MaxPicturePixels = 40'000'000;

// Decoded pixels: Height rows from the top, each Width × 3 bytes in the order
// blue, green, red (what a 24-bit DIB holds), without padding.
struct TDecodedPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Bgr;
};

// The refusal for a picture of Width × Height pixels, or "" when it may be decoded.
std::string CheckPictureSize(int64_t Width, int64_t Height);

// Decodes a JPEG file's bytes. False with a message in Error for anything
// that is not a whole, readable JPEG picture of an accepted size (a truncated
// file included); Picture is left empty then. MaxPixels lowers the accepted
// size (the fuzz target keeps pictures small with it).
bool DecodeJpeg(const uint8_t* Data, size_t Size, TDecodedPicture& Picture, std::string& Error,
                int64_t MaxPixels = MaxPicturePixels);

// Checks a BMP file's headers before the system reads it: the signature, a
// known header, an accepted size, and pixel data that the file really holds.
// "" when it may be loaded, else the message.
std::string CheckBmpFile(const uint8_t* Data, size_t Size);

} // namespace mv::richedit
