// Glyph, caption and mark of a button.
#include "controls/MvButtonGlyph.h"

#include "controls/MvFragments.h"
#include "controls/MvGraphUtils.h"
#include "gui/ImgList.h"
#include "gui/Themes.h"

#include <algorithm>
#include <sstream>

TMvxButtonGlyph::TMvxButtonGlyph() {
    GlyphCache();
}

TMvxButtonGlyph::~TMvxButtonGlyph() {
    ClearStateImages();
    ReleaseGlyphCacheIfEmpty();
}

void TMvxButtonGlyph::SetGlyph(const TBitmap& Bitmap) {
    ClearStateImages();
    if (Bitmap.Empty())
        FGlyph.SetSize(0, 0);
    else
        FGlyph.Assign(Bitmap);
    GlyphChanged();
}

void TMvxButtonGlyph::GlyphChanged() {
    ClearStateImages();
    if (!FGlyph.Empty() && FGlyph.Width() > 0 && FGlyph.Height() > 0) {
        FTransparentColor = FGlyph.TransparentColor();
        if (FGlyph.Width() % FGlyph.Height() == 0) {
            const int n = FGlyph.Width() / FGlyph.Height();
            FNumGlyphs = n > 5 ? 1 : n;
        }
    }
    if (OnChange) OnChange(nullptr);
}

void TMvxButtonGlyph::SetNumGlyphs(int Value) {
    if (Value == 0 || Value == FNumGlyphs) return;
    ClearStateImages();
    FNumGlyphs = Value;
}

void TMvxButtonGlyph::SetGrayNewStyle(bool Value) {
    if (Value == FGrayNewStyle) return;
    ClearStateImages();
    FGrayNewStyle = Value;
}

void TMvxButtonGlyph::ClearStateImages() {
    for (int& index : FIndexes) {
        if (index >= 0 && FGlyphList) FGlyphList->Delete(index);
        index = -1;
    }
    if (FGlyphList && GlyphCacheExists()) GlyphCache().ReturnList(FGlyphList);
    FGlyphList = nullptr;
    FListSource = nullptr;
    FListSourceIndex = -1;
}

void MapBitmapToGrey(TBitmap& Bitmap, TColor Transparent) {
    const COLORREF keep1 = ColorToRGB(Transparent), keep2 = ColorToRGB(clBtnFace);
    TBitmap rgb(Bitmap.Width(), Bitmap.Height(), TPixelFormat::pf24bit);
    BitBlt(rgb.Canvas().Handle(), 0, 0, Bitmap.Width(), Bitmap.Height(), Bitmap.Canvas().Handle(), 0, 0,
           SRCCOPY);
    for (int y = 0; y < rgb.Height(); ++y) {
        auto* row = static_cast<unsigned char*>(rgb.ScanLine(y));
        for (int x = 0; x < rgb.Width(); ++x) {
            unsigned char* p = row + x * 3; // B, G, R
            const COLORREF c = RGB(p[2], p[1], p[0]);
            if (c == keep1 || c == keep2) continue;
            const auto grey = static_cast<unsigned char>((77 * p[2] + 150 * p[1] + 29 * p[0]) / 256);
            p[0] = p[1] = p[2] = grey;
        }
    }
    Bitmap.Assign(rgb);
}

int TMvxButtonGlyph::BuildStateImage(TMvButtonState State) {
    if (State == rbsDown && FNumGlyphs < 3) State = rbsUp;
    if (FIndexes[State] != -1) return FIndexes[State];
    if (FGlyph.Empty() || FGlyph.Width() == 0 || FGlyph.Height() == 0) return -1;
    const int w = FGlyph.Width() / std::max(FNumGlyphs, 1), h = FGlyph.Height();
    if (w <= 0) return -1;
    if (!FGlyphList) FGlyphList = GlyphCache().GetList(w, h);
    const int part = static_cast<int>(State) < FNumGlyphs ? static_cast<int>(State) : 0;
    TBitmap image(w, h);
    auto copyPart = [&](int p) {
        BitBlt(image.Canvas().Handle(), 0, 0, w, h, FGlyph.Canvas().Handle(), p * w, 0, SRCCOPY);
    };
    TColor mask = FTransparentColor;
    switch (State) {
    case rbsUp:
    case rbsDown:
    case rbsExclusive:
        copyPart(part);
        break;
    case rbsDisabled:
        if (FNumGlyphs >= 2) {
            copyPart(part);
        } else if (FGrayNewStyle) {
            copyPart(0);
            MapBitmapToGrey(image, FTransparentColor);
        } else {
            copyPart(0);
            auto embossed = MakeEmbossedBitmap(image, FTransparentColor);
            image.Assign(*embossed);
        }
        break;
    case rbsInactive:
        if (FNumGlyphs >= 5) {
            copyPart(4);
        } else {
            copyPart(part);
            MapBitmapToGrey(image, FTransparentColor);
        }
        break;
    }
    FIndexes[State] = FGlyphList->AddMasked(image, mask);
    return FIndexes[State];
}

int TMvxButtonGlyph::BuildListStateImage(TImageList& Images, int Index) {
    if (FListSource != &Images || FListSourceIndex != Index) {
        if (FIndexes[rbsInactive] >= 0 && FGlyphList) FGlyphList->Delete(FIndexes[rbsInactive]);
        FIndexes[rbsInactive] = -1;
        FListSource = &Images;
        FListSourceIndex = Index;
    }
    if (FIndexes[rbsInactive] != -1) return FIndexes[rbsInactive];
    const int w = Images.Width(), h = Images.Height();
    if (!FGlyphList || FGlyphList->Width() != w || FGlyphList->Height() != h) {
        if (FGlyphList) {
            for (int& i : FIndexes)
                if (i >= 0) FGlyphList->Delete(i), i = -1;
            GlyphCache().ReturnList(FGlyphList);
        }
        FGlyphList = GlyphCache().GetList(w, h);
    }
    TBitmap image(w, h);
    image.Canvas().Brush().SetColor(clBtnFace);
    image.Canvas().FillRect(RECT{0, 0, w, h});
    ImageList_Draw(Images.Handle(), Index, image.Canvas().Handle(), 0, 0, ILD_NORMAL);
    MapBitmapToGrey(image, clBtnFace);
    FIndexes[rbsInactive] = FGlyphList->AddMasked(image, clBtnFace);
    return FIndexes[rbsInactive];
}

namespace {

void DrawMarkAt(TCanvas& Canvas, int X, int Y, TColor Color) {
    HDC dc = Canvas.Handle();
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ColorToRGB(Color)));
    TSelectObject sel(dc, pen.Get());
    // Rows of 7, 5, 3 and 1 pixels, the first one pixel above the point.
    for (int row = 0; row < 4; ++row) {
        MoveToEx(dc, X + row, Y - 1 + row, nullptr);
        LineTo(dc, X + 7 - row, Y - 1 + row);
    }
}

std::string FitCaption(TCanvas& Canvas, const std::string& Caption, int Width, bool WordWrap) {
    std::string text = Caption.substr(0, 255);
    if (WordWrap) return text;
    std::string result, line;
    std::istringstream lines(text);
    bool first = true;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!first) result += "\r\n";
        result += ShortenTextToWidth(line, Canvas, Width);
        first = false;
    }
    while (!result.empty() && (result.back() == ' ' || result.back() == '\r' || result.back() == '\n'))
        result.pop_back();
    return result;
}

} // namespace

RECT TMvxButtonGlyph::DrawButton(TCanvas& Canvas, const RECT& Client, UINT TextFlags, TMvButtonState State,
                                 int ImageIndex, TImageList* Images, bool DrawMark, int Spacing, int Margin,
                                 TButtonLayout Layout, const std::string& Caption, POINT Offset) {
    const bool useList = Images && ImageIndex >= 0 && ImageIndex < Images->Count() && Images->Width() >= 1;
    TMvLayoutInput in;
    in.Width = Client.right - Client.left;
    in.Height = Client.bottom - Client.top;
    if (useList)
        in.Glyph = {Images->Width(), Images->Height()};
    else if (!FGlyph.Empty() && FGlyph.Width() > 0)
        in.Glyph = {FGlyph.Width() / std::max(FNumGlyphs, 1), FGlyph.Height()};
    in.Margin = Margin;
    in.Spacing = Spacing;
    in.Mark = DrawMark;
    in.Layout = Layout;
    const TMvSize room = ButtonTextRoom(in);

    const UINT flags = TextFlags | (FWordWrap ? DT_WORDBREAK : 0u);
    const std::string text = FitCaption(Canvas, Caption, room.cx, FWordWrap);
    TMvSize measured;
    if (!text.empty()) {
        RECT calc{0, 0, room.cx, 0};
        DrawTextOnCanvas(Canvas, text.c_str(), -1, calc, DT_CALCRECT | flags);
        measured = {std::min<int>(calc.right - calc.left, room.cx),
                    std::min<int>(calc.bottom - calc.top, room.cy)};
    }
    const TMvLayoutResult place = PlaceButtonContent(in, measured);
    const bool themed = ThemeServices().ThemesEnabled();
    const int gx = Client.left + place.GlyphX + Offset.x, gy = Client.top + place.GlyphY + Offset.y;
    RECT textRect{Client.left + place.TextLeft, Client.top + place.TextTop, Client.left + place.TextRight,
                  Client.top + place.TextBottom};
    if (!themed) OffsetRect(&textRect, Offset.x, Offset.y);

    HDC dc = Canvas.Handle();
    if (useList) {
        if (State == rbsDisabled) {
            if (FGrayNewStyle)
                Images->Draw(Canvas, gx, gy, ImageIndex, false);
            else
                DrawImageListItemDisabled(*Images, Canvas, gx, gy, ImageIndex, clBtnHighlight, clBtnShadow,
                                          true);
        } else if (State == rbsInactive) {
            const int i = BuildListStateImage(*Images, ImageIndex);
            if (i >= 0) FGlyphList->Draw(dc, gx, gy, i);
        } else {
            Images->Draw(Canvas, gx, gy, ImageIndex, true);
        }
    } else if (in.Glyph.cx > 0) {
        const int i = BuildStateImage(State);
        if (i >= 0) FGlyphList->Draw(dc, gx, gy, i);
    }

    if (!text.empty()) {
        Canvas.Brush().SetStyle(TBrushStyle::bsClear);
        const UINT drawFlags = flags | DT_VCENTER;
        if (State == rbsDisabled) {
            const TColor old = Canvas.Font().Color();
            RECT shifted = textRect;
            OffsetRect(&shifted, 1, 1);
            Canvas.Font().SetColor(clBtnHighlight);
            DrawTextOnCanvas(Canvas, text.c_str(), -1, shifted, drawFlags);
            Canvas.Font().SetColor(clBtnShadow);
            DrawTextOnCanvas(Canvas, text.c_str(), -1, textRect, drawFlags);
            Canvas.Font().SetColor(old);
        } else {
            DrawTextOnCanvas(Canvas, text.c_str(), -1, textRect, drawFlags);
        }
    }

    if (DrawMark) {
        int mx, my;
        const int textMiddle = (textRect.top + textRect.bottom) / 2;
        if (Layout != TButtonLayout::blGlyphLeft && in.Glyph.cx > 0) {
            mx = gx + in.Glyph.cx + 1;
            my = gy + in.Glyph.cy / 2;
        } else if (!text.empty()) {
            mx = textRect.right + 3;
            my = textMiddle;
        } else {
            mx = (Client.left + Client.right - 7) / 2;
            my = textMiddle;
        }
        if (State == rbsDisabled) {
            DrawMarkAt(Canvas, mx + 1, my + 1, clBtnHighlight);
            DrawMarkAt(Canvas, mx, my, clBtnShadow);
        } else {
            DrawMarkAt(Canvas, mx, my, clBtnText);
        }
    }
    return textRect;
}

RECT TMvxButtonGlyph::DrawGlyphButton(TCanvas& Canvas, const RECT& Client, UINT TextFlags,
                                      TMvButtonState State, bool DrawMark, int Spacing, int Margin,
                                      TButtonLayout Layout, const std::string& Caption, POINT Offset) {
    return DrawButton(Canvas, Client, TextFlags, State, -1, nullptr, DrawMark, Spacing, Margin, Layout,
                      Caption, Offset);
}
