// The display side of the HTML viewer's pictures (Win32): the screen's colour depth and palette,
// the placeholder bitmaps and cursors, making bitmaps of decoded pixel buffers, adapting bitmaps to
// the display, masks and masked drawing, and device-independent copies of bitmaps (TDib).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/Streams.h"
#include "gui/Graphics.h"
#include "htmlview/HtmlImageTypes.h"

// The display's depth, set by start-up and SetDisplayColors.
extern int DisplayColorBits; // 4, 8 or 24

// Process-wide pictures and palette, owned by this module: made by HtmlImagesStartup (and the
// palette by SetDisplayColors), freed by HtmlImagesShutdown; nullptr before and after. Callers
// borrow them and keep no copy past shut-down.
HPALETTE DisplayPalette();         // only on 8-bit displays, else nullptr
TBitmap* ImagePendingBitmap();     // 16 x 16: a picture not loaded yet, or pictures off
TBitmap* ImageErrorBitmap();       // 16 x 16: a picture that could not be loaded
TBitmap* ImageErrorMask();         // its monochrome mask (1 = transparent)
TMemoryStream* ImageLaterStream(); // returned by an image-request handler: "comes later"

// Once per process (counted): reads the screen's depth and palette, makes the placeholders, the
// cursors and the later-stream. Shut-down undoes it when the count returns to 0.
void HtmlImagesStartup();
void HtmlImagesShutdown();
// Sets the display's depth (bits per pixel times planes) and, for 8-bit displays, builds the
// display palette from the given system palette (0x00BBGGRR entries). Start-up calls it with the
// screen's values; tests call it to act as a palette or 16-colour display.
void SetDisplayColors(int bitsTimesPlanes, const std::array<uint32_t, 256>& systemPalette);

// The viewer's cursors: slot 1 over a link, 2 over text, 3 panning up and down, 4 panning up
// only, 5 panning down only (nullptr before start-up).
HCURSOR HtmlViewCursor(int slot);

// Bits per pixel of what the DC draws into (for a memory DC: its selected bitmap).
int TargetBits(HDC dc);

// A 24-bit bitmap of the pixels / a monochrome mask bitmap of the mask (set bits transparent).
std::unique_ptr<TBitmap> BitmapFromPixels(const TPixelImage& image);
// The same into an existing bitmap, which becomes a 24-bit bitmap of the picture's size.
void PixelsToBitmap(const TPixelImage& image, TBitmap& target);
std::unique_ptr<TBitmap> MaskFromPixels(const TPixelMask& mask);
// The pixels of any bitmap at 24 bits.
TPixelImage PixelsFromBitmap(TBitmap& bitmap);

// The bitmap adapted to the display: on displays of more than 8 bits a 1-, 4- or 8-bit bitmap is
// rebuilt at 24 bits and others kept; on palette displays the picture is reduced to the display
// palette (ReduceToDisplay). Takes the bitmap and may return another; nullptr stays nullptr.
std::unique_ptr<TBitmap> ConvertToDisplay(std::unique_ptr<TBitmap> bitmap);
// A new 8-bit bitmap of the picture reduced with error diffusion to the display palette (8-bit
// displays) or to the 20 system colours (smaller ones); nullptr for an empty bitmap.
std::unique_ptr<TBitmap> ReduceToDisplay(TBitmap& bitmap);
// The colours a palette display uses (the display palette or the 20 system colours).
std::vector<uint32_t> DisplayReductionPalette();

// A monochrome mask, 1 where the image has the colour (the bottom-left pixel's when !colorValid).
std::unique_ptr<TBitmap> MakeImageMask(TBitmap& image, bool colorValid, TColor color);
// Draws the image scaled to w x h at (x, y), leaving the target alone where the mask is 1.
// Nothing is drawn on a monochrome target.
void DrawMasked(HDC dc, TBitmap& image, TBitmap& mask, int x, int y, int w, int h);
// The same for a part of the image and its mask, scaled into dest.
void DrawMaskedPart(HDC dc, TBitmap& image, TBitmap& mask, const RECT& source, const RECT& dest);
// A new palette holding the entries of the given one (up to 256), or nullptr. The caller owns it.
HPALETTE CopyDisplayPalette(HPALETTE palette);

// A device-independent copy of a bitmap: its header and colour table, and its bits, from a
// movable global block when they take 0xFF00 bytes or more (else the ordinary heap).
class TDib {
public:
    // Copies the bitmap through the DC (nullptr: a screen DC with the display palette). Raises
    // EOutOfMemory when the bits cannot be had or GetDIBits fails.
    explicit TDib(TBitmap& bitmap, HDC dc = nullptr);
    ~TDib();
    TDib(const TDib&) = delete;
    TDib& operator=(const TDib&) = delete;

    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info_.data()); }
    int InfoSize() const { return static_cast<int>(info_.size()); }
    const void* Bits() const { return bits_; }
    size_t BitsSize() const { return bitsSize_; }
    HGLOBAL Handle() const { return handle_; }
    // A new bitmap made from the copy through a screen DC with the display palette.
    std::unique_ptr<TBitmap> CreateBitmap() const;

private:
    std::vector<uint8_t> info_;
    std::vector<uint8_t> heapBits_;
    HGLOBAL handle_ = nullptr;
    void* bits_ = nullptr;
    size_t bitsSize_ = 0;
};
