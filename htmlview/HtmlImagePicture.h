// Fetched pictures as the document engine sees them (IHtmlPicture), the document's image request
// over a fetcher, and drawing them on a DC (Win32).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "htmlview/HtmlCanvas.h"
#include "htmlview/HtmlDisplayPainter.h"
#include "htmlview/HtmlImageFetch.h"
#include "htmlview/HtmlObjects.h"

class THtmlPicture : public IHtmlPicture, public IGdiPicture, public IHtmlAnimation {
public:
    explicit THtmlPicture(std::unique_ptr<TFetchedPicture> picture) : picture_(std::move(picture)) {}
    int32_t Width() const override { return picture_->Width; }
    int32_t Height() const override { return picture_->Height; }
    // Drawn by the viewer's GDI painter.
    void DrawOn(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h) const override {
        DrawFetchedPicture(dc, *picture_, x, y, w, h);
    }
    TFetchedPicture& Fetched() const { return *picture_; }
    // The animated GIF of this document image (for the animation timer), or nullptr.
    TGIFImage* Animated() const { return picture_->Gif.get(); }

    // The animation of a GIF of more than one frame; a still picture has one frame and ignores
    // the rest.
    int FrameCount() const override;
    int CurrentFrame() const override;
    void SetCurrentFrame(int frame) override;
    void SetAnimate(bool animate) override;
    bool Shown() const override;
    void SetShown(bool shown) override;

private:
    std::unique_ptr<TFetchedPicture> picture_;
};

// An image request for TSectionList::GetImage: fetches through the fetcher (which must outlive
// the function) and wraps the result.
std::function<std::shared_ptr<IHtmlPicture>(const std::string& name, uint8_t& transparent, bool& delayed)>
DocumentImageRequest(THtmlImageFetcher& fetcher);

// The animation of a document picture, for the document's animation timer and its image objects
// (nothing happens for still pictures or pictures not made by DocumentImageRequest).
bool PictureIsAnimated(const IHtmlPicture& picture);
void SetPictureAnimate(const IHtmlPicture& picture, bool animate);
void CheckPictureTime(const IHtmlPicture& picture, HWND paintWindow);

// Draws a picture made by DocumentImageRequest scaled to w x h; other pictures are not drawn.
void DrawHtmlPicture(HDC dc, const IHtmlPicture& picture, int32_t x, int32_t y, int32_t w, int32_t h);
