// The namespace visualizer's page: boxes of links, one per namespace.
#include "app/NamespaceVisualizerPage.h"

#include "base/StrUtils.h"

#include <algorithm>
#include <cstring>

namespace {

void AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

} // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

bool TNamespacePage::TNoCase::operator()(std::string_view A, std::string_view B) const {
    return CompareText(A, B) < 0;
}

std::pair<size_t, size_t> TNamespacePage::TTitles::Place(std::string_view Title) const {
    if (FBlocks.empty()) return {0, 0};
    const auto Block = std::lower_bound(
        FBlocks.begin(), FBlocks.end(), Title,
        [](const std::vector<TEntry>& B, std::string_view T) { return TNoCase{}(B.back().first, T); });
    const size_t B =
        Block == FBlocks.end() ? FBlocks.size() - 1 : static_cast<size_t>(Block - FBlocks.begin());
    const auto& Entries = FBlocks[B];
    const auto At =
        std::lower_bound(Entries.begin(), Entries.end(), Title,
                         [](const TEntry& E, std::string_view T) { return TNoCase{}(E.first, T); });
    return {B, static_cast<size_t>(At - Entries.begin())};
}

TNamespacePage::TTitles::iterator TNamespacePage::TTitles::find(std::string_view Title) {
    const auto [B, At] = Place(Title);
    if (B >= FBlocks.size() || At == FBlocks[B].size() || TNoCase{}(Title, FBlocks[B][At].first))
        return end();
    return {this, B, At};
}

size_t TNamespacePage::TTitles::count(std::string_view Title) const {
    const auto [B, At] = Place(Title);
    return B < FBlocks.size() && At < FBlocks[B].size() && !TNoCase{}(Title, FBlocks[B][At].first) ? 1 : 0;
}

void TNamespacePage::TTitles::insert(const std::string& Title, bool AtEnd) {
    if (AtEnd || FBlocks.empty()) {
        if (FBlocks.empty() || FBlocks.back().size() >= BlockSize) {
            FBlocks.emplace_back();
            FBlocks.back().reserve(BlockSize);
            FSums.emplace_back();
        }
        FBlocks.back().emplace_back(Title, TTitle{});
        FSums.back().Valid = false;
        ++FSize;
        return;
    }
    const auto [B, At] = Place(Title);
    auto& Entries = FBlocks[B];
    if (At < Entries.size() && !TNoCase{}(Title, Entries[At].first)) return;
    Entries.emplace(Entries.begin() + static_cast<std::ptrdiff_t>(At), Title, TTitle{});
    FSums[B].Valid = false;
    ++FSize;
    if (Entries.size() >= 2 * BlockSize) {
        // A full block splits in two halves.
        std::vector<TEntry> Tail(std::make_move_iterator(Entries.begin() + BlockSize),
                                 std::make_move_iterator(Entries.end()));
        Entries.erase(Entries.begin() + BlockSize, Entries.end());
        FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(B) + 1, std::move(Tail));
        FSums.insert(FSums.begin() + static_cast<std::ptrdiff_t>(B) + 1, TSums{});
    }
}

void TNamespacePage::TTitles::ForgetSums() {
    for (TSums& S : FSums)
        S.Valid = false;
}

void TNamespacePage::TTitles::erase(iterator At) {
    auto& Entries = FBlocks[At.FBlock];
    Entries.erase(Entries.begin() + static_cast<std::ptrdiff_t>(At.FAt));
    FSums[At.FBlock].Valid = false;
    --FSize;
    if (Entries.empty()) {
        FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(At.FBlock));
        FSums.erase(FSums.begin() + static_cast<std::ptrdiff_t>(At.FBlock));
    }
}

void TNamespacePage::AddEntry(const std::string& Namespace, const std::string& Title) {
    auto It = FBoxes.find(Namespace);
    if (It == FBoxes.end()) {
        It = FBoxes.emplace(Namespace, TBox{}).first;
        It->second.Name = Namespace;
    }
    // Hosts add titles in order (the store lists them sorted): a title after the last one goes in
    // at the end without a search through the box.
    auto& Titles = It->second.Titles;
    const bool Last = !Titles.empty() && TNoCase{}(Titles.back().first, Title);
    const size_t Before = Titles.size();
    Titles.insert(Title, Last);
    if (Titles.size() != Before) It->second.Dirty = true;
}

void TNamespacePage::RemoveEntry(const std::string& Namespace, const std::string& Title) {
    const auto It = FBoxes.find(Namespace);
    if (It == FBoxes.end()) return;
    TBox& Box = It->second;
    const auto T = Box.Titles.find(Title);
    if (T == Box.Titles.end()) return;
    // A title that was on the last page leaves its line to be taken out of it; when more lines
    // go than a build hands out as edits, the box is written anew instead (a search that keeps a
    // few of 100,000 titles does not remember the others).
    if (!T->second.Fresh && !Box.Rewrite) {
        if (Box.Gone.size() < MaxEdits)
            Box.Gone.emplace(T->first, T->second.LineLength);
        else
            Box.Rewrite = true;
    }
    Box.Titles.erase(T);
    Box.Dirty = true;
    if (Box.Titles.empty()) FBoxes.erase(It);
}

void TNamespacePage::Clear() {
    FBoxes.clear();
}

void TNamespacePage::ForgetWidths() {
    FMarkWidth = FRootWidth = -1;
    for (auto& [Key, Box] : FBoxes) {
        Box.NameWidth = -1;
        for (auto& [Title, T] : Box.Titles)
            T.Width = -1;
        Box.Dirty = Box.Rewrite = true;
    }
}

std::vector<std::string> TNamespacePage::Namespaces() const {
    std::vector<std::string> Out;
    for (const auto& [Key, Box] : FBoxes)
        Out.push_back(Box.Name);
    return Out;
}

size_t TNamespacePage::TitleCount() const {
    size_t Count = 0;
    for (const auto& [Key, Box] : FBoxes)
        Count += Box.Titles.size();
    return Count;
}

std::vector<std::string> TNamespacePage::Titles(const std::string& Namespace) const {
    std::vector<std::string> Out;
    const auto It = FBoxes.find(Namespace);
    if (It != FBoxes.end())
        for (const auto& [Title, T] : It->second.Titles)
            Out.push_back(Title);
    return Out;
}

const char* const TNamespacePage::PageHead = "<html><body><nobr>  <table width=\"100%\"><tr>";
const char* const TNamespacePage::PageTail = "  </tr></table></nobr></body></html>";

namespace {

const char* const BoxTail = "</td></tr></table>";
// Between two rows of boxes.
const char* const RowBreak = "</tr><tr>";

std::string LinkLine(const std::string& Href, const std::string& Shown, bool Root) {
    std::string Line = "<nobr>\xBB <a href=\"";
    Line += Href;
    Line += "\">";
    Line += Shown;
    // A title link closes nobr before a; the root link closes them in nesting order.
    Line += Root ? "</a></nobr><br>" : "</nobr></a><br>";
    return Line;
}

// A title's link line in a box (its name escaped, its root link line), appended to Out; its
// length. The line is a function of the exact title (and of the box and ShowRootLinks, which write
// every line again when they change), so it is not kept: a box keeps its lines once, in its Html,
// or writes them again from its titles.
int32_t AppendTitleLine(std::string& Out, const std::string& Name, const std::string& Root,
                        bool ShowRootLinks, const std::string& Title) {
    const size_t Start = Out.size();
    if (Title.empty()) {
        if (!ShowRootLinks) Out += Root;
    } else {
        // As LinkLine(Name + ":" + Shown, Shown, false) writes it.
        Out += "<nobr>\xBB <a href=\"";
        Out += Name;
        Out += ':';
        const size_t ShownAt = Out.size();
        AppendEscaped(Out, Title);
        const size_t ShownLength = Out.size() - ShownAt;
        Out += "\">";
        Out.append(Out, ShownAt, ShownLength);
        Out += "</nobr></a><br>";
    }
    return static_cast<int32_t>(Out.size() - Start);
}

} // namespace

void TNamespacePage::AppendBox(std::string& Out, const TBox& Box) const {
    const std::string Name = HtmlEscape(Box.Name);
    const std::string Root = LinkLine(Name + ":", "[Root]", true);
    Out += BoxHead(Box);
    Out += Box.RootLine;
    for (const auto& [Title, T] : Box.Titles)
        AppendTitleLine(Out, Name, Root, Box.RootLinks, Title);
    Out += BoxTail;
}

std::string TNamespacePage::BoxHead(const TBox& Box) const {
    std::string Head = "<td valign=\"top\">";
    Head += "<table border=\"3\" bordercolor=\"#AAAAAA\" bgcolor=\"#DDDDDD\" ";
    Head += "cellspacing=\"0\" cellpadding=\"4\" align=\"left\" width=\"100%\"><tr><td>";
    Head += "<b><nobr>";
    Head += HtmlEscape(Box.Name);
    Head += "</nobr></b><br>";
    return Head;
}

bool TNamespacePage::WriteBox(TBox& Box, const TMeasure& Measure, int BoxIndex,
                              std::vector<TLinkEdit>* Edits) {
    const std::string Name = HtmlEscape(Box.Name);
    const std::string Root = LinkLine(Name + ":", "[Root]", true);
    auto AppendLine = [&](std::string& Out, const std::string& Title) {
        return AppendTitleLine(Out, Name, Root, ShowRootLinks, Title);
    };
    auto Measured = [&](const std::string& Title, TTitle& T) {
        if (!Title.empty() && T.Width < 0) T.Width = Measure ? std::max<int32_t>(Measure(Title), 0) : 0;
        return Title.empty() ? 1 : T.Width;
    };
    const bool InPlace = !Box.Rewrite && Box.Size > 0;
    Box.Dirty = Box.Rewrite = false;
    Box.RootLinks = ShowRootLinks;
    Box.Widest = 1;

    if (!InPlace) {
        Box.RootLine = ShowRootLinks ? Root : std::string();
        Box.Gone.clear();
        Box.Html.clear();
        const std::string Head = BoxHead(Box);
        Box.Html += Head;
        Box.LinesAt = Head.size();
        Box.Html += Box.RootLine;
        Box.Titles.ForgetSums();
        for (auto& [Title, T] : Box.Titles) {
            T.LineLength = AppendLine(Box.Html, Title);
            Box.Widest = std::max(Box.Widest, Measured(Title, T));
            T.Fresh = false;
        }
        Box.Released = false;
        if (Box.Html.size() == Head.size()) {
            Box.Html.clear(); // no titles to show and no root link: no box
            Box.Size = 0;
            return true;
        }
        Box.Html += BoxTail;
        Box.Size = Box.Html.size();
        return true;
    }

    // Only fresh and gone titles changed. Titles and gone titles are in the same order: merged,
    // each gone line is taken out where it stood and each fresh line put in where it goes (the
    // lines before already in place), in the box's text and in the edits.
    std::vector<TLinkEdit> Changes;
    TNoCase Less;
    int Line = Box.RootLine.empty() ? 0 : 1;
    int32_t Offset = static_cast<int32_t>(Box.RootLine.size());
    auto G = Box.Gone.begin();
    auto TakeOut = [&](int32_t Length) {
        if (Length > 0) Changes.push_back({BoxIndex, Line, false, Offset, Length, {}, 0});
    };
    for (size_t B = 0; B < Box.Titles.BlockCount(); ++B) {
        TTitles::TSums& Sums = Box.Titles.Sums(B);
        auto& Entries = Box.Titles.Block(B);
        // A block no title came into or went from, with no gone title among its titles: its lines
        // stay as they are, and only move on the place of the next.
        if (Sums.Valid && (G == Box.Gone.end() || Less(Entries.back().first, G->first))) {
            Box.Widest = std::max(Box.Widest, Sums.Widest);
            Line += Sums.Lines;
            Offset += Sums.Bytes;
            continue;
        }
        TTitles::TSums Now;
        for (auto& [Title, T] : Entries) {
            const int32_t Width = Measured(Title, T);
            Box.Widest = std::max(Box.Widest, Width);
            Now.Widest = std::max(Now.Widest, Width);
            if (T.Fresh || G != Box.Gone.end()) {
                while (G != Box.Gone.end() && Less(G->first, Title))
                    TakeOut((G++)->second);
                std::string Written;
                if (T.Fresh) T.LineLength = AppendLine(Written, Title);
                bool Put = T.Fresh && T.LineLength > 0;
                if (G != Box.Gone.end() && !Less(Title, G->first)) {
                    // Taken out and put back the same: the same line stays.
                    if (T.Fresh && G->first == Title)
                        Put = false;
                    else
                        TakeOut(G->second);
                    ++G;
                }
                if (Put)
                    Changes.push_back({BoxIndex, Line, true, Offset, T.LineLength, std::move(Written), 0});
                T.Fresh = false;
            }
            if (T.LineLength > 0) {
                ++Line;
                Offset += T.LineLength;
                ++Now.Lines;
                Now.Bytes += T.LineLength;
            }
        }
        Now.Valid = true;
        Sums = Now;
    }
    while (G != Box.Gone.end())
        TakeOut((G++)->second);
    Box.Gone.clear();

    // The box's text written again in one pass: the kept stretches copied between the changes
    // (each change's offset counts in the text as the changes before it left it), so a search
    // that takes most lines out costs the box's size, not a move of its rest for every line.
    // Edits beyond MaxEdits are not applied to a document (the page is loaded instead): they are
    // not handed out then, nor their fragments written.
    const bool Handed = !Edits || Edits->size() + Changes.size() <= MaxEdits;
    if (!Handed) Edits = nullptr;
    // A box whose text was let go keeps only its size; Text() writes it again from its titles.
    const bool Splice = !Box.Released;
    std::string Html;
    if (Splice) Html.reserve(Box.Html.size() + 64);
    size_t From = 0; // the next byte of the old text to copy
    const std::string Head = Edits ? BoxHead(Box) : std::string();
    for (TLinkEdit& E : Changes) {
        if (E.Insert)
            Box.Size += static_cast<size_t>(E.Length);
        else
            Box.Size -= static_cast<size_t>(E.Length);
        if (Splice) {
            const size_t At = Box.LinesAt + static_cast<size_t>(E.Offset);
            const size_t Kept = At - Html.size();
            Html.append(Box.Html, From, Kept);
            From += Kept;
            if (!E.Insert) From += static_cast<size_t>(E.Length);
        }
        if (!E.Insert) continue;
        // The line's text waits in Fragment until it is in the box.
        if (Splice) Html += E.Fragment;
        if (!Edits) continue;
        std::string Fragment = std::string(PageHead) + Head;
        E.FragmentOffset = static_cast<int32_t>(Fragment.size());
        Fragment += E.Fragment;
        Fragment += BoxTail;
        Fragment += PageTail;
        E.Fragment = std::move(Fragment);
    }
    if (Splice) {
        Html.append(Box.Html, From, std::string::npos);
        Box.Html = std::move(Html);
    }
    if (Edits)
        Edits->insert(Edits->end(), std::make_move_iterator(Changes.begin()),
                      std::make_move_iterator(Changes.end()));
    return Handed;
}

int32_t TNamespacePage::BoxWidth(TBox& Box, const TMeasure& Measure) {
    auto Measured = [&Measure](const std::string& Text) {
        return Measure ? std::max<int32_t>(Measure(Text), 0) : 0;
    };
    if (FMarkWidth < 0) {
        FMarkWidth = Measured("\xBB ");
        FRootWidth = Measured("[Root]");
    }
    if (Box.NameWidth < 0) Box.NameWidth = Measured(Box.Name);
    // The name is bold, measured in the regular face: bold runs up to a quarter wider.
    const int32_t Name = Box.NameWidth + Box.NameWidth / 4;
    const bool Root = !Box.RootLine.empty() || Box.Titles.count(std::string()) != 0;
    const int32_t Links = FMarkWidth + std::max(Box.Widest, Root ? FRootWidth : 0);
    // The box's table: cell padding 4 and spacing 2 on each side; the page's cell around it:
    // padding 1 on each side and spacing 2.
    constexpr int32_t Frame = 2 * 4 + 2 + 2 + 2 * 1 + 2;
    return std::max(Name, Links) + Frame;
}

int32_t TNamespacePage::FitColumns(const std::vector<int32_t>& Widths, int32_t Width) {
    // The page's table makes each column as wide as its widest box and adds its spacing once.
    const int32_t Room = Width - 2;
    if (Widths.empty()) return MaxBoxesPerRow;
    // All in one row: the most a row holds, whatever the widths (a title more or less then
    // keeps the count, and the page can be edited in place).
    int64_t Total = 0;
    for (const int32_t W : Widths)
        Total += W;
    const auto Boxes = static_cast<int32_t>(std::min<size_t>(Widths.size(), MaxBoxesPerRow + 1));
    if (Total <= Room && Boxes <= MaxBoxesPerRow) return MaxBoxesPerRow;
    const int32_t Narrowest = *std::min_element(Widths.begin(), Widths.end());
    const int32_t Most = std::min({MaxBoxesPerRow, Room / Narrowest, Boxes - 1});
    std::vector<int32_t> Column;
    for (int32_t C = Most; C >= 1; --C) {
        Column.assign(static_cast<size_t>(C), 0);
        for (size_t I = 0; I < Widths.size(); ++I)
            Column[I % static_cast<size_t>(C)] = std::max(Column[I % static_cast<size_t>(C)], Widths[I]);
        int64_t Sum = 0;
        for (const int32_t W : Column)
            Sum += W;
        if (Sum <= Room) return C;
    }
    return 0;
}

const std::string& TNamespacePage::Build(int32_t Width, const TMeasure& Measure, int32_t& Columns) {
    Update(Width, Measure, Columns);
    return Text();
}

void TNamespacePage::Update(int32_t Width, const TMeasure& Measure, int32_t& Columns) {
    FEdits.clear();
    bool Apply = FLastColumns >= 0;
    std::vector<std::string> Shown;
    std::vector<int32_t> Widths; // of the shown boxes
    for (auto& [Key, Box] : FBoxes) {
        if (Box.RootLinks != ShowRootLinks) Box.Dirty = Box.Rewrite = true;
        if (Box.Dirty) {
            if (Box.Rewrite) Apply = false;
            if (!WriteBox(Box, Measure, static_cast<int>(Shown.size()), Apply ? &FEdits : nullptr)) {
                Apply = false; // more edits than loading the page costs
                FEdits.clear();
            }
        }
        if (Box.Size == 0) continue;
        Widths.push_back(BoxWidth(Box, Measure));
        Shown.push_back(Box.Name);
    }
    Columns = FitColumns(Widths, Width);
    Apply = Apply && Shown == FLastBoxes && Columns == FLastColumns && FEdits.size() <= MaxEdits;
    FLastBoxes = std::move(Shown);
    FLastColumns = Columns;

    // The edits' offsets in the page as it is written (WritePage): the box's edits count from the
    // start of its lines.
    size_t At = std::strlen(PageHead);
    int32_t C = 0;
    int Index = 0;
    size_t NextEdit = 0;
    for (const auto& [Key, Box] : FBoxes) {
        if (Box.Size == 0) continue;
        const auto LinesStart = static_cast<int32_t>(At + Box.LinesAt);
        for (; NextEdit < FEdits.size() && FEdits[NextEdit].Box == Index; ++NextEdit)
            FEdits[NextEdit].Offset += LinesStart;
        ++Index;
        At += Box.Size;
        if (++C >= Columns) {
            C = 0;
            At += std::strlen(RowBreak);
        }
    }
    FEditsApply = Apply;
    if (!Apply) FEdits.clear();
    FTextWritten = false;
}

const std::string& TNamespacePage::Text() const {
    if (!FTextWritten && FLastColumns >= 0) {
        size_t Size = 128;
        for (const auto& [Key, Box] : FBoxes)
            Size += Box.Size + 10;
        std::string& Page = FText;
        Page.clear();
        Page.reserve(Size);
        Page += PageHead;
        int32_t C = 0;
        for (const auto& [Key, Box] : FBoxes) {
            if (Box.Size == 0) continue;
            if (Box.Released)
                AppendBox(Page, Box);
            else
                Page += Box.Html;
            if (++C >= FLastColumns) {
                C = 0;
                Page += RowBreak;
            }
        }
        Page += PageTail;
        FTextWritten = true;
    }
    return FText;
}

void TNamespacePage::ReleaseText() {
    std::string().swap(FText);
    FTextWritten = false;
    for (auto& [Key, Box] : FBoxes)
        if (Box.Size > 0 && !Box.Dirty) {
            std::string().swap(Box.Html);
            Box.Released = true;
        }
}
