// TNamespaceVisualizer: the HTML viewer that lists topics grouped by namespace, each namespace a
// grey box of links, the boxes in columns. The note window's side panel and the finder's result
// list. Its model and page live in NamespaceVisualizerPage (window-free).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/NamespaceVisualizerEdit.h"
#include "app/NamespaceVisualizerPage.h"
#include "app/TitleWidths.h"
#include "htmlview/HtmlDisplay.h"

class TNamespaceVisualizer : public THtmlDisplay {
public:
    explicit TNamespaceVisualizer(TComponent* AOwner);

    // Adds a title under a namespace (a display name: "Default" for the empty
    // one); a title equal to one listed, ignoring case, is not added again. No redraw.
    void AddEntry(const std::string& Namespace, const std::string& Title);
    // Removes a title; a namespace left without titles goes. No redraw.
    void RemoveEntry(const std::string& Namespace, const std::string& Title);
    // Forgets every namespace; what is on screen stays until the next Render.
    void Clear() override;
    // Writes the page from the namespaces and their titles and shows it. When the page shown
    // differs from the new one by a few lines, those lines are put into or taken out of the
    // document shown (which is then what loading the new page gives), not the whole page parsed.
    void Render();

    bool ShowRootLinks = false;
    // Boxes per row, as the last Render computed it.
    int32_t Columns = 0;

    // The titles listed under a namespace, in order.
    std::vector<std::string> Titles(const std::string& Namespace) const { return FPage.Titles(Namespace); }
    std::vector<std::string> Namespaces() const { return FPage.Namespaces(); }
    size_t TitleCount() const { return FPage.TitleCount(); }
    // The page the last Render loaded.
    const std::string& PageText() const { return FPage.Text(); }

private:
    TNamespacePage FPage;
    TNamespaceDocumentEditor FEditor;
    uint32_t FEditorLoad = 0;              // the DocumentLoads of the document the editor holds
    std::string FMeasuredFont;             // the font the page's widths were measured with
    std::unique_ptr<TTitleWidths> FWidths; // that font's probed advances
};
