// The section contract (TSectionBase), the vertical list of sections of one table cell
// (TCell), a cell with its table attributes (TCellObj), one table row (TCellList) and the
// whole document (TSectionList). Hit tests take document coordinates: x as drawn, y from
// the top of the document.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Object.h"
#include "base/StringList.h"
#include "htmlview/HtmlCanvas.h"
#include "htmlview/HtmlFonts.h"
#include "htmlview/HtmlUtils.h"

class TSectionList;
class TCell;
class TFormControlObj;
class IFormControlPeer;
class ThtmlForm;
class TMapItem;
class THtmlParser;
class TSection;
class TImageObj;
class ThtmlTable;

class TSectionBase : public TObject {
public:
    explicit TSectionBase(TSectionList* list) : ParentSectionList(list) {}
    void SetParentSectionList(TSectionList* list) {
        ParentSectionList = list;
        AdjustToFontSize();
    }

    virtual void CopyToClipboard(ITextSink& sink);
    virtual int32_t LayoutParagraph(ITextMetrics& canvas, int32_t y, IndentManager& indents,
                                    int32_t& maxWidth, int32_t& curs);
    virtual int32_t Draw(IHtmlPainter& canvas, const THvRect& rect, IndentManager& indents, int32_t x,
                         int32_t y);
    virtual bool LinkAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, TUrlTarget& url,
                             TFormControlObj*& control);
    virtual bool ObjectAtPoint(int32_t x, int32_t y, TObject*& obj, int32_t& ix, int32_t& iy);
    virtual int32_t CharIndexAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, int32_t& xr, int32_t& yr,
                                     int32_t& ht, bool& inText);
    virtual int32_t FindString(int32_t from, const std::string& toFind, bool matchCase);
    virtual int32_t SourcePosOf(int32_t docPos);
    virtual int32_t DocPosOf(int32_t sourcePos, bool prev);
    virtual bool CharIndexToPoint(ITextMetrics& canvas, int32_t cursor, int32_t& x, int32_t& y);
    virtual bool CharAtIndex(int32_t pos, char& ch, TObject*& obj);
    virtual void UpdateFonts() { AdjustToFontSize(); }
    virtual void AdjustToFontSize() {}
    virtual void MinMaxWidth(ITextMetrics& canvas, int32_t& min, int32_t& max);
    // Moves a laid-out section down by dy and its characters on by dcurs, as a new layout at
    // that place would (a table places a cell laid out once instead of laying it out again).
    // The lowest document y the section's Draw can paint at (or decide on) after a layout.
    virtual int32_t DrawReach() const { return YValue + std::max(DrawHeight, SectionHeight); }
    // True when the section's layout depends on nothing but its cell's width, the canvas and
    // itself: laid out anywhere else in its cell it is the same layout moved (Relocate). Its
    // cell may then keep that layout from one document layout to the next.
    virtual bool LaysOutAtEdgesOnly() const { return false; }
    virtual void Relocate(int32_t dy, int32_t dcurs) {
        YValue += dy;
        StartCurs += dcurs;
    }
    // Every source position of the section at or after `from` moves by delta: delta characters
    // were put into the page at `from` (or taken out, delta < 0).
    virtual void ShiftSourcePositions(int32_t from, int32_t delta) {
        (void)from;
        (void)delta;
    }
    // Marks the links `match` accepts that the document's link list does not hold (lines kept
    // as data, in this section or in a table's cells) as visited or not.
    virtual void SetLinksVisited(const std::function<bool(std::string_view url)>& match, bool value) {
        (void)match;
        (void)value;
    }

    TSectionList* ParentSectionList;
    int32_t SectionHeight = 0;
    int32_t DrawHeight = 0;
    int32_t YValue = 0;
    int32_t StartCurs = 0;
    int32_t Len = 0;
};

class TCell {
public:
    explicit TCell(TSectionList* owner) : OwnerDocument(owner) {}
    virtual ~TCell() = default;
    TCell(const TCell&) = delete;
    TCell& operator=(const TCell&) = delete;

    void Add(std::unique_ptr<TSectionBase> section);
    int Count() const { return Sections.Count(); }

    virtual int32_t Layout(ITextMetrics& canvas, int32_t y, int32_t width, int32_t& maxWidth, int32_t& curs);
    void MinMaxWidth(ITextMetrics& canvas, int32_t& min, int32_t& max);
    virtual int32_t Draw(IHtmlPainter& canvas, const THvRect& rect, int32_t clipWidth, int32_t x, int32_t y);
    virtual bool LinkAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, TUrlTarget& url,
                             TFormControlObj*& control);

    int32_t CharIndexAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, int32_t& xr, int32_t& yr,
                             int32_t& ht, bool& inText);
    bool ObjectAtPoint(int32_t x, int32_t y, TObject*& obj, int32_t& ix, int32_t& iy);
    int32_t FindString(int32_t from, const std::string& toFind, bool matchCase);
    int32_t SourcePosOf(int32_t docPos);
    int32_t DocPosOf(int32_t sourcePos, bool prev);
    bool CharIndexToPoint(ITextMetrics& canvas, int32_t cursor, int32_t& x, int32_t& y);
    bool CharAtIndex(int32_t pos, char& ch, TObject*& obj);
    void CopyToClipboard(ITextSink& sink);
    void UpdateFonts();
    void Relocate(int32_t dy, int32_t dcurs);
    // Every source position in the cell (tables inside it included) at or after `from` moves by delta.
    void ShiftSourcePositions(int32_t from, int32_t delta);
    void SetLinksVisited(const std::function<bool(std::string_view url)>& match, bool value);
    // The section at document y (by the running section heights from the cell top).
    TSectionBase* FindSectionAtPosition(int32_t y, int32_t& top, int& index);
    // Sections from index `from` on were put in, taken out or changed since the last layout:
    // the layout kept for those before it still holds. `added`: the one change is a section
    // about to be put in at `from`, so the widths kept for the others still hold too.
    void SectionsChanged(int from, TSectionBase* added = nullptr);
    // Moves the sections to where their cell's Layout and Relocate calls since the last document
    // layout put the cell (those calls only note the move in a cell that kept its layout).
    void ApplyDeferredMoves();

    TSectionList* OwnerDocument;
    TFreeList<TSectionBase> Sections;
    int32_t YValue = 0;
    int32_t StartCurs = 0;
    int32_t Len = 0;
    IndentManager Indents;
    bool HasBackground = false;
    TColor BackgroundColor = 0;

protected:
    // The sections are to be built again: nothing measured by the last layout holds.
    void ForgetLayout() {
        laidOutSections_ = -1;
        drawIndexValid_ = false;
        keptCanvas_ = nullptr;
        keptFrom_ = 0;
        minMaxKept_ = false;
        addedSinceMinMax_.clear();
    }

private:
    // For one layout: how far down each section, or any before it, can draw (its text, floats and
    // pictures). A paint starts at the first section that can reach the clip rectangle, found by
    // a binary search, and stops at the first that starts below it: a long cell costs a paint
    // what its visible part costs.
    bool DrawIndexReady(int32_t y);
    std::vector<int32_t> drawReach_;
    int32_t drawTop_ = 0, drawEnd_ = 0;
    bool drawIndexValid_ = false, drawIndexUsable_ = false;
    // How many sections the last layout placed (-1: none yet); while the count holds, their
    // character ranges ascend and searches skip to the one that holds their start.
    int laidOutSections_ = -1;

    // A cell of sections that each lay out at the cell's edges only (a long list of link lines)
    // keeps its layout for the next one at the same width and canvas: the sections before the
    // first one changed since are moved, not laid out again, and the others are laid out after
    // them. The move itself is deferred to the end of the document's layout, since a table lays
    // a cell out at its own top and then moves it into its row: sections [0, moveSplit_) move by
    // headMove_, the rest by tailMove_ (dy, dcurs).
    const ITextMetrics* keptCanvas_ = nullptr;
    int32_t keptWidth_ = 0;
    int keptFrom_ = 0;                // sections [0, keptFrom_) are laid out as the cell keeps them
    std::vector<int32_t> widestUpTo_; // the widest section layout among [0, i]
    bool movePending_ = false;
    int moveSplit_ = 0;
    int32_t headMove_[2] = {0, 0}, tailMove_[2] = {0, 0};
    bool minMaxKept_ = false;
    const ITextMetrics* minMaxCanvas_ = nullptr;
    int32_t keptMin_ = 0, keptMax_ = 0;
    std::vector<TSectionBase*> addedSinceMinMax_;
    // The length of the last section when the layout or widths were kept: text is only ever
    // added at the end of the last section, while the cell is built.
    int32_t keptLastLen_ = -1, minMaxLastLen_ = -1;
    int32_t LastLen() const { return Sections.Count() > 0 ? Sections[Sections.Count() - 1]->Len : -1; }
    void MoveSections(int from, int to, const int32_t (&move)[2]);
};

class TCellObj {
public:
    TCellObj(TSectionList* owner, int vAlign, const TAttributeList& attributes);
    void UpdateFonts() { Cell.UpdateFonts(); }

    int32_t ColSpan = 1;
    int32_t RowSpan = 1;
    int32_t GivenHeight = 0;
    int32_t GivenWidth = 0;
    bool AsPercent = false;
    int VAlign = 1; // 0 top, 1 middle, 2 bottom
    TCell Cell;
    // Set by the table layout.
    int32_t Wd = 0, Ht = 0, YIndent = 0;
    int32_t ContentHt = 0; // content height from the row-height pass
    int32_t MinW = 0, MaxW = 0;
    uint32_t MinMaxGeneration = 0; // MinW/MaxW hold for this layout generation
    bool Dummy = false;            // stands for a cell spanning into this place
};

class TCellList {
public:
    void Initialize(const TAttributeList& attributes);
    void PropagateColor();
    void UpdateFonts();
    // The row's part of its table's layout and drawing (HtmlTable.cpp). RowLayoutPass: every
    // cell takes its width from the columns it spans, the cells spanning `span` rows lay out
    // their content at the table's y; the result is the pass height, padding and spacing
    // included. RowPlaceCells: with the cells' heights set, each cell's content is aligned
    // and moved to the row at rowTop. RowDraw: backgrounds, contents and frames of the row
    // whose grid top is rowTop (document y); the drawn cells' rectangles go to holes.
    int32_t RowLayoutPass(ThtmlTable& table, ITextMetrics& canvas, int span, int32_t y, int32_t curs);
    void RowPlaceCells(ThtmlTable& table, int32_t rowTop, int32_t& curs);
    void RowDraw(ThtmlTable& table, IHtmlPainter& canvas, const THvRect& rect, int32_t clipWidth,
                 int32_t rowTop, std::vector<THvRect>& holes);

    std::vector<std::unique_ptr<TCellObj>> Cells; // a null entry is a place covered by a span
    bool HasBackground = false;
    TColor BackgroundColor = 0;
    int32_t RowHeight = 0;
    int32_t RowSpanHeight = 0;
};

// What the document needs from the viewer that shows it.
class IDocumentHost {
public:
    virtual ~IDocumentHost() = default;
    virtual void Invalidate() {}
    virtual std::string ResolveLinkPath(const std::string& url) { return url; }
    virtual int32_t ClientHeight() { return 0; }
    virtual int32_t MarginHeight() { return 0; }
    virtual void SetMargins(int32_t width, int32_t height) {
        (void)width;
        (void)height;
    }
    virtual void BackgroundChanged() {}
};

class TSectionList : public TCell {
public:
    explicit TSectionList(IDocumentHost* host = nullptr);
    ~TSectionList() override;

    void Clear();
    void SetFonts(const std::string& fontName, const std::string& preFontName, bool linksActive,
                  TColor background, TColor overColor, TColor visitedColor, TColor hotSpotColor,
                  TColor fontColor, int32_t fontSize);
    void SetBackground(TColor color);
    void SetBackgroundBitmap(const std::string& name);
    void SetYOffset(int32_t y);
    void ClearHover();
    int32_t GetSectionTop(int index) const;

    int32_t Layout(ITextMetrics& canvas, int32_t y, int32_t width, int32_t& maxWidth, int32_t& curs) override;
    int32_t Draw(IHtmlPainter& canvas, const THvRect& rect, int32_t clipWidth, int32_t x, int32_t y) override;
    bool LinkAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, TUrlTarget& url,
                     TFormControlObj*& control) override;

    // Told what was wrong with the page where layout went on without it (a table with more
    // columns than the limit is cut to the limit); for the host's log.
    std::function<void(const std::string& message)> OnLayoutError;
    // Fonts measure through this when they are not handed a canvas.
    ITextMetrics& Measure();
    void SetMeasure(ITextMetrics* m) { measure_ = m; }
    // Copies the selected text (SelFrom..SelTo).
    std::string SelectedText();
    // Marks every link of the document whose URL `match` accepts as visited (or not).
    void SetVisitedLinks(const std::function<bool(std::string_view url)>& match, bool value);

    IDocumentHost* Host;
    THtmlParser* Parser = nullptr;
    bool ShowImages = true;
    int32_t ScrollOffset = 0;
    bool ScrollOffsetChanged = false;
    int32_t ScrollOffsetBottom = 0;
    int32_t SelFrom = 0, SelTo = 0;
    bool ShowDummyCaret = false;
    int32_t CaretPos = 0;
    std::string FontName = "Times New Roman";
    std::string PreFontName = "Courier New";
    int32_t FontSize = 12;
    uint8_t CharSet = 0;
    TColor FontColor = 0;
    TColor HotSpotColor = 0xFF0000;
    TColor VisitedColor = 0x800080;
    TColor OverColor = 0xFF0000;
    uint8_t LinkStyle = fsUnderline;
    bool LinksActive = false;
    TColor Background = hvSysWindow;
    std::string BackgroundName;
    bool BitmapLoaded = false;
    bool Processing = false; // a parse or layout is running
    // A parse keeps consecutive link lines of one shape as one run of data (TLinkLines) instead
    // of a text section each: a long list of links takes a fraction of the memory.
    bool CompactLinkLines = false;
    // Counts document layouts; widths measured during one layout are reused within it.
    uint32_t LayoutGeneration = 1;
    // While the document is laid out: cells whose sections move at its end (TCell::Layout).
    bool DeferCellMoves = false;
    std::vector<TCell*> CellsToMove;

    TFreeList<ThtmlForm> FormList;
    std::vector<TFormControlObj*> FormControlList; // refers; the forms own them
    std::vector<TFontObj*> LinkList;
    TFreeList<TMapItem> MapList;
    TFontObj* HoverLink = nullptr;
    // Pictures that arrive later, by upper-cased name, with the object that waits for each
    // (nullptr: the document's background).
    std::vector<std::pair<std::string, TImageObj*>> MissingImages;
    // Animated pictures of the document (refers; the sections own the image objects).
    std::vector<TImageObj*> AnimatedImages;
    // The ACTIVE picture under the mouse, or nullptr; how many ACTIVE pictures the document has.
    TImageObj* HoverImage = nullptr;
    int ActiveImages = 0;
    // The BODY BACKGROUND picture, fetched by GetBackgroundBitmap.
    std::shared_ptr<IHtmlPicture> BackgroundBitmap;
    // Fetches the background picture once per load while pictures are shown; one that comes
    // later is recorded in MissingImages.
    IHtmlPicture* GetBackgroundBitmap();
    // The picture request: the host answers with a picture, or sets delayed when it comes later.
    // Without a handler no picture is found (the error picture shows).
    std::function<std::shared_ptr<IHtmlPicture>(const std::string& name, uint8_t& transparent, bool& delayed)>
        GetImage;
    std::shared_ptr<IHtmlPicture> FetchDocumentImage(const std::string& name, uint8_t& transparent,
                                                     bool& delayed, bool& fromCache);
    std::function<void(TObject* sender, const std::string& action, const std::string& target,
                       const std::string& encType, const std::string& method,
                       std::unique_ptr<TStringList> results)>
        SubmitForm;
    TObject* Viewer = nullptr; // the sender of the document's events
    std::function<void(TObject*)> OnBackgroundChange;
    // Form-control windows: the viewer makes each control's window on the paint panel; a
    // control that gets the focus asks the viewer to scroll it into view; a clicked control
    // reports itself with its ONCLICK text.
    std::function<std::unique_ptr<IFormControlPeer>(TFormControlObj& control)> MakeFormControlPeer;
    std::function<void(TFormControlObj* control)> OnFormControlFocus;
    std::function<void(TObject* sender, TFormControlObj* control, const std::string& onClick)> ObjectClick;
    // The controls not drawn in the last paint are hidden, or, while the focus is in one of
    // the document's controls, kept shown far left so the focus stays valid.
    void HideControls();
    // The nearest character to a source position: the next one, or with prev the one before;
    // when there is none that way, the nearest one the other way.
    int32_t DocPosOf(int32_t sourcePos, bool prev);

private:
    ITextMetrics* measure_ = nullptr;
    std::unique_ptr<ITextMetrics> fallbackMeasure_;
};
