// Where a button's glyph, caption and drop-down mark go: the arithmetic of the
// speed button's glyph drawer, free of any device so that it is tested natively.
#pragma once

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct TMvSize {
    int cx = 0;
    int cy = 0;
};

struct TMvLayoutInput {
    int Width = 0;  // client width W
    int Height = 0; // client height H
    TMvSize Glyph;  // glyph size G ((0, 0) without a glyph)
    int Margin = -1;
    int Spacing = 1;
    bool Mark = false; // a drop-down mark is drawn
    TButtonLayout Layout = TButtonLayout::blGlyphTop;
};

// The room the caption may take (both sizes at least 0).
TMvSize ButtonTextRoom(const TMvLayoutInput& In);

struct TMvLayoutResult {
    int GlyphX = 0, GlyphY = 0;
    // The caption's rectangle, relative to the client's top-left corner; the room
    // reserved for a mark beside the caption is not part of it.
    int TextLeft = 0, TextTop = 0, TextRight = 0, TextBottom = 0;
    int Margin = 0, Spacing = 0; // as finally used
};

// Places glyph and caption. Text is the caption's measured size, already limited to
// ButtonTextRoom ((0, 0) for an empty caption).
TMvLayoutResult PlaceButtonContent(const TMvLayoutInput& In, TMvSize Text);

// Truncating division, as the layout rules use it.
inline int DivTrunc(int a, int b) {
    return a / b;
}
