// Picture bytes to pixels by kind.
#include "htmlview/HtmlImageDecode.h"

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
            TGifComposer first(gif);
            first.Seek(0);
            out = first.Pixels(); // see-through parts black
            out.SourceBits = 8;
            return true;
        }
        default:
            return false;
        }
    } catch (const Exception&) {
        // Damaged bytes decode to nothing: the empty image and false below say so.
    } catch (const std::bad_alloc&) {
        // The same for a picture too big for memory.
    }
    out = TPixelImage();
    return false;
}
