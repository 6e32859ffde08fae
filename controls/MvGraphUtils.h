// Drawing helpers of the buttons and labels: the parent's image under a
// transparent control, bitmaps with a transparent colour, embossed and disabled
// pictures, the checker pattern, the active-window test, hot-track font copies and
// the line height of a canvas. None of them keeps state between calls.
#pragma once

#include "gui/Graphics.h"

#include <windows.h>

#include <memory>

class TControl;
class TImageList;

// How a hot-track font follows the control's font (a set of these bits).
enum TMvTrackFontOption : unsigned {
    hoFollowFont = 1u << 0,
    hoPreserveCharSet = 1u << 1,
    hoPreserveColor = 1u << 2,
    hoPreserveHeight = 1u << 3,
    hoPreserveName = 1u << 4,
    hoPreservePitch = 1u << 5,
    hoPreserveStyle = 1u << 6,
};
using TMvTrackFontOptions = unsigned;

// The RGB value of Color with the palette-relative flag (0x02000000) added.
TColor PaletteRelativeColor(TColor Color);

// Paints into Dest what lies under Control: its parent's background and window,
// then the parent's visible windowless controls before Control that overlap it.
void CopyParentImage(TControl* Control, TCanvas& Dest);

// Stretches the source rectangle onto the destination one, leaving the destination
// as it was wherever the source has TransparentColor.
void BlitWithTransparentColor(HDC DstDC, int DstX, int DstY, int DstW, int DstH, HDC SrcDC, int SrcX,
                              int SrcY, int SrcW, int SrcH, HPALETTE Palette, TColor TransparentColor);

// Draws part of Bitmap onto Dest. Sizes below 1 mean the bitmap's own; clNone copies
// every pixel, clDefault takes the bottom-left pixel's colour as transparent, and a
// monochrome bitmap is always transparent in white.
void DrawBitmapPartTransparent(TCanvas& Dest, int DstX, int DstY, int DstW, int DstH, int SrcX, int SrcY,
                               int SrcW, int SrcH, TBitmap& Bitmap, TColor TransparentColor);
void DrawBitmapWithTransparency(TCanvas& Dest, int X, int Y, TBitmap& Bitmap, TColor TransparentColor);

// Picture's shape (every pixel not of Color) embossed on a background of Color.
std::unique_ptr<TBitmap> MakeEmbossedBitmap(TBitmap& Picture, TColor Color);
// The disabled look of Picture: its OutlineColor pixels in ShadowColor (and, with
// DrawHighlight, in HighlightColor one pixel right and down) on BackColor.
std::unique_ptr<TBitmap> MakeDisabledBitmapEx(TBitmap& Picture, TColor OutlineColor, TColor BackColor,
                                              TColor HighlightColor, TColor ShadowColor, bool DrawHighlight);
std::unique_ptr<TBitmap> MakeDisabledBitmap(TBitmap& Picture, TColor OutlineColor);
// Draws image Index of Images embossed; the canvas's brush colour is kept.
void DrawImageListItemDisabled(TImageList& Images, TCanvas& Canvas, int X, int Y, int Index,
                               TColor HighlightColor, TColor GrayColor, bool DrawHighlight);
// An 8 x 8 bitmap of Color1 with Color2 wherever x and y are both even or both odd.
std::unique_ptr<TBitmap> MakeCheckerPatternBitmap(TColor Color1, TColor Color2);

// True when the active window belongs to the calling thread.
bool ActiveWindowInThisThread();

// With hoFollowFont in Options, copies Source into Dest except what Options preserves.
void CopyFontUnlessPreserved(TFont& Dest, const TFont& Source, TMvTrackFontOptions Options);

// tmHeight of the canvas's font.
int CanvasLineHeight(TCanvas& Canvas);
