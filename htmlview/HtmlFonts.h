// Font runs of a text section (TFontObj in a TFontList) and the indent bookkeeping for
// floats and nested lists (IndentManager).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "htmlview/HtmlCanvas.h"
#include "htmlview/HtmlUtils.h"

class TSection;
class TSectionList;

// The size of a font from its HTML size (12 = the document's size) and the document's fonts.
void SetNormalSize(TMyFont& font, const TSectionList& list, int32_t value);
void UpdateMyFont(TMyFont& font, const TSectionList& list, TColor color);

// A font value shared by every run and section that uses it: equal fonts are kept once, in a
// process-wide table, for as long as something refers to them (a page of a million runs in three
// fonts keeps three). Read-only: a run whose font changes refers to another shared font. Sections
// may move between documents, so the table belongs to no document.
class TSharedFont {
public:
    TSharedFont(); // the default font
    explicit TSharedFont(const TMyFont& font);
    TSharedFont(const TSharedFont& o);
    TSharedFont(TSharedFont&& o) noexcept : node_(o.node_) { o.node_ = nullptr; }
    TSharedFont& operator=(const TSharedFont& o);
    TSharedFont& operator=(TSharedFont&& o) noexcept;
    TSharedFont& operator=(const TMyFont& font) { return *this = TSharedFont(font); }
    ~TSharedFont();

    const TMyFont& operator*() const { return *Get(); }
    const TMyFont* operator->() const { return Get(); }
    const TMyFont* Get() const;
    bool operator==(const TSharedFont& o) const { return node_ == o.node_; }
    // How many distinct fonts the table keeps (for tests).
    static size_t DistinctFonts();

    struct Node;

private:
    Node* node_ = nullptr; // nullptr: the default font
};

// A font run's measurements, kept between layouts while the run keeps its length and the
// metrics it was measured with (a layout at a new width measures nothing again): its whole width
// at once, its prefix extents only when a line has to cut the run or a word inside it is measured.
struct TRunWidths {
    int32_t Len = -1; // -1: not measured
    int32_t Width = 0;
    std::unique_ptr<int32_t[]> Extents; // Len of them, null until needed
};

// One font run: the font of the characters from Pos to the next run.
class TFontObj {
public:
    TFontObj(TSection* section, TSharedFont font, int32_t pos);

    TSection* Section;
    int32_t Pos;
    TSharedFont CurrentFont;
    TUrlTarget UrlTarget;
    TRunWidths Widths; // kept by the section that measures the run
    bool Visited = false;
    bool Hover = false;
    uint8_t SScript = 0; // 0 none, 1 subscript, 2 superscript

    void SetVisited(bool value);
    void SetHover(bool value);
    void UpdateFont();
    // The font changed: metrics are measured again on next use.
    void FontChanged() { metricsValid_ = false; }
    TFontMetrics Metrics(ITextMetrics& measure);
    int32_t LineHeight(ITextMetrics& m) {
        TFontMetrics f = Metrics(m);
        return f.Height + f.ExternalLeading;
    }
    int32_t FontHeight(ITextMetrics& m) { return Metrics(m).Height; }
    int32_t Descent(ITextMetrics& m) { return Metrics(m).Descent; }
    int32_t Overhang(ITextMetrics& m) { return Metrics(m).Overhang; }

private:
    void ApplyLinkColor();
    bool metricsValid_ = false;
    // The font's metrics, in 16 bits each (a run is kept per few characters of a page).
    int16_t height_ = 0, externalLeading_ = 0, descent_ = 0, overhang_ = 0;
};

class TFontList : public TFreeList<TFontObj> {
public:
    void UpdateFonts();
    // The run that contains posn (the last whose Pos <= posn), or the first run.
    TFontObj* GetFontObjAt(int32_t posn, int* index = nullptr) const;
    // Characters from posn to the start of the next run, or to leng.
    int32_t GetFontCountAt(int32_t posn, int32_t leng) const;
};

struct IndentRec {
    int32_t X; // left records: from the left edge; right records: negative from the right edge
    int32_t StartY;
    int32_t EndY; // exclusive
    int32_t ID;   // 0 a float, else the list level
};

class TImageObj;

class IndentManager {
public:
    void Clear() {
        L.clear();
        R.clear();
    }
    void Reset(int32_t lf, int32_t rt) {
        LeftEdge = lf;
        RightEdge = rt;
        CurrentID = 0;
    }
    int32_t LeftIndent(int32_t y) const;
    int32_t RightSide(int32_t y) const;
    int32_t ImageBottom() const;
    void YBelowFloats(int32_t& cl, int32_t& cr) const;
    int32_t NextWiderY(int32_t y) const;
    void Update(int32_t y, int32_t width, int align, int32_t height);
    void UpdateFloat(int32_t y, TImageObj& image);
    void SetLevel(int32_t y, int32_t level);
    void SetLevelStep(int32_t y, int32_t level);
    int32_t Width() const { return RightEdge - LeftEdge; }
    // Ends the list levels deeper than level.
    void CloseLevelsAbove(int32_t level);

    std::vector<IndentRec> L, R;
    int32_t CurrentID = 0;
    int32_t LeftEdge = 0, RightEdge = 0;
    int32_t ClipWidth = 6000;
    int32_t ListStep = 35;
};
