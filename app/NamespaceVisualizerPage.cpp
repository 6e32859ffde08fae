// The namespace visualizer's page: boxes of links, one per namespace.
#include "app/NamespaceVisualizerPage.h"

#include "base/StrUtils.h"

#include <algorithm>

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
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
    for (auto& [Key, Box] : FBoxes) {
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
    Box.RootLine = ShowRootLinks ? Root : std::string();
    Box.Widest = 1;
    size_t Size = Box.RootLine.size();
    for (auto& [Title, T] : Box.Titles) {
        if (Box.Rewrite || T.Fresh) {
            if (Title.empty()) {
                T.Line = ShowRootLinks ? std::string() : Root;
            } else {
                const std::string Shown = HtmlEscape(Title);
                T.Line = LinkLine(Name + ":" + Shown, Shown, false);
            }
        }
        if (!Title.empty()) {
            if (T.Width < 0) T.Width = Measure ? std::max<int32_t>(Measure(Title), 0) : 0;
            Box.Widest = std::max(Box.Widest, T.Width);
        }
        Size += T.Line.size();
    }
    const std::string Head = BoxHead(Box);

    if (Edits && !Box.Rewrite) {
        // Titles and gone titles are in the same order: merged, each gone line is taken out where
        // it stood and each fresh line put in where it goes, the lines before already in place.
        TNoCase Less;
        int Line = Box.RootLine.empty() ? 0 : 1;
        int32_t Offset = static_cast<int32_t>(Box.RootLine.size());
        auto G = Box.Gone.begin();
        auto TakeOut = [&](const std::string& Old) {
            if (!Old.empty())
                Edits->push_back({BoxIndex, Line, false, Offset, static_cast<int32_t>(Old.size()), {}, 0});
        };
        for (auto& [Title, T] : Box.Titles) {
            while (G != Box.Gone.end() && Less(G->first, Title))
                TakeOut((G++)->second);
            bool Put = T.Fresh && !T.Line.empty();
            if (G != Box.Gone.end() && !Less(Title, G->first)) {
                // Taken out and put back: the same line stays.
                if (T.Fresh && G->second == T.Line)
                    Put = false;
                else
                    TakeOut(G->second);
                ++G;
            }
            if (Put) {
                TLinkEdit E{BoxIndex, Line, true, Offset, static_cast<int32_t>(T.Line.size()), {}, 0};
                E.Fragment = std::string(PageHead) + Head;
                E.FragmentOffset = static_cast<int32_t>(E.Fragment.size());
                E.Fragment += T.Line;
                E.Fragment += BoxTail;
                E.Fragment += PageTail;
                Edits->push_back(std::move(E));
            }
            if (!T.Line.empty()) {
                ++Line;
                Offset += static_cast<int32_t>(T.Line.size());
            }
        }
        while (G != Box.Gone.end())
            TakeOut((G++)->second);
    }

    Box.Gone.clear();
    Box.Dirty = Box.Rewrite = false;
    Box.RootLinks = ShowRootLinks;
    Box.Html.clear();
    if (Size == 0) { // no titles to show and no root link: no box
        for (auto& [Title, T] : Box.Titles)
            T.Fresh = false;
        return;
    }
    Box.Html.reserve(Head.size() + Size + 20);
    Box.Html += Head;
    Box.LinesAt = Head.size();
    Box.Html += Box.RootLine;
    for (auto& [Title, T] : Box.Titles) {
        Box.Html += T.Line;
        T.Fresh = false;
    }
    Box.Html += BoxTail;
}

std::string TNamespacePage::Build(int32_t Width, const TMeasure& Measure, int32_t& Columns) {
    FEdits.clear();
    bool Apply = FLastColumns >= 0;
    int32_t W = 1;
    size_t Size = 128;
    std::vector<std::string> Shown;
    for (auto& [Key, Box] : FBoxes) {
        if (Box.RootLinks != ShowRootLinks) Box.Dirty = Box.Rewrite = true;
        if (Box.Dirty) {
            if (Box.Rewrite) Apply = false;
            WriteBox(Box, Measure, static_cast<int>(Shown.size()), Apply ? &FEdits : nullptr);
        }
        W = std::max(W, Box.Widest);
        Size += Box.Html.size() + 10;
        if (!Box.Html.empty()) Shown.push_back(Box.Name);
    }
    // A row holds at most as many boxes as a table of the display has columns: namespaces with
    // no titles are one pixel wide, and a wide panel would otherwise put hundreds in one row.
    Columns = std::min(Width / (W + W / 2), MaxBoxesPerRow);
    Apply = Apply && Shown == FLastBoxes && Columns == FLastColumns && FEdits.size() <= MaxEdits;
    FLastBoxes = std::move(Shown);
    FLastColumns = Columns;

    std::string Page;
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
