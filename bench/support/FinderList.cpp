#include "bench/support/FinderList.h"

#include "app/Find.h"
#include "app/NamespaceVisualizer.h"
#include "gui/Forms.h"

TNamespaceVisualizer* AddFinderListLike(TForm& Form, TfrmFind& Finder) {
    TNamespaceVisualizer& List = *Finder.Visualizer;
    Form.SetBounds(Finder.Left(), Finder.Top(), Finder.Width(), Finder.Height());
    Form.SetClientSize(List.Width(), List.Height());
    auto* Panel = new TNamespaceVisualizer(&Form);
    Panel->SetParent(&Form);
    Panel->SetAlign(TAlign::alClient);
    Panel->ShowRootLinks = List.ShowRootLinks;
    Panel->SetColor(List.Color());
    Panel->SetScrollBars(List.ScrollBars());
    Panel->SetBorderStyle(List.BorderStyle());
    Panel->SetDefBackground(List.DefBackground());
    Panel->SetDefFontColor(List.DefFontColor());
    Panel->SetDefFontName(List.DefFontName());
    Panel->SetDefFontSize(List.DefFontSize());
    Panel->Font().Assign(List.Font());
    return Panel;
}
