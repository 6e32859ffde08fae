// The BMP reader.
#include "htmlview/BmpDecoder.h"

#include "pictures/BmpHeader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

[[noreturn]] void Invalid() {
    throw EInvalidGraphicOperation("Bitmap image is not valid");
}

class TBytes {
public:
    TBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t U32(size_t at) const { return at + 4 <= size_ ? U16(at) | (uint32_t{U16(at + 2)} << 16) : 0; }
    uint16_t U16(size_t at) const {
        return at + 2 <= size_ ? static_cast<uint16_t>(data_[at] | (data_[at + 1] << 8)) : 0;
    }
    uint8_t U8(size_t at) const { return at < size_ ? data_[at] : 0; }
    size_t Size() const { return size_; }

private:
    const uint8_t* data_;
    size_t size_;
};

enum : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

// One channel of a bit-field pixel: where it sits and how to widen it to 8 bits.
struct TChannel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    uint8_t Get(uint32_t pixel) const {
        if (bits == 0) return 0;
        const uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
        // Repeat the bits so that the largest value becomes 255.
        uint32_t out = 0;
        for (int have = 0; have < 8; have += bits)
            out = (out << bits) | v;
        return static_cast<uint8_t>(out >> (((8 + bits - 1) / bits) * bits - 8));
    }
};

TChannel Channel(uint32_t mask) {
    TChannel c;
    c.mask = mask;
    if (mask == 0) return c;
    c.shift = std::countr_zero(mask);
    c.bits = std::popcount(mask >> c.shift);
    if (c.bits > 16) c.bits = 16; // a mask need not be contiguous; keep the top bits it has
    return c;
}

void PutColor(TPixelImage& image, int x, int y, uint32_t rgbQuad) {
    uint8_t* p = image.Row(y) + static_cast<size_t>(x) * 3;
    p[0] = static_cast<uint8_t>(rgbQuad);       // blue
    p[1] = static_cast<uint8_t>(rgbQuad >> 8);  // green
    p[2] = static_cast<uint8_t>(rgbQuad >> 16); // red
}

} // namespace

TPixelImage DecodeBmp(const void* data, size_t size, int64_t maxBytes) {
    const TBytes in(static_cast<const uint8_t*>(data), size);
    mv::pictures::TBmpHeader header;
    if (mv::pictures::ReadBmpHeader(static_cast<const uint8_t*>(data), size, header) !=
        mv::pictures::TBmpHeaderResult::Read)
        Invalid();
    const uint32_t offBits = header.OffBits;
    const uint32_t headerSize = header.InfoSize;
    int64_t width = header.Width, height = header.Height;
    const int bpp = static_cast<int>(header.Bits);
    const uint32_t compression = header.Compression, colorsUsed = header.ColorsUsed;
    // OS/2 palettes hold three bytes a colour, Windows ones four.
    const size_t paletteEntrySize = headerSize == 12 ? 3 : 4;
    const bool topDown = height < 0;
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) Invalid();
    const bool rle = compression == kRle8 || compression == kRle4;
    if (!(compression == kRgb || compression == kBitFields || (compression == kRle8 && bpp == 8) ||
          (compression == kRle4 && bpp == 4)))
        Invalid();
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) Invalid();
    if (compression == kBitFields && bpp != 16 && bpp != 32) Invalid();
    if (rle && topDown) Invalid();

    // Palette (or the bit-field masks that follow a 40-byte header).
    std::array<uint32_t, 256> palette{};
    const size_t paletteAt = 14 + static_cast<size_t>(headerSize);
    if (bpp <= 8) {
        const uint32_t maxColors = 1u << bpp;
        const uint32_t count = (colorsUsed == 0 || colorsUsed > maxColors) ? maxColors : colorsUsed;
        for (uint32_t i = 0; i < count; ++i) {
            const size_t at = paletteAt + i * paletteEntrySize;
            palette[i] = in.U8(at) | (in.U8(at + 1) << 8) | (uint32_t{in.U8(at + 2)} << 16);
        }
    }
    TChannel red, green, blue;
    if (compression == kBitFields) {
        const size_t masksAt = headerSize == 40 ? paletteAt : 14 + 40;
        red = Channel(in.U32(masksAt));
        green = Channel(in.U32(masksAt + 4));
        blue = Channel(in.U32(masksAt + 8));
    } else if (bpp == 16) {
        red = Channel(0x7C00), green = Channel(0x03E0), blue = Channel(0x001F);
    } else if (bpp == 32) {
        red = Channel(0xFF0000), green = Channel(0xFF00), blue = Channel(0xFF);
    }

    TPixelImage image;
    if (width * height * 3 > maxBytes) throw EOutOfMemory();
    image.Allocate(static_cast<int>(width), static_cast<int>(height));
    image.SourceBits = bpp;
    const int w = image.Width, h = image.Height;
    auto rowOf = [&](int64_t fileRow) {
        return topDown ? static_cast<int>(fileRow) : h - 1 - static_cast<int>(fileRow);
    };

    if (rle) {
        // Run-length data: pairs of count and index, escapes for end of line, end of picture,
        // a move, and literal runs padded to 16 bits. Pixels outside the picture are dropped.
        int64_t x = 0, fileRow = 0;
        size_t at = offBits;
        auto put = [&](uint32_t index) {
            if (x < w && fileRow < h)
                PutColor(image, static_cast<int>(x), rowOf(fileRow), palette[index & 255]);
            ++x;
        };
        while (at + 1 < size && fileRow < h) {
            const uint8_t count = in.U8(at), value = in.U8(at + 1);
            at += 2;
            if (count > 0) {
                for (int i = 0; i < count && x < w; ++i)
                    put(compression == kRle8 ? value : ((i & 1) ? value & 15 : value >> 4));
                continue;
            }
            if (value == 0) {
                x = 0, ++fileRow;
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                x += in.U8(at), fileRow += in.U8(at + 1);
                at += 2;
            } else {
                const size_t bytes = compression == kRle8 ? value : (value + 1u) / 2;
                for (int i = 0; i < value; ++i) {
                    const uint8_t b = in.U8(at + (compression == kRle8 ? i : i / 2));
                    put(compression == kRle8 ? b : ((i & 1) ? b & 15 : b >> 4));
                }
                at += (bytes + 1) & ~size_t{1};
            }
        }
        return image;
    }

    const int64_t stride = ((int64_t{w} * bpp + 31) / 32) * 4;
    const uint8_t* base = static_cast<const uint8_t*>(data);
    for (int64_t fileRow = 0; fileRow < h; ++fileRow) {
        const int64_t rowAt = int64_t{offBits} + fileRow * stride;
        if (rowAt >= static_cast<int64_t>(size)) break; // data ends early: the rest stays black
        const int64_t available = std::min<int64_t>(stride, static_cast<int64_t>(size) - rowAt);
        const uint8_t* src = base + rowAt;
        const int y = rowOf(fileRow);
        const int usable = static_cast<int>(std::min<int64_t>(w, available * 8 / bpp));
        for (int x = 0; x < usable; ++x) {
            switch (bpp) {
            case 1:
                PutColor(image, x, y, palette[(src[x >> 3] >> (7 - (x & 7))) & 1]);
                break;
            case 4:
                PutColor(image, x, y, palette[(x & 1) ? src[x >> 1] & 15 : src[x >> 1] >> 4]);
                break;
            case 8:
                PutColor(image, x, y, palette[src[x]]);
                break;
            case 24: {
                uint8_t* p = image.Row(y) + static_cast<size_t>(x) * 3;
                std::memcpy(p, src + static_cast<size_t>(x) * 3, 3);
                break;
            }
            default: {
                const uint8_t* s = src + static_cast<size_t>(x) * (bpp / 8);
                const uint32_t pixel =
                    bpp == 16 ? uint32_t{s[0]} | (s[1] << 8)
                              : uint32_t{s[0]} | (s[1] << 8) | (s[2] << 16) | (uint32_t{s[3]} << 24);
                uint8_t* p = image.Row(y) + static_cast<size_t>(x) * 3;
                p[0] = blue.Get(pixel), p[1] = green.Get(pixel), p[2] = red.Get(pixel);
            }
            }
        }
    }
    return image;
}
