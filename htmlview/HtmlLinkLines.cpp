// A run of one-line link paragraphs kept as data. Layout, widths and positions come from the
// lines' records; drawing and the hit tests that read pixels build the line's text section the
// way the parser builds it and ask it, so a line looks and answers exactly as that section would.
#include "htmlview/HtmlLinkLines.h"

#include <algorithm>
#include <mutex>
#include <typeinfo>

namespace {
bool BreaksOrHolds(char c) {
    // Where a line may break, or a picture or control stands.
    return c == ' ' || c == PhControl || c == PhPicture || c == PhNoBreakSpace || c == PhControlNoBreak ||
           c == PhPictureNoBreak;
}
constexpr size_t kScratchKept = 160; // sections a run keeps for painting and probes
// The runs that keep sections, the last to build one first: only the few drawn last keep theirs
// (a panel scrolled through its 500 boxes would otherwise keep a screenful in each).
constexpr size_t kKeepingRuns = 8;
struct TKeepingRuns {
    std::mutex Lock;
    std::vector<TLinkLines*> Runs;
};
TKeepingRuns& KeepingRuns() {
    static TKeepingRuns runs;
    return runs;
}
} // namespace

TLinkLines::~TLinkLines() {
    TKeepingRuns& keeping = KeepingRuns();
    std::lock_guard<std::mutex> guard(keeping.Lock);
    std::erase(keeping.Runs, this);
}

void TLinkLines::KeepsScratch() {
    TKeepingRuns& keeping = KeepingRuns();
    std::lock_guard<std::mutex> guard(keeping.Lock);
    auto& runs = keeping.Runs;
    if (!runs.empty() && runs.front() == this) return;
    std::erase(runs, this);
    runs.insert(runs.begin(), this);
    if (runs.size() > kKeepingRuns) {
        runs.back()->scratch_.clear();
        runs.pop_back();
    }
}

bool TLinkLines::Read(const TSection& s, TShape* shape, TLine& line, std::string_view& title,
                      std::string_view& url) {
    if (typeid(s) != typeid(TSection) || s.Preformatted || s.ListType != 0 || s.Level != 0 ||
        s.ClearAttr != 0 || s.Justify != 1 || !s.Images.Empty() || !s.FormControls.empty() ||
        s.Fonts.Count() != 2 || s.SourceIndexList.size() != 2)
        return false;
    const TFontObj& mark = *s.Fonts[0];
    const TFontObj& link = *s.Fonts[1];
    const int32_t m = link.Pos;
    if (mark.Pos != 0 || m <= 0 || m >= s.Len || !mark.UrlTarget.URL().empty() ||
        link.UrlTarget.URL().empty() || mark.SScript != 0 || link.SScript != 0 || mark.Visited ||
        mark.Hover || link.Visited || link.Hover)
        return false;
    if (s.SourceIndexList[0].PosIndex != 0 || s.SourceIndexList[1].PosIndex != m) return false;
    const std::string& text = s.Text();
    if (text.size() - static_cast<size_t>(m) >= kDerived || link.UrlTarget.URL().size() >= kDerived)
        return false;
    for (char c : text)
        if (BreaksOrHolds(c)) return false;
    if (shape) {
        shape->MarkFont = mark.CurrentFont;
        shape->LinkFont = link.CurrentFont;
        shape->BaseFont = s.BaseFont;
        shape->Mark.assign(text, 0, static_cast<size_t>(m));
        shape->Target = link.UrlTarget.Target();
    }
    title = std::string_view(text).substr(static_cast<size_t>(m));
    url = link.UrlTarget.URL();
    line.TitleLen = static_cast<uint16_t>(title.size());
    line.UrlLen = static_cast<uint16_t>(url.size());
    line.MarkSource = s.SourceIndexList[0].SourceIndex;
    line.TitleSource = s.SourceIndexList[1].SourceIndex;
    return true;
}

std::unique_ptr<TLinkLines> TLinkLines::From(const TSection& section) {
    TShape shape;
    TLine line;
    std::string_view title, url;
    if (!Read(section, &shape, line, title, url)) return nullptr;
    std::unique_ptr<TLinkLines> run(new TLinkLines(section.ParentSectionList));
    run->shape_ = std::move(shape);
    // The part of the link before the title ("namespace:"), when the link ends with the title.
    if (url.size() >= title.size()) {
        const std::string_view prefix = url.substr(0, url.size() - title.size());
        if (Derives(url, prefix, title)) {
            run->urlPrefix_ = prefix;
            run->hasPrefix_ = true;
        }
    }
    run->Insert(0, section);
    return run;
}

bool TLinkLines::Take(const TSection& section) {
    return InsertLine(LineCount(), section);
}

bool TLinkLines::InsertLine(int at, const TSection& line) {
    if (at < 0 || at > LineCount()) return false;
    const TSharedFont& base = line.BaseFont;
    if (line.Fonts.Count() != 2 || !(line.Fonts[0]->CurrentFont == shape_.MarkFont) ||
        !(line.Fonts[1]->CurrentFont == shape_.LinkFont) || !(base == shape_.BaseFont) ||
        line.Fonts[1]->UrlTarget.Target() != shape_.Target ||
        line.Fonts[1]->Pos != static_cast<int32_t>(shape_.Mark.size()) ||
        line.Text().compare(0, shape_.Mark.size(), shape_.Mark) != 0)
        return false;
    return Insert(at, line);
}

bool TLinkLines::Insert(int at, const TSection& section) {
    TLine line;
    std::string_view title, url;
    if (!Read(section, nullptr, line, title, url)) return false;
    return Put(at, line, title, url);
}

bool TLinkLines::AppendLine(std::string_view title, std::string_view url, int32_t markSource,
                            int32_t titleSource) {
    // The limits Read puts on a section's line.
    if (title.empty() || url.empty() || title.size() >= kDerived || url.size() >= kDerived) return false;
    for (char c : title)
        if (BreaksOrHolds(c)) return false;
    TLine line;
    line.TitleLen = static_cast<uint16_t>(title.size());
    line.UrlLen = static_cast<uint16_t>(url.size());
    line.MarkSource = markSource;
    line.TitleSource = titleSource;
    return Put(LineCount(), line, title, url);
}

bool TLinkLines::Put(int at, TLine line, std::string_view title, std::string_view url) {
    if (pool_.size() + title.size() + url.size() > 0xFFFFFFFFu) return false;
    // A line put into a laid-out run grows its blocks by an eighth, which Shrink leaves alone:
    // doubling them would have the next layout's Shrink copy the whole run back, at every edit.
    if (laidOut_) {
        if (lines_.size() == lines_.capacity()) lines_.reserve(lines_.size() + lines_.size() / 8 + 4);
        const size_t need = pool_.size() + title.size() + url.size();
        if (need > pool_.capacity()) {
            // A string's reserve grows to at least twice what it had: a fresh one is given the
            // room asked for.
            std::string grown;
            grown.reserve(need + need / 8 + 16);
            grown.assign(pool_);
            pool_.swap(grown);
        }
    }
    line.Text = static_cast<uint32_t>(pool_.size());
    pool_.append(title);
    if (hasPrefix_ && Derives(url, urlPrefix_, title))
        line.UrlLen = kDerived;
    else
        pool_.append(url);
    const size_t i = static_cast<size_t>(at);
    line.Start = at < LineCount() ? lines_[i].Start : Len;
    const int32_t len = LineLen(line);
    for (size_t k = i; k < lines_.size(); ++k)
        lines_[k].Start += len;
    lines_.insert(lines_.begin() + at, line);
    Len += len;
    unmeasuredFrom_ = std::min(unmeasuredFrom_, at);
    if (!lineIndents_.empty()) lineIndents_.insert(lineIndents_.begin() + at, 0);
    laidOut_ = laidOut_ && lineIndents_.empty();
    scratch_.clear();
    for (TScratch& h : hover_)
        if (h.Line >= at) ++h.Line;
    return true;
}

void TLinkLines::DeleteLine(int at) {
    if (at < 0 || at >= LineCount()) return;
    const size_t i = static_cast<size_t>(at);
    const TLine line = lines_[i];
    const int32_t len = LineLen(line);
    lines_.erase(lines_.begin() + at);
    for (size_t k = i; k < lines_.size(); ++k)
        lines_[k].Start -= len;
    Len -= len;
    poolGarbage_ += Kept(line);
    if (!lineIndents_.empty()) lineIndents_.erase(lineIndents_.begin() + at);
    laidOut_ = laidOut_ && lineIndents_.empty();
    if (unmeasuredFrom_ > at) --unmeasuredFrom_;
    if (line.Width >= widest_) RescanWidest();
    scratch_.clear();
    for (TScratch& h : hover_) {
        if (h.Line == at) {
            h.Line = -1;
            h.Section.reset(); // lets go of the document's hover when it is this line's link
        } else if (h.Line > at) {
            --h.Line;
        }
    }
    if (poolGarbage_ > pool_.size() / 2 + 4096) Compact();
}

std::unique_ptr<TLinkLines> TLinkLines::SplitOff(int at) {
    at = std::clamp(at, 0, LineCount());
    std::unique_ptr<TLinkLines> tail(new TLinkLines(ParentSectionList));
    tail->shape_ = shape_;
    tail->urlPrefix_ = urlPrefix_;
    tail->hasPrefix_ = hasPrefix_;
    const int32_t startAt = at < LineCount() ? lines_[static_cast<size_t>(at)].Start : Len;
    for (size_t k = static_cast<size_t>(at); k < lines_.size(); ++k) {
        TLine l = lines_[k];
        l.Text = static_cast<uint32_t>(tail->pool_.size());
        tail->pool_.append(pool_, lines_[k].Text, Kept(l));
        l.Start -= startAt;
        tail->lines_.push_back(l);
    }
    if (!lineIndents_.empty()) {
        tail->lineIndents_.assign(lineIndents_.begin() + at, lineIndents_.end());
        lineIndents_.resize(static_cast<size_t>(at));
    }
    tail->Len = Len - startAt;
    tail->measuredWith_ = measuredWith_;
    tail->lineHeight_ = lineHeight_;
    tail->markWidth_ = markWidth_;
    tail->linkOverhang_ = linkOverhang_;
    tail->unmeasuredFrom_ = std::max(0, unmeasuredFrom_ - at);
    tail->laidOut_ = laidOut_;
    tail->laidOutWith_ = laidOutWith_;
    tail->leftEdge_ = leftEdge_;
    tail->rightEdge_ = rightEdge_;
    tail->drawX_ = drawX_;
    // Laid out where the lines were.
    tail->YValue = YValue + at * lineHeight_;
    tail->StartCurs = StartCurs + startAt;
    tail->SectionHeight = (LineCount() - at) * lineHeight_;
    tail->DrawHeight = std::max(tail->SectionHeight, DrawHeight - (tail->YValue - YValue));
    lines_.resize(static_cast<size_t>(at));
    Len = startAt;
    SectionHeight = at * lineHeight_;
    DrawHeight = SectionHeight;
    unmeasuredFrom_ = std::min(unmeasuredFrom_, at);
    RescanWidest();
    tail->RescanWidest();
    for (TScratch& h : hover_)
        if (h.Line >= at) {
            TScratch& to = tail->hover_[&h - hover_];
            to.Line = h.Line - at;
            to.Section = std::move(h.Section);
            h.Line = -1;
        }
    tail->lastHover_ = lastHover_;
    scratch_.clear();
    Compact();
    return tail;
}

std::string_view TLinkLines::Title(int line) const {
    const TLine& l = lines_[static_cast<size_t>(line)];
    return std::string_view(pool_).substr(l.Text, l.TitleLen);
}

bool TLinkLines::Derives(std::string_view url, std::string_view prefix, std::string_view title) {
    if (url.size() != prefix.size() + title.size() || url.substr(0, prefix.size()) != prefix) return false;
    for (size_t k = 0; k < title.size(); ++k)
        if (url[prefix.size() + k] != (title[k] == NbspChar ? ' ' : title[k])) return false;
    return true;
}

std::string TLinkLines::Url(int line) const {
    const TLine& l = lines_[static_cast<size_t>(line)];
    if (l.UrlLen != kDerived) return pool_.substr(l.Text + l.TitleLen, l.UrlLen);
    std::string url = urlPrefix_;
    for (char c : Title(line))
        url += c == NbspChar ? ' ' : c;
    return url;
}

bool TLinkLines::UrlIs(int line, std::string_view url) const {
    const TLine& l = lines_[static_cast<size_t>(line)];
    if (l.UrlLen != kDerived) return std::string_view(pool_).substr(l.Text + l.TitleLen, l.UrlLen) == url;
    return Derives(url, urlPrefix_, Title(line));
}

void TLinkLines::Shrink() {
    // Lines come one by one while a page is parsed: the room kept for more goes at the first
    // layout (and after edits, once it is a quarter more than the lines need).
    if (lines_.capacity() > lines_.size() + lines_.size() / 4 + 4) lines_.shrink_to_fit();
    if (poolGarbage_ > 0 && poolGarbage_ > pool_.size() / 4) Compact();
    if (pool_.capacity() > pool_.size() + pool_.size() / 4 + 16) pool_.shrink_to_fit();
}

void TLinkLines::Compact() {
    std::string pool;
    size_t size = 0;
    for (const TLine& l : lines_)
        size += Kept(l);
    pool.reserve(size);
    for (TLine& l : lines_) {
        const uint32_t at = static_cast<uint32_t>(pool.size());
        pool.append(pool_, l.Text, Kept(l));
        l.Text = at;
    }
    pool_ = std::move(pool);
    poolGarbage_ = 0;
}

bool TLinkLines::Join(TLinkLines& next) {
    if (&next == this || !(next.shape_ == shape_)) return false;
    if (pool_.size() + next.pool_.size() + static_cast<size_t>(next.LineCount()) * (urlPrefix_.size() + 1) >
        0xFFFFFFFFu)
        return false;
    // Each line put in as this run keeps a line (its link derived from this run's prefix, or
    // written out) and measured again; the hover of next's lines goes with next.
    for (int k = 0; k < next.LineCount(); ++k) {
        const TLine& from = next.lines_[static_cast<size_t>(k)];
        const std::string url = next.Url(k);
        TLine line;
        line.TitleLen = from.TitleLen;
        line.UrlLen = static_cast<uint16_t>(url.size());
        line.MarkSource = from.MarkSource;
        line.TitleSource = from.TitleSource;
        line.Flags = from.Flags & kVisited;
        Put(LineCount(), line, next.Title(k), url);
    }
    // Where the lines are drawn is laid out again: the two may not have stood one under the other.
    laidOut_ = false;
    return true;
}

void TLinkLines::RescanWidest() {
    widest_ = 0;
    for (const TLine& l : lines_)
        widest_ = std::max(widest_, l.Width);
}

int TLinkLines::LineOfChar(int32_t rel) const {
    if (rel < 0 || rel >= Len || lines_.empty()) return -1;
    auto it = std::upper_bound(lines_.begin(), lines_.end(), rel,
                               [](int32_t r, const TLine& l) { return r < l.Start; });
    return static_cast<int>(it - lines_.begin()) - 1;
}

int TLinkLines::LineAtY(int32_t y) const {
    if (lineHeight_ <= 0 || y < YValue) return -1;
    const int32_t i = (y - YValue) / lineHeight_;
    return i < LineCount() ? static_cast<int>(i) : -1;
}

// --- measuring and layout ---

void TLinkLines::Measure(ITextMetrics& canvas) {
    if (measuredWith_ != &canvas) {
        measuredWith_ = &canvas;
        for (TLine& l : lines_)
            l.Width = -1;
        unmeasuredFrom_ = 0;
        const TFontMetrics mark = canvas.Metrics(*shape_.MarkFont);
        const TFontMetrics link = canvas.Metrics(*shape_.LinkFont);
        lineHeight_ = std::max(mark.Height + mark.ExternalLeading, link.Height + link.ExternalLeading);
        markWidth_ =
            canvas.TextWidth(*shape_.MarkFont, shape_.Mark.data(), static_cast<int32_t>(shape_.Mark.size())) -
            mark.Overhang;
        linkOverhang_ = link.Overhang;
        laidOut_ = false;
        widest_ = 0;
    }
    if (unmeasuredFrom_ < LineCount()) Shrink();
    // Summed as a layout sums a line's runs: each run's width less its font's overhang.
    for (size_t k = static_cast<size_t>(unmeasuredFrom_); k < lines_.size(); ++k) {
        TLine& l = lines_[k];
        if (l.Width >= 0) continue;
        l.Width = markWidth_ + canvas.TextWidth(*shape_.LinkFont, pool_.data() + l.Text, l.TitleLen) -
                  linkOverhang_;
        widest_ = std::max(widest_, l.Width);
    }
    unmeasuredFrom_ = LineCount();
}

int32_t TLinkLines::LayoutParagraph(ITextMetrics& canvas, int32_t y, IndentManager& indents,
                                    int32_t& maxWidth, int32_t& curs) {
    indents.SetLevel(y, 0);
    Measure(canvas);
    YValue = y;
    StartCurs = curs;
    SectionHeight = LineCount() * lineHeight_;
    const bool edges = indents.L.empty() && indents.R.empty() && indents.CurrentID == 0;
    // Lines laid out again between other edges (or on another canvas) forget where they were drawn.
    const bool same = laidOut_ && laidOutWith_ == &canvas && edges && lineIndents_.empty() &&
                      leftEdge_ == indents.LeftEdge && rightEdge_ == indents.RightEdge;
    if (!same) {
        for (TLine& l : lines_)
            l.Flags &= static_cast<uint8_t>(~kDrawn);
        scratch_.clear();
    }
    maxWidth = indents.Width();
    if (edges) {
        lineIndents_.clear();
        // A line wider than the cell stays whole and overflows it.
        if (widest_ > indents.Width()) maxWidth = widest_;
    } else {
        // Floats beside the run: each line between the edges at its own y.
        lineIndents_.assign(lines_.size(), 0);
        bool any = false;
        for (size_t k = 0; k < lines_.size(); ++k) {
            const int32_t ly = y + static_cast<int32_t>(k) * lineHeight_;
            const int32_t left = indents.LeftIndent(ly), right = indents.RightSide(ly);
            if (lines_[k].Width > right - left)
                maxWidth = std::max(maxWidth, lines_[k].Width + left - indents.LeftEdge);
            lineIndents_[k] = left - indents.LeftEdge;
            any = any || lineIndents_[k] != 0;
        }
        if (!any) lineIndents_.clear();
    }
    laidOut_ = true;
    laidOutWith_ = &canvas;
    leftEdge_ = indents.LeftEdge;
    rightEdge_ = indents.RightEdge;
    DrawHeight = std::max(SectionHeight, indents.ImageBottom() - YValue);
    curs = StartCurs + Len;
    return SectionHeight;
}

void TLinkLines::MinMaxWidth(ITextMetrics& canvas, int32_t& min, int32_t& max) {
    // A line has no place to break: its narrowest is its whole width.
    Measure(canvas);
    min = max = lines_.empty() ? 0 : widest_;
}

void TLinkLines::UpdateFonts() {
    if (ParentSectionList) {
        const TSectionList& doc = *ParentSectionList;
        TMyFont mark = *shape_.MarkFont, link = *shape_.LinkFont, base = *shape_.BaseFont;
        UpdateMyFont(mark, doc, doc.FontColor);
        UpdateMyFont(link, doc, doc.HotSpotColor);
        UpdateMyFont(base, doc, doc.FontColor);
        shape_.MarkFont = mark;
        shape_.LinkFont = link;
        shape_.BaseFont = base;
    }
    measuredWith_ = nullptr;
    laidOut_ = false;
    scratch_.clear();
    for (TScratch& h : hover_)
        if (h.Section) h.Section->UpdateFonts();
    TSectionBase::UpdateFonts();
}

// --- the line's section ---

std::unique_ptr<TSection> TLinkLines::Build(int line) const {
    const TLine& l = lines_[static_cast<size_t>(line)];
    // Built outside the document (no parser state, no link list entry), then placed in it.
    auto s = std::make_unique<TSection>(nullptr, 0, *shape_.MarkFont, nullptr, 1);
    s->BaseFont = shape_.BaseFont;
    TokenObj t;
    for (size_t k = 0; k < shape_.Mark.size(); ++k)
        t.AddChar(shape_.Mark[k], l.MarkSource + static_cast<int32_t>(k));
    s->AppendToken(t, false);
    TUrlTarget url;
    url.URL = Url(line);
    url.Target = shape_.Target;
    s->HRef(true, *shape_.LinkFont, url);
    t.Clear();
    const std::string_view title = Title(line);
    for (size_t k = 0; k < title.size(); ++k)
        t.AddChar(title[k], l.TitleSource + static_cast<int32_t>(k));
    s->AppendToken(t, false);
    s->FinishBuilding();
    s->ParentSectionList = ParentSectionList;
    s->Lines.push_back(LineRec{});
    return s;
}

TSection& TLinkLines::Prepare(TSection& s, int line) {
    const TLine& l = lines_[static_cast<size_t>(line)];
    s.YValue = YValue + line * lineHeight_;
    s.StartCurs = StartCurs + l.Start;
    s.SectionHeight = s.DrawHeight = lineHeight_;
    LineRec& lr = s.Lines[0];
    lr.Start = 0;
    lr.Ln = s.Len;
    lr.LineIndent = LineIndent(line);
    lr.DrawX = (l.Flags & kDrawn) ? drawX_ + lr.LineIndent : 0;
    if (measuredWith_) {
        ITextMetrics& m = *measuredWith_;
        lr.LineHeight = lineHeight_;
        lr.Descent = std::max(s.Fonts[0]->Descent(m), s.Fonts[1]->Descent(m));
        lr.LineImgHt = lineHeight_;
    }
    TFontObj& link = *s.Fonts[1];
    link.SetVisited((l.Flags & kVisited) != 0);
    const TSectionList* doc = ParentSectionList;
    const bool hovered =
        doc && doc->LinksActive && doc->HoverLink && UrlIs(line, doc->HoverLink->UrlTarget.URL());
    link.SetHover(hovered);
    return s;
}

TSection& TLinkLines::Probe(int line) {
    ++uses_;
    for (TScratch& c : scratch_)
        if (c.Line == line) {
            c.Used = uses_;
            return Prepare(*c.Section, line);
        }
    if (scratch_.size() >= kScratchKept) {
        auto oldest = std::min_element(scratch_.begin(), scratch_.end(),
                                       [](const TScratch& a, const TScratch& b) { return a.Used < b.Used; });
        scratch_.erase(oldest);
    }
    KeepsScratch();
    scratch_.push_back(TScratch{line, Build(line), uses_});
    return Prepare(*scratch_.back().Section, line);
}

TSection& TLinkLines::HoverSection(int line) {
    // The document's hover link may be the last one handed out: it stays until the next test.
    for (int k = 0; k < 2; ++k)
        if (hover_[k].Line == line && hover_[k].Section) {
            lastHover_ = k;
            return Prepare(*hover_[k].Section, line);
        }
    lastHover_ = 1 - lastHover_;
    TScratch& h = hover_[lastHover_];
    h.Section = Build(line);
    h.Line = line;
    return Prepare(*h.Section, line);
}

// --- drawing and hit tests ---

int32_t TLinkLines::Draw(IHtmlPainter& canvas, const THvRect& rect, IndentManager& indents, int32_t x,
                         int32_t y) {
    const int32_t result = y + SectionHeight;
    const int32_t scroll = ParentSectionList->ScrollOffset;
    if (lines_.empty() || lineHeight_ <= 0 || y - scroll + DrawHeight <= rect.Top ||
        y - scroll >= rect.Bottom)
        return result;
    YValue = y;
    // The lines whose band [top, top + height) meets the rectangle.
    const int32_t above = rect.Top + scroll - y - lineHeight_;
    const int32_t below = rect.Bottom + scroll - y;
    const int first = above < 0 ? 0 : static_cast<int>(above / lineHeight_ + 1);
    const int last = below <= 0 ? -1 : std::min(LineCount() - 1, static_cast<int>((below - 1) / lineHeight_));
    drawX_ = x;
    for (int i = first; i <= last; ++i) {
        TSection& s = Probe(i);
        lines_[static_cast<size_t>(i)].Flags |= kDrawn;
        s.Lines[0].DrawX = x + s.Lines[0].LineIndent;
        s.Draw(canvas, rect, indents, x, s.YValue);
    }
    return result;
}

bool TLinkLines::LinkAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, TUrlTarget& url,
                             TFormControlObj*& control) {
    control = nullptr;
    const int line = LineAtY(y);
    if (line < 0) return false;
    return HoverSection(line).LinkAtPoint(canvas, x, y, url, control);
}

int32_t TLinkLines::CharIndexAtPoint(ITextMetrics& canvas, int32_t x, int32_t y, int32_t& xr, int32_t& yr,
                                     int32_t& ht, bool& inText) {
    const int line = LineAtY(y);
    if (line < 0) return -1;
    return Probe(line).CharIndexAtPoint(canvas, x, y, xr, yr, ht, inText);
}

bool TLinkLines::CharIndexToPoint(ITextMetrics& canvas, int32_t cursor, int32_t& x, int32_t& y) {
    const int line = LineOfChar(cursor - StartCurs);
    if (line < 0) return false;
    return Probe(line).CharIndexToPoint(canvas, cursor, x, y);
}

bool TLinkLines::CharAtIndex(int32_t pos, char& ch, TObject*& obj) {
    const int line = LineOfChar(pos - StartCurs);
    if (line < 0) return false;
    const TLine& l = lines_[static_cast<size_t>(line)];
    ch = CharOf(l, static_cast<size_t>(pos - StartCurs - l.Start));
    obj = this;
    return true;
}

int32_t TLinkLines::FindString(int32_t from, const std::string& toFind, bool matchCase) {
    if (lines_.empty() || from >= StartCurs + Len || toFind.empty()) return -1;
    int line = from <= StartCurs ? 0 : LineOfChar(from - StartCurs);
    for (; line >= 0 && line < LineCount(); ++line) {
        const TLine& l = lines_[static_cast<size_t>(line)];
        text_.assign(shape_.Mark);
        text_.append(Title(line));
        const int32_t start = std::max(0, from - (StartCurs + l.Start));
        const int32_t hit = FindInSectionText(text_, start, toFind, matchCase);
        if (hit >= 0) return StartCurs + l.Start + hit;
    }
    return -1;
}

int32_t TLinkLines::SourcePosOf(int32_t docPos) {
    const int line = LineOfChar(docPos - StartCurs);
    if (line < 0) return -1;
    const TLine& l = lines_[static_cast<size_t>(line)];
    const int32_t rel = docPos - StartCurs - l.Start;
    const int32_t m = static_cast<int32_t>(shape_.Mark.size());
    return rel < m ? l.MarkSource + rel : l.TitleSource + (rel - m);
}

int32_t TLinkLines::DocPosOf(int32_t sourcePos, bool prev) {
    // As each line's section answers, the lines asked in the order the cell asks sections.
    const int32_t m = static_cast<int32_t>(shape_.Mark.size());
    if (prev) {
        for (int i = LineCount() - 1; i >= 0; --i) {
            const TLine& l = lines_[static_cast<size_t>(i)];
            const int32_t at = StartCurs + l.Start;
            if (sourcePos >= l.TitleSource)
                return at + m + std::min(sourcePos - l.TitleSource, l.TitleLen - 1);
            if (sourcePos >= l.MarkSource) return at + std::min(sourcePos - l.MarkSource, m - 1);
        }
        return -1;
    }
    for (const TLine& l : lines_) {
        const int32_t at = StartCurs + l.Start;
        if (sourcePos < l.MarkSource) return at;
        if (sourcePos < l.MarkSource + m) return at + (sourcePos - l.MarkSource);
        if (sourcePos < l.TitleSource) return at + m;
        if (sourcePos < l.TitleSource + l.TitleLen) return at + m + (sourcePos - l.TitleSource);
    }
    return -1;
}

void TLinkLines::CopyToClipboard(ITextSink& sink) {
    const int32_t selFrom = ParentSectionList->SelFrom - StartCurs,
                  selTo = ParentSectionList->SelTo - StartCurs;
    int line = selFrom <= 0 ? 0 : LineOfChar(selFrom);
    if (line < 0) return;
    std::string text;
    for (; line < LineCount(); ++line) {
        const TLine& l = lines_[static_cast<size_t>(line)];
        const int32_t ls = l.Start, le = l.Start + LineLen(l);
        if (ls >= selTo) break;
        if (le <= selFrom) continue;
        if (selFrom <= ls)
            for (int32_t k = 0; k < LineIndent(line) / 35; ++k)
                sink.Write("   ", 3);
        const int32_t a = std::max(ls, selFrom) - ls, b = std::min(le, selTo) - ls;
        text.clear();
        for (int32_t i = a; i < b; ++i) {
            const char c = CharOf(l, static_cast<size_t>(i));
            text += c == NbspChar ? ' ' : c;
        }
        sink.Write(text.data(), static_cast<int32_t>(text.size()));
        if (selTo >= le) sink.Write("\r\n", 2);
    }
}

void TLinkLines::ShiftSourcePositions(int32_t from, int32_t delta) {
    for (TLine& l : lines_) {
        if (l.MarkSource >= from) l.MarkSource += delta;
        if (l.TitleSource >= from) l.TitleSource += delta;
    }
    scratch_.clear();
}

void TLinkLines::SetLinksVisited(const std::function<bool(std::string_view url)>& match, bool value) {
    for (int i = 0; i < LineCount(); ++i) {
        TLine& l = lines_[static_cast<size_t>(i)];
        if (((l.Flags & kVisited) != 0) != value && match(Url(i)))
            l.Flags = static_cast<uint8_t>(value ? l.Flags | kVisited : l.Flags & ~kVisited);
    }
}
