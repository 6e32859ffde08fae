// Glyph and caption placement of a button.
#include "controls/MvButtonLayout.h"

#include <algorithm>

namespace {

bool Horizontal(TButtonLayout L) {
    return L == TButtonLayout::blGlyphLeft || L == TButtonLayout::blGlyphRight;
}

} // namespace

TMvSize ButtonTextRoom(const TMvLayoutInput& In) {
    const int margin = In.Margin != -1 ? In.Margin : 0;
    const int spacing = In.Spacing != -1 ? In.Spacing : 0;
    TMvSize room;
    if (Horizontal(In.Layout)) {
        room.cx = In.Width - In.Glyph.cx - margin - spacing - (In.Mark ? 9 : 0);
        room.cy = In.Height;
    } else {
        room.cx = In.Width;
        room.cy = In.Height - In.Glyph.cy - margin - spacing;
    }
    room.cx = std::max(room.cx, 0);
    room.cy = std::max(room.cy, 0);
    return room;
}

TMvLayoutResult PlaceButtonContent(const TMvLayoutInput& In, TMvSize Text) {
    TMvSize G = In.Glyph, T = Text;
    const int captionWidth = T.cx;
    const bool horizontal = Horizontal(In.Layout);
    if (In.Mark) {
        if ((G.cx > 0 || G.cy > 0) && In.Layout != TButtonLayout::blGlyphLeft)
            G.cx += 6;
        else
            T.cx += 9;
    }
    TMvLayoutResult r;
    int glyphX = 0, glyphY = 0, textX = 0, textY = 0;
    if (horizontal) {
        glyphY = DivTrunc(In.Height, 2) - DivTrunc(G.cy, 2);
        textY = DivTrunc(In.Height, 2) - DivTrunc(T.cy, 2);
    } else {
        glyphX = DivTrunc(In.Width, 2) - DivTrunc(G.cx, 2);
        textX = DivTrunc(In.Width, 2) - DivTrunc(T.cx, 2);
    }
    int M = In.Margin, S = In.Spacing;
    if (T.cx == 0 || G.cx == 0) S = 0;
    const int E = horizontal ? In.Width : In.Height;
    const int g = horizontal ? G.cx : G.cy;
    const int t = horizontal ? T.cx : T.cy;
    if (M == -1) {
        if (S != -1) {
            M = DivTrunc(E, 2) - DivTrunc(g + S + t, 2);
        } else {
            M = DivTrunc(E - (g + t), 3);
            S = M;
        }
    } else if (S == -1) {
        S = DivTrunc(E - M - g, 2) - DivTrunc(t, 2);
    }
    switch (In.Layout) {
    case TButtonLayout::blGlyphLeft:
        glyphX = M;
        textX = M + G.cx + S;
        break;
    case TButtonLayout::blGlyphRight:
        glyphX = In.Width - M - G.cx;
        textX = glyphX - S - T.cx;
        break;
    case TButtonLayout::blGlyphTop:
        glyphY = M;
        textY = M + G.cy + S;
        break;
    case TButtonLayout::blGlyphBottom:
        glyphY = In.Height - M - G.cy;
        textY = glyphY - S - T.cy;
        break;
    }
    r.GlyphX = glyphX;
    r.GlyphY = glyphY;
    r.TextLeft = textX;
    r.TextTop = textY;
    r.TextRight = textX + captionWidth;
    r.TextBottom = textY + T.cy;
    r.Margin = M;
    r.Spacing = S;
    return r;
}
