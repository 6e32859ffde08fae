#include "tests/app/PanelLinks.h"

#include "htmlview/HtmlLinkLines.h"
#include "htmlview/HtmlTable.h"
#include "htmlview/HtmlTextSection.h"

namespace mv::app::test {

namespace {

void Collect(TCell& Cell, std::vector<TPanelLink>& Out) {
    for (const auto& S : Cell.Sections) {
        if (auto* Text = dynamic_cast<TSection*>(S.get())) {
            for (TFontObj* Run : Text->Fonts)
                if (!Run->UrlTarget.URL().empty())
                    Out.push_back({std::string(Run->UrlTarget.URL()), Text->StartCurs + Run->Pos});
        } else if (auto* Lines = dynamic_cast<TLinkLines*>(S.get())) {
            // A line is its mark and then its title, the link's text.
            for (int L = 0; L < Lines->LineCount(); ++L) {
                const int32_t End = L + 1 < Lines->LineCount() ? Lines->LineStart(L + 1) : Lines->Len;
                Out.push_back({std::string(Lines->Url(L)),
                               Lines->StartCurs + End - static_cast<int32_t>(Lines->Title(L).size())});
            }
        } else if (auto* Table = dynamic_cast<ThtmlTable*>(S.get())) {
            for (auto& Row : Table->Rows)
                for (auto& C : Row->Cells)
                    if (C) Collect(C->Cell, Out);
        }
    }
}

} // namespace

std::vector<TPanelLink> PanelLinks(TSectionList& Doc) {
    std::vector<TPanelLink> Out;
    Collect(Doc, Out);
    return Out;
}

bool Links(TSectionList& Doc, const std::string& Url) {
    for (const TPanelLink& Link : PanelLinks(Doc))
        if (Link.Url == Url) return true;
    return false;
}

} // namespace mv::app::test
