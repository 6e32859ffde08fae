// The namespace visualizer's page: boxes of links, one per namespace.
#include "app/NamespaceVisualizerPage.h"

#include "base/StrUtils.h"

#include <algorithm>

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

void TNamespacePage::AddEntry(const std::string& Namespace, const std::string& Title) {
    auto It = FBoxes.find(Namespace);
    if (It == FBoxes.end()) {
        It = FBoxes.emplace(Namespace, TBox{}).first;
        It->second.Name = Namespace;
    }
    if (It->second.Titles.emplace(Title, TTitle{}).second) It->second.Dirty = true;
}

void TNamespacePage::RemoveEntry(const std::string& Namespace, const std::string& Title) {
    const auto It = FBoxes.find(Namespace);
    if (It == FBoxes.end()) return;
    TBox& Box = It->second;
    const auto T = Box.Titles.find(Title);
    if (T == Box.Titles.end()) return;
    // A title that was on the last page leaves its line to be taken out of it.
    if (!T->second.Fresh) Box.Gone.emplace(T->first, T->second.Line);
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

std::string LinkLine(const std::string& Href, const std::string& Shown, bool Root) {
    std::string Line = "<nobr>\xBB <a href=\"";
    Line += Href;
    Line += "\">";
    Line += Shown;
    // A title link closes nobr before a; the root link closes them in nesting order.
    Line += Root ? "</a></nobr><br>" : "</nobr></a><br>";
    return Line;
}

} // namespace

std::string TNamespacePage::BoxHead(const TBox& Box) const {
    std::string Head = "<td valign=\"top\">";
    Head += "<table border=\"3\" bordercolor=\"#AAAAAA\" bgcolor=\"#DDDDDD\" ";
    Head += "cellspacing=\"0\" cellpadding=\"4\" align=\"left\" width=\"100%\"><tr><td>";
    Head += "<b><nobr>";
    Head += HtmlEscape(Box.Name);
    Head += "</nobr></b><br>";
    return Head;
}

void TNamespacePage::WriteBox(TBox& Box, const TMeasure& Measure, int BoxIndex,
                              std::vector<TLinkEdit>* Edits) {
    const std::string Name = HtmlEscape(Box.Name);
    const std::string Root = LinkLine(Name + ":", "[Root]", true);
    auto WriteLine = [&](const std::string& Title, TTitle& T) {
        if (Title.empty()) {
            T.Line = ShowRootLinks ? std::string() : Root;
        } else {
            // As LinkLine(Name + ":" + Shown, Shown, false) writes it, in one allocation.
            std::string& L = T.Line;
            L.clear();
            L.reserve(Name.size() + 2 * Title.size() + 48);
            L += "<nobr>\xBB <a href=\"";
            L += Name;
            L += ':';
            const size_t ShownAt = L.size();
            AppendEscaped(L, Title);
            const size_t ShownLength = L.size() - ShownAt;
            L += "\">";
            L.append(L, ShownAt, ShownLength);
            L += "</nobr></a><br>";
        }
    };
    auto Measured = [&](const std::string& Title, TTitle& T) {
        if (!Title.empty() && T.Width < 0) T.Width = Measure ? std::max<int32_t>(Measure(Title), 0) : 0;
        return Title.empty() ? 1 : T.Width;
    };
    const bool InPlace = !Box.Rewrite && !Box.Html.empty();
    Box.Dirty = Box.Rewrite = false;
    Box.RootLinks = ShowRootLinks;
    Box.Widest = 1;

    if (!InPlace) {
        Box.RootLine = ShowRootLinks ? Root : std::string();
        size_t Size = Box.RootLine.size();
        for (auto& [Title, T] : Box.Titles) {
            WriteLine(Title, T);
            Box.Widest = std::max(Box.Widest, Measured(Title, T));
            Size += T.Line.size();
            T.Fresh = false;
        }
        Box.Gone.clear();
        Box.Html.clear();
        if (Size == 0) return; // no titles to show and no root link: no box
        const std::string Head = BoxHead(Box);
        Box.Html.reserve(Head.size() + Size + 20);
        Box.Html += Head;
        Box.LinesAt = Head.size();
        Box.Html += Box.RootLine;
        for (const auto& [Title, T] : Box.Titles)
            Box.Html += T.Line;
        Box.Html += BoxTail;
        return;
    }

    // Only fresh and gone titles changed. Titles and gone titles are in the same order: merged,
    // each gone line is taken out where it stood and each fresh line put in where it goes (the
    // lines before already in place), in the box's text and in the edits.
    std::vector<TLinkEdit> Changes;
    TNoCase Less;
    int Line = Box.RootLine.empty() ? 0 : 1;
    int32_t Offset = static_cast<int32_t>(Box.RootLine.size());
    auto G = Box.Gone.begin();
    auto TakeOut = [&](const std::string& Old) {
        if (!Old.empty())
            Changes.push_back({BoxIndex, Line, false, Offset, static_cast<int32_t>(Old.size()), {}, 0});
    };
    for (auto& [Title, T] : Box.Titles) {
        Box.Widest = std::max(Box.Widest, Measured(Title, T));
        if (!T.Fresh && G == Box.Gone.end()) {
            Line += T.Line.empty() ? 0 : 1;
            Offset += static_cast<int32_t>(T.Line.size());
            continue;
        }
        while (G != Box.Gone.end() && Less(G->first, Title))
            TakeOut((G++)->second);
        if (T.Fresh) WriteLine(Title, T);
        bool Put = T.Fresh && !T.Line.empty();
        if (G != Box.Gone.end() && !Less(Title, G->first)) {
            // Taken out and put back: the same line stays.
            if (T.Fresh && G->second == T.Line)
                Put = false;
            else
                TakeOut(G->second);
            ++G;
        }
        if (Put)
            Changes.push_back({BoxIndex, Line, true, Offset, static_cast<int32_t>(T.Line.size()), T.Line, 0});
        T.Fresh = false;
        if (!T.Line.empty()) {
            ++Line;
            Offset += static_cast<int32_t>(T.Line.size());
        }
    }
    while (G != Box.Gone.end())
        TakeOut((G++)->second);
    Box.Gone.clear();

    const std::string Head = Edits ? BoxHead(Box) : std::string();
    for (TLinkEdit& E : Changes) {
        const size_t At = Box.LinesAt + static_cast<size_t>(E.Offset);
        if (!E.Insert) {
            Box.Html.erase(At, static_cast<size_t>(E.Length));
            continue;
        }
        // The line's text waits in Fragment until it is in the box.
        Box.Html.insert(At, E.Fragment);
        if (!Edits) continue;
        std::string Fragment = std::string(PageHead) + Head;
        E.FragmentOffset = static_cast<int32_t>(Fragment.size());
        Fragment += E.Fragment;
        Fragment += BoxTail;
        Fragment += PageTail;
        E.Fragment = std::move(Fragment);
    }
    if (Edits)
        Edits->insert(Edits->end(), std::make_move_iterator(Changes.begin()),
                      std::make_move_iterator(Changes.end()));
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
    FEdits.clear();
    bool Apply = FLastColumns >= 0;
    size_t Size = 128;
    std::vector<std::string> Shown;
    std::vector<int32_t> Widths; // of the shown boxes
    for (auto& [Key, Box] : FBoxes) {
        if (Box.RootLinks != ShowRootLinks) Box.Dirty = Box.Rewrite = true;
        if (Box.Dirty) {
            if (Box.Rewrite) Apply = false;
            WriteBox(Box, Measure, static_cast<int>(Shown.size()), Apply ? &FEdits : nullptr);
        }
        Size += Box.Html.size() + 10;
        if (Box.Html.empty()) continue;
        Widths.push_back(BoxWidth(Box, Measure));
        Shown.push_back(Box.Name);
    }
    Columns = FitColumns(Widths, Width);
    Apply = Apply && Shown == FLastBoxes && Columns == FLastColumns && FEdits.size() <= MaxEdits;
    FLastBoxes = std::move(Shown);
    FLastColumns = Columns;

    // Written into the last page's buffer: a big page is not allocated again for each build.
    std::string& Page = FText;
    Page.clear();
    Page.reserve(Size);
    Page += PageHead;
    int32_t C = 0;
    int Index = 0;
    size_t NextEdit = 0;
    for (const auto& [Key, Box] : FBoxes) {
        if (Box.Html.empty()) continue;
        // The box's edits count from the start of its lines.
        const auto LinesStart = static_cast<int32_t>(Page.size() + Box.LinesAt);
        for (; NextEdit < FEdits.size() && FEdits[NextEdit].Box == Index; ++NextEdit)
            FEdits[NextEdit].Offset += LinesStart;
        ++Index;
        Page += Box.Html;
        if (++C >= Columns) {
            C = 0;
            Page += "</tr><tr>";
        }
    }
    Page += PageTail;
    FEditsApply = Apply;
    if (!Apply) FEdits.clear();
    return Page;
}
