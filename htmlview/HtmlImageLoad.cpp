// Loading pictures from files and streams.
#include "htmlview/HtmlImageLoad.h"

#include <new>

#include "htmlview/HtmlImageDecode.h"
#include "htmlview/HtmlImageDisplay.h"

namespace {
bool ReadStream(TStream& stream, std::string& bytes) {
    const int64_t size = stream.Size();
    if (size < 0 || size > kMaxPictureBytes) return false;
    bytes.resize(static_cast<size_t>(size));
    stream.SetPosition(0);
    return size == 0 || stream.Read(bytes.data(), size) == size;
}

bool ReadFile(const std::string& name, std::string& bytes) {
    try {
        TFileStream file(name, fmOpenRead | fmShareDenyWrite);
        return ReadStream(file, bytes);
    } catch (const Exception&) {
        return false;
    }
}

// Decoding and bitmap making, with every failure turned into nullptr.
template <typename F> std::unique_ptr<TBitmap> Guarded(F body) {
    try {
        return body();
    } catch (const Exception&) {
        // Damaged bytes give no picture: the viewer shows its error picture instead.
    } catch (const std::bad_alloc&) {
        // The same for a picture too big for memory.
    }
    return nullptr;
}
} // namespace

TImageType ImageTypeOfFile(const std::string& name) {
    try {
        TFileStream file(name, fmOpenRead | fmShareDenyWrite);
        char head[11] = {};
        const int64_t got = file.Read(head, sizeof head);
        return SniffImageType(head, static_cast<size_t>(got > 0 ? got : 0));
    } catch (const Exception&) {
        return itUnknown;
    }
}

std::unique_ptr<TBitmap> LoadImageFile(const std::string& name, bool convert) {
    return Guarded([&]() -> std::unique_ptr<TBitmap> {
        std::string bytes;
        if (!ReadFile(name, bytes)) return nullptr;
        const TImageType type = SniffImageType(bytes.data(), bytes.size());
        TPixelImage pixels;
        if (!DecodePictureBytes(bytes.data(), bytes.size(), true, pixels) || pixels.Empty()) return nullptr;
        auto bitmap = BitmapFromPixels(pixels);
        const bool gif = type == itGIF87 || type == itGIF89;
        if (!convert || gif) return bitmap;
        return ConvertToDisplay(std::move(bitmap));
    });
}

std::unique_ptr<TBitmap> LoadImageFileWithMask(const std::string& name, int& transparent,
                                               std::unique_ptr<TBitmap>& mask) {
    mask.reset();
    if (transparent != 1) return LoadImageFile(name, true);
    return Guarded([&]() -> std::unique_ptr<TBitmap> {
        auto plain = LoadImageFile(name, false);
        if (!plain) return nullptr;
        mask = MakeImageMask(*plain, false, 0);
        if (mask && mask->Empty()) mask.reset();
        return ConvertToDisplay(std::move(plain));
    });
}

std::unique_ptr<TBitmap> LoadImageStream(TStream* stream, int& transparent, std::unique_ptr<TBitmap>& mask) {
    mask.reset();
    if (!stream) return nullptr;
    return Guarded([&]() -> std::unique_ptr<TBitmap> {
        if (stream->Size() < 20) return nullptr;
        std::string bytes;
        if (!ReadStream(*stream, bytes)) return nullptr;
        const TImageType type = SniffImageType(bytes.data(), bytes.size());
        if (type != itBMP && type != itJPEG) return nullptr;
        TPixelImage pixels;
        if (!DecodePictureBytes(bytes.data(), bytes.size(), false, pixels) || pixels.Empty()) return nullptr;
        if (type == itJPEG) transparent = 0;
        auto bitmap = BitmapFromPixels(pixels);
        if (transparent == 1) {
            mask = MaskFromPixels(MakePixelMask(pixels, false, 0));
            if (mask->Empty()) mask.reset();
        }
        return ConvertToDisplay(std::move(bitmap));
    });
}
