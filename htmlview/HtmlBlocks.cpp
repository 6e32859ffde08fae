// Spacing, rules, preformatted text and list items.
#include "htmlview/HtmlBlocks.h"

#include <algorithm>
#include <typeinfo>

#include "htmlview/HtmlScanner.h"
#include "htmlview/HtmlSymbols.h"

void TParagraphSpace::CopyToClipboard(ITextSink& sink) {
    WriteLine(sink, "", 0);
}

void TParagraphSpace::AdjustToFontSize() {
    if (ParentSectionList) SectionHeight = HtmlMulDiv(14, ParentSectionList->FontSize, 12);
}

void THeadingSpace::CopyToClipboard(ITextSink& sink) {
    WriteLine(sink, "", 0);
}

void THeadingSpace::AdjustToFontSize() {
    static constexpr int32_t kSpace[] = {8, 16, 12, 10, 8, 6, 4};
    int32_t v = kSpace[(HeadingLevel >= 1 && HeadingLevel <= 6) ? HeadingLevel : 0];
    if (ParentSectionList) SectionHeight = HtmlMulDiv(v, ParentSectionList->FontSize, 12);
}

THorzLine::THorzLine(TSectionList* list, const TAttributeList& attributes) : TSectionBase(list) {
    for (const auto& a : attributes) {
        switch (a.Which) {
        case AttrSIZE:
            if (a.Value >= 1 && a.Value <= 20) VSize = a.Value;
            break;
        case AttrWIDTH:
            if (a.Value >= 1) {
                if (a.Name.find('%') != std::string::npos) {
                    if (a.Value <= 100) {
                        Width = a.Value;
                        Percent = true;
                    }
                } else {
                    Width = std::min(a.Value, hvMaxPixels);
                }
            }
            break;
        case AttrALIGN: {
            std::string v;
            for (char c : a.Name)
                v += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
            Align = v == "left" ? 1 : v == "right" ? 3 : 2;
            break;
        }
        case AttrCOLOR: {
            TColor c;
            if (THtmlScanner::ColorFromString(a.Name, c)) {
                Color = c;
                HasColor = true;
            }
            break;
        }
        case AttrNOSHADE:
            NoShade = true;
            break;
        default:
            break;
        }
    }
    AdjustToFontSize();
}

void THorzLine::CopyToClipboard(ITextSink& sink) {
    WriteLine(sink, "", 0);
}

void THorzLine::AdjustToFontSize() {
    if (ParentSectionList) SectionHeight = HtmlMulDiv(20, ParentSectionList->FontSize, 12) - 2 + VSize;
}

int32_t THorzLine::Draw(IHtmlPainter& canvas, const THvRect& rect, IndentManager& indents, int32_t,
                        int32_t y) {
    YValue = y;
    int32_t result = y + SectionHeight;
    int32_t yt = y - ParentSectionList->ScrollOffset;
    if (yt + SectionHeight < rect.Top || yt >= rect.Bottom) return result;
    int32_t yo = yt + (SectionHeight - VSize) / 2;
    int32_t xl = indents.LeftIndent(y), xr = indents.RightSide(y);
    int32_t x1, x2;
    if (Width > 0) {
        int32_t w = Percent ? HtmlMulDiv(xr - xl, Width, 100) : Width;
        x1 = Align == 1 ? xl : Align == 2 ? xl + (xr - xl - w) / 2 : xr - w;
        x2 = x1 + w;
    } else {
        x1 = xl + 10;
        x2 = xr - 10;
    }
    if (HasColor) {
        canvas.FillRect({x1, yo, x2, yo + VSize}, Color | hvPaletteRelative);
        return result;
    }
    bool mono = NoShade || canvas.Monochrome();
    TColor bg = ParentSectionList->Background;
    bool white =
        (bg & 0xFFFFFF) == 0xFFFFFF || (bg == hvSysWindow && canvas.ColorToRGB(hvSysWindow) == 0xFFFFFF);
    TColor dark = mono ? 0 : hvSysBtnShadow;
    TColor light = mono ? 0 : (white ? 0xC0C0C0 : hvSysBtnHighlight);
    canvas.Line(x1, yo + VSize, x1, yo, dark);
    canvas.Line(x1, yo, x2, yo, dark);
    canvas.Line(x2, yo, x2, yo + VSize, light);
    canvas.Line(x2, yo + VSize, x1, yo + VSize, light);
    return result;
}

void TPreFormated::AppendToken(const TokenObj& token, bool) {
    if (token.S.empty() || Len > 20000) return;
    std::string s = token.S;
    // Raw placeholder bytes would be taken for pictures and controls: they show as spaces.
    for (char& c : s)
        if (c == 0 || c == PhControl || (c >= PhPicture && c <= PhPictureNoBreak)) c = ' ';
    AppendRaw(s.data(), token.I.data(), static_cast<int32_t>(s.size()));
}

int32_t TPreFormated::LayoutParagraph(ITextMetrics& canvas, int32_t y, IndentManager& indents,
                                      int32_t& maxWidth, int32_t& curs) {
    if (Len == 0) {
        YValue = y;
        StartCurs = curs;
        Lines.clear();
        indents.SetLevel(y, Level);
        TFontObj* f = Fonts.GetFontObjAt(0);
        SectionHeight = DrawHeight = f ? f->CurrentFont->Size : 0;
        maxWidth = 0;
        return SectionHeight;
    }
    TSection::LayoutParagraph(canvas, y, indents, maxWidth, curs);
    int32_t mn = 0, mx = 0;
    MinMaxWidth(canvas, mn, mx);
    maxWidth = mx;
    return SectionHeight;
}

void TPreFormated::MinMaxWidth(ITextMetrics& canvas, int32_t& min, int32_t& max) {
    if (Len == 0) {
        min = max = Indent;
        return;
    }
    max = FindTextWidth(canvas, 0, Len, false) + Indent;
    min = std::min(2000, max);
}

void TUListItem::DrawItemMarker(IHtmlPainter& canvas, int32_t lineStartX, int32_t baseline,
                                int32_t lineHeight) {
    if (ListType == 3 || Plain) return;
    TSectionList& doc = *ParentSectionList;
    const TMyFont& font = *MarkerFont;
    if (ListType == 1) {
        std::string text = static_cast<TOListItem*>(this)->NumberText();
        int32_t w = canvas.TextWidth(font, text.data(), static_cast<int32_t>(text.size()));
        canvas.TextOut(font, lineStartX - 5 - w, baseline, text.data(), static_cast<int32_t>(text.size()),
                       font.Color, false, 0);
        return;
    }
    const TFontMetrics metrics = canvas.Metrics(font);
    int32_t fontHeight = metrics.Height;
    int32_t descent = metrics.Descent;
    (void)lineHeight;
    int32_t cy = baseline + descent - fontHeight / 2;
    THvRect r{lineStartX - 8 - 2, cy - 2, lineStartX - 8 + 3, cy + 3};
    TColor bg = doc.Background;
    TColor rgb = canvas.ColorToRGB(bg);
    bool light = bg == hvSysBtnFace || (bg & 0xFFFFFF) == 0xFFFFFF || (bg & 0xFFFFFF) == 0xC0C0C0 ||
                 (bg == hvSysWindow && rgb == 0xFFFFFF);
    if (light) {
        static constexpr TColor kByLevel[] = {0x0000FF, 0x800000, 0x000080};
        TColor c = kByLevel[(Level > 0 ? Level : 0) % 3];
        canvas.Ellipse(r, c, c, true);
    } else {
        canvas.Ellipse(r, doc.FontColor, doc.FontColor, false);
    }
}

void TUListItem::UpdateFonts() {
    TSection::UpdateFonts();
    if (!ParentSectionList) return;
    TMyFont font = *MarkerFont;
    UpdateMyFont(font, *ParentSectionList, ParentSectionList->FontColor);
    MarkerFont = font;
}

std::string TOListItem::NumberText() const {
    static constexpr const char* kRoman[] = {"i",    "ii",  "iii",  "iv",    "v",   "vi",   "vii",
                                             "viii", "ix",  "x",    "xi",    "xii", "xiii", "xiv",
                                             "xv",   "xvi", "xvii", "xviii", "xix", "xx"};
    int32_t n = ItemNumber;
    std::string s;
    bool decimal = true;
    if (n >= 1) {
        switch (NumType) {
        case 'A':
        case 'a':
            s = static_cast<char>((NumType == 'A' ? 'A' : 'a') + std::min(n, 26) - 1);
            decimal = false;
            break;
        case 'I':
        case 'i':
            s = kRoman[std::min(n, 20) - 1];
            if (NumType == 'I')
                for (char& c : s)
                    c = static_cast<char>(c - 32);
            decimal = false;
            break;
        default:
            break;
        }
    }
    // A start below 1 has no letter or numeral: it is written in decimal.
    if (decimal) s = std::to_string(n);
    return s + ".";
}

// --- TBreakLine ---

std::unique_ptr<TBreakLine> TBreakLine::From(const TSection& section) {
    if (typeid(section) != typeid(TSection) || section.Len != 1 || section.Text() != " " ||
        section.Fonts.Count() != 1 || !section.Images.Empty() || !section.FormControls.empty() ||
        section.Preformatted || section.ListType != 0 || section.SourceIndexList.size() != 1)
        return nullptr;
    const TFontObj* run = section.Fonts[0];
    if (!run->UrlTarget.URL().empty() || run->SScript != 0) return nullptr;
    std::unique_ptr<TBreakLine> line(new TBreakLine(section.ParentSectionList));
    line->Font = run->CurrentFont;
    line->SourcePos = section.SourceIndexList[0].SourceIndex;
    line->Level = section.Level;
    line->Justify = section.Justify;
    line->ClearAttr = section.ClearAttr;
    return line;
}

int32_t TBreakLine::SpaceWidth(ITextMetrics& canvas) const {
    return canvas.TextWidth(*Font, " ", 1) - canvas.Metrics(*Font).Overhang;
}

int32_t TBreakLine::LayoutParagraph(ITextMetrics& canvas, int32_t y, IndentManager& indents,
                                    int32_t& maxWidth, int32_t& curs) {
    YValue = y;
    StartCurs = curs;
    indents.SetLevel(y, Level);
    clearHeight_ = 0;
    if (ClearAttr != 0) {
        int32_t cl = 0, cr = 0;
        indents.YBelowFloats(cl, cr);
        int32_t left = std::max(0, cl - y - 1), right = std::max(0, cr - y - 1);
        clearHeight_ = ClearAttr == 1 ? left : ClearAttr == 2 ? right : std::max(left, right);
        y += clearHeight_;
    }
    maxWidth = indents.Width();
    const TFontMetrics m = canvas.Metrics(*Font);
    lineHeight_ = static_cast<int16_t>(std::clamp(m.Height + m.ExternalLeading, 0, 32767));
    descent_ = static_cast<int16_t>(std::clamp(m.Descent, 0, 32767));
    int32_t left = indents.LeftIndent(y);
    if (Justify == 1) {
        lineIndent_ = left;
    } else {
        int32_t right = indents.RightSide(y), w = SpaceWidth(canvas);
        lineIndent_ = Justify == 2 ? std::max(left, (right + left - w) / 2) : right - w - 1;
    }
    lineIndent_ -= indents.LeftEdge;
    SectionHeight = clearHeight_ + lineHeight_;
    y += lineHeight_;
    curs = StartCurs + Len;
    if (Level > 0) SectionHeight = std::max(SectionHeight, indents.NextWiderY(y) - YValue);
    DrawHeight = std::max(SectionHeight, indents.ImageBottom() - YValue);
    return SectionHeight;
}

int32_t TBreakLine::Draw(IHtmlPainter& canvas, const THvRect& rect, IndentManager&, int32_t x, int32_t y) {
    int32_t result = y + SectionHeight;
    TSectionList& doc = *ParentSectionList;
    int32_t screenTop = y - doc.ScrollOffset;
    if (screenTop + DrawHeight <= rect.Top || screenTop >= rect.Bottom) return result;
    int32_t lineTop = screenTop + clearHeight_;
    if (lineTop + lineHeight_ > rect.Top && lineTop < rect.Bottom) {
        drawX_ = x + lineIndent_;
        // The space is drawn as a text section draws it: seen only when it is selected.
        bool selected = doc.SelFrom < doc.SelTo && StartCurs >= doc.SelFrom && StartCurs < doc.SelTo;
        TColor color = Font->Color;
        canvas.TextOut(*Font, drawX_ - canvas.Metrics(*Font).Overhang / 2, lineTop + lineHeight_ - descent_,
                       " ", 1, selected ? doc.Background : color, selected, color);
    }
    YValue = result - SectionHeight;
    return result;
}

int32_t TBreakLine::CharIndexAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, int32_t& xr, int32_t& yr,
                                     int32_t& ht, bool& inText) {
    int32_t top = YValue + clearHeight_;
    if (y < YValue || y >= top + lineHeight_) return -1;
    if (y < top) { // the cleared band is a line of its own with no characters
        ht = clearHeight_;
        yr = YValue;
        xr = drawX_ - lineIndent_;
        inText = false;
        return StartCurs;
    }
    ht = lineHeight_;
    yr = top;
    inText = false;
    xr = drawX_;
    int32_t count = 0;
    if (x >= drawX_) {
        int32_t w = SpaceWidth(canvas);
        if (x - drawX_ >= w) {
            count = 1; // the whole space fits left of the point
            xr += w;
        } else {
            inText = true;
            if (xr + w / 2 < x) {
                count = 1;
                xr += w;
                inText = false;
            }
        }
    }
    return StartCurs + count;
}

int32_t TBreakLine::FindString(int32_t from, const std::string& toFind, bool) {
    return toFind == " " && from <= StartCurs ? StartCurs : -1;
}

int32_t TBreakLine::SourcePosOf(int32_t docPos) {
    return docPos == StartCurs ? SourcePos : -1;
}

int32_t TBreakLine::DocPosOf(int32_t sourcePos, bool prev) {
    if (prev) return sourcePos >= SourcePos ? StartCurs : -1;
    return sourcePos <= SourcePos ? StartCurs : -1;
}

bool TBreakLine::CharIndexToPoint(ITextMetrics&, int32_t cursor, int32_t& x, int32_t& y) {
    if (cursor != StartCurs) return false;
    y = YValue + clearHeight_;
    x = drawX_;
    return true;
}

bool TBreakLine::CharAtIndex(int32_t pos, char& ch, TObject*& obj) {
    if (pos != StartCurs) return false;
    ch = ' ';
    obj = this;
    return true;
}

void TBreakLine::UpdateFonts() {
    if (!ParentSectionList) return;
    TMyFont f = *Font;
    UpdateMyFont(f, *ParentSectionList, ParentSectionList->FontColor);
    Font = f;
}

void TBreakLine::MinMaxWidth(ITextMetrics& canvas, int32_t& min, int32_t& max) {
    min = Level * 35;
    max = SpaceWidth(canvas) + min;
}

void TBreakLine::CopyToClipboard(ITextSink& sink) {
    int32_t selFrom = ParentSectionList->SelFrom - StartCurs, selTo = ParentSectionList->SelTo - StartCurs;
    if (selTo <= 0 || selFrom >= 1) return;
    if (clearHeight_ > 0 && selFrom < 0) sink.Write("\r\n", 2); // the cleared band is a line too
    if (selFrom <= 0)
        for (int32_t k = 0; k < lineIndent_ / 35; ++k)
            sink.Write("   ", 3);
    sink.Write(" ", 1);
    if (selTo >= 1) sink.Write("\r\n", 2);
}
