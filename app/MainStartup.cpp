// The main window's start-up (its creation) and shutdown (its close), each
// in the fixed order the program relies on.
#include "app/Main.h"

#include "app/About.h"
#include "app/DatabaseFile.h"
#include "app/Find.h"
#include "app/FirstLaunch.h"
#include "app/Log.h"
#include "app/Note.h"
#include "app/Plugins.h"
#include "app/Rename.h"
#include "app/Settings.h"
#include "app/StartupRules.h"
#include "app/TagManager.h"
#include "app/TopicViewer.h"
#include "app/UnsavedNotes.h"
#include "app/Utils.h"
#include "base/Exceptions.h"
#include "base/FileInfo.h"
#include "base/StrUtils.h"
#include "base/Streams.h"
#include "logfile/MvLogFile.h"
#include "plugins/MvPluginManager.h"
#include "richedit/MvRichEditStrings.h"
#include "tray/TrayIcon.h"
#include "gui/Timers.h"
#include "store/NotesStore.h"

#include <algorithm>
#include <chrono>
#include <ctime>

using namespace mv::app;

namespace {

// Both asked as the store and CopyFileA name the file (std::filesystem would read the name in
// another code page and miss a folder named with an accent).
bool FileExists(const std::string& Path) {
    return PathInfo(Path).Kind == TPathKind::File;
}

// Anything by that name, a folder included: start-up then explains what is wrong with it.
bool PathExists(const std::string& Path) {
    return PathInfo(Path).Kind != TPathKind::Nothing;
}

// A program that opens the file without sharing (a backup program, say) is
// waited for as long as a lock would be: false when it still holds the file.
// Anything else wrong with the file is told by the checks that follow.
bool WaitWhileHeldByAnotherProgram(const std::string& Path, int Milliseconds) {
    const DWORD Start = GetTickCount();
    for (;;) {
        HANDLE File =
            CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        if (File != INVALID_HANDLE_VALUE) {
            CloseHandle(File);
            return true;
        }
        const DWORD Error = GetLastError();
        if (Error != ERROR_SHARING_VIOLATION && Error != ERROR_LOCK_VIOLATION) return true;
        if (GetTickCount() - Start >= static_cast<DWORD>(Milliseconds)) return false;
        Sleep(100);
    }
}

// A start-up that cannot go on: the reason is shown to the user and logged.
class EStartupRefused : public Exception {
public:
    using Exception::Exception;
};

// The settings key that names the files of kept text the next start tells of ('|' between them:
// no file name holds one).
constexpr char KeptTextKey[] = "KeptUnsavedText";

std::string TempFolder() {
    char Path[MAX_PATH + 1] = {};
    const DWORD Length = GetTempPathA(sizeof Path, Path);
    return Length == 0 || Length > MAX_PATH ? std::string() : ExcludeTrailingPathDelimiter(Path);
}

// Where the log and kept text go when the folder before cannot be written: the user's own
// settings folder, then the temporary folder.
std::vector<std::string> FoldersAfter(const std::string& First) {
    std::vector<std::string> Folders;
    if (!First.empty()) Folders.push_back(First);
    for (const std::string& Folder : {UserSettingsFolder(), TempFolder()})
        if (!Folder.empty() && std::find(Folders.begin(), Folders.end(), Folder) == Folders.end())
            Folders.push_back(Folder);
    return Folders;
}

// Kept text goes beside the log, else where the log would go next.
std::vector<std::string> KeptTextFolders(const std::string& LogFile) {
    return FoldersAfter(LogFile.empty() ? std::string()
                                        : ExcludeTrailingPathDelimiter(ExtractFilePath(LogFile)));
}

std::vector<std::string> KeptTextFiles() {
    std::vector<std::string> Files;
    const std::string Value = Settings().Values(KeptTextKey);
    for (size_t Start = 0; Start < Value.size();) {
        const size_t End = std::min(Value.find('|', Start), Value.size());
        if (End > Start) Files.push_back(Value.substr(Start, End - Start));
        Start = End + 1;
    }
    return Files;
}

// Every character the window holds and the RTF it saves into the notes file; what cannot be read
// is left out, never the rest.
TUnsavedNote UnsavedNoteOf(TfrmNote& Window) {
    TUnsavedNote Note{Window.Caption(), {}, {}};
    TTopicViewer* Editor = Window.Editor();
    if (!Editor) return Note;
    const std::wstring Text = Editor->TextW();
    Note.Text.assign(Text.begin(), Text.end());
    try {
        TStringStream Rich("");
        Editor->Lines().SaveToStream(Rich);
        Note.RichText = Rich.DataString();
    } catch (const std::exception&) {
        // The plain text is kept all the same.
    }
    return Note;
}

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
    // Under Program Files an ordinary user cannot write beside the program.
    const TLogPlace LogPlace = ChooseLogPlace(FProgramFolder, FoldersAfter(""));
    FLogFile->SetFileName(LogPlace.Folder + "\\Miravelund.log");
    // The settings are written after this window is gone: a failure then goes to the same file.
    SetSettingsLogFile(FLogFile->FileName());
    FLogFile->SetAutoSave(true);
    HWND AppWindow = Application->Handle();
    ShowWindow(AppWindow, SW_HIDE);
    SetWindowLongA(AppWindow, GWL_EXSTYLE,
                   (GetWindowLongA(AppWindow, GWL_EXSTYLE) & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    if (!LogPlace.FirstLine.empty()) Log(LogPlace.FirstLine);
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
    // After Home is drawn (a timer's tick comes after painting), not before.
    tCheckFile->SetEnabled(true);
    TellKeptTextOnceHomeIsShown();
    return true;
}

void TfrmMain::TellKeptTextOnceHomeIsShown() {
    if (KeptTextFiles().empty()) return;
    auto* Tell = new TTimer(this);
    Tell->SetInterval(1);
    Tell->SetOnTimer([this, Tell](TObject*) {
        Tell->SetEnabled(false);
        std::vector<std::string> Files;
        for (const std::string& File : KeptTextFiles())
            if (FileExists(File)) Files.push_back(File);
        // Told once: the next start says nothing of them.
        Settings().SetValue(KeptTextKey, "");
        if (Files.empty()) return;
        std::string Names;
        for (const std::string& File : Files)
            Names += (Names.empty() ? "" : "\r") + File;
        const std::string Text =
            std::string(
                "When Miravelund last closed, some of your text could not be saved into the notes file. "
                "It is kept in ") +
            (Files.size() == 1 ? "this file" : "these files") + ":\r\r" + Names +
            (Files.size() == 1 ? "\r\rOpen it" : "\r\rOpen them") +
            " and copy the text back into your notes.";
        Log(Text);
        Application->MessageBox(Text, "Miravelund", MB_OK | MB_ICONINFORMATION);
    });
}

std::string TfrmMain::UnsavedTextFolder() {
    return FirstWritableFolder(KeptTextFolders(FLogFile->FileName()));
}

std::string TfrmMain::UnsavedTextFolders() {
    const std::vector<std::string> Folders = KeptTextFolders(FLogFile->FileName());
    std::string Where;
    for (size_t I = 0; I < Folders.size(); ++I)
        Where += (I == 0 ? "" : I + 1 == Folders.size() ? " or " : ", ") + Folders[I];
    return Where;
}

std::string TfrmMain::ChooseDatabasePath() {
    const TDatabaseChoice Choice =
        ChooseDatabase(FProgramFolder, PathExists(FProgramFolder + "\\Miravelund.mvdb"), DatabaseSetting());
    FDatabaseOrigin = Choice.InProgramFolder ? TDatabaseOrigin::ProgramFolder : TDatabaseOrigin::SettingsKey;
    if (!Choice.Path.empty()) return Choice.Path;
    // The first-launch dialog would make a new notes file over the one that file may name.
    if (!UnreadSettingsFile().empty())
        throw EStartupRefused(
            SettingsFileUnheldText(UnreadSettingsFile(), FProgramFolder, FileNameCodePage()));
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
    try {
        if (!WaitWhileHeldByAnotherProgram(Path, TSQLiteDatabase::BusyTimeoutMilliseconds))
            throw EDatabaseBusy(DatabaseInUseText(Path));
        const std::string Refusal = RefuseDatabaseFile(Path, Context);
        if (!Refusal.empty()) throw EStartupRefused(Refusal);
        FNotesStore = std::make_unique<TNotesStore>(Path);
    } catch (const EDatabaseBusy& E) {
        throw EStartupRefused(
            std::string(E.what()) +
            "\r\rClose that program, or wait until it has finished, then start Miravelund again.");
    } catch (const EDatabaseNotWritten& E) {
        throw EStartupRefused(std::string(E.what()) + " Then start Miravelund again.");
    } catch (const EDatabaseDamaged&) {
        throw;
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

std::string TfrmMain::SaveOpenNotes(bool Quitting) {
    std::exception_ptr FirstFailure;
    for (TfrmNote* Window : std::vector<TfrmNote*>(NoteWindowsInOpenOrder)) {
        try {
            Window->SaveShownTopic();
        } catch (...) {
            if (!FirstFailure) FirstFailure = std::current_exception();
        }
    }
    try {
        if (FNotesStore) FNotesStore->Commit();
    } catch (...) {
        if (!FirstFailure) FirstFailure = std::current_exception();
    }
    // A commit that failed takes back every note written since the last one
    // that succeeded, in every window: name them all.
    std::vector<std::string> Unsaved;
    for (TfrmNote* Window : UnsavedNoteWindows())
        Unsaved.push_back(Window->Caption());
    if (!FirstFailure && Unsaved.empty()) return {};
    // A damaged file refuses the checkpoint's own write (the properties) too.
    // With every note's text in the file there is nothing to tell: the damage
    // was told when it was found.
    if (Unsaved.empty() && FNotesStore && FNotesStore->Connection().Damaged()) {
        Log("Nothing saved: the notes file is damaged.");
        return {};
    }
    try {
        if (FirstFailure) std::rethrow_exception(FirstFailure);
        throw Exception("The notes file did not take their text.");
    } catch (const std::exception& E) {
        return NotesNotSavedText(Unsaved, E, Quitting);
    } catch (...) {
        return NotesNotSavedText(Unsaved, Exception("Unknown error"), Quitting);
    }
}

std::vector<TfrmNote*> TfrmMain::UnsavedNoteWindows() {
    std::vector<TfrmNote*> Unsaved;
    for (TfrmNote* Window : NoteWindowsInOpenOrder) {
        try {
            if (Window->Editor() && Window->Editor()->Unsaved()) Unsaved.push_back(Window);
        } catch (const std::exception&) {
            // A window that cannot even tell keeps its text as unsaved.
            Unsaved.push_back(Window);
        }
    }
    return Unsaved;
}

std::string TfrmMain::KeepUnsavedText() noexcept {
    if (FUnsavedTextWritten) return FUnsavedTextKept;
    try {
        std::vector<TUnsavedNote> Notes;
        for (TfrmNote* Window : UnsavedNoteWindows())
            Notes.push_back(UnsavedNoteOf(*Window));
        if (Notes.empty()) return {};
        // Room enough for the plain text: at most three bytes of UTF-8 a character, and the header.
        FUnsavedTextBytes = 1024;
        for (const TUnsavedNote& Note : Notes)
            FUnsavedTextBytes += 3 * static_cast<int64_t>(Note.Text.size()) + 64;
        const std::time_t Now = std::time(nullptr);
        std::tm Local{};
        localtime_s(&Local, &Now);
        try {
            const TKeptText Kept = WriteUnsavedNotes(KeptTextFolders(FLogFile->FileName()), Local, Notes);
            const auto WithRichText = std::count_if(
                Notes.begin(), Notes.end(), [](const TUnsavedNote& Note) { return !Note.RichText.empty(); });
            FUnsavedTextWritten = true;
            FUnsavedTextKept = "The text of every unsaved note is written in the file " + Kept.TextFile +
                               (Kept.RichFiles.empty() ? "."
                                : static_cast<std::ptrdiff_t>(Kept.RichFiles.size()) == WithRichText
                                    ? ", and each note with its formatting and pictures in a file beside it "
                                      "that a word processor opens."
                                    : ", and some notes with their formatting and pictures in files beside "
                                      "it that a word processor opens (the file names them).");
            const std::string Untold = Settings().Values(KeptTextKey);
            Settings().SetValue(KeptTextKey, Untold.empty() ? Kept.TextFile : Untold + "|" + Kept.TextFile);
        } catch (const std::exception& E) {
            FUnsavedTextKept = "Miravelund could not write the text of the unsaved notes into a file in " +
                               UnsavedTextFolders() + " either (" + E.what() + ").";
        }
        Log(FUnsavedTextKept);
    } catch (...) {
        // Nothing more can be done for the text than what was tried.
    }
    return FUnsavedTextKept;
}

std::string TfrmMain::NoRoomForTheTextText(bool SaveMayHelp) {
    // A disk without room for the text (or without a byte, when nothing was tried yet) is full for it.
    const int64_t Needed = std::max<int64_t>(FUnsavedTextBytes, 1);
    const std::vector<std::string> Folders = KeptTextFolders(FLogFile->FileName());
    const bool Full = std::any_of(Folders.begin(), Folders.end(), [&](const std::string& Folder) {
        const int64_t Free = FreeSpace(Folder);
        return Free >= 0 && Free < Needed;
    });
    const std::string Then = SaveMayHelp ? ", then save (Ctrl+S) or quit again." : ", then quit again.";
    return Full ? "The disk is full: free some space on it" + Then
                : "None of these folders lets Miravelund make a file: ask for permission to change one of "
                  "them" +
                      Then;
}

// Nothing closes before every open note is in the file, unless the user says
// so. A save that fails (another program holds the file, say) asks whether to
// try again, to quit with the text kept in a file of its own, or to cancel the
// quit; in a damaged file, where no try can succeed, whether to quit with the
// text kept. The program quits only once the text is in that file: where no
// folder takes it, it stays open with the text in its window. At the end of
// the session nobody answers (SaveBeforeTheSessionEnds).
void TfrmMain::FormCloseQuery(TObject*, bool& CanClose) {
    if (!FInitialized) return;
    FUnsavedTextKept.clear();
    FUnsavedTextWritten = false;
    FUnsavedTextBytes = 0;
    FKeptTextTold.clear();
    if (Application->SessionEnding()) {
        SaveBeforeTheSessionEnds();
        return;
    }
    const auto Cancel = [&] {
        Log("Quit cancelled: the notes could not be saved.");
        CanClose = false;
    };
    for (;;) {
        const std::string Failure = SaveOpenNotes(true);
        if (Failure.empty()) return;
        Log(Failure);
        if (FNotesStore && FNotesStore->Connection().Damaged()) {
            const std::string Kept = KeepUnsavedText();
            FKeptTextTold = Kept;
            const std::string Question = FUnsavedTextWritten
                                             ? "\r\rQuit anyway? " + Kept
                                             : "\r\r" + Kept + " " + NoRoomForTheTextText(false) +
                                                   "\r\rQuit anyway, and lose the text that is not saved?";
            if (Application->MessageBox(Failure + Question +
                                            " Choose No to keep Miravelund open and copy your text to a "
                                            "safe place.",
                                        "Miravelund",
                                        MB_YESNO | MB_ICONWARNING |
                                            (FUnsavedTextWritten ? MB_DEFBUTTON1 : MB_DEFBUTTON2)) == IDYES)
                return;
            return Cancel();
        }
        // Where the text would go is asked now, before the box names it.
        const std::string Folder = UnsavedTextFolder();
        if (Folder.empty()) {
            // Quitting could only lose the text.
            if (Application->MessageBox(Failure + "\r\rNo file can be made for your text either, in " +
                                            UnsavedTextFolders() + ". " + NoRoomForTheTextText() +
                                            "\r\rChoose Retry to try again, or Cancel to keep Miravelund "
                                            "open with your text.",
                                        "Miravelund", MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY)
                continue;
            return Cancel();
        }
        const int Answer = Application->MessageBox(
            Failure + "\r\rChoose Try Again to try again, Continue to quit and keep your text in a file in " +
                Folder + ", or Cancel to keep Miravelund open with your text.",
            "Miravelund", MB_CANCELTRYCONTINUE | MB_ICONWARNING);
        if (Answer == IDCONTINUE) {
            // The user gave up on the notes file: the text goes into a file of its own first, and
            // the program quits only once it is there.
            const std::string Kept = KeepUnsavedText();
            if (!FUnsavedTextWritten) {
                ReportText(Kept + " Your text stays in its window, and Miravelund stays open.\r\r" +
                           NoRoomForTheTextText());
                FKeptTextTold = Kept;
                return Cancel();
            }
            // The shutdown tells where it is, and nothing waits for the file again.
            Log("Quit with the notes that could not be saved kept in a file.");
            if (FNotesStore) FNotesStore->Connection().SetWaitDeadline(std::chrono::steady_clock::now());
            return;
        }
        if (Answer != IDTRYAGAIN) return Cancel();
    }
}

void TfrmMain::SaveBeforeTheSessionEnds() {
    const auto Deadline = FSessionWaitDeadline.value_or(std::chrono::steady_clock::now());
    for (;;) {
        const std::string Failure = SaveOpenNotes();
        if (Failure.empty()) return;
        Log(Failure);
        const auto Left = Deadline - std::chrono::steady_clock::now();
        // No try can write into a damaged file.
        if (FNotesStore && FNotesStore->Connection().Damaged()) return;
        if (Left <= std::chrono::milliseconds(0)) return;
        Sleep(static_cast<DWORD>(
            std::min<int64_t>(250, std::chrono::duration_cast<std::chrono::milliseconds>(Left).count())));
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
    tCheckFile->SetEnabled(false);
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
    try {
        if (FNotesStore) {
            // The quit has told what a damaged file could not take.
            if (FNotesStore->Connection().Damaged()) {
                Log("No checkpoint: the notes file is damaged.");
            } else {
                FNotesStore->Commit();
                Log("Commit finished");
            }
        }
    } catch (const std::exception& E) {
        // When the notes' text went into a file of its own the user has been
        // told all that matters; the log keeps the rest.
        if (FUnsavedTextKept.empty())
            ReportFailure("The checkpoint failed; changes since the last save may be lost", E);
        else
            Log("The checkpoint failed: " + std::string(E.what()));
    }
    FServices.Store = nullptr;
    FNotesStore.reset(); // never throws; a failed last commit goes to the log
    Step("Logging the shutdown", [&] { Log("Shutdown plugins"); });
    delete FPluginManager; // unloads every plug-in; never throws
    FPluginManager = nullptr;
    Step("Logging the shutdown", [&] { Log("Session End"); });
}

void TfrmMain::CloseNoteWindows() {
    // The quit has just saved every window (FormCloseQuery): what is still not
    // in the file is kept in a file of its own and told once, and the windows
    // close without saving again, so that no plug-in handler runs twice.
    const std::vector<TfrmNote*> Unsaved = UnsavedNoteWindows();
    if (!Unsaved.empty()) {
        const std::string Kept = KeepUnsavedText();
        if (Kept != FKeptTextTold) {
            std::string Names;
            for (TfrmNote* Window : Unsaved)
                Names += (Names.empty() ? "\"" : ", \"") + Window->Caption() + "\"";
            ReportText("Miravelund closed without saving " + Names + " into the notes file.\r\r" + Kept);
        }
    }
    while (!NoteWindowsInOpenOrder.empty()) {
        TfrmNote* Window = NoteWindowsInOpenOrder.front();
        try {
            Log("  Close :" + Window->Caption());
            Window->CloseWithoutSaving();
        } catch (const std::exception& E) {
            ReportFailure("Closing the note window " + Window->Caption(), E);
        }
        // Freeing it unregisters it.
        if (!NoteWindowsInOpenOrder.empty() && NoteWindowsInOpenOrder.front() == Window) delete Window;
    }
}

void TfrmMain::CreateKeptForms() {
    frmSettings = Application->CreateForm<TfrmSettings>();
    frmRename = Application->CreateForm<TfrmRename>();
    frmFind = new TfrmFind(Application, TopicServices());
    frmFind->DoCreate();
    frmPlugins = new TfrmPlugins(Application, PluginManager());
    frmPlugins->DoCreate();
}
