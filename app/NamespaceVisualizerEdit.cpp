// Editing the visualizer's document line by line.
#include "app/NamespaceVisualizerEdit.h"

#include "htmlview/HtmlDocumentEdit.h"
#include "htmlview/HtmlTable.h"

namespace {

ThtmlTable* FirstTable(TCell& Cell) {
    for (const auto& S : Cell.Sections)
        if (auto* Table = dynamic_cast<ThtmlTable*>(S.get())) return Table;
    return nullptr;
}

// The page is a table of boxes; each box a table whose one cell holds the namespace's name and
// then one section per link line.
std::vector<TCell*> BoxCells(TSectionList& Doc) {
    std::vector<TCell*> Cells;
    ThtmlTable* Boxes = FirstTable(Doc);
    if (!Boxes) return Cells;
    for (auto& Row : Boxes->Rows)
        for (auto& Box : Row->Cells) {
            if (!Box || Box->Dummy) continue;
            ThtmlTable* Inner = FirstTable(Box->Cell);
            if (!Inner || Inner->Rows.empty() || Inner->Rows[0]->Cells.empty() || !Inner->Rows[0]->Cells[0])
                return {};
            Cells.push_back(&Inner->Rows[0]->Cells[0]->Cell);
        }
    return Cells;
}

// A document that parses a fragment as the page's document would: the same fonts and colours.
void CopySettings(const TSectionList& From, TSectionList& To) {
    To.FontName = From.FontName;
    To.PreFontName = From.PreFontName;
    To.FontSize = From.FontSize;
    To.CharSet = From.CharSet;
    To.FontColor = From.FontColor;
    To.HotSpotColor = From.HotSpotColor;
    To.VisitedColor = From.VisitedColor;
    To.OverColor = From.OverColor;
    To.LinkStyle = From.LinkStyle;
    To.LinksActive = From.LinksActive;
    To.Background = From.Background;
    To.ShowImages = From.ShowImages;
}

} // namespace

bool TNamespaceDocumentEditor::Attach(TSectionList& Doc, size_t Boxes) {
    FCells = BoxCells(Doc);
    FDoc = &Doc;
    if (FCells.size() != Boxes) Detach();
    return FDoc != nullptr;
}

void TNamespaceDocumentEditor::Detach() {
    FDoc = nullptr;
    FCells.clear();
}

bool TNamespaceDocumentEditor::Apply(const std::vector<TLinkEdit>& Edits) {
    if (!FDoc) return false;
    for (const TLinkEdit& Edit : Edits)
        if (!ApplyOne(Edit)) {
            Detach();
            return false;
        }
    return true;
}

bool TNamespaceDocumentEditor::ApplyOne(const TLinkEdit& Edit) {
    if (Edit.Box < 0 || static_cast<size_t>(Edit.Box) >= FCells.size()) return false;
    TCell& Cell = *FCells[static_cast<size_t>(Edit.Box)];
    // The name's line comes before the link lines (a run of link lines counts each of its lines).
    const int At = 1 + Edit.Line;
    const int Lines = HtmlEdit::LineCount(Cell);
    if (!Edit.Insert) {
        if (At >= Lines || !HtmlEdit::DeleteLine(*FDoc, Cell, At)) return false;
        HtmlEdit::ShiftSourcePositions(*FDoc, Edit.Offset + Edit.Length, -Edit.Length);
        return true;
    }
    if (At > Lines) return false;
    // The fragment keeps its line a text section (it is not made compact): MoveLine puts it into
    // the run of lines it belongs to.
    TSectionList Fragment;
    CopySettings(*FDoc, Fragment);
    TStringList Anchors;
    FParser.ParseHtmlText(Edit.Fragment, Fragment, &Anchors);
    const std::vector<TCell*> Cells = BoxCells(Fragment);
    // The fragment's box holds the name and the one line.
    if (Cells.size() != 1 || Cells[0]->Count() < 2 || !HtmlEdit::Movable(*Cells[0]->Sections[1]))
        return false;
    HtmlEdit::ShiftSourcePositions(*FDoc, Edit.Offset, Edit.Length);
    HtmlEdit::MoveLine(Fragment, *Cells[0], 1, *FDoc, Cell, At, Edit.Offset - Edit.FragmentOffset);
    return true;
}
