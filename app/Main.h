// TfrmMain: the hidden main window. It owns the notes store, the log, the
// plug-in host and the tray icon; its creation does the program's start-up and
// its close the shutdown. While the program runs it opens topics in note
// windows, carries the tray menu's actions, forwards the store's topic events
// to the side panels, turns plug-in commands into dot-line handlers, and
// writes the log.
#pragma once

#include "app/DatabaseFile.h"
#include "app/TagEvents.h"
#include "app/TopicDocument.h"
#include "gui/ActnList.h"
#include "gui/Forms.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TfrmNote;
class TTimer;
class TMvLogFile;
class TMvPluginManager;
class TMvPlugIn;
struct TMvPluginBitmap;
class TTrayIcon;
class TPopupMenu;
class TImageList;
class TNotesStore;
class TNamespaceVisualizer;

class TfrmMain : public TForm {
public:
    // ProgramFolder: the folder of the program file, without a trailing delimiter.
    TfrmMain(TComponent* AOwner, std::string ProgramFolder);
    ~TfrmMain() override;

    // Opens a topic ("namespace:title" in Title, or Title in Namespace; the
    // namespace "default" in any case is the default one) in its namespace's
    // note window, creating the window when there is none, and shows it.
    TfrmNote* ShowTopic(const std::string& Title, const std::string& Namespace);
    // Adds a line to the log file and the log window.
    void Log(const std::string& Msg);
    // The checkpoint after a user-level write: commits the store. A failure is
    // logged and raised to the caller (the application shows it).
    void CommitStore();
    // The periodic checkpoint: saves every open note window, then commits.
    void tCommitTimer(TObject* Sender);
    // Once Home is shown: the first tick starts looking through the whole notes
    // file for damage beside the program, the later ones wait for the outcome;
    // damage is told, and from then on nothing more is written into the file.
    void tCheckFileTimer(TObject* Sender);
    // The store's topic events: the side panels add, drop or move the topic.
    void OnNewTopic(const std::string& Title, const std::string& Namespace);
    void OnDeleteTopic(const std::string& Title, const std::string& Namespace);
    void OnRenameTopic(const std::string& OldTitle, const std::string& OldNamespace, const std::string& Title,
                       const std::string& Namespace);

    // The folder where text a quit cannot save would be kept now: beside the log when a file can
    // be made in that folder, else the user's settings folder, else the temporary folder; "" when
    // no file can be made in any of them (one full disk under all three, say).
    std::string UnsavedTextFolder();
    // All three, for the user to read ("A, B or C").
    std::string UnsavedTextFolders();

    // The windows the program keeps beside this one for its whole run (settings, rename, finder,
    // plug-in list), made once start-up has opened the store.
    void CreateKeptForms();

    TNotesStore* NotesStore() const { return FNotesStore.get(); }
    bool Initialized() const { return FInitialized; }
    const std::string& ProgramFolder() const { return FProgramFolder; }
    const mv::app::TTopicServices& TopicServices() const { return FServices; }
    mv::app::TTagEventTable& TagEvents() { return FTagEvents; }
    // The note windows this window opened, in order; a window leaves as it closes.
    std::vector<TfrmNote*>& OpenNoteWindows();
    TMvPluginManager* PluginManager() const { return FPluginManager; }
    TTrayIcon* TrayIcon() const { return FTrayIcon; }

    // Actions of the tray menu.
    TActionList* alActions = nullptr;
    TAction* aHome = nullptr;
    TAction* aFind = nullptr;
    TAction* aTagManager = nullptr;
    TAction* aHide = nullptr;
    TAction* aUnhide = nullptr;
    TAction* aShowLog = nullptr;
    TAction* aAbout = nullptr;
    TAction* aQuit = nullptr;
    TAction* aSettings = nullptr;
    TAction* aReleaseNotes = nullptr;
    TAction* aPlugins = nullptr;

    // Hides the window 100 ms after it shows; the six-minute checkpoint; the
    // damage check's start and outcome.
    TTimer* Timer1 = nullptr;
    TTimer* tCommit = nullptr;
    TTimer* tCheckFile = nullptr;

    // The end of the Windows session, heard by Window (whichever of our
    // windows heard it first): logs it and, when the session really ends, runs
    // the whole shutdown and writes the settings before that window answers.
    // A session end that was called off is logged when this window heard it.
    void EndSession(HWND Window, bool Ending);
    // At the end of the session, how long the whole shutdown may take, from the
    // message to the end of the process (Windows ends a program that takes much
    // longer). Saving, lock waits, retries, the checkpoint and the last commit
    // end SessionEndReserveMilliseconds before it, which leaves the rest for
    // keeping unsaved text in a file of its own, unloading the plug-ins and
    // writing the settings.
    DWORD SessionEndMilliseconds = 4000;
    DWORD SessionEndReserveMilliseconds = 1000;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void BuildForm();
    void BuildActions();
    // Start-up and shutdown (MainStartup.cpp).
    void FormCreate(TObject* Sender);
    // False when the user cancelled the choice of a database.
    bool StartUp();
    std::string ChooseDatabasePath();
    void OpenStore(const std::string& Path);
    void LoadPlugins();
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    // The close at the end of the session: nobody answers, so it tries again
    // until FSessionWaitDeadline and then lets the shutdown keep the text.
    void SaveBeforeTheSessionEnds();
    // Saves every open note window and commits: "" when all is in the file,
    // else the message naming every note that is not, with the first failure.
    // Quitting: the message leaves what happens next to the quit's question.
    std::string SaveOpenNotes(bool Quitting = false);
    // The open note windows whose text is not in the file.
    std::vector<TfrmNote*> UnsavedNoteWindows();
    // Writes the text of every unsaved note into files of their own (see
    // UnsavedTextFolder), remembered for the next start to tell: the sentence
    // that tells the user where it is (or that it could not be written), ""
    // when every note is saved. Once per quit.
    // Once written, the same file serves the rest of the quit; a try that wrote nothing is tried
    // again the next time.
    std::string KeepUnsavedText() noexcept;
    // What to do when the text cannot be kept in a file anywhere: free space on a disk too full
    // for it, else get permission for one of the folders; then save (unless the notes file is
    // damaged, where no save can help) or quit again.
    std::string NoRoomForTheTextText(bool SaveMayHelp = true);
    // Text an earlier run kept in files of their own is told once Home is
    // drawn, and then forgotten.
    void TellKeptTextOnceHomeIsShown();
    void FormClose(TObject* Sender, TCloseAction& Action);
    void ShutDown();
    void CloseNoteWindows();
    void FormActivate(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    // Services (Main.cpp).
    void UpdatePanels(const std::string& Name, const std::function<void(TNamespaceVisualizer&)>& Change);
    void PluginManagerNewCommand(TObject* Sender, const std::string& ACaption, const std::string& AHint,
                                 const std::string& AData, uint16_t AShortCut, const TMvPluginBitmap& ABitmap,
                                 const TNotifyEvent& AEvent);
    void aHomeExecute(TObject* Sender);
    void aFindExecute(TObject* Sender);
    void aTagManagerExecute(TObject* Sender);
    void aHideExecute(TObject* Sender);
    void aUnhideExecute(TObject* Sender);
    void aShowLogExecute(TObject* Sender);
    void aAboutExecute(TObject* Sender);
    void aQuitExecute(TObject* Sender);
    void aSettingsExecute(TObject* Sender);
    void aReleaseNotesExecute(TObject* Sender);
    void aPluginsExecute(TObject* Sender);
    void TrayIconClick(TObject* Sender);
    void TrayIconDblClick(TObject* Sender);
    // Shows a failure to the user (and logs it) without raising.
    void ReportFailure(const std::string& What, const std::exception& Error) noexcept;
    // Shows a whole message to the user (and logs it) without raising.
    void ReportText(const std::string& Text) noexcept;

    std::string FProgramFolder;
    std::unique_ptr<TNotesStore> FNotesStore;
    bool FInitialized = false;
    mv::app::TTagEventTable FTagEvents;
    mv::app::TTopicServices FServices;
    // The plug-in whose commands are being announced (their handlers belong to it).
    const TMvPlugIn* FAnnouncingPlugin = nullptr;
    // The path the first-launch dialog gave, stored in the settings once the store opened it.
    std::string FChosenDatabase;
    // What KeepUnsavedText told (that it wrote this quit's file, or that it could not), whether the
    // file is written, and what a box of this quit has shown the user of it already.
    std::string FUnsavedTextKept;
    bool FUnsavedTextWritten = false;
    int64_t FUnsavedTextBytes = 0; // about the size of the plain text it wrote or tried to write
    std::string FKeptTextTold;
    // Set when the Windows session ends: the time every wait of the shutdown ends by.
    std::optional<std::chrono::steady_clock::time_point> FSessionWaitDeadline;
    // Where the database path came from (for a refusal's advice).
    mv::app::TDatabaseOrigin FDatabaseOrigin = mv::app::TDatabaseOrigin::SettingsKey;

    TTrayIcon* FTrayIcon = nullptr;
    TPopupMenu* popMenu = nullptr;
    TImageList* ilImages = nullptr;
    TMvLogFile* FLogFile = nullptr;
    TMvPluginManager* FPluginManager = nullptr;
};

extern TfrmMain* frmMain;
