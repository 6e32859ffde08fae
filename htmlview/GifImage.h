// TGIFImage: an animated GIF for the HTML viewer (Win32). It keeps the loaded file (shared with its
// copies) and composes a frame when it is drawn, so memory stays a few screens of the picture
// beside the file however many frames it has; animating moves the current frame and invalidates
// where the image was drawn. ThtBitmap is the frame's bitmap class: a bitmap with its own
// transparency mask that draws itself stretched and masked.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "gui/Graphics.h"

class TGif;
class TGifComposer;

class ThtBitmap : public TBitmap {
public:
    ThtBitmap() = default;
    TBitmap* Mask() const { return mask_.get(); }
    bool HasMask() const { return mask_ != nullptr; }
    void SetMask(std::unique_ptr<TBitmap> mask) { mask_ = std::move(mask); }

    void Draw(TCanvas& canvas, const RECT& rect) override;
    // Draws the source part of the bitmap scaled into dest, through the mask when there is one.
    void StretchDraw(TCanvas& canvas, const RECT& dest, const RECT& source);

private:
    std::unique_ptr<TBitmap> mask_;
};

// One frame's facts.
struct TgfFrame {
    int FrameLeft = 0, FrameTop = 0, FrameWidth = 0, FrameHeight = 0;
    int FrameDelay = 30; // milliseconds: max(30, delay field x 10)
    int FrameDisposal = 0;
    bool IsCopy = false;
};

class TGIFImage : public TObject {
public:
    // A new image from a GIF stream / file, or nullptr when it cannot be read. nonAnimated is true
    // for fewer than two frames.
    static std::unique_ptr<TGIFImage> CreateAGifFromStream(bool& nonAnimated, TStream& stream);
    static std::unique_ptr<TGIFImage> CreateAGif(const std::string& name, bool& nonAnimated);
    // A new image sharing source's file, with its own frame clock, starting at frame 1.
    static std::unique_ptr<TGIFImage> CreateCopy(const TGIFImage& source);
    ~TGIFImage() override;

    // Draws the current frame scaled into (x, y, wid, ht) when Visible; remembers the rectangle.
    void Draw(TCanvas& canvas, int x, int y, int wid, int ht);
    // The first frame as a bitmap, and its mask (nullptr unless IsTransparent); made once.
    TBitmap* GetBitmap();
    TBitmap* GetMaskedBitmap();

    bool Animate() const { return animate_; }
    void SetAnimate(bool value);
    int CurrentFrame() const { return currentFrame_; }
    // Values above NumFrames give frame 1, below 1 the last frame.
    void SetCurrentFrame(int value);
    // Called by the document's animation timer: moves to the next frame when the current one's
    // time is up, and invalidates the control's window where the image was drawn.
    void CheckTime(HWND control);

    // The loaded file, shared by the copies.
    const TGif& Source() const { return *gif_; }
    const std::vector<TgfFrame>& Frames() const { return frames_; }
    // The bitmap of the frame last drawn (nullptr before the first Draw).
    ThtBitmap* FrameBitmap() const { return frameBitmap_.get(); }
    // The bytes this image holds beside the shared file: the composer's buffers and the bitmaps.
    size_t MemoryBytes() const;

    bool Animated = false;
    int Width = 0, Height = 0;
    int NumFrames = 0;
    // How often the frames play: loop count + 1, 0 for ever (loop count 0), 1 without a loop count.
    int NumIterations = 1;
    bool IsTransparent = false;
    bool Visible = false;
    RECT StretchedRect{0, 0, 0, 0};
    int CurrentIteration = 1;
    DWORD LastTime = 0;
    DWORD CurrentInterval = 1;
    bool IsShown = false;
    bool IsCopy = false;

    // The millisecond clock (timeGetTime); tests replace it.
    static std::function<DWORD()> Clock;

private:
    TGIFImage() = default;
    static std::unique_ptr<TGIFImage> FromDecoder(std::shared_ptr<const TGif> gif);
    DWORD FrameInterval() const;
    // Brings the frame bitmap to the current frame, composing what is needed.
    void ComposeCurrentFrame();

    std::shared_ptr<const TGif> gif_;
    std::unique_ptr<TGifComposer> composer_;
    std::unique_ptr<ThtBitmap> frameBitmap_;
    int bitmapFrame_ = 0; // the frame the bitmap shows, 0 for none
    std::vector<TgfFrame> frames_;
    std::unique_ptr<TBitmap> bitmap_;
    std::unique_ptr<TBitmap> maskedBitmap_;
    bool animate_ = false;
    int currentFrame_ = 1;
};
