// TMvxButtonGlyph: lays out and draws a button's glyph, caption and drop-down mark,
// keeping the prepared image of each drawing state in a shared glyph list.
#pragma once

#include "controls/MvButtonLayout.h"
#include "controls/MvGlyphCache.h"
#include "gui/Control.h"
#include "gui/GraphicImages.h"

#include <array>
#include <memory>

class TImageList;

// A button's state (one byte); drawing adds rbsInactive for a flat button that
// the mouse is not over.
enum TMvButtonState : unsigned char {
    rbsUp = 0,
    rbsDisabled = 1,
    rbsDown = 2,
    rbsExclusive = 3,
    rbsInactive = 4
};

class TMvxButtonGlyph {
public:
    TMvxButtonGlyph();
    ~TMvxButtonGlyph();
    TMvxButtonGlyph(const TMvxButtonGlyph&) = delete;
    TMvxButtonGlyph& operator=(const TMvxButtonGlyph&) = delete;

    // Lays out and draws glyph, caption and mark in Client; returns the text rectangle.
    RECT DrawButton(TCanvas& Canvas, const RECT& Client, UINT TextFlags, TMvButtonState State, int ImageIndex,
                    TImageList* Images, bool DrawMark, int Spacing, int Margin, TButtonLayout Layout,
                    const std::string& Caption, POINT Offset);
    // DrawButton with the Glyph bitmap.
    RECT DrawGlyphButton(TCanvas& Canvas, const RECT& Client, UINT TextFlags, TMvButtonState State,
                         bool DrawMark, int Spacing, int Margin, TButtonLayout Layout,
                         const std::string& Caption, POINT Offset);

    TBitmap& Glyph() { return FGlyph; }
    void SetGlyph(const TBitmap& Bitmap);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    bool GrayNewStyle() const { return FGrayNewStyle; }
    void SetGrayNewStyle(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { FWordWrap = Value; }
    TColor TransparentColor() const { return FTransparentColor; }

    // The prepared image of a state of the bitmap glyph (slot in GlyphList, -1 for none).
    int BuildStateImage(TMvButtonState State);
    // The prepared grey image of an image-list glyph.
    int BuildListStateImage(TImageList& Images, int Index);
    void ClearStateImages();
    TMvGlyphList* GlyphList() const { return FGlyphList; }
    int StateIndex(TMvButtonState State) const { return FIndexes[State]; }

    TNotifyEvent OnChange;

private:
    void GlyphChanged();
    TMvGlyphList* FGlyphList = nullptr;
    bool FGrayNewStyle = false;
    std::array<int, 5> FIndexes{-1, -1, -1, -1, -1};
    int FNumGlyphs = 1;
    TBitmap FGlyph;
    TColor FTransparentColor = 0xFF00FF;
    bool FWordWrap = false;
    TAlignment FAlignment = TAlignment::taCenter;
    // The image-list glyph prepared for the inactive look: which list and index.
    TImageList* FListSource = nullptr;
    int FListSourceIndex = -1;
};

// Maps every pixel of Bitmap to grey, except Transparent and the button face.
void MapBitmapToGrey(TBitmap& Bitmap, TColor Transparent);
