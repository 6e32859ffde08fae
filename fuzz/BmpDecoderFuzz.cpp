// The BMP reader on arbitrary bytes: a picture of the header's size, or its own error.
#include <cstdint>
#include <cstdlib>

#include "htmlview/BmpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const TPixelImage image = DecodeBmp(data, size, 1 << 22);
        if (image.Pixels.size() != static_cast<size_t>(image.Width) * image.Height * 3) std::abort();
    } catch (const EInvalidGraphicOperation&) {
    } catch (const EOutOfMemory&) {
    }
    return 0;
}
