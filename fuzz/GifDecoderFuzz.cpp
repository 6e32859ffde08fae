// The GIF decoder on arbitrary bytes: it must load or raise its own error, and a loaded file
// must compose every frame, forwards and again from the start, on a canvas of the screen's size.
#include <cstdint>
#include <cstdlib>

#include "htmlview/GifDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TGif gif;
    // Small screens keep each run fast; the size checks themselves are the same at any budget.
    gif.PixelBudget = 1 << 22;
    try {
        gif.LoadFromBytes(data, size);
    } catch (const EInvalidGraphicOperation&) {
        return 0;
    }
    const int64_t pixels = int64_t{gif.ScreenWidth()} * gif.ScreenHeight();
    if (pixels * 4 > gif.PixelBudget) std::abort();
    TGifComposer composer(gif);
    for (int i = 0; i < gif.ImageCount(); ++i) {
        composer.Seek(i);
        if (composer.Frame() != i || composer.Pixels().Width != gif.ScreenWidth() ||
            composer.Pixels().Height != gif.ScreenHeight())
            std::abort();
        if (composer.MemoryBytes() > static_cast<size_t>(pixels) * 9 + 64) std::abort();
        if (gif.ImageDelay(i) < 1 || gif.ImageDisposalMethod(i) > 3) std::abort();
    }
    composer.Seek(0);
    // A picture said to be opaque never shows what lies behind it.
    if (!gif.Transparent())
        for (uint8_t m : composer.Mask().Bits)
            if (m) std::abort();
    return 0;
}
