// The viewer's pictures: the document's picture requests through the shared cache and the
// application's OnImageRequest, the cache size, pictures that arrive later, the tiled BODY
// background, the display palette and the 50 ms animation timer of animated GIFs.
#include <algorithm>

#include "base/StrUtils.h"
#include "gui/GdiGuards.h"
#include "htmlview/HtmlDisplay.h"
#include "htmlview/HtmlImageCache.h"
#include "htmlview/HtmlImageDisplay.h"
#include "htmlview/HtmlImagePicture.h"
#include "htmlview/HtmlObjects.h"

namespace {

// The first of the tiles of size n laid from origin that reaches past from.
int32_t FirstTile(int32_t origin, int32_t n, int32_t from) {
    if (origin + n > from) return origin;
    return origin + (from - origin) / n * n;
}

} // namespace

void THtmlDisplay::StartPictures() {
    HtmlImagesStartup();
    FFetcher = std::make_unique<THtmlImageFetcher>();
    // Without the application's handler a picture's name is a file, found like a link.
    FSections->GetImage = [this, request = DocumentImageRequest(*FFetcher)](
                              const std::string& name, uint8_t& transparent, bool& delayed) {
        return request(FOnImageRequest ? name : ResolveLinkPath(name), transparent, delayed);
    };
    FImageCacheCount = 5;
    ImageCache().SetCacheCount(FImageCacheCount);
    FAnimationTimer = new TTimer(this);
    FAnimationTimer->SetEnabled(false);
    FAnimationTimer->SetInterval(50);
    FAnimationTimer->SetOnTimer([this](TObject*) { AnimationTick(); });
}

void THtmlDisplay::StopPictures() {
    // The document's pictures hold uses of the cache: they go before the cache may.
    FSections->Clear();
    FSections->GetImage = nullptr;
    HtmlImagesShutdown();
}

void THtmlDisplay::SetImageCacheCount(int32_t Value) {
    Value = std::clamp(Value, 0, 20);
    if (Value == FImageCacheCount) return;
    FImageCacheCount = Value;
    ImageCache().SetCacheCount(Value);
}

void THtmlDisplay::SetOnImageRequest(TGetImageEvent Handler) {
    FOnImageRequest = std::move(Handler);
    if (!FOnImageRequest) {
        FFetcher->OnImageRequest = nullptr;
        return;
    }
    FFetcher->OnImageRequest = [this](const std::string& name) -> TStream* {
        TStream* Stream = nullptr;
        if (FOnImageRequest) FOnImageRequest(this, name, Stream);
        return Stream;
    };
}

bool THtmlDisplay::InsertImage(const std::string& SRC, TStream* Stream) {
    const std::string key = TStringBitmapList::KeyOf(SRC);
    std::vector<TImageObj*> waiting;
    bool background = false;
    auto& missing = FSections->MissingImages;
    for (const auto& m : missing)
        if (m.first == key) {
            if (m.second)
                waiting.push_back(m.second);
            else
                background = true;
        }
    if (waiting.empty() && !background) return false;
    missing.erase(
        std::remove_if(missing.begin(), missing.end(), [&](const auto& m) { return m.first == key; }),
        missing.end());

    // Every image takes its own picture (an animated GIF is a copy per image) and its own cache
    // use; the stream is read once, the rest come from the cache.
    THtmlImageFetcher once;
    once.OnImageRequest = [Stream](const std::string&) { return Stream; };
    auto fetch = [&](uint8_t& transparent) -> std::shared_ptr<IHtmlPicture> {
        bool delayed = false, fromCache = false;
        auto fetched = once.Fetch(SRC, transparent, delayed, fromCache);
        if (!fetched) return nullptr;
        return std::make_shared<THtmlPicture>(std::move(fetched));
    };
    for (TImageObj* image : waiting) {
        uint8_t transparent = image->Transparent;
        auto picture = fetch(transparent);
        image->InsertPicture(std::move(picture), transparent);
    }
    if (background) {
        uint8_t transparent = 0;
        FSections->BackgroundBitmap = fetch(transparent);
        FSections->BitmapLoaded = true;
    }
    if (FProcessing) return true;
    Reformat();
    FPaintPanel->Invalidate();
    return true;
}

HPALETTE THtmlDisplay::GetPalette() const {
    return DisplayPalette();
}

void THtmlDisplay::UpdateAnimationTimer() {
    if (FAnimationTimer) FAnimationTimer->SetEnabled(!FSections->AnimatedImages.empty());
}

void THtmlDisplay::AnimationTick() {
    if (!FPaintPanel->HandleAllocated()) return;
    // A copy: a frame change may not change the list, but an application handler could.
    const std::vector<TImageObj*> animated = FSections->AnimatedImages;
    for (TImageObj* image : animated) {
        IHtmlAnimation* animation = AnimationOf(image->Image);
        if (animation && animation->Shown()) CheckPictureTime(*image->Image, FPaintPanel->Handle());
    }
    FAnimationTimer->SetInterval(50);
}

void THtmlDisplay::PaintBackground(HDC DC, const RECT& Clip, TColor Color) {
    {
        TGdiObject<HBRUSH> brush(CreateSolidBrush(HtmlColorRef(Color)));
        ::FillRect(DC, &Clip, brush.Get());
    }
    IHtmlPicture* tile = FSections->ShowImages ? FSections->BackgroundBitmap.get() : nullptr;
    if (!tile) return;
    const int32_t bw = tile->Width(), bh = tile->Height();
    if (bw <= 0 || bh <= 0) return;
    TSelectPalette palette(DC, DisplayPalette(), true);
    // The tiles are aligned to the document, so they move with it when it scrolls.
    const int32_t x0 = FirstTile(-(FHScroll->Position() % bw), bw, Clip.left);
    const int32_t y0 = FirstTile(-(FSections->ScrollOffset % bh), bh, Clip.top);
    DrawHtmlPicture(DC, *tile, x0, y0, bw, bh);
    // A first tile wholly in view is the model for the others: copying it is cheaper than
    // drawing the picture again.
    const bool copy = x0 >= Clip.left && y0 >= Clip.top && x0 + bw <= Clip.right && y0 + bh <= Clip.bottom;
    for (int32_t y = y0; y < Clip.bottom; y += bh)
        for (int32_t x = x0; x < Clip.right; x += bw) {
            if (x == x0 && y == y0) continue;
            if (copy)
                BitBlt(DC, x, y, bw, bh, DC, x0, y0, SRCCOPY);
            else
                DrawHtmlPicture(DC, *tile, x, y, bw, bh);
        }
}
