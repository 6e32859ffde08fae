// TGif: reads a whole GIF87a/GIF89a file and composes its frames side by side into one strip of
// pixels, each frame drawn over the one before it, with a transparency mask when any frame is
// transparent. Free of windows: the animated-image class makes the bitmaps of the strip.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "htmlview/HtmlImageTypes.h"

// The decoder's error numbers; the message of each is "TGif: " and its text.
enum TGifError : int {
    geNoError = 0,
    geBadSignature = 1,
    geNoColorTable = 2,
    geUnknownOpcode = 4,
    geBadExtensionSize = 5,
    geSpecial = 6,
    geBadExtensionTerminator = 7,
    geBadCodeSize = 12,
    geBadLzwData = 13,
    geOutOfRange = 15,
    geNoImage = 18,
    geUnexpectedEof = 24,
    geTooLarge = 25,
};
// The text of an error number ("no error" .. "next message").
const char* GifErrorText(int error);

// A colour table: up to 256 entries, each red + green * 256 + blue * 65536; unused entries are 0.
struct TGifColorTable {
    int Count = 0;
    std::array<uint32_t, 256> Colors{};
};

// A data sub-block list (comment text, plain text, application data).
using TGifSubBlocks = std::vector<std::string>;

struct TGifExtension {
    uint8_t Label = 0;
    // Graphic control ($F9).
    int Disposal = 0;
    bool UserInput = false;
    bool HasTransparent = false;
    int Delay = 0;
    int TransparentIndex = 0;
    // Plain text ($01).
    int GridLeft = 0, GridTop = 0, GridWidth = 0, GridHeight = 0;
    int CellWidth = 0, CellHeight = 0, ForegroundIndex = 0, BackgroundIndex = 0;
    // Application ($FF).
    std::string Identifier;
    std::string AuthCode;
    TGifSubBlocks Data;
};

struct TGifImageRecord {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool LocalTable = false, Interlaced = false, Sorted = false;
    int TableSize = 0;
    int TableIndex = -1;
    int MinCodeSize = 0;
    std::vector<TGifExtension> Extensions;
    // Width * Height colour indexes, top row first; pixels the data did not reach stay 0.
    std::vector<uint8_t> Pixels;
    const TGifExtension* GraphicControl() const;
};

// The composed frames: frame k (0-based) fills columns k * ScreenWidth .. (k + 1) * ScreenWidth - 1.
struct TGifStrip {
    TPixelImage Image;
    TPixelMask Mask; // empty unless the GIF is transparent
};

class TGif {
public:
    TGif() = default;
    TGif(const TGif&) = delete;
    TGif& operator=(const TGif&) = delete;
    TGif(TGif&&) = default;
    TGif& operator=(TGif&&) = default;

    // Decodes the whole file from the stream's start / from memory. Raises EInvalidGraphicOperation
    // "TGif: ..." on a format error; the object then holds a partial load and is only to be freed.
    void LoadFromStream(TStream& stream);
    void LoadFromBytes(const void* data, size_t size);

    int ScreenWidth() const { return screenWidth_; }
    int ScreenHeight() const { return screenHeight_; }
    int ImageCount() const { return static_cast<int>(images_.size()); }
    // The NETSCAPE loop count, -1 when the file has none.
    int LoopCount = -1;
    // The most bytes the images' pixel buffers may take together; a file asking for more fails
    // with "Animated GIF too large" before the buffer is allocated. Kept across loads.
    int64_t PixelBudget = kMaxPictureBytes;
    // True when any image's graphic control has the transparent flag.
    bool Transparent() const;

    // Per image, index 0..ImageCount()-1; another index raises "TGif: Value Out Of Range".
    int ImageLeft(int index) const { return Image(index).Left; }
    int ImageTop(int index) const { return Image(index).Top; }
    int ImageWidth(int index) const { return Image(index).Width; }
    int ImageHeight(int index) const { return Image(index).Height; }
    // Hundredths of a second, at least 1.
    int ImageDelay(int index) const;
    // 0..3; 0 without a graphic control.
    int ImageDisposalMethod(int index) const;
    // The transparent colour index, -1 when none.
    int ImageTransparentIndex(int index) const;
    const TGifImageRecord& Image(int index) const;
    const TGifColorTable& ColorTable(int index) const { return tables_.at(index); }

    // The strip of composed frames and, when Transparent(), its mask.
    TGifStrip GifFrameToBitmapStream() const { return ComposeFrames(ImageCount()); }
    // The first count frames only (1: the first frame's picture alone, as a still picture).
    TGifStrip ComposeFrames(int count) const;
    // The strip's size check alone: raises "TGif: Animated GIF too large" when the strip would be
    // too big. LoadFromStream runs it, so a loaded object can always build its strip.
    void CheckStripSize() const;

private:
    class TReader;
    class TLzwDecoder;

    void Clear();
    void ReadScreen(TReader& in);
    void ReadExtension(TReader& in);
    void ReadImage(TReader& in);
    void ReadColorTable(TReader& in, int size);

    int screenWidth_ = 0;
    int screenHeight_ = 0;
    bool globalTable_ = false;
    int colorResolution_ = 0;
    bool sorted_ = false;
    int globalTableSize_ = 0;
    int backgroundIndex_ = 0;
    int aspect_ = 0;
    int globalTableIndex_ = -1;
    std::vector<TGifImageRecord> images_;
    std::vector<TGifColorTable> tables_;
    std::vector<TGifExtension> pending_;
    int64_t pixelBytes_ = 0; // running total of the images' pixel buffers
};

[[noreturn]] void RaiseGifError(int error);
