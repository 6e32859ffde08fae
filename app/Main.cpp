// The main window's services while the program runs: showing topics, the
// tray menu's actions, store events, plug-in dot-line handlers, the log and
// the checkpoints.
#include "app/Main.h"

#include "app/About.h"
#include "app/DatabaseFile.h"
#include "app/Find.h"
#include "app/Log.h"
#include "app/NamespaceVisualizer.h"
#include "app/Note.h"
#include "app/Plugins.h"
#include "app/Settings.h"
#include "app/TagManager.h"
#include "app/TopicAddress.h"
#include "app/TopicViewer.h"
#include "logfile/MvLogFile.h"
#include "plugins/MvPlugin.h"
#include "plugins/MvPluginManager.h"
#include "gui/Timers.h"
#include "store/NotesStore.h"

#include <shellapi.h>

#include <algorithm>
#include <ctime>

using namespace mv::app;

TfrmMain* frmMain = nullptr;

TfrmNote* TfrmMain::ShowTopic(const std::string& Title, const std::string& Namespace) {
    const TTopicAddress Address = ResolveTopicRequest(Title, Namespace);
    TfrmNote* Window = NoteWindowsByNamespace.Find(Address.Namespace);
    const bool Created = Window == nullptr;
    if (Created) {
        Window = new TfrmNote(this, FServices);
        NoteWindowsInOpenOrder.push_back(Window);
    }
    try {
        Window->ShowAddress(Address, true);
    } catch (...) {
        // A window whose first topic could not be shown never appears.
        if (Created) delete Window; // which unregisters it
        throw;
    }
    Window->Show();
    return Window;
}

std::vector<TfrmNote*>& TfrmMain::OpenNoteWindows() {
    return NoteWindowsInOpenOrder;
}

void TfrmMain::Log(const std::string& Msg) {
    if (frmLog == nullptr) frmLog = new TfrmLog(this, aShowLog);
    char Time[64] = {};
    const std::time_t Now = std::time(nullptr);
    std::tm Local{};
    localtime_s(&Local, &Now);
    std::strftime(Time, sizeof Time, "%d.%m.%Y %H:%M:%S", &Local);
    // A log that cannot be written must never stop the save or the checkpoint
    // that is logging: the record stays in memory and goes out with the next
    // write that succeeds.
    if (FLogFile) {
        try {
            FLogFile->AddLogRecord(Time, "", Msg);
        } catch (const std::exception&) {
        }
    }
    frmLog->AddLine(Msg);
}

void TfrmMain::CommitStore() {
    if (!FNotesStore) return;
    try {
        FNotesStore->Commit();
    } catch (const std::exception& E) {
        Log("Checkpoint failed: " + std::string(E.what()));
        throw;
    }
}

void TfrmMain::tCommitTimer(TObject*) {
    Log("Checkpoint...");
    const std::string Failure = SaveOpenNotes();
    if (Failure.empty())
        Log("Checkpoint finished.");
    else
        ReportText(Failure);
}

void TfrmMain::tCheckFileTimer(TObject*) {
    if (!FNotesStore) {
        tCheckFile->SetEnabled(false);
        return;
    }
    const TDamageCheck* Check = FNotesStore->DamageCheck();
    if (!Check) {
        FNotesStore->StartDamageCheck();
        return;
    }
    const TDamageCheck::TOutcome Outcome = Check->Outcome();
    if (Outcome == TDamageCheck::TOutcome::Running) return;
    tCheckFile->SetEnabled(false);
    switch (Outcome) {
    case TDamageCheck::TOutcome::Sound:
        Log("The notes file was checked for damage: none found.");
        break;
    case TDamageCheck::TOutcome::NotChecked:
        Log("The notes file could not be checked for damage: " + Check->Details());
        break;
    case TDamageCheck::TOutcome::Damaged:
        Log("The check of the notes file found damage: " + Check->Details());
        // Damage a read met first was told by what that read was for.
        if (FNotesStore->DamageFirstFoundByCheck()) {
            const std::string Folder = UnsavedTextFolder();
            ReportText(
                DatabaseDamagedText(FNotesStore->Connection().FileName()) +
                "\r\rText that is not saved yet cannot go into it any more: it stays in its window, "
                "and when you quit, Miravelund writes it into a file of its own in " +
                (Folder.empty() ? UnsavedTextFolders() + " (none of them can take a file now)" : Folder) +
                ".");
        }
        break;
    case TDamageCheck::TOutcome::Running:
        break;
    }
}

void TfrmMain::ReportFailure(const std::string& What, const std::exception& Error) noexcept {
    try {
        Log(What + ": " + Error.what());
        // At the end of the session nobody answers a box; the log keeps it.
        if (!Application->SessionEnding())
            Application->MessageBox(What + ":\r\r" + Error.what(), "Miravelund", MB_OK | MB_ICONERROR);
    } catch (...) {
        // Nothing more can be told: the log and the message box both failed.
    }
}

void TfrmMain::ReportText(const std::string& Text) noexcept {
    try {
        Log(Text);
        if (!Application->SessionEnding()) Application->MessageBox(Text, "Miravelund", MB_OK | MB_ICONERROR);
    } catch (...) {
    }
}

// The side panels that hear of a topic of namespace Name: its own window's and
// the default namespace's (which lists every namespace).
void TfrmMain::UpdatePanels(const std::string& Name,
                            const std::function<void(TNamespaceVisualizer&)>& Change) {
    for (const std::string& Key : {Name, std::string()}) {
        if (TfrmNote* Window = NoteWindowsByNamespace.Find(Key)) {
            Change(*Window->Visualizer());
            Window->Visualizer()->Render();
        }
    }
}

void TfrmMain::OnNewTopic(const std::string& Title, const std::string& Namespace) {
    const std::string Name = NamespaceDisplayName(Namespace);
    UpdatePanels(Name, [&](TNamespaceVisualizer& Panel) { Panel.AddEntry(Name, Title); });
}

void TfrmMain::OnDeleteTopic(const std::string& Title, const std::string& Namespace) {
    const std::string Name = NamespaceDisplayName(Namespace);
    UpdatePanels(Name, [&](TNamespaceVisualizer& Panel) { Panel.RemoveEntry(Name, Title); });
}

void TfrmMain::OnRenameTopic(const std::string& OldTitle, const std::string& OldNamespace,
                             const std::string& Title, const std::string& Namespace) {
    OnDeleteTopic(OldTitle, OldNamespace);
    OnNewTopic(Title, Namespace);
}

void TfrmMain::PluginManagerNewCommand(TObject*, const std::string& ACaption, const std::string&,
                                       const std::string& AData, uint16_t, const TMvPluginBitmap&,
                                       const TNotifyEvent& AEvent) {
    FTagEvents.RegisterCommand(ACaption, AData, AEvent, FAnnouncingPlugin,
                               FAnnouncingPlugin ? FAnnouncingPlugin->Name() : std::string());
}

void TfrmMain::aHomeExecute(TObject*) {
    ShowTopic("Home", "");
}

void TfrmMain::aFindExecute(TObject*) {
    if (frmFind) frmFind->Show();
}

void TfrmMain::aTagManagerExecute(TObject*) {
    if (frmTagManager) frmTagManager->Show();
}

void TfrmMain::aHideExecute(TObject*) {
    aHide->SetVisible(false);
    aHide->SetEnabled(false);
    aUnhide->SetVisible(true);
    aUnhide->SetEnabled(true);
    for (TfrmNote* Window : NoteWindowsInOpenOrder)
        if (Window->Visible()) Window->Hide();
}

void TfrmMain::aUnhideExecute(TObject*) {
    aHide->SetVisible(true);
    aHide->SetEnabled(true);
    aUnhide->SetVisible(false);
    aUnhide->SetEnabled(false);
    for (TfrmNote* Window : NoteWindowsInOpenOrder) {
        if (Window->Visible()) continue;
        Window->SetFormStyle(TFormStyle::fsStayOnTop);
        Window->SetFormStyle(TFormStyle::fsNormal);
        Window->Show();
    }
    if (ActiveNoteWindow) ActiveNoteWindow->Show();
}

void TfrmMain::aShowLogExecute(TObject*) {
    aShowLog->SetChecked(!aShowLog->Checked());
    if (frmLog == nullptr) frmLog = new TfrmLog(this, aShowLog);
    frmLog->SetVisible(aShowLog->Checked());
}

void TfrmMain::aAboutExecute(TObject*) {
    if (frmAbout && !frmAbout->Visible()) frmAbout->ShowModal();
}

void TfrmMain::aQuitExecute(TObject*) {
    Close();
}

void TfrmMain::aSettingsExecute(TObject*) {
    if (frmSettings == nullptr) frmSettings = Application->CreateForm<TfrmSettings>();
    frmSettings->ShowModal();
}

void TfrmMain::aReleaseNotesExecute(TObject*) {
    ShellExecuteA(nullptr, "open", "ReleaseNotes.html", "", FProgramFolder.c_str(), SW_SHOW);
}

void TfrmMain::aPluginsExecute(TObject*) {
    // Not modal: nothing waits for the list, so a quit while it is open ends
    // the program as usual.
    if (frmPlugins) frmPlugins->Show();
}

void TfrmMain::TrayIconClick(TObject*) {
    SetForegroundWindow(Application->Handle());
}

void TfrmMain::TrayIconDblClick(TObject*) {
    aHome->Execute();
}

void TfrmMain::EndSession(HWND Window, bool Ending) {
    if (!Ending && !(HandleAllocated() && Window == Handle())) return;
    Log("Got EM_ENDSESSION message, quitting");
    if (!Ending) return;
    // One limit from this message to the end of the process. Every wait for the
    // file (the quit's tries, the checkpoint, the store's last commit) ends by
    // the deadline and none begins after it; what is left of the limit keeps
    // the text that could not be saved.
    FSessionWaitDeadline = std::chrono::steady_clock::now() +
                           std::chrono::milliseconds(SessionEndMilliseconds) -
                           std::chrono::milliseconds(SessionEndReserveMilliseconds);
    if (FNotesStore) FNotesStore->Connection().SetWaitDeadline(*FSessionWaitDeadline);
    aQuit->Execute();
    // Windows may end the process as soon as this returns: the settings too
    // are written now, not after the message loop.
    SaveSettings();
}
