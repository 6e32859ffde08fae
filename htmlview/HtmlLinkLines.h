// A run of one-line link paragraphs of one shape ("» title" lines, each a mark and a link),
// kept as data instead of a text section per line: a long list of links costs a few dozen
// bytes a line. Every query answers as the same lines as separate text sections would.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "htmlview/HtmlTextSection.h"

class TLinkLines : public TSectionBase {
public:
    ~TLinkLines() override;

    // The finished section as the first line of a run, when it has the shape every line of a run
    // shares: a plain text section (Level 0, left aligned, no clear) of two font runs, a mark
    // without a link from the start and a link to the end, one source run each, no pictures or
    // controls, no space or other place a line may break. Else nullptr (it stays a section).
    // The caller checks that no anchor names the section.
    static std::unique_ptr<TLinkLines> From(const TSection& section);
    // Appends the section as the run's last line when it has the run's shape (same mark text,
    // fonts and link target); false otherwise.
    bool Take(const TSection& section);
    // Appends a line read straight from the source, as Take would keep the section the parser
    // builds for it: the title as in the text (no-break spaces included), its link, and where
    // the mark and the title start in the source. False when such a line would not be kept.
    bool AppendLine(std::string_view title, std::string_view url, int32_t markSource, int32_t titleSource);

    // Editing. After each of these the caller tells the cell (TCell::SectionsChanged); the run
    // keeps what it measured of the other lines, so the next layout measures only new lines.
    int LineCount() const { return static_cast<int>(lines_.size()); }
    // Puts the section in as line `at` (0..LineCount()) when it has the run's shape; false
    // otherwise. The section stays the caller's (its link stays in the document's link list
    // until it goes).
    bool InsertLine(int at, const TSection& line);
    // Takes line `at` out.
    void DeleteLine(int at);
    // Moves lines [at, LineCount()) into a new run of the same shape (placed right after this
    // one, laid out where they were); this run keeps [0, at).
    std::unique_ptr<TLinkLines> SplitOff(int at);
    // Appends the lines of `next` (the section right after this one) when it has this run's shape,
    // as SplitOff's opposite; the caller then takes `next` out. False otherwise.
    bool Join(TLinkLines& next);
    // The title (as in the text) and the link of a line.
    std::string_view Title(int line) const;
    std::string Url(int line) const;
    // The first character of a line, relative to the run's StartCurs.
    int32_t LineStart(int line) const { return lines_[static_cast<size_t>(line)].Start; }
    // Where a line's mark and title start in the source.
    int32_t MarkSource(int line) const { return lines_[static_cast<size_t>(line)].MarkSource; }
    int32_t TitleSource(int line) const { return lines_[static_cast<size_t>(line)].TitleSource; }

    // Marks the lines whose link `match` accepts as visited (or not).
    void SetLinksVisited(const std::function<bool(std::string_view url)>& match, bool value) override;

    int32_t LayoutParagraph(ITextMetrics& canvas, int32_t y, IndentManager& indents, int32_t& maxWidth,
                            int32_t& curs) override;
    int32_t Draw(IHtmlPainter& canvas, const THvRect& rect, IndentManager& indents, int32_t x,
                 int32_t y) override;
    bool LinkAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, TUrlTarget& url,
                     TFormControlObj*& control) override;
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
    bool LaysOutAtEdgesOnly() const override { return true; }
    // Positions strictly inside a line's mark or title do not split it: the panel changes its
    // page at line boundaries only.
    void ShiftSourcePositions(int32_t from, int32_t delta) override;

private:
    explicit TLinkLines(TSectionList* list) : TSectionBase(list) {}

    // What every line of the run shares.
    struct TShape {
        TSharedFont MarkFont, LinkFont, BaseFont;
        std::string Mark;   // the mark's characters as in the text
        std::string Target; // the link's target
        bool operator==(const TShape&) const = default;
    };
    // A line's link is mostly urlPrefix_ and its title with no-break spaces as spaces: such a
    // link is not kept (UrlLen kDerived).
    static constexpr uint16_t kDerived = 0xFFFF;
    struct TLine {
        uint32_t Text = 0; // the title, then the link, in pool_
        uint16_t TitleLen = 0, UrlLen = 0;
        int32_t Start = 0; // first character, from the run's StartCurs
        int32_t MarkSource = 0, TitleSource = 0;
        int32_t Width = -1; // of the whole line as a layout measures it, -1 not measured
        uint8_t Flags = 0;  // kVisited, kDrawn
    };
    static constexpr uint8_t kVisited = 1, kDrawn = 2;
    // A section drawn or hit-tested for one line, built as the parser builds the line.
    struct TScratch {
        int Line = -1;
        std::unique_ptr<TSection> Section;
        uint32_t Used = 0;
    };

    // The shape and line of a section, or false when it has not the shape of a run's line.
    static bool Read(const TSection& section, TShape* shape, TLine& line, std::string_view& title,
                     std::string_view& url);
    bool Insert(int at, const TSection& section);
    bool Put(int at, TLine line, std::string_view title, std::string_view url);
    // Whether the line's link is url (no copy made).
    bool UrlIs(int line, std::string_view url) const;
    static bool Derives(std::string_view url, std::string_view prefix, std::string_view title);
    uint32_t Kept(const TLine& l) const { return l.TitleLen + (l.UrlLen == kDerived ? 0u : l.UrlLen); }
    void Shrink();
    // Character k of a line: its mark, then its title.
    char CharOf(const TLine& l, size_t k) const {
        return k < shape_.Mark.size() ? shape_.Mark[k] : pool_[l.Text + (k - shape_.Mark.size())];
    }
    int32_t LineLen(const TLine& l) const { return static_cast<int32_t>(shape_.Mark.size()) + l.TitleLen; }
    // The line holding character `rel` of the run (relative to StartCurs), or -1.
    int LineOfChar(int32_t rel) const;
    // The line at document y, or -1.
    int LineAtY(int32_t y) const;
    int32_t LineIndent(int line) const {
        return lineIndents_.empty() ? 0 : lineIndents_[static_cast<size_t>(line)];
    }
    // A line's section, placed where the line is and with its hover and visited state.
    std::unique_ptr<TSection> Build(int line) const;
    TSection& Prepare(TSection& s, int line);
    TSection& Probe(int line);
    TSection& HoverSection(int line);
    void Measure(ITextMetrics& canvas);
    void RescanWidest();
    void Compact();
    // The run is about to keep one more section: it goes first among the runs that keep them,
    // and the one that built its sections longest ago lets go of them.
    void KeepsScratch();

    TShape shape_;
    std::vector<TLine> lines_;
    std::string pool_;
    std::string urlPrefix_;
    bool hasPrefix_ = false;
    uint32_t poolGarbage_ = 0;
    int32_t widest_ = 0; // the widest measured line
    // Measuring: lines from unmeasuredFrom_ on may have Width -1; line height and descent of
    // the two fonts on measuredWith_.
    ITextMetrics* measuredWith_ = nullptr;
    int unmeasuredFrom_ = 0;
    int32_t lineHeight_ = 0, markWidth_ = 0, linkOverhang_ = 0;
    // The last layout: its edges and the widest line's layout width; with floats beside the run
    // each line's indent (empty when none is indented).
    bool laidOut_ = false;
    const ITextMetrics* laidOutWith_ = nullptr;
    int32_t leftEdge_ = 0, rightEdge_ = 0;
    std::vector<int32_t> lineIndents_;
    int32_t drawX_ = 0; // the x the last paint drew the run at
    // Sections of the last paints and probes, and two for hover: the document's hover link may
    // be one of theirs, and the previous one must outlive the next hover test.
    std::vector<TScratch> scratch_;
    uint32_t uses_ = 0;
    TScratch hover_[2];
    int lastHover_ = 0;
    std::string text_; // one line's text, for searches
};
