// The small sections between paragraphs (paragraph and heading spacing, rules) and the
// preformatted and list-item variants of the text section.
#pragma once

#include "htmlview/HtmlTextSection.h"

class TParagraphSpace : public TSectionBase {
public:
    using TSectionBase::TSectionBase;
    void CopyToClipboard(ITextSink& sink) override;
    void AdjustToFontSize() override;
};

class THeadingSpace : public TSectionBase {
public:
    THeadingSpace(TSectionList* list, int32_t level) : TSectionBase(list), HeadingLevel(level) {
        AdjustToFontSize();
    }
    void CopyToClipboard(ITextSink& sink) override;
    void AdjustToFontSize() override;
    int32_t HeadingLevel;
};

class THorzLine : public TSectionBase {
public:
    THorzLine(TSectionList* list, const TAttributeList& attributes);
    void CopyToClipboard(ITextSink& sink) override;
    int32_t Draw(IHtmlPainter& canvas, const THvRect& rect, IndentManager& indents, int32_t x,
                 int32_t y) override;
    void AdjustToFontSize() override;

    int32_t VSize = 2;
    int32_t Width = -1;
    bool Percent = false;
    TColor Color = 0;
    uint8_t Align = 2;
    bool NoShade = false;
    bool HasColor = false;
};

// An empty line: what a line break after a line break leaves, one space of one font and
// nothing else. A page of many of them keeps this small record per line instead of a text
// section with its runs and line list; it answers every query as that section would.
class TBreakLine : public TSectionBase {
public:
    // The section as a break line, when it is one (its plain text is one space in one font,
    // with no link, picture, control or anchor), else nullptr.
    static std::unique_ptr<TBreakLine> From(const TSection& section);

    int32_t LayoutParagraph(ITextMetrics& canvas, int32_t y, IndentManager& indents, int32_t& maxWidth,
                            int32_t& curs) override;
    int32_t Draw(IHtmlPainter& canvas, const THvRect& rect, IndentManager& indents, int32_t x,
                 int32_t y) override;
    int32_t CharIndexAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, int32_t& xr, int32_t& yr,
                             int32_t& ht, bool& inText) override;
    int32_t FindString(int32_t from, const std::string& toFind, bool matchCase) override;
    int32_t SourcePosOf(int32_t docPos) override;
    int32_t DocPosOf(int32_t sourcePos, bool prev) override;
    bool CharIndexToPoint(ITextMetrics& canvas, int32_t cursor, int32_t& x, int32_t& y) override;
    bool CharAtIndex(int32_t pos, char& ch, TObject*& obj) override;
    void UpdateFonts() override;
    void MinMaxWidth(ITextMetrics& canvas, int32_t& min, int32_t& max) override;
    void CopyToClipboard(ITextSink& sink) override;
    void ShiftSourcePositions(int32_t from, int32_t delta) override {
        if (SourcePos >= from) SourcePos += delta;
    }

    TSharedFont Font;
    int32_t SourcePos = 0;
    int32_t Level = 0;
    uint8_t Justify = 1;
    uint8_t ClearAttr = 0;

private:
    explicit TBreakLine(TSectionList* list) : TSectionBase(list) { Len = 1; }
    int32_t SpaceWidth(ITextMetrics& canvas) const;
    // The last layout: the height cleared below floats, the line, its indent and where it was drawn.
    int32_t clearHeight_ = 0, lineIndent_ = 0, drawX_ = 0;
    int16_t lineHeight_ = 0, descent_ = 0;
};

class TPreFormated : public TSection {
public:
    TPreFormated(TSectionList* list, int32_t level, const TMyFont& font, const TUrlTarget* url,
                 uint8_t justify)
        : TSection(list, level, font, url, justify) {
        Preformatted = true;
    }
    void AppendToken(const TokenObj& token, bool noBreak) override;
    int32_t LayoutParagraph(ITextMetrics& canvas, int32_t y, IndentManager& indents, int32_t& maxWidth,
                            int32_t& curs) override;
    void MinMaxWidth(ITextMetrics& canvas, int32_t& min, int32_t& max) override;
};

class TUListItem : public TSection {
public:
    TUListItem(TSectionList* list, const TUrlTarget* url, const TMyFont& font, int32_t level)
        : TSection(list, level, font, url, 1), MarkerFont(Fonts[0]->CurrentFont) {
        ListType = 2;
    }
    void UpdateFonts() override;
    bool Plain = false;
    // The item's own font, its number and bullet are drawn in: the text's font where the item
    // starts, whatever the first run becomes (a link that opens the item keeps its colour and
    // underline to itself).
    TSharedFont MarkerFont;

protected:
    void DrawItemMarker(IHtmlPainter& canvas, int32_t lineStartX, int32_t baseline,
                        int32_t lineHeight) override;
};

class TDListItem : public TUListItem {
public:
    TDListItem(TSectionList* list, const TUrlTarget* url, const TMyFont& font, int32_t level)
        : TUListItem(list, url, font, level) {
        ListType = 3;
    }
};

class TOListItem : public TUListItem {
public:
    TOListItem(TSectionList* list, const TUrlTarget* url, const TMyFont& font, char numType, int32_t number,
               int32_t level)
        : TUListItem(list, url, font, level), ItemNumber(number), NumType(numType) {
        ListType = 1;
    }
    // The text drawn before the item: "3.", "C.", "iii.".
    std::string NumberText() const;
    int32_t ItemNumber;
    char NumType;
};
