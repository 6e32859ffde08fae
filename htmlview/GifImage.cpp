// The animated GIF and its strip bitmap.
#include "htmlview/GifImage.h"

#include <mmsystem.h>

#include <algorithm>
#include <new>

#include "htmlview/GifDecoder.h"
#include "htmlview/HtmlImageDisplay.h"

std::function<DWORD()> TGIFImage::Clock = [] { return timeGetTime(); };

namespace {
// A piece of a bitmap as a new bitmap of the same pixel format.
std::unique_ptr<TBitmap> CutColumns(TBitmap& source, int width) {
    auto out = std::make_unique<TBitmap>();
    out->SetPixelFormat(source.PixelFormat());
    out->SetSize(width, source.Height());
    BitBlt(out->Canvas().Handle(), 0, 0, width, source.Height(), source.Canvas().Handle(), 0, 0, SRCCOPY);
    return out;
}
} // namespace

void ThtBitmap::Draw(TCanvas& canvas, const RECT& rect) {
    StretchDraw(canvas, rect, RECT{0, 0, Width(), Height()});
}

void ThtBitmap::StretchDraw(TCanvas& canvas, const RECT& dest, const RECT& source) {
    if (Empty()) return;
    HDC dc = canvas.Handle();
    HPALETTE oldPalette = nullptr;
    if (DisplayPalette) {
        oldPalette = SelectPalette(dc, DisplayPalette, TRUE);
        RealizePalette(dc);
    }
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
    if (oldPalette) SelectPalette(dc, oldPalette, TRUE);
}

std::unique_ptr<TGIFImage> TGIFImage::FromDecoder(const TGif& gif) {
    std::unique_ptr<TGIFImage> image(new TGIFImage());
    image->NumFrames = gif.ImageCount();
    image->Animated = image->NumFrames >= 2;
    image->Width = gif.ScreenWidth();
    image->Height = gif.ScreenHeight();
    const int loops = gif.LoopCount;
    image->NumIterations = loops > 0 ? loops + 1 : (loops == 0 ? 0 : 1);
    image->IsTransparent = gif.Transparent();
    const TGifStrip strip = gif.GifFrameToBitmapStream();
    image->strip_ = std::make_shared<ThtBitmap>();
    PixelsToBitmap(strip.Image, *image->strip_);
    if (!strip.Mask.Empty()) image->strip_->SetMask(MaskFromPixels(strip.Mask));
    for (int i = 0; i < image->NumFrames; ++i) {
        TgfFrame frame;
        frame.FrameDisposal = gif.ImageDisposalMethod(i);
        frame.FrameLeft = gif.ImageLeft(i);
        frame.FrameTop = gif.ImageTop(i);
        frame.FrameWidth = gif.ImageWidth(i);
        frame.FrameHeight = gif.ImageHeight(i);
        frame.FrameDelay = std::max(30, gif.ImageDelay(i) * 10);
        image->frames_.push_back(frame);
    }
    return image;
}

std::unique_ptr<TGIFImage> TGIFImage::CreateAGifFromStream(bool& nonAnimated, TStream& stream) {
    nonAnimated = true;
    try {
        TGif gif;
        gif.LoadFromStream(stream);
        auto image = FromDecoder(gif);
        nonAnimated = image->NumFrames < 2;
        return image;
    } catch (const Exception&) {
    } catch (const std::bad_alloc&) {
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
    image->strip_ = source.strip_;
    image->IsCopy = true;
    image->frames_ = source.frames_;
    for (TgfFrame& frame : image->frames_)
        frame.IsCopy = true;
    return image;
}

void TGIFImage::Draw(TCanvas& canvas, int x, int y, int wid, int ht) {
    StretchedRect = RECT{x, y, x + wid, y + ht};
    if (!Visible || NumFrames < 1 || !strip_ || strip_->Empty()) return;
    const int left = (currentFrame_ - 1) * Width;
    const int oldMode = SetStretchBltMode(canvas.Handle(), COLORONCOLOR);
    const DWORD oldCopy = canvas.CopyMode();
    canvas.SetCopyMode(SRCCOPY);
    strip_->StretchDraw(canvas, StretchedRect, RECT{left, 0, left + Width, Height});
    canvas.SetCopyMode(oldCopy);
    SetStretchBltMode(canvas.Handle(), oldMode);
}

TBitmap* TGIFImage::GetBitmap() {
    if (!bitmap_ && strip_ && !strip_->Empty()) {
        bitmap_ = CutColumns(*strip_, Width);
        if (strip_->HasMask()) maskedBitmap_ = CutColumns(*strip_->Mask(), Width);
    }
    return bitmap_.get();
}

TBitmap* TGIFImage::GetMaskedBitmap() {
    if (!IsTransparent) return nullptr;
    GetBitmap();
    return maskedBitmap_.get();
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
