// The note window: navigation, history, saving and closing.
#include "app/Note.h"

#include "app/TopicViewer.h"

#include "app/DatabaseFile.h"
#include "app/NamespaceVisualizer.h"
#include "app/NoteBar.h"
#include "app/NotePlacement.h"
#include "app/Rename.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "app/TopicAddress.h"
#include "base/StrUtils.h"
#include "store/NotesStore.h"
#include "store/StoreLists.h"

#include <shellapi.h>

#include <algorithm>

using namespace mv::app;

mv::app::TNamespaceRegistry<TfrmNote> NoteWindowsByNamespace;
TfrmNote* ActiveNoteWindow = nullptr;
std::vector<TfrmNote*> NoteWindowsInOpenOrder;

TfrmNote::TfrmNote(TComponent* AOwner, const TTopicServices& Services) : TForm(AOwner), FServices(Services) {
    BuildForm();
    FormCreate();
}

TfrmNote::~TfrmNote() {
    // A window freed without closing (the program's end) must not stay listed.
    Unregister();
}

void TfrmNote::Unregister() noexcept {
    NoteWindowsByNamespace.Remove(this);
    std::erase(NoteWindowsInOpenOrder, this);
    if (ActiveNoteWindow == this) ActiveNoteWindow = nullptr;
}

void TfrmNote::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_APPWINDOW;
    Params.WndParent = GetDesktopWindow();
    Params.WinClassName = "TfrmNote";
}

void TfrmNote::NavigateTo(const std::string& Title, const std::string& Namespace, ITopicWindow*& Window,
                          bool AddToHistory) {
    if (FEditor == nullptr) return;
    ShowAddress(SplitTopicAddress(Title, Namespace), AddToHistory);
    Window = this;
}

void TfrmNote::ShowAddress(const TTopicAddress& Address, bool AddToHistory) {
    if (FEditor == nullptr) return;
    const TTopicViewer::TRedrawLock Quiet(*FEditor);
    FEditor->SetEnabled(false);
    // Whatever happens below, the editor is usable again afterwards.
    struct TReEnable {
        TTopicViewer* Editor;
        ~TReEnable() { Editor->SetEnabled(true); }
    } ReEnable{FEditor};

    // Unsaved text is never left behind: a save that fails keeps this topic shown.
    if (FEditor->Valid()) SaveAndCommit(false);
    try {
        FEditor->LoadTopic(Address.Title, Address.Namespace);
    } catch (...) {
        // The topic could not be read: the window goes on showing the one it showed.
        if (!FEditor->Valid()) ReloadShownTopic();
        throw;
    }
    if (AddToHistory) {
        FHistory.Add(MakeTopicAddress(Address.Namespace, Address.Title));
        SyncHistoryActions();
    }
    if (FFirstOpen) {
        const TTopicRect& Rect = FEditor->WindowRect();
        if (Rect.W > 0 && Rect.H > 0)
            SetBounds(Rect.X, Rect.Y, Rect.W, Rect.H);
        else
            PlaceInCascade();
        int32_t SplitterPos = 0;
        if (FEditor->Meta().IndexOfName("splitter_pos") >= 0 &&
            TryStrToInt(FEditor->Meta().Values("splitter_pos"), SplitterPos) && SplitterPos > 0)
            FVisualizer->SetWidth(SplitterPos);
        FNamespace = Address.Namespace;
        NoteWindowsByNamespace.Add(FNamespace, this);
        RefreshVisualizer();
        FFirstOpen = false;
    }
    SetCaption(MakeTopicAddress(Address.Namespace, Address.Title));
    FEditor->SetEnabled(true);
    if (Visible()) FEditor->SetFocus();
}

// A window whose first topic has no stored rectangle opens one caption step
// right and down from the window the user worked in (else the one opened
// last), not exactly over it.
void TfrmNote::PlaceInCascade() {
    TfrmNote* From = ActiveNoteWindow != this ? ActiveNoteWindow : nullptr;
    if (From == nullptr)
        for (TfrmNote* Window : NoteWindowsInOpenOrder)
            if (Window != this) From = Window;
    if (From == nullptr) return;
    RECT Work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0))
        Work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const int32_t Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME);
    const TTopicRect Placed =
        CascadeFrom(TTopicRect{From->Left(), From->Top(), From->Width(), From->Height()}, Width(), Height(),
                    Step, TTopicRect{Work.left, Work.top, Work.right - Work.left, Work.bottom - Work.top});
    SetBounds(Placed.X, Placed.Y, Placed.W, Placed.H);
}

void TfrmNote::GoBack() {
    aBackward->Execute();
}

void TfrmNote::SyncHistoryActions() {
    aBackward->SetEnabled(FHistory.BackEnabled());
    aForward->SetEnabled(FHistory.ForwardEnabled());
}

void TfrmNote::aBackwardExecute(TObject*) {
    if (!FHistory.CanGoBack()) return;
    ITopicWindow* Shown = nullptr;
    NavigateTo(FHistory.BackTarget(), "", Shown, false);
    FHistory.CommitBack();
    SyncHistoryActions();
}

void TfrmNote::aForwardExecute(TObject*) {
    if (!FHistory.CanGoForward()) return;
    ITopicWindow* Shown = nullptr;
    NavigateTo(FHistory.ForwardTarget(), "", Shown, false);
    FHistory.CommitForward();
    SyncHistoryActions();
}

void TfrmNote::RefreshVisualizer() {
    TNotesStore* Store = FServices.Store;
    std::vector<std::string> Namespaces;
    if (!FNamespace.empty()) {
        Namespaces.push_back(FNamespace);
    } else if (auto List = Store->ListNamespaces()) {
        for (int I = 0; I < List->Count(); ++I)
            Namespaces.push_back(ListLineTitle(List->Get(I)));
    }
    for (const std::string& N : Namespaces) {
        const std::string Name = NamespaceDisplayName(N);
        for (const std::string& Title : Store->FindTopicTitles(N))
            FVisualizer->AddEntry(Name, Title);
    }
    FVisualizer->Render();
}

void TfrmNote::SaveShownTopic() {
    if (FEditor == nullptr || !FEditor->Valid() || FEditor->TopicID() <= 0) return;
    FEditor->WindowRect() = TTopicRect{Left(), Top(), Width(), Height()};
    FEditor->Meta().SetValue("splitter_pos", IntToStr(FVisualizer->Width()));
    FEditor->SaveTopic("*", "*");
}

void TfrmNote::aSaveExecute(TObject*) {
    if (FEditor == nullptr || !FEditor->Valid()) return;
    SaveAndCommit(true);
}

void TfrmNote::SaveAndCommit(bool WithWindow) {
    try {
        if (WithWindow)
            SaveShownTopic();
        else
            FEditor->SaveTopic("*", "*");
        if (FServices.Commit) FServices.Commit();
    } catch (const std::exception& E) {
        throw ENoteNotSaved(Caption(), E);
    }
}

// The editor was part-way into another topic when that failed. The topic shown
// before was saved just before, so it comes back from the store as it was.
void TfrmNote::ReloadShownTopic() noexcept {
    if (FEditor->TopicID() <= 0) return;
    try {
        try {
            FEditor->LoadTopic(FEditor->TopicFile(), FEditor->Namespace());
        } catch (const std::exception& E) {
            if (FServices.Log)
                FServices.Log("The note " + Caption() + " could not be shown again: " + E.what());
        }
    } catch (...) {
        // The log failed too; the window shows no topic and saves none.
    }
}

// The window activated last stays the active note window while the focus is
// elsewhere (the tray menu, another program), so that quitting from the tray
// still knows it; only its closing clears it.
void TfrmNote::FormActivate(TObject*) {
    ActiveNoteWindow = this;
}

void TfrmNote::FormResize(TObject*) {
    if (FEditor) FEditor->Invalidate();
}

void TfrmNote::FormClose(TObject*, TCloseAction& Action) {
    // A failed save keeps the window open (the error is shown): nothing is lost.
    aSave->Execute();
    Unregister();
    Action = TCloseAction::caFree;
}

void TfrmNote::SplitterMoved(TObject*) {
    FVisualizer->Render();
    if (FEditor) FEditor->Invalidate();
}

void TfrmNote::VisualizerHotSpotClick(TObject*, const std::string& SRC, bool& Handled) {
    if (SRC.empty()) return;
    if (SRC[0] == '!') {
        // A bang command: its first word, as delimited text (commas, blanks, double quotes).
        TStringList Words;
        Words.SetDelimitedText(SRC);
        const std::string Command = Words.Count() > 0 ? LowerCase(Words.Get(0)) : std::string();
        if (Command == "!new") {
            aNewNote->Execute();
        } else if (Command == "!newnamespace") {
            const std::string Name = InputBox("New Namespace", "Name of new namespace:", "");
            if (Name.find(':') != std::string::npos) {
                // "a:b" would open the topic b of a, and Back and Forward another address again.
                MessageDlg(TfrmRename::ColonRefusal, TMsgDlgType::mtWarning, mbOK);
            } else if (!Trim(Name).empty()) {
                FServices.ShowTopic("", Name);
            }
        } else {
            ShowMessage("Invalid bang command: \"" + Command + "\"");
        }
        Handled = true;
        return;
    }
    // The main window reads the address ("default:" names the default namespace).
    FServices.ShowTopic(SRC, "");
    Handled = true;
}

void TfrmNote::URLClick(TObject*, const std::string& URL) {
    ShellExecuteA(nullptr, "open", URL.c_str(), "", "", SW_SHOW);
}
