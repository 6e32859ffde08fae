// Font runs and the indent manager.
#include "htmlview/HtmlFonts.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <mutex>
#include <unordered_set>
#include <utility>

#include "htmlview/HtmlObjects.h"
#include "htmlview/HtmlSections.h"
#include "htmlview/HtmlTextSection.h"

void SetNormalSize(TMyFont& font, const TSectionList& list, int32_t value) {
    font.NormalSize = value;
    font.Size = HtmlMulDiv(list.FontSize, value, 12);
}

void UpdateMyFont(TMyFont& font, const TSectionList& list, TColor color) {
    font.Name = font.Fixed ? list.PreFontName : list.FontName;
    font.Charset = list.CharSet;
    font.Size = HtmlMulDiv(list.FontSize, font.NormalSize, 12);
    font.Color = color | hvPaletteRelative;
}

// --- TSharedFont ---

struct TSharedFont::Node {
    TMyFont Font;
    uint32_t Refs = 0;
};

namespace {
struct NodeHash {
    using is_transparent = void;
    size_t operator()(const TMyFont& f) const {
        size_t h = std::hash<std::string>()(f.Name);
        for (uint32_t v : {static_cast<uint32_t>(f.Size), static_cast<uint32_t>(f.Charset),
                           static_cast<uint32_t>(f.Color), static_cast<uint32_t>(f.Style),
                           static_cast<uint32_t>(f.NormalSize), static_cast<uint32_t>(f.Fixed)})
            h = h * 1000003u ^ v;
        return h;
    }
    size_t operator()(const TSharedFont::Node* n) const { return (*this)(n->Font); }
};
struct NodeEqual {
    using is_transparent = void;
    static const TMyFont& F(const TMyFont& f) { return f; }
    static const TMyFont& F(const TSharedFont::Node* n) { return n->Font; }
    template <typename A, typename B> bool operator()(const A& a, const B& b) const { return F(a) == F(b); }
};
// Fonts are few and live as long as their runs; the lock keeps documents on other threads
// (tests, benchmarks) apart.
struct FontTable {
    std::mutex Lock;
    std::unordered_set<TSharedFont::Node*, NodeHash, NodeEqual> Nodes;
    // The fonts asked for last: a page asks for the same two or three over and over, and
    // comparing is cheaper than hashing the name. Only fonts in Nodes are here.
    std::array<TSharedFont::Node*, 4> Recent{};
    size_t NextRecent = 0;
};
FontTable& Table() {
    static auto* table = new FontTable; // never freed: runs of static documents may outlive it
    return *table;
}
const TMyFont& DefaultFont() {
    static const TMyFont font;
    return font;
}
} // namespace

TSharedFont::TSharedFont() = default;

TSharedFont::TSharedFont(const TMyFont& font) {
    if (font == DefaultFont()) return;
    FontTable& t = Table();
    std::lock_guard<std::mutex> guard(t.Lock);
    for (Node* recent : t.Recent)
        if (recent && recent->Font == font) {
            node_ = recent;
            ++node_->Refs;
            return;
        }
    auto it = t.Nodes.find(font);
    if (it == t.Nodes.end()) it = t.Nodes.insert(new Node{font, 0}).first;
    node_ = *it;
    ++node_->Refs;
    t.Recent[t.NextRecent] = node_;
    t.NextRecent = (t.NextRecent + 1) % t.Recent.size();
}

TSharedFont::TSharedFont(const TSharedFont& o) : node_(o.node_) {
    if (node_) {
        std::lock_guard<std::mutex> guard(Table().Lock);
        ++node_->Refs;
    }
}

TSharedFont& TSharedFont::operator=(const TSharedFont& o) {
    if (node_ != o.node_) {
        TSharedFont copy(o);
        std::swap(node_, copy.node_);
    }
    return *this;
}

TSharedFont& TSharedFont::operator=(TSharedFont&& o) noexcept {
    if (this != &o) std::swap(node_, o.node_);
    return *this;
}

TSharedFont::~TSharedFont() {
    if (!node_) return;
    FontTable& t = Table();
    std::lock_guard<std::mutex> guard(t.Lock);
    if (--node_->Refs == 0) {
        t.Nodes.erase(node_);
        for (Node*& recent : t.Recent)
            if (recent == node_) recent = nullptr;
        delete node_;
    }
}

const TMyFont* TSharedFont::Get() const {
    return node_ ? &node_->Font : &DefaultFont();
}

size_t TSharedFont::DistinctFonts() {
    FontTable& t = Table();
    std::lock_guard<std::mutex> guard(t.Lock);
    return t.Nodes.size();
}

// --- TFontObj ---

TFontObj::TFontObj(TSection* section, TSharedFont font, int32_t pos)
    : Section(section), Pos(pos), CurrentFont(std::move(font)) {}

TFontMetrics TFontObj::Metrics(ITextMetrics& measure) {
    if (!metricsValid_) {
        auto small = [](int32_t v) { return static_cast<int16_t>(std::clamp<int32_t>(v, -32768, 32767)); };
        const TFontMetrics m = measure.Metrics(*CurrentFont);
        height_ = small(m.Height);
        externalLeading_ = small(m.ExternalLeading);
        descent_ = small(m.Descent);
        overhang_ = small(m.Overhang);
        metricsValid_ = true;
    }
    return TFontMetrics{height_, externalLeading_, descent_, overhang_};
}

void TFontObj::ApplyLinkColor() {
    const TSectionList* list = Section ? Section->ParentSectionList : nullptr;
    if (!list) return;
    TColor c = Hover ? list->OverColor : (Visited ? list->VisitedColor : list->HotSpotColor);
    TMyFont f = *CurrentFont;
    f.Color = c | hvPaletteRelative;
    CurrentFont = f;
}

TRunLink& TRunLink::operator=(const TRunLink& o) {
    if (this != &o) Assign(o.URL(), o.Target());
    return *this;
}

TRunLink& TRunLink::Assign(std::string_view url, std::string_view target) {
    if (url.empty() && target.empty()) {
        data_.reset();
        return *this;
    }
    const uint32_t lengths[2] = {static_cast<uint32_t>(url.size()), static_cast<uint32_t>(target.size())};
    std::unique_ptr<char[]> d(new char[sizeof lengths + url.size() + target.size()]);
    std::memcpy(d.get(), lengths, sizeof lengths);
    std::memcpy(d.get() + sizeof lengths, url.data(), url.size());
    std::memcpy(d.get() + sizeof lengths + url.size(), target.data(), target.size());
    data_ = std::move(d);
    return *this;
}

std::string_view TRunLink::URL() const {
    if (!data_) return {};
    uint32_t lengths[2];
    std::memcpy(lengths, data_.get(), sizeof lengths);
    return {data_.get() + sizeof lengths, lengths[0]};
}

std::string_view TRunLink::Target() const {
    if (!data_) return {};
    uint32_t lengths[2];
    std::memcpy(lengths, data_.get(), sizeof lengths);
    return {data_.get() + sizeof lengths + lengths[0], lengths[1]};
}

TUrlTarget TRunLink::Get() const {
    TUrlTarget t;
    t.URL = URL();
    t.Target = Target();
    return t;
}

void TFontObj::SetVisited(bool value) {
    if (value != Visited) {
        Visited = value;
        ApplyLinkColor();
    }
}

void TFontObj::SetHover(bool value) {
    if (value != Hover) {
        Hover = value;
        ApplyLinkColor();
    }
}

void TFontObj::UpdateFont() {
    const TSectionList* list = Section ? Section->ParentSectionList : nullptr;
    if (!list) return;
    TMyFont f = *CurrentFont;
    UpdateMyFont(f, *list, UrlTarget.URL().empty() ? list->FontColor : list->HotSpotColor);
    if (SScript != 0) f.Size = HtmlMulDiv(f.Size, 3, 4);
    CurrentFont = f;
    FontChanged();
}

namespace {
// The block of the last run past the kept two that was let go, for the next such run: a line
// ending in a closing tag opens a run that finishing the section drops, line after line.
struct TSpareRun {
    void* Block = nullptr;
    ~TSpareRun() { ::operator delete(Block); }
};
thread_local TSpareRun SpareRun;
} // namespace

TFontObj* TFontList::Add(TSection* section, TSharedFont font, int32_t pos) {
    if (more_.empty() && kept_ < kKept) {
        auto* run = new (kept_storage_[kept_]) TFontObj(section, std::move(font), pos);
        ++kept_;
        return run;
    }
    // Room first, so the push below cannot fail with the run made; grown by half again and more,
    // never by one, or a paragraph that changes font at every word copies the list at every
    // word (finishing the section gives back what is left over).
    if (more_.size() == more_.capacity()) more_.reserve(more_.size() + more_.size() / 2 + 4);
    void* block = SpareRun.Block ? std::exchange(SpareRun.Block, nullptr) : ::operator new(sizeof(TFontObj));
    TFontObj* run = nullptr;
    try {
        run = new (block) TFontObj(section, std::move(font), pos);
    } catch (...) {
        ::operator delete(block);
        throw;
    }
    more_.push_back(run);
    return run;
}

void TFontList::DeleteLast() {
    if (!more_.empty()) {
        TFontObj* run = more_.back();
        more_.pop_back();
        run->~TFontObj();
        if (!SpareRun.Block)
            SpareRun.Block = run;
        else
            ::operator delete(run);
    } else if (kept_ > 0) {
        --kept_;
        Kept(kept_)->~TFontObj();
    }
}

void TFontList::Clear() {
    while (Count() > 0)
        DeleteLast();
}

void TFontList::UpdateFonts() {
    for (const auto& f : *this)
        f->UpdateFont();
}

TFontObj* TFontList::GetFontObjAt(int32_t posn, int* index) const {
    int n = Count();
    if (n == 0) return nullptr;
    // Runs are in ascending Pos: binary search for the last run at or before posn.
    int lo = 0, hi = n - 1, found = 0;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        if ((*this)[mid]->Pos <= posn) {
            found = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    if (index) *index = found;
    return (*this)[found];
}

int32_t TFontList::GetFontCountAt(int32_t posn, int32_t leng) const {
    int i = 0;
    if (!GetFontObjAt(posn, &i)) return leng - posn;
    for (int k = i + 1; k < Count(); ++k)
        if ((*this)[k]->Pos > posn) return (*this)[k]->Pos - posn;
    return leng - posn;
}

int32_t IndentManager::LeftIndent(int32_t y) const {
    int32_t x = 0;
    for (const auto& r : L)
        if (y >= r.StartY && y < r.EndY) x = std::max(x, r.X);
    return LeftEdge + x;
}

int32_t IndentManager::RightSide(int32_t y) const {
    int32_t x = 0;
    for (const auto& r : R)
        if (y >= r.StartY && y < r.EndY) x = std::min(x, r.X);
    return RightEdge + x;
}

int32_t IndentManager::ImageBottom() const {
    int32_t b = 0;
    for (const auto* list : {&L, &R})
        for (const auto& r : *list)
            if (r.ID == 0) b = std::max(b, r.EndY);
    return b;
}

void IndentManager::YBelowFloats(int32_t& cl, int32_t& cr) const {
    cl = cr = 0;
    for (const auto& r : L)
        if (r.ID == 0) cl = std::max(cl, r.EndY + 1);
    for (const auto& r : R)
        if (r.ID == 0) cr = std::max(cr, r.EndY + 1);
}

int32_t IndentManager::NextWiderY(int32_t y) const {
    int32_t x0 = 0;
    for (const auto& r : L)
        if (r.ID == CurrentID && CurrentID > 0 && y >= r.StartY && y < r.EndY) x0 = r.X;
    int32_t result = y;
    for (const auto& r : L)
        if (r.X > x0 && r.EndY < 9999999) result = std::max(result, r.EndY + 1);
    return result;
}

void IndentManager::Update(int32_t y, int32_t width, int align, int32_t height) {
    if (align == 1)
        L.push_back({LeftIndent(y) - LeftEdge + width, y, y + height, 0});
    else if (align == 3)
        R.push_back({RightSide(y) - RightEdge - width, y, y + height, 0});
}

void IndentManager::UpdateFloat(int32_t y, TImageObj& image) {
    int32_t width = image.ImageWidth + image.HSpace;
    int32_t height = image.ImageHeight + 2 * image.VSpace;
    if (image.ImageAlign == 3) {
        image.Indent = LeftIndent(y) - LeftEdge;
        L.push_back({image.Indent + width, y, y + height, 0});
    } else if (image.ImageAlign == 4) {
        IndentRec r{RightSide(y) - RightEdge - width, y, y + height, 0};
        R.push_back(r);
        image.Indent = RightEdge + r.X + image.HSpace - LeftEdge;
    }
}

void IndentManager::SetLevel(int32_t y, int32_t level) {
    if (level > CurrentID) {
        for (int32_t id = CurrentID + 1; id <= level; ++id)
            L.push_back({LeftIndent(y) - LeftEdge + ListStep, y, 9999999, id});
    } else if (level < CurrentID) {
        CloseLevelsAbove(level);
    }
    CurrentID = level;
}

void IndentManager::CloseLevelsAbove(int32_t level) {
    // Layout only moves down: a closed level indents nothing below, so its record goes (kept, a
    // long list would leave one behind per item and every indent query would walk them all).
    std::erase_if(L, [level](const IndentRec& r) { return r.ID > level; });
}

void IndentManager::SetLevelStep(int32_t y, int32_t level) {
    if (level == CurrentID + 1) {
        L.push_back({LeftIndent(y) - LeftEdge + 15, y, 9999999, level});
        CurrentID = level;
    } else if (level == CurrentID - 1) {
        CloseLevelsAbove(level);
        CurrentID = level;
    }
}
