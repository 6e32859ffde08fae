// One paragraph of the document: characters with font runs, pictures and form controls in
// line, broken into lines for a width, drawn, and hit-tested.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "htmlview/HtmlSections.h"
#include "htmlview/HtmlSmallVector.h"

class TImageObj;

// Placeholder characters in a section's text.
constexpr char PhControl = 2, PhPicture = 4, PhNoBreakSpace = 5, PhControlNoBreak = 6, PhPictureNoBreak = 7;
constexpr char NbspChar = static_cast<char>(160);

// Where toFind first stands in a section's text at or after start (-1: nowhere): exactly with
// matchCase, else with ASCII letters folded and every other byte exact; at most 255 characters
// of toFind are compared.
int32_t FindInSectionText(const std::string& text, int32_t start, const std::string& toFind, bool matchCase);

struct LineRec {
    int32_t Start = 0; // index into the section's text
    int32_t Ln = 0;
    int32_t LineHeight = 0;
    int32_t Descent = 0;
    int32_t SpaceBefore = 0, SpaceAfter = 0;
    int32_t LineImgHt = 0;
    int32_t LineIndent = 0;
    int32_t DrawX = 0;
    int32_t FullHeight() const { return SpaceBefore + LineHeight + SpaceAfter; }
};

struct IndexObj {
    int32_t PosIndex;
    int32_t SourceIndex;
};

class TSection : public TSectionBase {
public:
    TSection(TSectionList* list, int32_t level, const TMyFont& font, const TUrlTarget* url, uint8_t justify);
    ~TSection() override;

    // Building.
    virtual void AppendToken(const TokenObj& token, bool noBreak);
    void AddChar(char ch, int32_t sourcePos, bool noBreak);
    void ChangeFont(const TMyFont& font);
    // Sy is the parser's symbol: the link-start symbol opens a link run with url.
    void HRef(bool linkStart, const TMyFont& font, const TUrlTarget& url);
    TImageObj* AddImage(const TAttributeList& attributes, TCell* cell, bool noBreak, int32_t sourcePos);
    TFormControlObj* AddFormControl(int symbol, ThtmlForm* form, bool noBreak, int32_t sourcePos, TCell* cell,
                                    const TAttributeList& attributes);
    void CheckClear(const TAttributeList& attributes);
    uint8_t LineBreak(int32_t sourcePos, bool noBreak);
    // The section is complete: a font run opened after the last character (by a closing tag) goes,
    // and the lists give back the room they kept for growing.
    void FinishBuilding();

    bool LaysOutAtEdgesOnly() const override;
    int32_t LayoutParagraph(ITextMetrics& canvas, int32_t y, IndentManager& indents, int32_t& maxWidth,
                            int32_t& curs) override;
    int32_t Draw(IHtmlPainter& canvas, const THvRect& rect, IndentManager& indents, int32_t x,
                 int32_t y) override;
    bool LinkAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, TUrlTarget& url,
                     TFormControlObj*& control) override;
    bool ObjectAtPoint(int32_t x, int32_t y, TObject*& obj, int32_t& ix, int32_t& iy) override;
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
    void Relocate(int32_t dy, int32_t dcurs) override;
    void ShiftSourcePositions(int32_t from, int32_t delta) override;

    const std::string& Text() const { return buff_; }
    TImageObj* FindImage(int32_t pos) const;
    TFormControlObj* FindControl(int32_t pos) const;
    // Width of n characters from start (trailing spaces left out with removeSpaces).
    int32_t FindTextWidth(ITextMetrics& canvas, int32_t start, int32_t n, bool removeSpaces);

    TFontList Fonts;
    TFreeList<TImageObj> Images;
    std::vector<TFormControlObj*> FormControls; // owned by their form
    // Where the source stops running on one by one (a link line has two such runs: its mark and
    // its text) and the lines of the last layout (mostly one), kept inside the section.
    TSmallVector<IndexObj, 2> SourceIndexList;
    TSmallVector<LineRec, 1> Lines;
    TSharedFont BaseFont;
    int32_t Level = 0;
    int32_t Indent = 0;
    uint8_t Justify = 1;
    uint8_t ClearAttr = 0;
    int32_t FirstLineIndent = 0;
    uint8_t ListType = 0; // 0 plain, 1 numbered, 2 bulleted, 3 definition
    bool Preformatted = false;

protected:
    // The list number or bullet of the first line of a list item.
    virtual void DrawItemMarker(IHtmlPainter& canvas, int32_t lineStartX, int32_t baseline,
                                int32_t lineHeight);
    int32_t FitCount(ITextMetrics& canvas, int32_t width, std::vector<TImageObj*>* floatList,
                     int32_t& floatHt, IndentManager* indents, int32_t y, int32_t numChars, int32_t start);
    int32_t ClearHeight(const IndentManager& indents, int32_t y) const;
    void CompleteLine(ITextMetrics& canvas, IndentManager& indents, int32_t& y, int32_t p, int32_t nn,
                      int32_t floatHt, std::vector<TImageObj*>& floatList);
    int32_t DoLayout(ITextMetrics& canvas, int32_t y, IndentManager& indents, int32_t& maxWidth,
                     int32_t& curs, bool noWrap);
    // A run with font from the end of the text on (the last run is reused while it holds no
    // characters yet); with keepLink the link of the run before goes on into it.
    void NewRun(const TMyFont& font, bool keepLink);
    void AppendChar(char c, int32_t sourcePos);
    void AppendRaw(const char* s, const int32_t* positions, int32_t n);
    bool OnlyFloatsSoFar() const;
    // The first picture or control placeholder in [from, limit), or limit.
    int32_t NextPlaceholder(int32_t from, int32_t limit) const;
    int32_t LineAt(int32_t y, int32_t& top) const;

    TRunWidths& RunWidths(ITextMetrics& canvas, int runIndex);
    // The run's prefix extents (Widths.Len of them), measured on first use.
    const int32_t* RunExtents(ITextMetrics& canvas, int runIndex);
    // The width of n characters from start within one run (no placeholders in them).
    int32_t StretchWidth(ITextMetrics& canvas, int runIndex, int32_t start, int32_t n);
    // Whether the whole text (no pictures or controls in it) fits in width: then it is one line
    // and FitCount would say so; measured a run at a time, no prefix extents.
    bool FitsWhole(ITextMetrics& canvas, int32_t width);
    // The most characters from start (within one run, at most n) that fit in maxExtent.
    int32_t StretchFit(ITextMetrics& canvas, int runIndex, int32_t start, int32_t n, int32_t maxExtent);

    std::string buff_;
    int32_t lastSourcePos_ = 0; // of the last character appended
    ITextMetrics* measuredWith_ = nullptr;
    // MinMaxWidth's result, kept while text, fonts and metrics stay (sections without pictures).
    int32_t minMaxLen_ = -1, cachedMin_ = 0, cachedMax_ = 0;

    // The last layout, where it depended on nothing around the section but the cell's edges (no
    // floats or list levels beside it, no pictures or controls in it). Laid out again between the
    // same edges with the same metrics, the section keeps its lines and only moves, so a long
    // cell laid out again after a small change breaks only its new lines.
    // Kept until the text, the runs, the fonts or the metrics change (each of those clears it).
    struct TLayoutMemo {
        int32_t LeftEdge = 0, RightEdge = 0, MaxWidth = 0;
    };
    TLayoutMemo layoutMemo_;
    bool memoValid_ = false, memoNoWrap_ = false;
    bool ReuseLayout(ITextMetrics& canvas, int32_t y, const IndentManager& indents, int32_t& maxWidth,
                     int32_t& curs, bool noWrap);
};
