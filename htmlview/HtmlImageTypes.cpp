// Recognising picture kinds, and the pixel buffers the decoders fill.
#include "htmlview/HtmlImageTypes.h"

#include <cstring>

TImageType SniffImageType(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p) return itUnknown;
    if (size >= 5 && std::memcmp(p, "GIF8", 4) == 0) return p[4] == '9' ? itGIF89 : itGIF87;
    if (size >= 2 && p[0] == 'B' && p[1] == 'M') return itBMP;
    if (size >= 4 && p[0] == 0x89 && std::memcmp(p + 1, "PNG", 3) == 0) return itPNG;
    if (size >= 2 && p[0] == 0xFF && p[1] == 0xD8) return itJPEG;
    return itUnknown;
}

void TPixelImage::Allocate(int width, int height) {
    if (width < 0 || height < 0) throw EOutOfMemory();
    const int64_t bytes = int64_t{width} * height * 3;
    if (bytes > kMaxPictureBytes) throw EOutOfMemory();
    Pixels.assign(static_cast<size_t>(bytes), 0);
    Width = width;
    Height = height;
}

uint32_t TPixelImage::ColorAt(int x, int y) const {
    const uint8_t* p = Row(y) + static_cast<size_t>(x) * 3;
    return p[2] | (p[1] << 8) | (uint32_t{p[0]} << 16);
}

void TPixelMask::Allocate(int width, int height, uint8_t fill) {
    if (width < 0 || height < 0) throw EOutOfMemory();
    const int64_t bytes = int64_t{width} * height;
    if (bytes > kMaxPictureBytes) throw EOutOfMemory();
    Bits.assign(static_cast<size_t>(bytes), fill);
    Width = width;
    Height = height;
}

TPixelMask MakePixelMask(const TPixelImage& image, bool colorValid, uint32_t color) {
    TPixelMask mask;
    if (image.Empty()) return mask;
    if (!colorValid) color = image.ColorAt(0, image.Height - 1);
    mask.Allocate(image.Width, image.Height, 0);
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            if (image.ColorAt(x, y) == color) mask.At(x, y) = 1;
    return mask;
}
