// The note window's components: its actions, the topic editor, the side panel
// and the command bar.
#include "app/Main.h"
#include "app/Note.h"

#include "app/FormBuilding.h"
#include "app/NamespaceVisualizer.h"
#include "app/NoteBar.h"
#include "app/TopicViewer.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"

TfrmMain* TfrmNote::MainWindow() const {
    return dynamic_cast<TfrmMain*>(Owner());
}

void TfrmNote::BuildForm() {
    SetCaption("Note");
    SetBounds(Left(), Top(), 637, 379);
    Font().SetName("Tahoma");
    Font().SetHeight(-11);
    SetShowHint(true);

    ActionList1 = new TActionList(this);
    ActionList1->SetImages(MainWindow() ? MainWindow()->alActions->Images() : nullptr);
    aSave =
        NewAction(ActionList1, "aSave", "&Save", ShortCut('S', ssCtrl),
                  "Save all notes in the current window.", [this](TObject* Sender) { aSaveExecute(Sender); });
    aBackward = NewAction(ActionList1, "aBackward", "&Backward", 0, "Move back in the browse history.",
                          [this](TObject* Sender) { aBackwardExecute(Sender); });
    aForward = NewAction(ActionList1, "aForward", "&Forward", 0, "Move forward in the browse history.",
                         [this](TObject* Sender) { aForwardExecute(Sender); });
    aBackward->SetEnabled(false);
    aForward->SetEnabled(false);
    BuildCommands();

    // The command bar: the tool bar switch, the Edit and File tool bars and the
    // managers' tool bar (Find, Backward, Forward, Plugins, About).
    pnlCommandBar = new TNoteCommandBar(*this);
    pnlCommandBar->SetParent(this);
    pnlCommandBar->SetAlign(TAlign::alTop);
    pnlCommandBar->SetHeight(27);

    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnResize = [this](TObject* Sender) { FormResize(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

void TfrmNote::FormCreate() {
    FFirstOpen = true;
    FEditor = new TTopicViewer(this, this, FServices);
    FEditor->OnURLClick = [this](TObject* Sender, const std::string& URL, TMouseButton) {
        URLClick(Sender, URL);
    };
    FEditor->OnSelectionChange = [this](TObject* Sender) { EditorSelectionChange(Sender); };
    FEditor->SetParent(this);
    FEditor->SetAlign(TAlign::alClient);
    FEditor->SetBorderStyle(TBorderStyle::bsNone);
    FEditor->SetHideSelection(false);
    SetActiveControl(FEditor);

    // From the left: side panel, divider, editor.
    FVisualizer = new TNamespaceVisualizer(this);
    FVisualizer->SetBounds(0, 0, 150, Height());
    FVisualizer->SetParent(this);
    FVisualizer->SetAlign(TAlign::alLeft);

    FSplitter = new TSplitter(this);
    FSplitter->SetLeft(150);
    FSplitter->SetParent(this);
    FSplitter->SetAlign(TAlign::alLeft);
    FSplitter->OnMoved = [this](TObject* Sender) { SplitterMoved(Sender); };
    FVisualizer->ShowRootLinks = true;
    FVisualizer->OnHotSpotClick = [this](TObject* Sender, const std::string& SRC, bool& Handled) {
        VisualizerHotSpotClick(Sender, SRC, Handled);
    };
    FVisualizer->SetScrollBars(THvScrollStyle::ssVertical);
    FVisualizer->SetDefBackground(clWindow);
    FVisualizer->SetDefFontColor(clWindowText);
    FVisualizer->SetBorderStyle(THTMLBorderStyle::htNone);
    // Titles are measured with the main window's font.
    const TFont& MainFont = MainWindow() ? MainWindow()->Font() : Font();
    FVisualizer->SetDefFontName(MainFont.Name());
    FVisualizer->SetDefFontSize(MainFont.Size());
    FVisualizer->Font().SetName(MainFont.Name());
    FVisualizer->Font().SetSize(MainFont.Size());
}
