// TfrmNote: the note window. One per namespace; it shows one topic at a time
// in a topic editor, lists the namespace's topics in a side panel, keeps a
// back/forward history, and saves the topic it leaves.
#pragma once

#include "app/NoteHistory.h"
#include "app/NoteRegistry.h"
#include "app/TopicAddress.h"
#include "app/TopicDocument.h"
#include "app/TopicWindow.h"
#include "gui/ActnList.h"
#include "gui/Forms.h"

#include <string>
#include <vector>

class TTopicViewer;
class TNamespaceVisualizer;
class TSplitter;
class TNoteCommandBar;
class TfrmNote;
class TfrmMain;
class TToolBar;
class TToolButton;
class TPopupMenu;
class TOpenDialog;

// The note window of each namespace, looked up without regard to case.
extern mv::app::TNamespaceRegistry<TfrmNote> NoteWindowsByNamespace;
// The note window that was activated last, or nullptr.
extern TfrmNote* ActiveNoteWindow;
// The note windows the main window opened, in order; a window leaves as it closes.
extern std::vector<TfrmNote*> NoteWindowsInOpenOrder;

class TfrmNote : public TForm, public ITopicWindow {
public:
    // Services are the main window's, which outlive its note windows.
    TfrmNote(TComponent* AOwner, const mv::app::TTopicServices& Services);
    ~TfrmNote() override;

    // ITopicWindow
    void NavigateTo(const std::string& Title, const std::string& Namespace, ITopicWindow*& Window,
                    bool AddToHistory) override;
    void RefreshTags() override {}
    void GoBack() override;
    // NavigateTo for an address already read.
    void ShowAddress(const mv::app::TTopicAddress& Address, bool AddToHistory);

    // Fills the side panel from the store (done once, at the first navigation).
    void RefreshVisualizer();
    // Saves the shown topic with the window's geometry and the side panel's
    // width, without the checkpoint; nothing when no valid topic is shown.
    void SaveShownTopic();

    // The main window that opened this window and owns it (nullptr for a window
    // owned elsewhere): its tray actions and its font are the note window's too.
    TfrmMain* MainWindow() const;
    TTopicViewer* Editor() const { return FEditor; }
    TNamespaceVisualizer* Visualizer() const { return FVisualizer; }
    const mv::app::TNoteHistory& History() const { return FHistory; }
    const std::string& Namespace() const { return FNamespace; }

    TActionList* ActionList1 = nullptr;
    TAction* aSave = nullptr;
    TAction* aBackward = nullptr;
    TAction* aForward = nullptr;

    // ---- commands (NoteCommands.cpp) ----
    // The position of the shown topic in the history (0: nothing to go back to).
    int HistoryIndex() const { return FHistory.Index(); }
    TNoteCommandBar* CommandBar() const { return pnlCommandBar; }
    // Closes the window after letting go of its editor without saving it (its
    // topic was deleted, or moved and is shown elsewhere).
    void CloseWithoutSaving();
    void EditorSelectionChange(TObject* Sender);

    TAction* aBold = nullptr;
    TAction* aUnderline = nullptr;
    TAction* aItalic = nullptr;
    TAction* aStrikeout = nullptr;
    TAction* aBigger = nullptr;
    TAction* aSmaller = nullptr;
    TAction* aNormal = nullptr;
    TAction* aUnlink = nullptr;
    TAction* aBulleted = nullptr;
    TAction* aNumbered = nullptr;
    TAction* aIndent = nullptr;
    TAction* aOutdent = nullptr;
    TAction* aCut = nullptr;
    TAction* aCopy = nullptr;
    TAction* aPaste = nullptr;
    TAction* aInsertChar = nullptr;
    TAction* aInsertImage = nullptr;
    TAction* aInsertSpecial = nullptr;
    TAction* aNewNote = nullptr;
    TAction* aNoteDelete = nullptr;
    TAction* aNoteRename = nullptr;
    TAction* aCommandBarEdit = nullptr;
    TAction* aCommandBarFile = nullptr;
    TAction* aCommandBarSwitch = nullptr;
    TOpenDialog* OpenDialog = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void BuildForm();
    void FormCreate();
    void FormActivate(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void SplitterMoved(TObject* Sender);
    void VisualizerHotSpotClick(TObject* Sender, const std::string& SRC, bool& Handled);
    // A link the editor detected (a web address, say) opens with the shell.
    void URLClick(TObject* Sender, const std::string& URL);
    void aSaveExecute(TObject* Sender);
    // Saves the shown topic (with the window's geometry when WithWindow) and
    // commits; a failure is raised as ENoteNotSaved in plain words.
    void SaveAndCommit(bool WithWindow);
    void ReloadShownTopic() noexcept;
    void aBackwardExecute(TObject* Sender);
    void aForwardExecute(TObject* Sender);
    void SyncHistoryActions();
    // Takes the window out of NoteWindowsByNamespace, NoteWindowsInOpenOrder and
    // ActiveNoteWindow: as it closes, or when it is freed.
    void Unregister() noexcept;
    void PlaceInCascade();
    // Commands (NoteCommands.cpp).
    void BuildCommands();
    void aBoldExecute(TObject* Sender);
    void aUnderlineExecute(TObject* Sender);
    void aItalicExecute(TObject* Sender);
    void aStrikeoutExecute(TObject* Sender);
    void aBiggerExecute(TObject* Sender);
    void aSmallerExecute(TObject* Sender);
    void aNormalExecute(TObject* Sender);
    void aUnlinkExecute(TObject* Sender);
    void aBulletedExecute(TObject* Sender);
    void aNumberedExecute(TObject* Sender);
    void aIndentExecute(TObject* Sender);
    void aOutdentExecute(TObject* Sender);
    void aInsertCharExecute(TObject* Sender);
    void aInsertImageExecute(TObject* Sender);
    void aInsertSpecialExecute(TObject* Sender);
    void aNewNoteExecute(TObject* Sender);
    void aNoteDeleteExecute(TObject* Sender);
    void aNoteRenameExecute(TObject* Sender);
    void aCommandBarEditExecute(TObject* Sender);
    void aCommandBarFileExecute(TObject* Sender);
    void aCommandBarSwitchExecute(TObject* Sender);

    const mv::app::TTopicServices& FServices;
    TTopicViewer* FEditor = nullptr;
    TSplitter* FSplitter = nullptr;
    TNamespaceVisualizer* FVisualizer = nullptr;
    TNoteCommandBar* pnlCommandBar = nullptr;
    mv::app::TNoteHistory FHistory;
    std::string FNamespace;
    bool FFirstOpen = true;
};
