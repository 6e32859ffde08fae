// JPEG files as the HTML display's pictures: the shared reader, with the display's size limit
// and its errors.
#include "htmlview/JpegDecoder.h"

#include <cstdio>

#include "pictures/JpegReader.h"

namespace {

class TPixelTarget : public mv::pictures::IJpegTarget {
public:
    TPixelTarget(TPixelImage& image, int64_t maxBytes) : image_(image), maxBytes_(maxBytes) {}
    bool Accept(uint32_t width, uint32_t height, bool grayscale) override {
        const int64_t bytes = int64_t{width} * height * 3;
        if (width == 0 || height == 0 || bytes > maxBytes_ || width > 65500 || height > 65500) return false;
        image_.Allocate(static_cast<int>(width), static_cast<int>(height));
        image_.Grayscale = grayscale;
        return true;
    }
    uint8_t* Row(uint32_t y) override { return image_.Row(static_cast<int>(y)); }

private:
    TPixelImage& image_;
    int64_t maxBytes_;
};

} // namespace

TPixelImage DecodeJpeg(const void* data, size_t size, int64_t maxBytes) {
    TPixelImage image;
    TPixelTarget target(image, maxBytes);
    const mv::pictures::TJpegResult result = mv::pictures::ReadJpeg(data, size, maxBytes, target);
    if (result.Status == mv::pictures::TJpegStatus::Refused) throw EOutOfMemory();
    if (result.Status == mv::pictures::TJpegStatus::Failed) {
        char text[40];
        std::snprintf(text, sizeof text, "JPEG error #%d", result.ErrorCode);
        throw EInvalidGraphicOperation(text);
    }
    return image;
}
