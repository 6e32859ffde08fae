// The section contract's defaults, cells, rows and the document's section list.
#include "htmlview/HtmlSections.h"

#include <algorithm>

#include "base/StrUtils.h"

#include "htmlview/FixedMetrics.h"
#include "htmlview/HtmlForms.h"
#include "htmlview/HtmlObjects.h"
#include "htmlview/HtmlScanner.h"
#include "htmlview/HtmlSymbols.h"
#include "htmlview/HtmlTextSection.h"

// --- TSectionBase defaults (sections without text) ---

void TSectionBase::CopyToClipboard(ITextSink&) {}

int32_t TSectionBase::LayoutParagraph(ITextMetrics&, int32_t y, IndentManager& indents, int32_t& maxWidth,
                                      int32_t& curs) {
    YValue = y;
    StartCurs = curs;
    DrawHeight = SectionHeight;
    maxWidth = indents.Width();
    return SectionHeight;
}

int32_t TSectionBase::Draw(IHtmlPainter&, const THvRect&, IndentManager&, int32_t, int32_t y) {
    YValue = y;
    return y + SectionHeight;
}

bool TSectionBase::LinkAtPoint(ITextMetrics&, int32_t, int32_t, TUrlTarget&, TFormControlObj*&) {
    return false;
}
bool TSectionBase::ObjectAtPoint(int32_t, int32_t, TObject*&, int32_t&, int32_t&) {
    return false;
}
int32_t TSectionBase::CharIndexAtPoint(ITextMetrics&, int32_t, int32_t, int32_t&, int32_t&, int32_t&, bool&) {
    return -1;
}
int32_t TSectionBase::FindString(int32_t, const std::string&, bool) {
    return -1;
}
int32_t TSectionBase::SourcePosOf(int32_t) {
    return -1;
}
int32_t TSectionBase::DocPosOf(int32_t, bool) {
    return -1;
}
bool TSectionBase::CharIndexToPoint(ITextMetrics&, int32_t, int32_t&, int32_t&) {
    return false;
}
bool TSectionBase::CharAtIndex(int32_t, char&, TObject*&) {
    return false;
}
void TSectionBase::MinMaxWidth(ITextMetrics&, int32_t& min, int32_t& max) {
    min = max = 0;
}

// --- TCell ---

void TCell::Add(std::unique_ptr<TSectionBase> section) {
    if (!section) return;
    section->SetParentSectionList(OwnerDocument);
    SectionsChanged(Sections.Count());
    Sections.Add(std::move(section));
}

void TCell::SectionsChanged(int from, TSectionBase* added) {
    keptFrom_ = std::clamp(from, 0, keptFrom_);
    if (added && minMaxKept_ && addedSinceMinMax_.size() < 64) {
        addedSinceMinMax_.push_back(added);
        return;
    }
    minMaxKept_ = false;
    addedSinceMinMax_.clear();
}

void TCell::MoveSections(int from, int to, const int32_t (&move)[2]) {
    if (move[0] == 0 && move[1] == 0) return;
    for (int i = from; i < to; ++i)
        Sections[i]->Relocate(move[0], move[1]);
    drawIndexValid_ = false;
}

void TCell::ApplyDeferredMoves() {
    if (!movePending_) return;
    movePending_ = false;
    MoveSections(0, moveSplit_, headMove_);
    MoveSections(moveSplit_, Sections.Count(), tailMove_);
}

int32_t TCell::Layout(ITextMetrics& canvas, int32_t y, int32_t width, int32_t& maxWidth, int32_t& curs) {
    ApplyDeferredMoves();
    Indents.Clear();
    Indents.Reset(0, width);
    const int32_t oldY = YValue, oldCurs = StartCurs;
    YValue = y;
    StartCurs = curs;
    const int count = Sections.Count();
    // The document itself is never kept: its layout also sizes forms and restarts animations.
    const bool keepable = static_cast<TCell*>(OwnerDocument) != this;
    int from = 0;
    int32_t total = 0;
    maxWidth = 0;
    if (keptLastLen_ != LastLen()) keptFrom_ = std::clamp(count - 1, 0, keptFrom_);
    if (keepable && keptCanvas_ == &canvas && keptWidth_ == width && keptFrom_ > 0 && keptFrom_ <= count &&
        static_cast<int>(widestUpTo_.size()) >= keptFrom_) {
        from = keptFrom_;
        const TSectionBase& last = *Sections[from - 1];
        total = last.YValue + last.SectionHeight - oldY;
        curs += last.StartCurs + last.Len - oldCurs;
        maxWidth = widestUpTo_[static_cast<size_t>(from - 1)];
    }
    if (from < count) drawIndexValid_ = false;
    widestUpTo_.resize(static_cast<size_t>(count));
    bool edgesOnly = keepable;
    for (int i = from; i < count; ++i) {
        TSectionBase& s = *Sections[i];
        int32_t m = 0;
        total += s.LayoutParagraph(canvas, y + total, Indents, m, curs);
        maxWidth = std::max(maxWidth, m);
        widestUpTo_[static_cast<size_t>(i)] = maxWidth;
        edgesOnly = edgesOnly && s.LaysOutAtEdgesOnly();
    }
    edgesOnly = edgesOnly && Indents.L.empty() && Indents.R.empty() && Indents.CurrentID == 0;
    if (from > 0) {
        // The kept sections move where this layout puts them: now, or with the rest of the
        // cell's moves at the end of the document's layout.
        moveSplit_ = from;
        headMove_[0] = y - oldY;
        headMove_[1] = StartCurs - oldCurs;
        tailMove_[0] = tailMove_[1] = 0;
        movePending_ = true;
        if (OwnerDocument && OwnerDocument->DeferCellMoves)
            OwnerDocument->CellsToMove.push_back(this);
        else
            ApplyDeferredMoves();
    }
    if (edgesOnly) {
        keptCanvas_ = &canvas;
        keptWidth_ = width;
        keptFrom_ = count;
        keptLastLen_ = LastLen();
    } else {
        keptCanvas_ = nullptr;
        keptFrom_ = 0;
    }
    Len = curs - StartCurs;
    laidOutSections_ = count;
    return std::max(total, Indents.ImageBottom() - YValue);
}

void TCell::MinMaxWidth(ITextMetrics& canvas, int32_t& min, int32_t& max) {
    if (minMaxKept_ && minMaxCanvas_ == &canvas) {
        // Sections put in since: each widens the kept widths, or the cell is measured again.
        for (TSectionBase* s : addedSinceMinMax_) {
            int32_t mn = 0, mx = 0;
            if (!s->LaysOutAtEdgesOnly()) {
                minMaxKept_ = false;
                break;
            }
            s->MinMaxWidth(canvas, mn, mx);
            keptMin_ = std::max(keptMin_, mn);
            keptMax_ = std::max(keptMax_, mx);
        }
        if (!addedSinceMinMax_.empty()) minMaxLastLen_ = LastLen();
        addedSinceMinMax_.clear();
        if (minMaxKept_ && minMaxLastLen_ == LastLen()) {
            min = keptMin_;
            max = keptMax_;
            return;
        }
    }
    addedSinceMinMax_.clear();
    min = max = 0;
    bool edgesOnly = static_cast<TCell*>(OwnerDocument) != this;
    for (const auto& s : Sections) {
        int32_t mn = 0, mx = 0;
        s->MinMaxWidth(canvas, mn, mx);
        min = std::max(min, mn);
        max = std::max(max, mx);
        edgesOnly = edgesOnly && s->LaysOutAtEdgesOnly();
    }
    minMaxKept_ = edgesOnly;
    minMaxCanvas_ = &canvas;
    minMaxLastLen_ = LastLen();
    keptMin_ = min;
    keptMax_ = max;
}

int32_t TCell::Draw(IHtmlPainter& canvas, const THvRect& rect, int32_t clipWidth, int32_t x, int32_t y) {
    int32_t width = Indents.Width();
    Indents.LeftEdge = x;
    Indents.RightEdge = x + width;
    Indents.ClipWidth = clipWidth;
    if (DrawIndexReady(y)) {
        // Sections that end above the clip rectangle and those that start below it draw nothing.
        const int32_t scroll = OwnerDocument->ScrollOffset;
        const auto first = std::lower_bound(drawReach_.begin(), drawReach_.end(), rect.Top + scroll);
        for (int i = static_cast<int>(first - drawReach_.begin()); i < Sections.Count(); ++i) {
            TSectionBase* s = Sections[i];
            if (s->YValue - scroll >= rect.Bottom) break;
            s->Draw(canvas, rect, Indents, x, s->YValue);
        }
        y = drawEnd_;
    } else {
        for (const auto& s : Sections)
            y = s->Draw(canvas, rect, Indents, x, y);
    }
    Indents.LeftEdge = 0;
    Indents.RightEdge = width;
    return y;
}

bool TCell::DrawIndexReady(int32_t y) {
    // Short cells are walked: the index would cost more than it saves.
    constexpr int kIndexedSections = 32;
    if (Sections.Count() < kIndexedSections) return false;
    if (drawIndexValid_ && drawTop_ == y && static_cast<int>(drawReach_.size()) == Sections.Count())
        return drawIndexUsable_;
    drawIndexValid_ = true;
    drawTop_ = y;
    drawIndexUsable_ = true;
    drawReach_.clear();
    drawReach_.reserve(static_cast<size_t>(Sections.Count()));
    int32_t t = y, reach = INT32_MIN;
    for (const auto& s : Sections) {
        // Drawn anywhere but where it was laid out, a section is walked to like the rest.
        if (s->YValue != t) drawIndexUsable_ = false;
        reach = std::max(reach, s->DrawReach());
        drawReach_.push_back(reach);
        t += s->SectionHeight;
    }
    drawEnd_ = t;
    return drawIndexUsable_;
}

namespace {
// The sections whose band [YValue, YValue + DrawHeight) holds y, in order.
template <typename F> bool ForSectionsAt(const TFreeList<TSectionBase>& sections, int32_t y, F f) {
    for (const auto& s : sections)
        if (y >= s->YValue && y < s->YValue + std::max(s->DrawHeight, s->SectionHeight) && f(*s)) return true;
    return false;
}
} // namespace

bool TCell::LinkAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, TUrlTarget& url,
                        TFormControlObj*& control) {
    return ForSectionsAt(Sections, y,
                         [&](TSectionBase& s) { return s.LinkAtPoint(canvas, x, y, url, control); });
}

bool TCell::ObjectAtPoint(int32_t x, int32_t y, TObject*& obj, int32_t& ix, int32_t& iy) {
    return ForSectionsAt(Sections, y, [&](TSectionBase& s) { return s.ObjectAtPoint(x, y, obj, ix, iy); });
}

TSectionBase* TCell::FindSectionAtPosition(int32_t y, int32_t& top, int& index) {
    int32_t t = YValue;
    for (int i = 0; i < Sections.Count(); ++i) {
        TSectionBase* s = Sections[i];
        if (y >= t && y < t + s->SectionHeight) {
            top = t;
            index = i;
            return s;
        }
        t += s->SectionHeight;
    }
    top = t;
    index = -1;
    return nullptr;
}

int32_t TCell::CharIndexAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, int32_t& xr, int32_t& yr,
                                int32_t& ht, bool& inText) {
    int32_t top = 0;
    int index = -1;
    TSectionBase* s = FindSectionAtPosition(y, top, index);
    if (!s) return -1;
    return s->CharIndexAtPoint(canvas, x, y, xr, yr, ht, inText);
}

int32_t TCell::FindString(int32_t from, const std::string& toFind, bool matchCase) {
    int first = 0;
    if (laidOutSections_ == Sections.Count()) {
        // Laid out, the sections hold ascending character ranges: the search starts with the
        // last one that starts at or before from, so stepping through the hits of a long page
        // does not walk every section before each one again.
        if (from >= StartCurs + Len) return -1;
        int lo = 0, hi = Sections.Count();
        while (lo < hi) {
            int mid = (lo + hi) / 2;
            if (Sections[mid]->StartCurs <= from)
                lo = mid + 1;
            else
                hi = mid;
        }
        first = std::max(0, lo - 1);
    }
    for (int i = first; i < Sections.Count(); ++i) {
        int32_t r = Sections[i]->FindString(from, toFind, matchCase);
        if (r >= 0) return r;
    }
    return -1;
}

int32_t TCell::SourcePosOf(int32_t docPos) {
    for (const auto& s : Sections) {
        int32_t r = s->SourcePosOf(docPos);
        if (r >= 0) return r;
    }
    return -1;
}

int32_t TCell::DocPosOf(int32_t sourcePos, bool prev) {
    if (prev) {
        for (int i = Sections.Count() - 1; i >= 0; --i) {
            int32_t r = Sections[i]->DocPosOf(sourcePos, prev);
            if (r >= 0) return r;
        }
        return -1;
    }
    for (const auto& s : Sections) {
        int32_t r = s->DocPosOf(sourcePos, prev);
        if (r >= 0) return r;
    }
    return -1;
}

bool TCell::CharIndexToPoint(ITextMetrics& canvas, int32_t cursor, int32_t& x, int32_t& y) {
    for (const auto& s : Sections)
        if (s->CharIndexToPoint(canvas, cursor, x, y)) return true;
    return false;
}

bool TCell::CharAtIndex(int32_t pos, char& ch, TObject*& obj) {
    if (pos < StartCurs || pos >= StartCurs + Len) return false;
    for (const auto& s : Sections)
        if (s->CharAtIndex(pos, ch, obj)) return true;
    return false;
}

void TCell::CopyToClipboard(ITextSink& sink) {
    int32_t selFrom = OwnerDocument->SelFrom, selTo = OwnerDocument->SelTo;
    for (const auto& s : Sections) {
        if (s->StartCurs + s->Len < selFrom) continue;
        if (s->StartCurs >= selTo) break;
        s->CopyToClipboard(sink);
    }
}

void TCell::ShiftSourcePositions(int32_t from, int32_t delta) {
    for (const auto& s : Sections)
        s->ShiftSourcePositions(from, delta);
}

void TCell::SetLinksVisited(const std::function<bool(std::string_view url)>& match, bool value) {
    for (const auto& s : Sections)
        s->SetLinksVisited(match, value);
}

void TCell::Relocate(int32_t dy, int32_t dcurs) {
    if (dy == 0 && dcurs == 0) return;
    YValue += dy;
    StartCurs += dcurs;
    for (auto* list : {&Indents.L, &Indents.R})
        for (auto& r : *list) {
            r.StartY += dy;
            if (r.EndY < 9999999) r.EndY += dy;
        }
    if (movePending_) {
        headMove_[0] += dy;
        headMove_[1] += dcurs;
        tailMove_[0] += dy;
        tailMove_[1] += dcurs;
        return;
    }
    drawIndexValid_ = false;
    for (const auto& s : Sections)
        s->Relocate(dy, dcurs);
}

void TCell::UpdateFonts() {
    SectionsChanged(0);
    for (const auto& s : Sections)
        s->UpdateFonts();
}

// --- TCellObj, TCellList ---

TCellObj::TCellObj(TSectionList* owner, int vAlign, const TAttributeList& attributes)
    : VAlign(vAlign), Cell(owner) {
    for (const auto& a : attributes) {
        switch (a.Which) {
        case AttrCOLSPAN:
            if (a.Value > 1) ColSpan = std::min(a.Value, 1000);
            break;
        case AttrROWSPAN:
            if (a.Value > 1) RowSpan = std::min(a.Value, 10000);
            break;
        case AttrWIDTH:
            if (a.Name.find('%') != std::string::npos) {
                if (a.Value >= 1 && a.Value <= 100) {
                    GivenWidth = a.Value * 10;
                    AsPercent = true;
                }
            } else if (a.Value > 0) {
                GivenWidth = std::min(a.Value, hvMaxPixels);
            }
            break;
        case AttrHEIGHT:
            GivenHeight = ClampInt(a.Value, 0, hvMaxPixels);
            break;
        case AttrBGCOLOR: {
            TColor c;
            if (THtmlScanner::ColorFromString(a.Name, c)) {
                Cell.HasBackground = true;
                Cell.BackgroundColor = c | hvPaletteRelative;
            }
            break;
        }
        default:
            break;
        }
    }
}

void TCellList::Initialize(const TAttributeList& attributes) {
    if (const TAttribute* a = attributes.Find(AttrBGCOLOR)) {
        TColor c;
        if (THtmlScanner::ColorFromString(a->Name, c)) {
            HasBackground = true;
            BackgroundColor = c | hvPaletteRelative;
        }
    }
}

void TCellList::PropagateColor() {
    if (!HasBackground) return;
    for (const auto& c : Cells)
        if (c && !c->Cell.HasBackground) {
            c->Cell.HasBackground = true;
            c->Cell.BackgroundColor = BackgroundColor;
        }
}

void TCellList::UpdateFonts() {
    for (const auto& c : Cells)
        if (c) c->UpdateFonts();
}

// --- TSectionList ---

TSectionList::TSectionList(IDocumentHost* host) : TCell(this), Host(host) {}

TSectionList::~TSectionList() {
    Clear();
}

ITextMetrics& TSectionList::Measure() {
    if (measure_) return *measure_;
    if (!fallbackMeasure_) fallbackMeasure_ = std::make_unique<TFixedMetrics>();
    return *fallbackMeasure_;
}

void TSectionList::Clear() {
    BackgroundName.clear();
    BitmapLoaded = false;
    BackgroundBitmap.reset(); // gives its cache use back
    HoverLink = nullptr;
    HoverImage = nullptr;
    AnimatedImages.clear();
    ActiveImages = 0;
    LinkList.clear();
    FormControlList.clear();
    // Sections go before the forms: a section refers to the controls the forms own.
    Sections.Clear();
    ForgetLayout();
    FormList.Clear();
    MapList.Clear();
    MissingImages.clear(); // the image objects took their own entries with them
    SelFrom = SelTo = 0;
}

void TSectionList::SetFonts(const std::string& fontName, const std::string& preFontName, bool linksActive,
                            TColor background, TColor overColor, TColor visitedColor, TColor hotSpotColor,
                            TColor fontColor, int32_t fontSize) {
    FontName = fontName.substr(0, 32);
    PreFontName = preFontName.substr(0, 32);
    FontSize = ClampInt(fontSize, 1, 200);
    FontColor = fontColor;
    HotSpotColor = hotSpotColor;
    VisitedColor = visitedColor;
    OverColor = overColor;
    LinksActive = linksActive;
    SetBackground(background);
    UpdateFonts();
}

void TSectionList::SetBackground(TColor color) {
    Background = color;
    if (OnBackgroundChange) OnBackgroundChange(nullptr);
    if (Host) Host->BackgroundChanged();
}

void TSectionList::SetBackgroundBitmap(const std::string& name) {
    BackgroundName = name;
    BackgroundBitmap.reset();
    BitmapLoaded = false;
}

IHtmlPicture* TSectionList::GetBackgroundBitmap() {
    if (!ShowImages || BitmapLoaded || BackgroundName.empty() || BackgroundBitmap)
        return BackgroundBitmap.get();
    BitmapLoaded = true;
    std::string name = GetImage || !Host ? BackgroundName : Host->ResolveLinkPath(BackgroundName);
    uint8_t transparent = 0;
    bool later = false, fromCache = false;
    BackgroundBitmap = FetchDocumentImage(name, transparent, later, fromCache);
    if (BackgroundBitmap && (BackgroundBitmap->Width() <= 0 || BackgroundBitmap->Height() <= 0))
        BackgroundBitmap.reset(); // nothing to tile
    if (!BackgroundBitmap && later) MissingImages.emplace_back(Trim(UpperCase(name)), nullptr);
    return BackgroundBitmap.get();
}

void TSectionList::SetYOffset(int32_t y) {
    if (y == ScrollOffset) return;
    ScrollOffset = y;
    ScrollOffsetChanged = true;
    for (auto* c : FormControlList)
        c->IsShown = false;
}

void TSectionList::ClearHover() {
    if (HoverImage) {
        HoverImage->SetHover(false);
        HoverImage = nullptr;
        if (Host) Host->Invalidate();
    }
    if (HoverLink) {
        if (LinksActive)
            for (auto* f : LinkList)
                if (f->UrlTarget.URL() == HoverLink->UrlTarget.URL()) f->SetHover(false);
        HoverLink = nullptr;
        if (Host) Host->Invalidate();
    }
}

int32_t TSectionList::GetSectionTop(int index) const {
    int32_t top = 0;
    int last = std::min(index - 1, Sections.Count() - 2);
    for (int i = 0; i <= last; ++i)
        top += Sections[i]->SectionHeight;
    return top;
}

int32_t TSectionList::Layout(ITextMetrics& canvas, int32_t y, int32_t width, int32_t& maxWidth,
                             int32_t& curs) {
    struct ProcessingGuard {
        bool& flag;
        explicit ProcessingGuard(bool& f) : flag(f) { flag = true; }
        ~ProcessingGuard() { flag = false; }
    } guard(Processing);
    ++LayoutGeneration;
    for (const auto& f : FormList)
        f->SetSizes(canvas);
    // Cells that kept their layout are moved once, when every table has placed them.
    struct DeferredMoves {
        TSectionList& doc;
        explicit DeferredMoves(TSectionList& d) : doc(d) {
            doc.CellsToMove.clear();
            doc.DeferCellMoves = true;
        }
        ~DeferredMoves() {
            doc.DeferCellMoves = false;
            for (TCell* cell : doc.CellsToMove)
                cell->ApplyDeferredMoves();
            doc.CellsToMove.clear();
        }
    };
    int32_t height = 0;
    {
        DeferredMoves moves(*this);
        height = TCell::Layout(canvas, y, width, maxWidth, curs);
    }
    // Every animation starts again from its first frame after a layout.
    for (TImageObj* img : AnimatedImages)
        if (IHtmlAnimation* a = AnimationOf(img->Image)) {
            a->SetCurrentFrame(1);
            a->SetAnimate(false);
            a->SetAnimate(true);
        }
    HideControls();
    return height;
}

int32_t TSectionList::Draw(IHtmlPainter& canvas, const THvRect& rect, int32_t clipWidth, int32_t x,
                           int32_t y) {
    ScrollOffsetBottom = ScrollOffset + rect.Bottom;
    // Only pictures drawn in this paint move on at the next animation tick.
    for (TImageObj* img : AnimatedImages)
        if (IHtmlAnimation* a = AnimationOf(img->Image)) a->SetShown(false);
    int32_t result = TCell::Draw(canvas, rect, clipWidth, x, y);
    if (ScrollOffsetChanged) {
        HideControls();
        ScrollOffsetChanged = false;
    }
    return result;
}

void TSectionList::HideControls() {
    if (FormControlList.empty()) return;
    bool focusInDocument = false;
    for (TFormControlObj* c : FormControlList)
        if (c->Peer && c->Peer->Focused()) {
            focusInDocument = true;
            break;
        }
    for (TFormControlObj* c : FormControlList) {
        if (c->IsShown || !c->Peer) continue;
        if (focusInDocument)
            c->Peer->ShowAt(hvOffScreenLeft, c->Top, c->BackgroundColor());
        else
            c->Peer->Hide();
    }
}

int32_t TSectionList::DocPosOf(int32_t sourcePos, bool prev) {
    int32_t result = TCell::DocPosOf(sourcePos, prev);
    return result >= 0 ? result : TCell::DocPosOf(sourcePos, !prev);
}

bool TSectionList::LinkAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, TUrlTarget& url,
                               TFormControlObj*& control) {
    TFontObj* oldLink = HoverLink;
    HoverLink = nullptr;
    bool result = TCell::LinkAtPoint(canvas, x, y, url, control);
    TImageObj* oldImage = HoverImage;
    HoverImage = nullptr;
    if (ActiveImages > 0) { // most pages have none: their hover costs no picture search
        TObject* obj = nullptr;
        int32_t ix = 0, iy = 0;
        auto* img = ObjectAtPoint(x, y, obj, ix, iy) ? dynamic_cast<TImageObj*>(obj) : nullptr;
        if (img && img->ActiveImage) HoverImage = img;
    }
    if (oldImage != HoverImage) {
        if (oldImage) oldImage->SetHover(false);
        if (HoverImage) HoverImage->SetHover(true);
        if (Host) Host->Invalidate();
    }
    if (LinksActive && oldLink != HoverLink) {
        for (auto* f : LinkList) {
            if (oldLink && f->UrlTarget.URL() == oldLink->UrlTarget.URL()) f->SetHover(false);
        }
        for (auto* f : LinkList) {
            if (HoverLink && f->UrlTarget.URL() == HoverLink->UrlTarget.URL()) f->SetHover(true);
        }
        if (Host) Host->Invalidate();
    }
    return result;
}

void TSectionList::SetVisitedLinks(const std::function<bool(std::string_view url)>& match, bool value) {
    for (TFontObj* link : LinkList)
        if (link->Visited != value && match(link->UrlTarget.URL())) link->SetVisited(value);
    TCell::SetLinksVisited(match, value);
}

std::string TSectionList::SelectedText() {
    TStringSink sink;
    CopyToClipboard(sink);
    return sink.Text;
}
