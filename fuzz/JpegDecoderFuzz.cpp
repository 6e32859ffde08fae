// The JPEG reader on arbitrary bytes: a picture, or "JPEG error #N", never a crash or a leak.
#include <cstdint>
#include <cstdlib>

#include "htmlview/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const TPixelImage image = DecodeJpeg(data, size, 1 << 22);
        if (image.Pixels.size() != static_cast<size_t>(image.Width) * image.Height * 3) std::abort();
    } catch (const EInvalidGraphicOperation&) {
    } catch (const EOutOfMemory&) {
    }
    return 0;
}
