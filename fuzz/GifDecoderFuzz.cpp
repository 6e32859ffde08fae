// The GIF decoder on arbitrary bytes: it must load or raise its own error, and a loaded file
// must give a strip whose size matches the screen and frame count.
#include <cstdint>
#include <cstdlib>

#include "htmlview/GifDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TGif gif;
    // Small pictures keep each run fast; the size checks themselves are the same at any budget.
    gif.PixelBudget = 1 << 22;
    try {
        gif.LoadFromBytes(data, size);
    } catch (const EInvalidGraphicOperation&) {
        return 0;
    }
    // Keep each run small: the strip of a big screen is checked by the decoder's own size test.
    const int64_t pixels = int64_t{gif.ScreenWidth()} * gif.ScreenHeight() * gif.ImageCount();
    if (pixels > (1 << 22)) return 0;
    const TGifStrip strip = gif.GifFrameToBitmapStream();
    if (strip.Image.Width != gif.ScreenWidth() * gif.ImageCount() || strip.Image.Height != gif.ScreenHeight())
        std::abort();
    if (gif.Transparent() != !strip.Mask.Empty() && pixels > 0) std::abort();
    for (int i = 0; i < gif.ImageCount(); ++i)
        if (gif.ImageDelay(i) < 1 || gif.ImageDisposalMethod(i) > 3) std::abort();
    return 0;
}
