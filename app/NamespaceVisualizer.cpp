// The namespace visualizer: its page shown in the HTML viewer.
#include "app/NamespaceVisualizer.h"

#include "base/StrUtils.h"
#include "gui/GdiGuards.h"

TNamespaceVisualizer::TNamespaceVisualizer(TComponent* AOwner) : THtmlDisplay(AOwner) {
    // A notebook lists every title here: the lines are kept as runs of data, not a section each.
    SectionList().CompactLinkLines = true;
}

void TNamespaceVisualizer::AddEntry(const std::string& Namespace, const std::string& Title) {
    FPage.AddEntry(Namespace, Title);
}

void TNamespaceVisualizer::RemoveEntry(const std::string& Namespace, const std::string& Title) {
    FPage.RemoveEntry(Namespace, Title);
}

void TNamespaceVisualizer::Clear() {
    FPage.Clear();
}

void TNamespaceVisualizer::Render() {
    const std::string FontKey = Font().Name() + "/" + IntToStr(Font().Size());
    if (FontKey != FMeasuredFont) {
        FPage.ForgetWidths();
        FMeasuredFont = FontKey;
        FWidths.reset();
    }
    FPage.ShowRootLinks = ShowRootLinks;
    // One DC for every title measured in this Render.
    TMemoryDC DC(nullptr);
    TSelectObject Select(DC.Get(), Font().Handle());
    if (!FWidths) FWidths = std::make_unique<TTitleWidths>(DC.Get());
    // The width the display lays its page out in: inside its frame, margins and vertical bar.
    int32_t LayoutWidth = Width() - (BorderStyle() == THTMLBorderStyle::htNone ? 1 : 3) - 2 * MarginWidth();
    if (ScrollBars() == THvScrollStyle::ssVertical || ScrollBars() == THvScrollStyle::ssBoth)
        LayoutWidth -= GetSystemMetrics(SM_CXVSCROLL);
    FPage.Update(
        LayoutWidth, [this, &DC](const std::string& Title) { return FWidths->Width(DC.Get(), Title); },
        Columns);
    static const std::string Reference = "Name Visualizer";
    TSectionList& Doc = SectionList();
    if (FPage.EditsApply() && FEditor.Attached(Doc) && FEditorLoad == DocumentLoads() &&
        CurrentFile() == Reference && !Processing()) {
        if (FPage.Edits().empty()) return; // the page shown is the page
        if (FEditor.Apply(FPage.Edits())) {
            // What a load of the page would reset: no selection; the position stays (same page).
            Doc.SelFrom = Doc.SelTo = 0;
            MarkVisitedLinks();
            const int32_t Y = VScrollPos();
            Reformat();
            ScrollTo(Y);
            return;
        }
    }
    LoadHtmlText(FPage.Text(), Reference);
    // The document holds the page now; PageText() writes it again when asked.
    FPage.ReleaseText();
    FEditor.Attach(Doc, FPage.Namespaces().size());
    FEditorLoad = DocumentLoads();
}
