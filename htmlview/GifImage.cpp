// The animated GIF and its frame bitmap.
#include "gui/GdiGuards.h"
#include "htmlview/GifImage.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "htmlview/GifDecoder.h"
#include "htmlview/HtmlImageDisplay.h"

std::function<DWORD()> TGIFImage::Clock = [] { return timeGetTime(); };

namespace {
// The composed screen into a bitmap and its monochrome mask, reusing them when they already
// have the screen's size (every frame of an animation has).
void CopyFrame(const TGifComposer& composer, ThtBitmap& target) {
    const TPixelImage& image = composer.Pixels();
    if (target.Width() != image.Width || target.Height() != image.Height ||
        target.PixelFormat() != TPixelFormat::pf24bit) {
        PixelsToBitmap(image, target);
    } else {
        for (int y = 0; y < image.Height; ++y)
            std::memcpy(target.ScanLine(y), image.Row(y), static_cast<size_t>(image.Width) * 3);
    }
    if (!target.HasMask()) return;
    const TPixelMask& mask = composer.Mask();
    TBitmap& bits = *target.Mask();
    for (int y = 0; y < mask.Height; ++y) {
        auto* row = static_cast<uint8_t*>(bits.ScanLine(y));
        std::memset(row, 0, static_cast<size_t>(bits.BytesPerLine()));
        const uint8_t* m = mask.Bits.data() + static_cast<size_t>(y) * mask.Width;
        for (int x = 0; x < mask.Width; ++x)
            if (m[x]) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
}
} // namespace

TGIFImage::~TGIFImage() = default;

void ThtBitmap::Draw(TCanvas& canvas, const RECT& rect) {
    StretchDraw(canvas, rect, RECT{0, 0, Width(), Height()});
}

void ThtBitmap::StretchDraw(TCanvas& canvas, const RECT& dest, const RECT& source) {
    if (Empty()) return;
    HDC dc = canvas.Handle();
    TSelectPalette palette(dc, DisplayPalette(), true);
    const int oldMode = GetStretchBltMode(dc);
    if (TargetBits(dc) <= 8 && PixelFormat() == TPixelFormat::pf24bit) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else if (PixelFormat() != TPixelFormat::pf1bit) {
        SetStretchBltMode(dc, COLORONCOLOR);
    }
    if (mask_) {
        DrawMaskedPart(dc, *this, *mask_, source, dest);
    } else {
        StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, Canvas().Handle(),
                   source.left, source.top, source.right - source.left, source.bottom - source.top,
                   canvas.CopyMode());
    }
    SetStretchBltMode(dc, oldMode);
}

std::unique_ptr<TGIFImage> TGIFImage::FromDecoder(std::shared_ptr<const TGif> gif) {
    std::unique_ptr<TGIFImage> image(new TGIFImage());
    image->NumFrames = gif->ImageCount();
    image->Animated = image->NumFrames >= 2;
    image->Width = gif->ScreenWidth();
    image->Height = gif->ScreenHeight();
    const int loops = gif->LoopCount;
    image->NumIterations = loops > 0 ? loops + 1 : (loops == 0 ? 0 : 1);
    image->IsTransparent = gif->Transparent();
    for (int i = 0; i < image->NumFrames; ++i) {
        TgfFrame frame;
        frame.FrameDisposal = gif->ImageDisposalMethod(i);
        frame.FrameLeft = gif->ImageLeft(i);
        frame.FrameTop = gif->ImageTop(i);
        frame.FrameWidth = gif->ImageWidth(i);
        frame.FrameHeight = gif->ImageHeight(i);
        frame.FrameDelay = std::max(30, gif->ImageDelay(i) * 10);
        image->frames_.push_back(frame);
    }
    image->gif_ = std::move(gif);
    return image;
}

std::unique_ptr<TGIFImage> TGIFImage::CreateAGifFromStream(bool& nonAnimated, TStream& stream) {
    nonAnimated = true;
    try {
        auto gif = std::make_shared<TGif>();
        gif->LoadFromStream(stream);
        auto image = FromDecoder(std::move(gif));
        nonAnimated = image->NumFrames < 2;
        return image;
    } catch (const Exception&) {
        // A damaged GIF gives no image; the caller decides what shows instead.
    } catch (const std::bad_alloc&) {
        // The same for one whose frames do not fit in memory.
    }
    return nullptr;
}

std::unique_ptr<TGIFImage> TGIFImage::CreateAGif(const std::string& name, bool& nonAnimated) {
    nonAnimated = true;
    try {
        TFileStream file(name, fmOpenRead | fmShareDenyWrite);
        return CreateAGifFromStream(nonAnimated, file);
    } catch (const Exception&) {
        return nullptr;
    }
}

std::unique_ptr<TGIFImage> TGIFImage::CreateCopy(const TGIFImage& source) {
    std::unique_ptr<TGIFImage> image(new TGIFImage());
    image->Animated = source.Animated;
    image->Width = source.Width;
    image->Height = source.Height;
    image->NumFrames = source.NumFrames;
    image->NumIterations = source.NumIterations;
    image->IsTransparent = source.IsTransparent;
    image->gif_ = source.gif_;
    image->IsCopy = true;
    image->frames_ = source.frames_;
    for (TgfFrame& frame : image->frames_)
        frame.IsCopy = true;
    return image;
}

void TGIFImage::ComposeCurrentFrame() {
    if (bitmapFrame_ == currentFrame_ && frameBitmap_) return;
    if (!composer_) composer_ = std::make_unique<TGifComposer>(*gif_);
    composer_->Seek(currentFrame_ - 1);
    if (!frameBitmap_) {
        frameBitmap_ = std::make_unique<ThtBitmap>();
        if (IsTransparent)
            frameBitmap_->SetMask(std::make_unique<TBitmap>(Width, Height, TPixelFormat::pf1bit));
    }
    CopyFrame(*composer_, *frameBitmap_);
    bitmapFrame_ = currentFrame_;
}

void TGIFImage::Draw(TCanvas& canvas, int x, int y, int wid, int ht) {
    StretchedRect = RECT{x, y, x + wid, y + ht};
    if (!Visible || NumFrames < 1 || !gif_ || Width <= 0 || Height <= 0) return;
    ComposeCurrentFrame();
    const int oldMode = SetStretchBltMode(canvas.Handle(), COLORONCOLOR);
    const DWORD oldCopy = canvas.CopyMode();
    canvas.SetCopyMode(SRCCOPY);
    frameBitmap_->StretchDraw(canvas, StretchedRect, RECT{0, 0, Width, Height});
    canvas.SetCopyMode(oldCopy);
    SetStretchBltMode(canvas.Handle(), oldMode);
}

TBitmap* TGIFImage::GetBitmap() {
    if (!bitmap_ && gif_ && Width > 0 && Height > 0) {
        TGifComposer first(*gif_);
        first.Seek(0);
        bitmap_ = BitmapFromPixels(first.Pixels());
        if (IsTransparent) maskedBitmap_ = MaskFromPixels(first.Mask());
    }
    return bitmap_.get();
}

TBitmap* TGIFImage::GetMaskedBitmap() {
    if (!IsTransparent) return nullptr;
    GetBitmap();
    return maskedBitmap_.get();
}

size_t TGIFImage::MemoryBytes() const {
    auto bitmapBytes = [](const TBitmap* b) {
        return b ? static_cast<size_t>(b->BytesPerLine()) * static_cast<size_t>(b->Height()) : size_t{0};
    };
    size_t bytes = composer_ ? composer_->MemoryBytes() : 0;
    if (frameBitmap_) bytes += bitmapBytes(frameBitmap_.get()) + bitmapBytes(frameBitmap_->Mask());
    return bytes + bitmapBytes(bitmap_.get()) + bitmapBytes(maskedBitmap_.get());
}

DWORD TGIFImage::FrameInterval() const {
    const int delay = frames_.empty() ? 1 : frames_[static_cast<size_t>(currentFrame_ - 1)].FrameDelay;
    return static_cast<DWORD>(std::max(delay, 1));
}

void TGIFImage::SetAnimate(bool value) {
    if (value == animate_) return;
    animate_ = value;
    if (animate_ && NumFrames > 1) {
        CurrentInterval = FrameInterval();
        LastTime = Clock();
    }
}

void TGIFImage::SetCurrentFrame(int value) {
    if (value == currentFrame_ || NumFrames < 1) return;
    if (value > NumFrames)
        currentFrame_ = 1;
    else if (value < 1)
        currentFrame_ = NumFrames;
    else
        currentFrame_ = value;
}

void TGIFImage::CheckTime(HWND control) {
    if (!animate_ || NumFrames < 1) return;
    const DWORD now = Clock();
    // Unsigned difference: right across the clock's wrap after 49.7 days.
    if (now - LastTime < CurrentInterval) return;
    LastTime = now;
    if (currentFrame_ == NumFrames) {
        if (NumIterations >= 1 && CurrentIteration >= NumIterations) {
            animate_ = false;
            return;
        }
        ++CurrentIteration;
    }
    currentFrame_ = currentFrame_ % NumFrames + 1;
    if (control) InvalidateRect(control, &StretchedRect, TRUE);
    CurrentInterval = FrameInterval();
}
