// The main window's start-up (its creation) and shutdown (its close), each
// in the fixed order the program relies on.
#include "app/Main.h"

#include "app/About.h"
#include "app/DatabaseFile.h"
#include "app/FirstLaunch.h"
#include "app/Log.h"
#include "app/Note.h"
#include "app/Plugins.h"
#include "app/Settings.h"
#include "app/StartupRules.h"
#include "app/TagManager.h"
#include "app/Utils.h"
#include "base/Exceptions.h"
#include "logfile/MvLogFile.h"
#include "plugins/MvPluginManager.h"
#include "tray/TrayIcon.h"
#include "gui/Timers.h"
#include "store/NotesStore.h"

#include <filesystem>

using namespace mv::app;

namespace {

bool FileExists(const std::string& Path) {
    std::error_code Error;
    return std::filesystem::is_regular_file(std::filesystem::path(Path), Error);
}

// Anything by that name, a folder included: start-up then explains what is wrong with it.
bool PathExists(const std::string& Path) {
    std::error_code Error;
    return std::filesystem::exists(std::filesystem::path(Path), Error);
}

// A start-up that cannot go on: the reason is shown to the user and logged.
class EStartupRefused : public Exception {
public:
    using Exception::Exception;
};

} // namespace

void TfrmMain::FormCreate(TObject*) {
    FInitialized = false;
    try {
        FInitialized = StartUp();
    } catch (...) {
        // Whatever stopped the start-up is shown and logged, and the program ends:
        // the tray icon goes with this window and the single-instance mutex with
        // the process.
        std::string Reason = "Unknown error";
        try {
            throw;
        } catch (const std::exception& E) {
            Reason = E.what();
        } catch (...) {
        }
        try {
            Log("Start-up failed: " + Reason);
        } catch (...) {
        }
        if (FTrayIcon) FTrayIcon->SetEnabled(false);
        Application->MessageBox("Miravelund cannot start.\r\r" + Reason, "Miravelund", MB_OK | MB_ICONERROR);
        Application->Terminate();
    }
}

bool TfrmMain::StartUp() {
    FLogFile->SetFileName(FProgramFolder + "\\Miravelund.log");
    FLogFile->SetAutoSave(true);
    HWND AppWindow = Application->Handle();
    ShowWindow(AppWindow, SW_HIDE);
    SetWindowLongA(AppWindow, GWL_EXSTYLE,
                   (GetWindowLongA(AppWindow, GWL_EXSTYLE) & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    Log("========= Miravelund starting up =========");
    Log("Loading plugins");
    FPluginManager->PluginFolder = FProgramFolder + "\\Plugins";
    FPluginManager->ParentApplication = Application->Handle();
    LoadPlugins();
    for (int I = 0; I < FPluginManager->PluginCount(); ++I)
        Log("Plugin: " + FPluginManager->PluginAt(I)->Name());
    SetWidth(0);
    SetHeight(0);
    if (frmAbout == nullptr) frmAbout = new TfrmAbout(this, FServices);

    const std::string Path = ChooseDatabasePath();
    if (Path.empty()) return false; // the user cancelled the first-launch dialog; the program is ending
    OpenStore(Path);

    if (frmTagManager == nullptr) frmTagManager = new TfrmTagManager(this, FServices);
    if (Settings().Values("dict").empty()) Settings().SetValue("dict", "english");
    if (FNotesStore->Properties().Values("list.visible").empty())
        FNotesStore->Properties().SetValue("list.visible", "false");
    FTrayIcon->SetEnabled(true);
    ShowTopic("Home", "");
    tCommit->SetEnabled(true);
    return true;
}

std::string TfrmMain::ChooseDatabasePath() {
    const TDatabaseChoice Choice =
        ChooseDatabase(FProgramFolder, PathExists(FProgramFolder + "\\Miravelund.mvdb"), DatabaseSetting());
    FDatabaseOrigin = Choice.InProgramFolder ? TDatabaseOrigin::ProgramFolder : TDatabaseOrigin::SettingsKey;
    if (!Choice.Path.empty()) return Choice.Path;
    FDatabaseOrigin = TDatabaseOrigin::FirstLaunch;
    Log("Database value needs to be set");
    TfrmFirstLaunch FirstLaunch(this);
    if (FirstLaunch.ShowModal() != mrOk || FirstLaunch.DatabaseFileName.empty()) {
        Log("    User canceled select dialog");
        Application->Terminate();
        return {};
    }
    Log("    Setting database to " + FirstLaunch.DatabaseFileName);
    FChosenDatabase = FirstLaunch.DatabaseFileName;
    return FirstLaunch.DatabaseFileName;
}

void TfrmMain::OpenStore(const std::string& Path) {
    const std::string Root = DriveRootOf(Path);
    Log(Root.empty() ? std::string() : GetVolumeSerial(Root));
    Log("Attempting to open NotesStore at " + Path);
    const std::string Template = FProgramFolder + "\\Default.mvdb";
    const TDatabaseFileState State = DatabaseFileState(Path);
    if (State == TDatabaseFileState::Missing && FileExists(Template)) {
        Log("Database does not exist, copying Default.mvdb to the new database file.");
        CopyFileA(Template.c_str(), Path.c_str(), TRUE);
    } else if (State == TDatabaseFileState::Empty && FileExists(Template)) {
        // An empty file holds no notes: the user gets Home with its welcome
        // text, as for a missing file, instead of a blank notebook.
        Log("Database file is empty (0 bytes), copying Default.mvdb over it.");
        CopyFileA(Template.c_str(), Path.c_str(), FALSE);
    }
    const TDatabaseContext Context{FDatabaseOrigin, FProgramFolder, SettingsFileName()};
    const std::string Refusal = RefuseDatabaseFile(Path, Context);
    if (!Refusal.empty()) throw EStartupRefused(Refusal);

    try {
        FNotesStore = std::make_unique<TNotesStore>(Path);
    } catch (const ESQLiteException& E) {
        // The store's own refusal names the file; add how to choose another.
        throw EStartupRefused(std::string(E.what()) + "\r\r" + HowToChooseAnotherDatabase(Context));
    }
    FNotesStore->OnNewTopic = [this](const std::string& T, const std::string& N) { OnNewTopic(T, N); };
    FNotesStore->OnDeleteTopic = [this](const std::string& T, const std::string& N) { OnDeleteTopic(T, N); };
    FNotesStore->OnRenameTopic = [this](const std::string& OldT, const std::string& OldN,
                                        const std::string& T,
                                        const std::string& N) { OnRenameTopic(OldT, OldN, T, N); };
    FNotesStore->OnNewNamespace = [](const std::string&) {};
    FNotesStore->OnNewTag = [](const std::string&) {};
    FNotesStore->OnShowMessage = [](const std::string& Text) {
        Application->MessageBox(Text, "Miravelund", MB_OK | MB_ICONWARNING);
    };
    FNotesStore->OnLog = [this](const std::string& Text) { Log(Text); };
    FServices.Store = FNotesStore.get();
    // The chosen path is remembered only once the store has opened it.
    if (!FChosenDatabase.empty()) Settings().SetValue("database", FChosenDatabase);
}

void TfrmMain::LoadPlugins() {
    try {
        // A plug-in that ended the last run from inside one of its calls stays off.
        SwitchOffPluginThatEndedMiravelund(*FPluginManager, [this](const std::string& Text) { Log(Text); });
        FPluginManager->LoadPluginFolder();
    } catch (const std::exception& E) {
        // Files that fail are skipped by the host; anything else is logged and
        // the start goes on without the rest of the plug-ins.
        Log("Loading plugins failed: " + std::string(E.what()));
    }
}

void TfrmMain::FormActivate(TObject*) {
    ShowWindow(Application->Handle(), SW_HIDE);
}

void TfrmMain::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    Hide();
}

std::string TfrmMain::SaveOpenNotes() {
    std::string Failure;
    for (TfrmNote* Window : std::vector<TfrmNote*>(NoteWindowsInOpenOrder)) {
        try {
            Window->SaveShownTopic();
        } catch (const std::exception& E) {
            if (Failure.empty()) Failure = NoteNotSavedText(Window->Caption(), E);
        }
    }
    try {
        if (FNotesStore) FNotesStore->Commit();
    } catch (const std::exception& E) {
        if (Failure.empty())
            Failure = NoteNotSavedText(ActiveNoteWindow ? ActiveNoteWindow->Caption() : "", E);
    }
    return Failure;
}

// Nothing closes before every open note is in the file. A save that fails
// (another program holds the file, say) asks whether to try again or to cancel
// the quit; in a damaged file, whether to quit with the text in the log. At the
// end of the session nobody answers: it tries again until the time it may take
// is up, and the shutdown then logs what it could not save.
void TfrmMain::FormCloseQuery(TObject*, bool& CanClose) {
    if (!FInitialized) return;
    const DWORD Start = GetTickCount();
    for (;;) {
        const std::string Failure = SaveOpenNotes();
        if (Failure.empty()) return;
        Log(Failure);
        // No try can write into a damaged file: the way out is to quit with the text in the log.
        const bool Damaged = FNotesStore && FNotesStore->Connection().Damaged();
        if (Application->SessionEnding()) {
            if (Damaged || GetTickCount() - Start >= SessionSaveRetryMilliseconds) return;
            Sleep(250);
            continue;
        }
        if (Damaged) {
            if (Application->MessageBox(
                    Failure +
                        "\r\rQuit anyway? The text of every open note is then written in "
                        "the log file " +
                        FProgramFolder +
                        "\\Miravelund.log. Choose No to keep Miravelund open and copy your "
                        "text to a safe place.",
                    "Miravelund", MB_YESNO | MB_ICONWARNING) == IDYES)
                return;
            Log("Quit cancelled: the notes could not be saved.");
            CanClose = false;
            return;
        }
        const int Answer = Application->MessageBox(
            Failure + "\r\rChoose Retry to try again, or Cancel to keep Miravelund open with your text.",
            "Miravelund", MB_RETRYCANCEL | MB_ICONWARNING);
        if (Answer != IDRETRY) {
            Log("Quit cancelled: the notes could not be saved.");
            CanClose = false;
            return;
        }
    }
}

void TfrmMain::FormClose(TObject*, TCloseAction&) {
    if (!FInitialized) return;
    FInitialized = false;
    ShutDown();
}

// Each step runs whatever happened in the one before; a failure is shown and logged.
void TfrmMain::ShutDown() {
    auto Step = [this](const char* What, auto&& Action) {
        try {
            Action();
        } catch (const std::exception& E) {
            ReportFailure(What, E);
        }
    };
    tCommit->SetEnabled(false);
    Step("Logging the shutdown", [&] {
        Log("Miravelund shutting down");
        Log("Close open windows");
    });
    Step("Remembering the active window", [&] {
        if (FNotesStore)
            FNotesStore->Properties().SetValue("active.window",
                                               ActiveNoteWindow ? ActiveNoteWindow->Caption() : "");
    });
    CloseNoteWindows();
    Step("The checkpoint failed; changes since the last save may be lost", [&] {
        if (FNotesStore) FNotesStore->Commit();
        Log("Commit finished");
    });
    FServices.Store = nullptr;
    FNotesStore.reset(); // never throws; a failed last commit goes to the log
    Step("Logging the shutdown", [&] { Log("Shutdown plugins"); });
    delete FPluginManager; // unloads every plug-in; never throws
    FPluginManager = nullptr;
    Step("Logging the shutdown", [&] { Log("Session End"); });
}

void TfrmMain::CloseNoteWindows() {
    // Each window saves its topic and leaves the list as it closes. A window
    // that fails to save is reported and then taken out all the same, so the
    // loop always ends.
    while (!NoteWindowsInOpenOrder.empty()) {
        TfrmNote* Window = NoteWindowsInOpenOrder.front();
        try {
            Log("  Close :" + Window->Caption());
            Window->Close();
        } catch (const std::exception& E) {
            // The window goes all the same: its text goes to the log, and the user is told where.
            const auto* NotSaved = dynamic_cast<const ENoteNotSaved*>(&E);
            LogUnsavedText(*Window);
            ReportText("The note \"" + Window->Caption() + "\" could not be saved as Miravelund closed.\r\r" +
                       (NotSaved ? NotSaved->Reason() : std::string(E.what())) +
                       "\r\rIts text is written in the log file " + FProgramFolder + "\\Miravelund.log.");
        }
        // Freeing it unregisters it.
        if (!NoteWindowsInOpenOrder.empty() && NoteWindowsInOpenOrder.front() == Window) delete Window;
    }
}
