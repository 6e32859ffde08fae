// Picture bytes to pixels by kind.
#include "htmlview/HtmlImageDecode.h"

#include <cstring>
#include <new>

#include "htmlview/BmpDecoder.h"
#include "htmlview/GifDecoder.h"
#include "htmlview/JpegDecoder.h"

bool DecodePictureBytes(const void* data, size_t size, bool gifs, TPixelImage& out) {
    out = TPixelImage();
    try {
        switch (SniffImageType(data, size)) {
        case itBMP:
            out = DecodeBmp(data, size);
            return true;
        case itJPEG:
            out = DecodeJpeg(data, size);
            return true;
        case itGIF87:
        case itGIF89: {
            if (!gifs) return false;
            TGif gif;
            gif.LoadFromBytes(data, size);
            const TGifStrip strip = gif.GifFrameToBitmapStream();
            out.Allocate(gif.ScreenWidth(), gif.ScreenHeight());
            out.SourceBits = 8;
            for (int y = 0; y < out.Height; ++y)
                std::memcpy(out.Row(y), strip.Image.Row(y), static_cast<size_t>(out.Width) * 3);
            return true;
        }
        default:
            return false;
        }
    } catch (const Exception&) {
    } catch (const std::bad_alloc&) {
    }
    out = TPixelImage();
    return false;
}
