// Decoded pictures as plain pixel buffers, and the kind of a picture told from its first bytes.
// No windows.h here: the decoders fill these buffers, and only the display side makes bitmaps of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/Exceptions.h"

// Raised for a picture that cannot be read or made; the message tells why.
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// The kind of a picture, as SniffImageType reports it.
enum TImageType : int { itUnknown = 0, itBMP = 1, itGIF87 = 2, itGIF89 = 3, itPNG = 4, itJPEG = 5 };

// Recognises a picture from its first bytes ("GIF8" then "9" or anything else, "BM", $89 "PNG",
// $FF $D8). Fewer bytes than a signature needs give itUnknown.
TImageType SniffImageType(const void* data, size_t size);

// The most bytes one decoded picture may take (all its buffers together). Sizes from a file are
// multiplied in 64 bits and checked against this before anything is allocated.
inline constexpr int64_t kMaxPictureBytes = 200'000'000;

// A decoded picture: Height rows of Width pixels, top row first, three bytes per pixel in the
// order blue, green, red, rows packed without padding.
struct TPixelImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels;
    // What the source held: its bits per pixel (1, 4, 8, 16, 24, 32) and whether it was grey only.
    // The display side uses them to decide whether a picture needs rebuilding for the screen.
    int SourceBits = 24;
    bool Grayscale = false;

    bool Empty() const { return Width <= 0 || Height <= 0; }
    // Sizes the buffer (zero-filled); raises EOutOfMemory when it would pass kMaxPictureBytes.
    void Allocate(int width, int height);
    uint8_t* Row(int y) { return Pixels.data() + static_cast<size_t>(y) * Width * 3; }
    const uint8_t* Row(int y) const { return Pixels.data() + static_cast<size_t>(y) * Width * 3; }
    // The pixel's colour as 0x00BBGGRR (the layout of a Windows COLORREF).
    uint32_t ColorAt(int x, int y) const;
};

// A transparency mask beside a picture: one byte per pixel, 1 where the picture is transparent
// (the background shows through), 0 where it is drawn.
struct TPixelMask {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Bits;

    bool Empty() const { return Bits.empty(); }
    void Allocate(int width, int height, uint8_t fill);
    uint8_t& At(int x, int y) { return Bits[static_cast<size_t>(y) * Width + x]; }
    uint8_t At(int x, int y) const { return Bits[static_cast<size_t>(y) * Width + x]; }
};

// A mask that is 1 wherever the picture has the given colour (0x00BBGGRR). With colorValid false
// the colour is that of the bottom-left pixel. An empty picture gives an empty mask.
TPixelMask MakePixelMask(const TPixelImage& image, bool colorValid, uint32_t color);
