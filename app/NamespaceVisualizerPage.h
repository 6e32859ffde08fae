// The namespace visualizer's model, free of windows: the namespaces with their sorted titles,
// and the HTML page written from them (a grey box of links per namespace, boxes in columns).
// Each box's part of the page and each title's width are kept between renders, so a
// host that adds one topic to a big namespace pays for one line, not for measuring every title; and
// a build tells which lines went in or out, so the document shown can be edited, not parsed again.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Text written into the page: &, <, > and " become entities (the parser decodes them back,
// also inside attribute values, so an href round-trips).
std::string HtmlEscape(std::string_view text);

// One change of a box's links between two builds of the page: a link line put in or taken out.
// Applied in order, the edits of a build turn the previous page into the new one.
struct TLinkEdit {
    int Box = 0;  // the box, in page order
    int Line = 0; // the line's place among the box's link lines, as the page stands before this edit
    bool Insert = false;
    int32_t Offset = 0; // where the line starts in the page as it stands before this edit
    int32_t Length = 0; // bytes of the line
    // An insert: a page holding the box with this one line (the same context as on the real
    // page), and where the line starts in it.
    std::string Fragment;
    int32_t FragmentOffset = 0;
};

class TNamespacePage {
public:
    // Width of a title in pixels, as the host's font measures it.
    using TMeasure = std::function<int32_t(const std::string& text)>;

    // Adds a title under a namespace; a title equal to a listed one, ignoring case, is not added.
    void AddEntry(const std::string& Namespace, const std::string& Title);
    // Removes a title; a namespace left without titles goes. Unknown names change nothing.
    void RemoveEntry(const std::string& Namespace, const std::string& Title);
    void Clear();

    // The namespaces in page order (ignoring case) and a namespace's titles in order.
    std::vector<std::string> Namespaces() const;
    std::vector<std::string> Titles(const std::string& Namespace) const;
    // How many titles the page lists, in every namespace.
    size_t TitleCount() const;

    // Writes the page to be laid out Width pixels wide; Columns receives the boxes per row: the
    // most that fit side by side, each column as wide as its widest box (its bold name, or its
    // widest link with the mark before it, and the box's border and padding), so a box that does
    // not fit goes to the next row. The text stays until the next build (Text()).
    const std::string& Build(int32_t Width, const TMeasure& Measure, int32_t& Columns);
    // Build without writing the page: the boxes, columns and edits as Build leaves them; the
    // page is written when Text() is first asked for it (a host that edits its document in place
    // needs only the edits).
    void Update(int32_t Width, const TMeasure& Measure, int32_t& Columns);
    // The last build's page ("" before the first).
    const std::string& Text() const;
    // Lets go of the page's text and of each box's part of it (its host has loaded the page):
    // Text() writes it again from the titles when asked.
    void ReleaseText();
    // Forgets every measured width (the measuring font changed).
    void ForgetWidths();

    // After a Build: whether Edits turn the page of the build before into this one (the same
    // boxes in the same rows, a few lines in or out of them). False after the first build and
    // when anything else changed.
    bool EditsApply() const { return FEditsApply; }
    const std::vector<TLinkEdit>& Edits() const { return FEdits; }

    bool ShowRootLinks = false;
    // The most boxes in one row (the most columns a table of the HTML display lays out).
    static constexpr int32_t MaxBoxesPerRow = 200;
    // More edits than this in one build: loading the page is as quick.
    static constexpr size_t MaxEdits = 64;

    // The page's fixed text around the boxes.
    static const char* const PageHead;
    static const char* const PageTail;

private:
    struct TNoCase {
        using is_transparent = void;
        bool operator()(std::string_view A, std::string_view B) const;
    };
    struct TTitle {
        int32_t Width = -1;     // measured width, -1 not yet
        int32_t LineLength = 0; // bytes of its link line in the box's Html (0 none: the empty
                                // title beside root links)
        bool Fresh = true;      // added since the last build
    };
    // A box's titles in page order, in sorted blocks of a few hundred: no tree node per title (a
    // box of 100,000 titles is megabytes less and goes in a few frees), and a title put in or
    // taken out moves only the titles of its block.
    class TTitles {
    public:
        using TEntry = std::pair<std::string, TTitle>;
        template <typename Owner, typename Entry> class TIterator {
        public:
            TIterator(Owner* O, size_t Block, size_t At) : FOwner(O), FBlock(Block), FAt(At) {}
            Entry& operator*() const { return FOwner->FBlocks[FBlock][FAt]; }
            Entry* operator->() const { return &**this; }
            TIterator& operator++() {
                if (++FAt == FOwner->FBlocks[FBlock].size()) {
                    ++FBlock;
                    FAt = 0;
                }
                return *this;
            }
            bool operator==(const TIterator& Other) const {
                return FBlock == Other.FBlock && FAt == Other.FAt;
            }

        private:
            friend class TTitles;
            Owner* FOwner;
            size_t FBlock, FAt;
        };
        using iterator = TIterator<TTitles, TEntry>;
        using const_iterator = TIterator<const TTitles, const TEntry>;
        iterator begin() { return {this, 0, 0}; }
        iterator end() { return {this, FBlocks.size(), 0}; }
        const_iterator begin() const { return {this, 0, 0}; }
        const_iterator end() const { return {this, FBlocks.size(), 0}; }
        size_t size() const { return FSize; }
        bool empty() const { return FSize == 0; }
        const TEntry& back() const { return FBlocks.back().back(); }
        iterator find(std::string_view Title);
        size_t count(std::string_view Title) const;
        // Puts Title in its place unless an equal title (ignoring case) is there; with AtEnd
        // the caller knows it sorts after every title there.
        void insert(const std::string& Title, bool AtEnd);
        void erase(iterator At);

        // The blocks one by one, for a walk that skips those nothing changed in: what a block's
        // titles add up to on the page, kept from the walk that last went through them, until
        // a title of the block comes or goes.
        struct TSums {
            int32_t Lines = 0, Bytes = 0; // link lines and their bytes
            int32_t Widest = 1;           // the widest title (as the box measures it)
            bool Valid = false;
        };
        size_t BlockCount() const { return FBlocks.size(); }
        std::vector<TEntry>& Block(size_t B) { return FBlocks[B]; }
        TSums& Sums(size_t B) { return FSums[B]; }
        void ForgetSums();

    private:
        static constexpr size_t BlockSize = 512;
        // The block Title belongs in (the first whose last title is not before it; the last
        // block when there is none) and its place there.
        std::pair<size_t, size_t> Place(std::string_view Title) const;
        std::vector<std::vector<TEntry>> FBlocks; // none empty
        std::vector<TSums> FSums;                 // one for each block
        size_t FSize = 0;
    };
    struct TBox {
        std::string Name; // as first added
        TTitles Titles;
        // Titles taken out since the last build (as they were written), with the length of the
        // line they had on its page.
        std::map<std::string, int32_t, TNoCase> Gone;
        std::string Html;      // this box's part of the page (none once released)
        size_t Size = 0;       // bytes of its part of the page (0: the box is not on it)
        bool Released = false; // Html let go: written again from the titles when asked
        size_t LinesAt = 0;    // where its link lines start in Html
        std::string RootLine;  // the root link line written first, or ""
        int32_t Widest = 1;
        int32_t NameWidth = -1; // the name's measured width, -1 not yet
        bool Dirty = true;      // Html is to be written again
        bool Rewrite = true;    // every line is to be written again
        bool RootLinks = false; // the ShowRootLinks the Html was written with
    };
    // Writes the box's lines and Html; edits (when given) receive its line changes, with offsets
    // from the start of its lines. False when they were more than MaxEdits with those already
    // there: none are handed out then.
    bool WriteBox(TBox& Box, const TMeasure& Measure, int BoxIndex, std::vector<TLinkEdit>* Edits);
    std::string BoxHead(const TBox& Box) const;
    // Appends the part of the page a written box has, from its titles.
    void AppendBox(std::string& Out, const TBox& Box) const;
    // The pixels a written box needs side by side with others.
    int32_t BoxWidth(TBox& Box, const TMeasure& Measure);
    // The most boxes per row whose columns fit Width (0: not even one box fits).
    static int32_t FitColumns(const std::vector<int32_t>& Widths, int32_t Width);

    std::map<std::string, TBox, TNoCase> FBoxes;
    // What the last build wrote: its boxes in order and its columns (-1 before the first build).
    std::vector<std::string> FLastBoxes;
    int32_t FLastColumns = -1;
    bool FEditsApply = false;
    std::vector<TLinkEdit> FEdits;
    // The last build's page, once written.
    mutable std::string FText;
    mutable bool FTextWritten = false;
    // Widths of the link mark ("\xBB ") and of "[Root]", -1 not yet measured.
    int32_t FMarkWidth = -1;
    int32_t FRootWidth = -1;
};
