// TGif: reads a whole GIF87a/GIF89a file, keeps its bytes and the facts of its images, and decodes
// an image's pixels when they are wanted. TGifComposer builds the frames one after another on a
// screen-sized canvas by the GIF89a disposal rules, so an animation of any length needs the file
// and a few screens of memory. Free of windows: the animated-image class makes the bitmaps.
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
    // Where the image's LZW data sub-blocks start in the file's bytes; the pixels are decoded
    // from there each time they are wanted (TGif::DecodeImage).
    size_t DataOffset = 0;
    // The data held a code that was not defined yet; the picture stops there (the rest index 0).
    bool Damaged = false;
    const TGifExtension* GraphicControl() const;
};

class TGif {
public:
    TGif() = default;
    TGif(const TGif&) = delete;
    TGif& operator=(const TGif&) = delete;
    TGif(TGif&&) = default;
    TGif& operator=(TGif&&) = default;

    // Reads the whole file from the stream's start / from memory, keeping a copy of its bytes,
    // and decodes every image once to check its data. Raises EInvalidGraphicOperation
    // "TGif: ..." on a format error; the object then holds a partial load and is only to be freed.
    void LoadFromStream(TStream& stream);
    void LoadFromBytes(const void* data, size_t size);

    int ScreenWidth() const { return screenWidth_; }
    int ScreenHeight() const { return screenHeight_; }
    int ImageCount() const { return static_cast<int>(images_.size()); }
    // The file's size in bytes (the copy the object keeps).
    size_t FileSize() const { return bytes_.size(); }
    // The NETSCAPE loop count, -1 when the file has none.
    int LoopCount = -1;
    // The most bytes the composed screen may take (its canvas and mask, four bytes a pixel); a
    // larger screen fails with "Animated GIF too large". Kept across loads.
    int64_t PixelBudget = kMaxPictureBytes;
    // True when a composed frame may show what lies behind the picture: a frame has a
    // transparent colour, the first frame leaves part of the screen uncovered, or a frame before
    // the last is disposed (restored to the background or to what was there before it).
    bool Transparent() const;

    // Per image, index 0..ImageCount()-1; another index raises "TGif: Value Out Of Range".
    int ImageLeft(int index) const { return Image(index).Left; }
    int ImageTop(int index) const { return Image(index).Top; }
    int ImageWidth(int index) const { return Image(index).Width; }
    int ImageHeight(int index) const { return Image(index).Height; }
    // The columns and rows of the image that lie on the screen: those left of and above the screen's
    // right and bottom edges (0 for an image wholly outside).
    int VisibleWidth(int index) const;
    int VisibleHeight(int index) const;
    // Hundredths of a second, at least 1.
    int ImageDelay(int index) const;
    // 0..3; 0 without a graphic control.
    int ImageDisposalMethod(int index) const;
    // The transparent colour index, -1 when none.
    int ImageTransparentIndex(int index) const;
    const TGifImageRecord& Image(int index) const;
    const TGifColorTable& ColorTable(int index) const { return tables_.at(index); }
    // The image's colour indexes on the screen: VisibleWidth x VisibleHeight, top row first;
    // pixels the data did not reach are 0. The data was checked by the load, so this cannot fail.
    void DecodeImage(int index, std::vector<uint8_t>& pixels) const;

private:
    class TReader;
    class TLzwDecoder;

    void Clear();
    // Reads the file held in bytes_.
    void Parse();
    void ReadScreen(TReader& in);
    void ReadExtension(TReader& in);
    void ReadImage(TReader& in);
    void ReadColorTable(TReader& in, int size);
    // Decodes the image into pixels (width x height kept of it), or only checks its data when
    // pixels is nullptr. True when the data was damaged (see TGifImageRecord::Damaged).
    bool Decode(const TGifImageRecord& image, uint8_t* pixels, int width, int height) const;

    std::vector<uint8_t> bytes_;
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
};

// The frames of a loaded GIF, composed one after another on a screen-sized canvas. The screen
// starts see-through (what lies behind the picture shows), each frame is drawn over it with its
// transparent pixels leaving what is below, and before the next frame the shown frame's
// rectangle is disposed of: 0 and 1 leave it, 2 makes it see-through again (the background), 3
// puts back what was there before the frame was drawn. Holds the canvas, its mask, the area a
// disposal 3 frame covered and one frame's indexes: at most 9 bytes a screen pixel.
class TGifComposer {
public:
    // The GIF must stay alive and unchanged while the composer is used.
    explicit TGifComposer(const TGif& gif);

    // Makes the canvas show frame index (0-based, clamped to the frames): steps on from the
    // frame shown when index is later, else starts again from the empty screen.
    void Seek(int index);
    // The frame shown, -1 before the first Seek.
    int Frame() const { return frame_; }
    // The screen's pixels and mask (1 = see-through).
    const TPixelImage& Pixels() const { return canvas_; }
    const TPixelMask& Mask() const { return mask_; }
    // The bytes of the buffers the composer holds now.
    size_t MemoryBytes() const;

private:
    struct TArea {
        int Left = 0, Top = 0, Right = 0, Bottom = 0;
    };
    TArea AreaOf(int index) const;
    void Restart();
    void Dispose(int index);
    void Draw(int index);

    const TGif* gif_;
    int frame_ = -1;
    TPixelImage canvas_;
    TPixelMask mask_;
    // The area under the last disposal 3 frame drawn, 4 bytes a pixel: blue, green, red, mask.
    std::vector<uint8_t> savedPixels_;
    std::vector<uint8_t> indexes_;
};

[[noreturn]] void RaiseGifError(int error);
