// Font runs of a text section (TFontObj in a TFontList) and the indent bookkeeping for
// floats and nested lists (IndentManager).
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "htmlview/HtmlCanvas.h"
#include "htmlview/HtmlSmallVector.h"
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

// A run's link: its URL and target in one block, or nothing for a run that is no link (most
// runs of a page are none, and a side panel's line has one of its two runs linked).
class TRunLink {
public:
    TRunLink() = default;
    TRunLink(const TRunLink& o) { *this = o; }
    TRunLink& operator=(const TRunLink& o);
    TRunLink& operator=(const TUrlTarget& url) { return Assign(url.URL, url.Target); }

    std::string_view URL() const;
    std::string_view Target() const;
    // The link as a target to hand out.
    TUrlTarget Get() const;
    void Clear() { data_.reset(); }

private:
    TRunLink& Assign(std::string_view url, std::string_view target);
    // The URL's length, the target's length, then both texts; null when both are empty.
    std::unique_ptr<char[]> data_;
};

// One font run: the font of the characters from Pos to the next run.
class TFontObj {
public:
    TFontObj(TSection* section, TSharedFont font, int32_t pos);

    TSection* Section;
    int32_t Pos;
    TSharedFont CurrentFont;
    TRunLink UrlTarget;
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

// A section's font runs in text order. The first two live inside the list (a side panel's link
// line is a mark and a link), the rest one block each; a run never moves while it is listed,
// since the document's link list and hover point at runs.
class TFontList {
public:
    TFontList() = default;
    TFontList(const TFontList&) = delete;
    TFontList& operator=(const TFontList&) = delete;
    ~TFontList() { Clear(); }

    int Count() const { return kept_ + static_cast<int>(more_.size()); }
    bool Empty() const { return Count() == 0; }
    TFontObj* operator[](int i) const { return i < kKept ? Kept(i) : more_[static_cast<size_t>(i - kKept)]; }
    TFontObj* Last() const { return Empty() ? nullptr : (*this)[Count() - 1]; }
    // Appends a run; the list owns it.
    TFontObj* Add(TSection* section, TSharedFont font, int32_t pos);
    void DeleteLast();
    void Clear();
    void ShrinkToFit() { more_.shrink_to_fit(); }

    class Iterator {
    public:
        Iterator(const TFontList* list, int i) : list_(list), i_(i) {}
        TFontObj* operator*() const { return (*list_)[i_]; }
        Iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator!=(const Iterator& o) const { return i_ != o.i_; }

    private:
        const TFontList* list_;
        int i_;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, Count()}; }

    void UpdateFonts();
    // The run that contains posn (the last whose Pos <= posn), or the first run.
    TFontObj* GetFontObjAt(int32_t posn, int* index = nullptr) const;
    // Characters from posn to the start of the next run, or to leng.
    int32_t GetFontCountAt(int32_t posn, int32_t leng) const;

private:
    static constexpr int kKept = 2;
    TFontObj* Kept(int i) const {
        return std::launder(reinterpret_cast<TFontObj*>(const_cast<unsigned char*>(kept_storage_[i])));
    }
    alignas(TFontObj) unsigned char kept_storage_[kKept][sizeof(TFontObj)];
    int kept_ = 0; // runs in kept_storage_
    // The runs past those, each a block of its own (owned: DeleteLast and Clear free them).
    TSmallVector<TFontObj*, 1> more_;
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
