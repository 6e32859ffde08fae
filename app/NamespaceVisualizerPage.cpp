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
    if (It->second.Titles.emplace(Title, -1).second) It->second.Dirty = true;
}

void TNamespacePage::RemoveEntry(const std::string& Namespace, const std::string& Title) {
    const auto It = FBoxes.find(Namespace);
    if (It == FBoxes.end()) return;
    if (It->second.Titles.erase(Title) == 0) return;
    It->second.Dirty = true;
    if (It->second.Titles.empty()) FBoxes.erase(It);
}

void TNamespacePage::Clear() {
    FBoxes.clear();
}

void TNamespacePage::ForgetWidths() {
    for (auto& [Key, Box] : FBoxes) {
        for (auto& [Title, Width] : Box.Titles)
            Width = -1;
        Box.Dirty = true;
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
        for (const auto& [Title, Width] : It->second.Titles)
            Out.push_back(Title);
    return Out;
}

namespace {

void AppendLink(std::string& Html, const std::string& Href, const std::string& Shown, bool Root) {
    Html += "<nobr>\xBB <a href=\"";
    Html += Href;
    Html += "\">";
    Html += Shown;
    // A title link closes nobr before a; the root link closes them in nesting order.
    Html += Root ? "</a></nobr><br>" : "</nobr></a><br>";
}

} // namespace

void TNamespacePage::WriteBox(TBox& Box, const TMeasure& Measure) {
    const std::string Name = HtmlEscape(Box.Name);
    std::string Links;
    Box.Widest = 1;
    if (ShowRootLinks) AppendLink(Links, Name + ":", "[Root]", true);
    for (auto& [Title, Width] : Box.Titles) {
        if (Title.empty()) {
            if (!ShowRootLinks) AppendLink(Links, Name + ":", "[Root]", true);
            continue;
        }
        if (Width < 0) Width = Measure ? std::max<int32_t>(Measure(Title), 0) : 0;
        Box.Widest = std::max(Box.Widest, Width);
        const std::string Shown = HtmlEscape(Title);
        AppendLink(Links, Name + ":" + Shown, Shown, false);
    }
    Box.Html.clear();
    if (Links.empty()) return; // no titles to show and no root link: no box
    Box.Html.reserve(Links.size() + Name.size() + 220);
    Box.Html += "<td valign=\"top\">";
    Box.Html += "<table border=\"3\" bordercolor=\"#AAAAAA\" bgcolor=\"#DDDDDD\" ";
    Box.Html += "cellspacing=\"0\" cellpadding=\"4\" align=\"left\" width=\"100%\"><tr><td>";
    Box.Html += "<b><nobr>";
    Box.Html += Name;
    Box.Html += "</nobr></b><br>";
    Box.Html += Links;
    Box.Html += "</td></tr></table>";
    Box.Dirty = false;
    Box.RootLinks = ShowRootLinks;
}

std::string TNamespacePage::Build(int32_t Width, const TMeasure& Measure, int32_t& Columns) {
    int32_t W = 1;
    size_t Size = 128;
    for (auto& [Key, Box] : FBoxes) {
        if (Box.Dirty || Box.RootLinks != ShowRootLinks) WriteBox(Box, Measure);
        W = std::max(W, Box.Widest);
        Size += Box.Html.size() + 10;
    }
    // A row holds at most as many boxes as a table of the display has columns: namespaces with
    // no titles are one pixel wide, and a wide panel would otherwise put hundreds in one row.
    Columns = std::min(Width / (W + W / 2), MaxBoxesPerRow);
    std::string Page;
    Page.reserve(Size);
    Page += "<html><body><nobr>  <table width=\"100%\"><tr>";
    int32_t C = 0;
    for (const auto& [Key, Box] : FBoxes) {
        if (Box.Html.empty()) continue;
        Page += Box.Html;
        if (++C >= Columns) {
            C = 0;
            Page += "</tr><tr>";
        }
    }
    Page += "  </tr></table></nobr></body></html>";
    return Page;
}
