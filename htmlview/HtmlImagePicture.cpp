// The document engine's view of fetched pictures.
#include "htmlview/HtmlImagePicture.h"

#include "htmlview/GifImage.h"

int THtmlPicture::FrameCount() const {
    return picture_->Gif ? picture_->Gif->NumFrames : 1;
}

int THtmlPicture::CurrentFrame() const {
    return FetchedCurrentFrame(*picture_);
}

void THtmlPicture::SetCurrentFrame(int frame) {
    if (picture_->Gif) picture_->Gif->SetCurrentFrame(frame);
}

void THtmlPicture::SetAnimate(bool animate) {
    SetFetchedAnimate(*picture_, animate);
}

bool THtmlPicture::Shown() const {
    return picture_->Gif && picture_->Gif->IsShown;
}

void THtmlPicture::SetShown(bool shown) {
    if (picture_->Gif) picture_->Gif->IsShown = shown;
}

std::function<std::shared_ptr<IHtmlPicture>(const std::string& name, uint8_t& transparent, bool& delayed)>
DocumentImageRequest(THtmlImageFetcher& fetcher) {
    return [&fetcher](const std::string& name, uint8_t& transparent,
                      bool& delayed) -> std::shared_ptr<IHtmlPicture> {
        bool fromCache = false;
        auto fetched = fetcher.Fetch(name, transparent, delayed, fromCache);
        if (!fetched) return nullptr;
        return std::make_shared<THtmlPicture>(std::move(fetched));
    };
}

void DrawHtmlPicture(HDC dc, const IHtmlPicture& picture, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (const auto* ours = dynamic_cast<const THtmlPicture*>(&picture))
        DrawFetchedPicture(dc, ours->Fetched(), x, y, w, h);
}

namespace {
TFetchedPicture* FetchedOf(const IHtmlPicture& picture) {
    const auto* ours = dynamic_cast<const THtmlPicture*>(&picture);
    return ours ? &ours->Fetched() : nullptr;
}
} // namespace

bool PictureIsAnimated(const IHtmlPicture& picture) {
    const TFetchedPicture* fetched = FetchedOf(picture);
    return fetched && fetched->Gif != nullptr;
}

void SetPictureAnimate(const IHtmlPicture& picture, bool animate) {
    if (TFetchedPicture* fetched = FetchedOf(picture)) SetFetchedAnimate(*fetched, animate);
}

void CheckPictureTime(const IHtmlPicture& picture, HWND paintWindow) {
    if (TFetchedPicture* fetched = FetchedOf(picture)) CheckFetchedTime(*fetched, paintWindow);
}
