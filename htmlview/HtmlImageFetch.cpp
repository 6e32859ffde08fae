// The document picture fetch over the cache, the application's handler and files.
#include "gui/GdiGuards.h"
#include "htmlview/HtmlImageFetch.h"

#include <new>

#include "base/StrUtils.h"
#include "htmlview/GifImage.h"
#include "htmlview/HtmlImageDisplay.h"
#include "htmlview/HtmlImageLoad.h"

TFetchedPicture::TFetchedPicture() = default;
TFetchedPicture::~TFetchedPicture() = default;

namespace {
bool EndsWithGif(const std::string& name) {
    return name.size() >= 4 && UpperCase(name.substr(name.size() - 4)) == ".GIF";
}

bool StreamIsGif(TStream& stream) {
    char head[6] = {};
    stream.SetPosition(0);
    const int64_t got = stream.Read(head, sizeof head);
    stream.SetPosition(0);
    const TImageType type = SniffImageType(head, static_cast<size_t>(got > 0 ? got : 0));
    return type == itGIF87 || type == itGIF89;
}
} // namespace

std::unique_ptr<TFetchedPicture> THtmlImageFetcher::FromCache(const std::string& key, uint8_t& transparent) {
    TStringBitmapList& cache = ImageCache();
    const int index = cache.IndexOf(key);
    TObject* image = cache.GetImage(index);
    auto picture = std::make_unique<TFetchedPicture>();
    picture->Use = TImageCacheUse(cache, key);
    picture->Entry = cache.SharedItem(index);
    TBitmapItem& item = *picture->Entry;
    if (auto* gif = dynamic_cast<TGIFImage*>(image)) {
        picture->Gif = TGIFImage::CreateCopy(*gif);
        picture->Width = gif->Width;
        picture->Height = gif->Height;
        if (gif->IsTransparent) transparent = 2;
        return picture;
    }
    auto* bitmap = dynamic_cast<TBitmap*>(image);
    if (!bitmap) return nullptr;
    if (item.Transp == 2) transparent = 2;
    if (transparent == 1 && !item.Mask) {
        auto mask = MakeImageMask(*bitmap, false, 0);
        if (mask && !mask->Empty()) {
            item.Mask = std::move(mask);
            item.Transp = 1;
        }
    }
    picture->Bitmap = bitmap;
    picture->Mask = dynamic_cast<TBitmap*>(item.Mask.get());
    picture->Width = bitmap->Width();
    picture->Height = bitmap->Height();
    return picture;
}

std::unique_ptr<TFetchedPicture> THtmlImageFetcher::Fetch(const std::string& name, uint8_t& transparent,
                                                          bool& delayed, bool& fromCache) {
    delayed = false;
    fromCache = false;
    if (name.empty()) return nullptr;
    const std::string key = TStringBitmapList::KeyOf(name);
    if (ImageCache().IndexOf(key) >= 0) {
        fromCache = true;
        return FromCache(key, transparent);
    }
    try {
        std::unique_ptr<TGIFImage> gif;
        std::unique_ptr<TBitmap> bitmap, mask;
        int kind = transparent;
        bool nonAnimated = true;
        if (OnImageRequest) {
            TStream* stream = OnImageRequest(name);
            if (stream && stream == ImageLaterStream()) {
                delayed = true;
                return nullptr;
            }
            if (!stream || stream->Size() == 0) return nullptr;
            if (StreamIsGif(*stream))
                gif = TGIFImage::CreateAGifFromStream(nonAnimated, *stream);
            else
                bitmap = LoadImageStream(stream, kind, mask);
        } else {
            if (EndsWithGif(name)) gif = TGIFImage::CreateAGif(name, nonAnimated);
            if (!gif) bitmap = LoadImageFileWithMask(name, kind, mask);
        }
        if (gif && nonAnimated) {
            // One frame: a plain bitmap, with the GIF's own mask when it has transparency.
            bitmap = std::make_unique<TBitmap>();
            bitmap->Assign(*gif->GetBitmap());
            if (gif->IsTransparent && gif->GetMaskedBitmap()) {
                mask = std::make_unique<TBitmap>();
                mask->Assign(*gif->GetMaskedBitmap());
                kind = 2;
            } else if (kind == 1) {
                mask = MakeImageMask(*bitmap, false, 0);
            }
            gif.reset();
        } else if (gif && gif->IsTransparent) {
            kind = 2;
        }
        if (!gif && !bitmap) return nullptr;
        if (mask && mask->Empty()) mask.reset();
        transparent = static_cast<uint8_t>(kind);
        const uint8_t transp = (mask || (gif && gif->IsTransparent)) ? static_cast<uint8_t>(kind) : 0;
        std::unique_ptr<TObject> image = gif ? std::unique_ptr<TObject>(std::move(gif)) : std::move(bitmap);
        ImageCache().AddObject(key, std::make_unique<TBitmapItem>(std::move(image), std::move(mask), transp));
        // The new entry's one use becomes this picture's.
        auto picture = FromCache(key, transparent);
        ImageCache().ReleaseUsage(key);
        return picture;
    } catch (const Exception&) {
        // A damaged picture shows as the error picture: nullptr tells the caller so.
    } catch (const std::bad_alloc&) {
        // So does one too big for memory; nothing was cached for it.
    }
    return nullptr;
}

void SetFetchedAnimate(TFetchedPicture& picture, bool animate) {
    if (picture.Gif) picture.Gif->SetAnimate(animate);
}

void CheckFetchedTime(TFetchedPicture& picture, HWND paintWindow) {
    if (picture.Gif) picture.Gif->CheckTime(paintWindow);
}

int FetchedCurrentFrame(const TFetchedPicture& picture) {
    return picture.Gif ? picture.Gif->CurrentFrame() : 0;
}

void DrawFetchedPicture(HDC dc, TFetchedPicture& picture, int x, int y, int w, int h) {
    TCanvas canvas;
    canvas.SetHandle(dc);
    if (picture.Gif) {
        picture.Gif->Visible = true;
        picture.Gif->Draw(canvas, x, y, w, h);
        picture.Gif->IsShown = true;
    } else if (picture.Bitmap && picture.Mask) {
        DrawMasked(dc, *picture.Bitmap, *picture.Mask, x, y, w, h);
    } else if (picture.Bitmap && !picture.Bitmap->Empty()) {
        TSelectPalette palette(dc, DisplayPalette(), true);
        const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, x, y, w, h, picture.Bitmap->Canvas().Handle(), 0, 0, picture.Bitmap->Width(),
                   picture.Bitmap->Height(), SRCCOPY);
        SetStretchBltMode(dc, oldMode);
    }
    canvas.SetHandle(nullptr);
}
