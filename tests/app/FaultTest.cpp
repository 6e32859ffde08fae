// Failures on the main road: what the program does when a step goes wrong.
#include "app/TopicViewer.h"

#include "app/FirstLaunch.h"
#include "app/Note.h"
#include "app/Settings.h"
#include "plugins/MvPlugin.h"
#include "gui/Dialogs.h"
#include "gui/StdCtrls.h"
#include "plugins/MvPluginManager.h"
#include "store/NotesStore.h"
#include "store/SQLiteAccess.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ScreenShots.h"
#include "tests/store/FaultyDisk.h"
#include "app/DatabaseFile.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <thread>

using namespace mv::app::test;

namespace {

TfrmNote* HomeWindow() {
    return NoteWindowsByNamespace.Find("");
}

void SetText(TfrmNote& Window, const std::string& Text) {
    Window.Editor()->SetText(Text);
}

bool Contains(const std::vector<std::string>& Messages, const std::string& Part) {
    for (const std::string& M : Messages)
        if (M.find(Part) != std::string::npos) return true;
    return false;
}

} // namespace

TEST(Faults, FailedNavigationLeavesTheEditorUsableAndTheTopicShown) {
    TAppFixture App("navfail");
    TfrmMain& Main = App.Start();
    TfrmNote& Home = *HomeWindow();
    SetText(Home, "Home\rchanged\r");
    // Another program holds the database locked: the save of the navigation fails.
    Main.CommitStore();
    TSQLiteDatabase Other(App.Database());
    Other.ExecSQL("BEGIN EXCLUSIVE;");
    EXPECT_THROW(Main.ShowTopic("Elsewhere", ""), std::exception);
    Other.ExecSQL("ROLLBACK;");
    EXPECT_TRUE(Home.Editor()->Enabled());
    EXPECT_TRUE(IsWindowVisible(Home.Editor()->Handle())) << "the editor is drawn again";
    EXPECT_EQ(Home.Caption(), ":Home");
    EXPECT_EQ(Home.Editor()->TopicFile(), "Home");
    EXPECT_EQ(Home.History().Entries().size(), 1u);
}

TEST(Faults, SaveIgnoresAWindowWithoutAValidTopic) {
    TAppFixture App("invalid");
    TfrmMain& Main = App.Start();
    auto* Fresh = new TfrmNote(&Main, Main.TopicServices());
    Fresh->aSave->Execute();
    TTopicRect Rect;
    EXPECT_EQ(Main.NotesStore()->GetTopic(0, Rect), nullptr);
    EXPECT_EQ(Main.NotesStore()->GetTopic(-1, Rect), nullptr);
    delete Fresh;
}

TEST(Faults, ShutdownGoesOnPastAWindowThatCannotSave) {
    TAppFixture App("shutdown");
    TfrmMain& Main = App.Start();
    Main.TagEvents().RegisterCommand(
        "boom", "savetag", [](TObject*) { throw std::runtime_error("disk on fire"); }, nullptr);
    Main.ShowTopic("work:todo", "");
    SetText(*HomeWindow(), "Home\r.boom\r");
    NoteWindowsByNamespace.Find("work")->Editor()->SetText("kept");
    App.Quit();
    EXPECT_TRUE(Contains(App.Messages, "disk on fire"));
    const std::string Log = App.ReadFile("Miravelund.log");
    EXPECT_NE(Log.find("Commit finished"), std::string::npos) << Log;
    EXPECT_NE(Log.find("Session End"), std::string::npos) << Log;
    EXPECT_EQ(NoteWindowsByNamespace.Count(), 0u);
    EXPECT_EQ(CommittedContent(App.Database(), "work", "todo").find("kept") != std::string::npos, true);
}

TEST(Faults, UnloadedPluginsHandlersNeverRunAndTheirWordsNeverBecomeTags) {
    TAppFixture App("plugin");
    TfrmMain& Main = App.Start();
    int Saves = 0;
    auto* Plugin = new TMvPlugIn(nullptr);
    Plugin->SetName("clock");
    TMvPluginCommand& Command = Plugin->Commands().Add();
    Command.Caption = "Clock";
    Command.Data = "SaveTag";
    Command.OnExecute = [&](TObject*) { ++Saves; };
    ASSERT_TRUE(Main.PluginManager()->AddCustomPlugin(Plugin));
    ASSERT_NE(Main.TagEvents().Find("clock"), nullptr);

    TfrmNote& Home = *HomeWindow();
    SetText(Home, "Home\r.clock 12:00\r");
    Home.aSave->Execute();
    EXPECT_EQ(Saves, 1);

    Main.PluginManager()->UnloadPlugin(0);
    Home.aSave->Execute();
    EXPECT_EQ(Saves, 1);
    bool Created = false;
    EXPECT_LT(Main.NotesStore()->FindTag("clock", Created), 0);
    EXPECT_LT(Main.NotesStore()->FindTag("12:00", Created), 0);
}

TEST(Faults, CheckpointTimerSavesOpenWindowsAndCommits) {
    TAppFixture App("checkpoint");
    TfrmMain& Main = App.Start();
    TfrmNote& Home = *HomeWindow();
    SetText(Home, "Home\rwritten before the timer\r");
    Main.tCommitTimer(nullptr);
    EXPECT_NE(CommittedContent(App.Database(), "", "Home").find("written before the timer"),
              std::string::npos);
    const std::string Log = App.ReadFile("Miravelund.log");
    EXPECT_NE(Log.find("Checkpoint finished."), std::string::npos);
}

TEST(Faults, EmptyDatabaseKeyAsksAndStoresTheChoiceOnlyOnceOpened) {
    TAppFixture App("firstlaunch", false);
    Settings().SetValue("database", "");
    TOpenDialog* Asked = nullptr;
    std::string SettingDuringChoice = "unset";
    App.Responder.OpenDialog = [&](TOpenDialog& Dialog) {
        Asked = &Dialog;
        EXPECT_EQ(Dialog.Filter(), "Miravelund Database (*.mvdb, *.twdb)|*.mvdb;*.twdb");
        EXPECT_EQ(Dialog.Title(), "Select Miravelund Database");
        EXPECT_EQ(Dialog.FileName(), "Miravelund.mvdb");
        EXPECT_EQ(Dialog.DefaultExt(), "mvdb");
        Dialog.SetFileName(App.Folder() + "\\chosen.mvdb");
        return true;
    };
    // The user presses Select... in the first-launch dialog.
    App.OnShowModal = [&](TForm& Form) {
        if (dynamic_cast<TfrmFirstLaunch*>(&Form) == nullptr) return int(mrCancel);
        for (int I = 0; I < Form.ComponentCount(); ++I)
            if (auto* Button = dynamic_cast<TButton*>(Form.Components(I));
                Button && Button->Caption() == "Select...")
                Button->Click();
        SettingDuringChoice = Settings().Values("database");
        return Form.ModalResult();
    };
    TfrmMain& Main = App.Start();
    ASSERT_NE(Asked, nullptr);
    EXPECT_EQ(SettingDuringChoice, "");
    ASSERT_TRUE(Main.Initialized());
    EXPECT_EQ(Settings().Values("database"), App.Folder() + "\\chosen.mvdb");
    EXPECT_NE(NoteWindowsByNamespace.Find(""), nullptr);
    // The template was copied to the chosen file.
    EXPECT_NE(App.ReadFile("chosen.mvdb").size(), 0u);
}

TEST(Faults, RefusedDatabaseIsShownLoggedAndNotRemembered) {
    TAppFixture App("refused", false);
    const std::string Folder = App.Folder() + "\\a-folder";
    CreateDirectoryA(Folder.c_str(), nullptr);
    App.OnShowModal = [&](TForm& Form) {
        auto* First = dynamic_cast<TfrmFirstLaunch*>(&Form);
        if (!First) return int(mrCancel);
        First->DatabaseFileName = Folder;
        return int(mrOk);
    };
    TfrmMain& Main = App.Start();
    EXPECT_FALSE(Main.Initialized());
    EXPECT_TRUE(Contains(App.Messages, "is a folder"));
    EXPECT_EQ(Settings().Values("database"), "");
    EXPECT_EQ(NoteWindowsByNamespace.Count(), 0u);
    EXPECT_NE(App.ReadFile("Miravelund.log").find("Start-up failed"), std::string::npos);
    EXPECT_TRUE(GetFileAttributesA(Folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

// A notes file held by a backup program without sharing, or made read-only: the
// start waits for the first as for a lock, and tells each in its own words,
// with advice that fits (choosing another database does not).
TEST(Faults, AtTheStartAHeldOrReadOnlyFileIsToldInItsOwnWords) {
    auto Hold = [](const std::string& Path) {
        return CreateFileA(Path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    {
        TAppFixture App("heldbriefly");
        ASSERT_TRUE(CopyFileA((App.Folder() + "\\Default.mvdb").c_str(), App.Database().c_str(), FALSE));
        HANDLE Held = Hold(App.Database());
        ASSERT_NE(Held, INVALID_HANDLE_VALUE);
        std::thread LetGo([&] {
            Sleep(500);
            CloseHandle(Held);
        });
        TfrmMain& Main = App.Start();
        LetGo.join();
        EXPECT_TRUE(Main.Initialized()) << (App.Messages.empty() ? "" : App.Messages.back());
    }
    {
        TAppFixture App("held");
        ASSERT_TRUE(CopyFileA((App.Folder() + "\\Default.mvdb").c_str(), App.Database().c_str(), FALSE));
        HANDLE Held = Hold(App.Database());
        ASSERT_NE(Held, INVALID_HANDLE_VALUE);
        TfrmMain& Main = App.Start();
        CloseHandle(Held);
        EXPECT_FALSE(Main.Initialized());
        ASSERT_FALSE(App.Messages.empty());
        const std::string& Text = App.Messages.back();
        EXPECT_NE(Text.find(App.Database() + "\" is in use by another program"), std::string::npos) << Text;
        EXPECT_NE(Text.find("Close that program"), std::string::npos) << Text;
        EXPECT_EQ(Text.find("move or rename"), std::string::npos) << Text;
        EXPECT_EQ(Text.find("Permission denied"), std::string::npos) << Text;
    }
    {
        // Wine lets its root account write a read-only file: the file system layer holds to it here.
        TFaultyDisk Disk;
        Disk.OpenDatabasesReadOnly();
        TAppFixture App("readonly");
        ASSERT_TRUE(CopyFileA((App.Folder() + "\\Default.mvdb").c_str(), App.Database().c_str(), FALSE));
        TfrmMain& Main = App.Start();
        EXPECT_FALSE(Main.Initialized());
        ASSERT_FALSE(App.Messages.empty());
        const std::string& Text = App.Messages.back();
        EXPECT_NE(Text.find(App.Database() + "\" is read-only"), std::string::npos) << Text;
        EXPECT_NE(Text.find("Clear the Read-only box"), std::string::npos) << Text;
        EXPECT_EQ(Text.find("move or rename"), std::string::npos) << Text;
        EXPECT_EQ(Text.find("readonly database"), std::string::npos) << Text;
    }
}

TEST(Faults, CancelledFirstLaunchEndsTheProgram) {
    TAppFixture App("cancel", false);
    TfrmMain& Main = App.Start();
    EXPECT_FALSE(Main.Initialized());
    EXPECT_EQ(NoteWindowsByNamespace.Count(), 0u);
    EXPECT_NE(App.ReadFile("Miravelund.log").find("    User canceled select dialog"), std::string::npos);
}

#ifdef MV_TAG_PLUGIN_W
// A real plug-in module in the program folder's Plugins: its dot-line word runs
// its handlers, which work on the topic's meta lines, and never becomes a tag.
TEST(Plugins, ModuleHandlersRunOnTheirDotLinesWithTheTopicsMeta) {
    TAppFixture App("tagplugin");
    ASSERT_TRUE(CopyFileA(MV_TAG_PLUGIN_W, (App.Folder() + "\\Plugins\\TagPlugin.dll").c_str(), FALSE));
    SetEnvironmentVariableA("MV_PLUGIN_EXECUTED", nullptr);
    TfrmMain& Main = App.Start();
    ASSERT_EQ(Main.PluginManager()->PluginCount(), 1);
    EXPECT_NE(App.ReadFile("Miravelund.log").find("Plugin: tagplugin"), std::string::npos);

    TfrmNote& Home = *HomeWindow();
    SetText(Home, "Home\r.clock now\r.real\r");
    Home.aSave->Execute();
    EXPECT_EQ(Home.Editor()->Meta().Values("clock"), "saved");
    bool Created = false;
    EXPECT_LT(Main.NotesStore()->FindTag("clock", Created), 0);
    EXPECT_GE(Main.NotesStore()->FindTag("real", Created), 0);

    Main.ShowTopic("Other", "");
    Home.aBackward->Execute();
    char Trace[512] = {};
    GetEnvironmentVariableA("MV_PLUGIN_EXECUTED", Trace, sizeof Trace);
    EXPECT_NE(std::string(Trace).find("clock-load:saved"), std::string::npos) << Trace;
}
#endif

TEST(Faults, AnUnwritableLogStopsNeitherSavesNorTheCheckpoint) {
    TAppFixture App("badlog");
    TfrmMain& Main = App.Start();
    // A folder where the log's replacement file must go makes every log write fail.
    ASSERT_TRUE(CreateDirectoryA((App.Folder() + "\\Miravelund.log.new").c_str(), nullptr));
    SetText(*HomeWindow(), "Home\rwritten while the log is broken\r");
    EXPECT_NO_THROW(Main.ShowTopic("Plan", ""));
    EXPECT_NO_THROW(HomeWindow()->aSave->Execute());
    EXPECT_NE(CommittedContent(App.Database(), "", "Home").find("written while the log is broken"),
              std::string::npos);
    App.Quit();
    EXPECT_NE(CommittedContent(App.Database(), "", "Plan"), "");
}

namespace {

// A lock held by a test is held until the test lets go: the program need not wait long for it.
class TShortLockWait {
public:
    TShortLockWait() : FSaved(TSQLiteDatabase::BusyTimeoutMilliseconds) {
        TSQLiteDatabase::BusyTimeoutMilliseconds = 100;
    }
    ~TShortLockWait() { TSQLiteDatabase::BusyTimeoutMilliseconds = FSaved; }

private:
    int FSaved;
};

std::string EditorText(TfrmNote& Window) {
    return Window.Editor()->Text();
}

} // namespace

TEST(Faults, ASaveRefusedByAnotherProgramsLockKeepsTheTextShownAndTheNextSaveStoresIt) {
    TShortLockWait Wait;
    TAppFixture App("locked");
    TfrmMain& Main = App.Start();
    TfrmNote& Home = *HomeWindow();
    SetText(Home, "Home\rtyped while the file was held\r");
    {
        TSQLiteDatabase Other(App.Database());
        Other.ExecSQL("BEGIN IMMEDIATE;"); // a backup program's write transaction
        try {
            Home.aSave->Execute();
            ADD_FAILURE() << "the save went through another program's lock";
        } catch (const std::exception& E) {
            const std::string Text = E.what();
            EXPECT_NE(Text.find("The note \":Home\" could not be saved."), std::string::npos) << Text;
            EXPECT_NE(Text.find(App.Database() + "\" is in use by another program"), std::string::npos)
                << Text;
            EXPECT_NE(Text.find("Your text is kept in the window."), std::string::npos) << Text;
            EXPECT_EQ(Text.find("database is locked"), std::string::npos) << Text;
        }
        // No navigation away from the unsaved text.
        EXPECT_THROW(Main.ShowTopic("Elsewhere", ""), mv::app::ENoteNotSaved);
        EXPECT_EQ(Home.Caption(), ":Home");
        EXPECT_EQ(Home.History().Entries().size(), 1u);
        EXPECT_NE(EditorText(Home).find("typed while the file was held"), std::string::npos);
        // The program's read lock is not in the way of the other program's own write.
        Other.ExecSQL("INSERT INTO versions VALUES('backup', 1);");
        EXPECT_NO_THROW(Other.ExecSQL("COMMIT;"));
    }
    Home.aSave->Execute();
    EXPECT_NE(CommittedContent(App.Database(), "", "Home").find("typed while the file was held"),
              std::string::npos);
}

// The way out while the file stays held: try again, cancel, or quit with the
// text kept in a file of its own.
TEST(Faults, QuitWithTextThatCannotBeSavedOffersToTryAgainToKeepTheTextInAFileOrToCancel) {
    TShortLockWait Wait;
    TAppFixture App("quitlocked");
    TfrmMain& Main = App.Start();
    SetText(*HomeWindow(), "Home\rtyped before the quit\r");
    TSQLiteDatabase Other(App.Database());
    Other.ExecSQL("BEGIN IMMEDIATE;");
    std::vector<UINT> Asked;
    std::vector<int> Answers = {IDCANCEL};
    App.Responder.MessageBox = [&](const std::string& Text, const std::string&, UINT Flags) {
        App.Messages.push_back(Text);
        Asked.push_back(Flags & MB_TYPEMASK);
        if (Answers.empty()) return IDOK;
        const int Answer = Answers.front();
        Answers.erase(Answers.begin());
        return Answer;
    };
    Main.aQuit->Execute();
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0], static_cast<UINT>(MB_CANCELTRYCONTINUE));
    const std::string Question = App.Messages.back();
    EXPECT_NE(Question.find("in use by another program"), std::string::npos) << Question;
    EXPECT_NE(Question.find("Continue to quit and keep your text in a file in " + App.Folder()),
              std::string::npos)
        << Question;
    EXPECT_NE(Question.find("Cancel to keep Miravelund open"), std::string::npos) << Question;
    EXPECT_EQ(Question.find("checkpoint every six minutes"), std::string::npos)
        << "not what a quit does next";
    // Cancelled: everything stays as it was, the text in its window.
    EXPECT_TRUE(Main.Initialized());
    ASSERT_NE(HomeWindow(), nullptr);
    EXPECT_NE(EditorText(*HomeWindow()).find("typed before the quit"), std::string::npos);

    // Try Again meets the held file again and asks again; Continue quits with the text kept.
    Asked.clear();
    App.Messages.clear();
    Answers = {IDTRYAGAIN, IDCONTINUE};
    App.Quit();
    EXPECT_EQ(std::count(Asked.begin(), Asked.end(), static_cast<UINT>(MB_CANCELTRYCONTINUE)), 2);
    EXPECT_EQ(NoteWindowsByNamespace.Count(), 0u);
    Other.ExecSQL("ROLLBACK;");
    EXPECT_EQ(CommittedContent(App.Database(), "", "Home").find("typed before the quit"), std::string::npos);
    WIN32_FIND_DATAA Found{};
    HANDLE Search = FindFirstFileA((App.Folder() + "\\Unsaved notes *.txt").c_str(), &Found);
    ASSERT_NE(Search, INVALID_HANDLE_VALUE) << "the text was not kept";
    FindClose(Search);
    EXPECT_NE(App.ReadFile(Found.cFileName).find("typed before the quit"), std::string::npos);
    // Told where the text is, and nothing else: no failed checkpoint after the user chose to go.
    ASSERT_EQ(App.Messages.size(), 3u);
    EXPECT_NE(App.Messages.back().find("written in the file " + App.Folder() + "\\" + Found.cFileName),
              std::string::npos)
        << App.Messages.back();
}

TEST(Faults, ANoteThatFailsToLoadLeavesTheWindowOnTheNoteItShows) {
    TAppFixture App("loadfail");
    TfrmMain& Main = App.Start();
    TfrmNote& Home = *HomeWindow();
    Main.ShowTopic("Other", "");
    SetText(Home, "Other text\r");
    Main.ShowTopic("Home", "");
    SetText(Home, "Home\rmy words\r");
    // A read of another note's content fails (a damaged page, a locked file).
    sqlite3_set_authorizer(
        Main.NotesStore()->Connection().Handle(),
        [](void*, int Action, const char* Table, const char* Column, const char*, const char*) {
            return Action == SQLITE_READ && Table && Column && std::string(Table) == "topic" &&
                           std::string(Column) == "content"
                       ? SQLITE_DENY
                       : SQLITE_OK;
        },
        nullptr);
    EXPECT_THROW(Main.ShowTopic("Other", ""), std::exception);
    sqlite3_set_authorizer(Main.NotesStore()->Connection().Handle(), nullptr, nullptr);
    EXPECT_EQ(Home.Caption(), ":Home");
    EXPECT_EQ(Home.Editor()->TopicFile(), "Home");
    EXPECT_EQ(Home.History().Entries().back(), ":Home");
    EXPECT_NE(EditorText(Home).find("my words"), std::string::npos);
    Home.aSave->Execute();
    EXPECT_NE(CommittedContent(App.Database(), "", "Home").find("my words"), std::string::npos);
    EXPECT_EQ(CommittedContent(App.Database(), "", "Other").find("my words"), std::string::npos);
    EXPECT_NE(CommittedContent(App.Database(), "", "Other").find("Other text"), std::string::npos);
}

TEST(Faults, AFolderNamedLikeTheDatabaseInTheProgramFolderIsExplained) {
    TAppFixture App("dbfolder");
    const std::string Folder = App.Folder() + "\\Miravelund.mvdb";
    ASSERT_TRUE(CreateDirectoryA(Folder.c_str(), nullptr));
    TfrmMain& Main = App.Start();
    EXPECT_FALSE(Main.Initialized());
    ASSERT_FALSE(App.Messages.empty());
    const std::string& Text = App.Messages.back();
    EXPECT_NE(Text.find(Folder + "\r\ris a folder"), std::string::npos) << Text;
    EXPECT_NE(Text.find("move or rename that file"), std::string::npos) << Text;
    EXPECT_EQ(App.ReadFile("notes.mvdb"), "") << "the settings key's file is not opened instead";
}

namespace {

std::string FileBytes(const std::string& Path) {
    std::string Bytes;
    if (FILE* F = std::fopen(Path.c_str(), "rb")) {
        char Buffer[65536];
        size_t Read = 0;
        while ((Read = std::fread(Buffer, 1, sizeof Buffer, F)) > 0)
            Bytes.append(Buffer, Read);
        std::fclose(F);
    }
    return Bytes;
}

int PageCount(const std::string& Database) {
    TSQLiteDatabase Raw(Database);
    return std::stoi(Raw.GetTable("PRAGMA page_count;")->FieldAsString(0));
}

// A notes file whose note "Big" lies on a chain of pages, one of which a disk
// fault has zeroed.
void MakeDamagedDatabase(const std::string& Database) {
    int Before = 0;
    {
        TNotesStore Store(Database);
        bool Created = true;
        TStringStream Home("Home\r\n");
        TStringStream Empty("");
        Store.SaveTopic(Store.FindTopic("", "Home", Created), "", TTopicRect{}, Home, "Home", Empty);
        const int32_t Big = Store.FindTopic("", "Big", Created);
        Store.Commit();
        Before = PageCount(Database);
        TStringStream Content(std::string(200000, 'x'));
        Store.SaveTopic(Big, "", TTopicRect{}, Content, "Big", Empty);
        Store.Commit();
    }
    const int After = PageCount(Database);
    std::string Bytes = FileBytes(Database);
    const size_t PageSize = 4096;
    Bytes.replace(static_cast<size_t>((Before + After) / 2 - 1) * PageSize, PageSize,
                  std::string(PageSize, '\0'));
    FILE* F = std::fopen(Database.c_str(), "wb");
    std::fwrite(Bytes.data(), 1, Bytes.size(), F);
    std::fclose(F);
}

} // namespace

TEST(Faults, ADamagedFileIsReportedAsDamagedAndQuitKeepsTheTextInAFileOfItsOwn) {
    TAppFixture App("damaged");
    MakeDamagedDatabase(App.Database());
    TfrmMain& Main = App.Start();
    ASSERT_TRUE(Main.Initialized());
    TfrmNote& Home = *HomeWindow();
    try {
        Main.ShowTopic("Big", "");
        ADD_FAILURE() << "the damaged note opened";
    } catch (const std::exception& E) {
        const std::string Text = E.what();
        EXPECT_NE(Text.find(App.Database() + "\" is damaged"), std::string::npos) << Text;
        EXPECT_NE(Text.find("restore a copy of the file from a backup"), std::string::npos) << Text;
        EXPECT_EQ(Text.find("SELECT"), std::string::npos) << Text;
    }
    EXPECT_EQ(Home.Caption(), ":Home");
    const std::string AtTheDamage = FileBytes(App.Database());

    SetText(Home, "Home\rwords typed after the damage\r");
    try {
        Home.aSave->Execute();
        ADD_FAILURE() << "a save wrote into the damaged file";
    } catch (const std::exception& E) {
        EXPECT_NE(std::string(E.what()).find("when you quit, Miravelund writes it into a file of its own"),
                  std::string::npos)
            << E.what();
    }
    std::vector<UINT> Asked;
    App.Responder.MessageBox = [&](const std::string& Text, const std::string&, UINT Flags) {
        App.Messages.push_back(Text);
        Asked.push_back(Flags & MB_TYPEMASK);
        return (Flags & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    };
    App.Quit();
    EXPECT_EQ(std::count(Asked.begin(), Asked.end(), static_cast<UINT>(MB_YESNO)), 1);
    EXPECT_EQ(std::count(Asked.begin(), Asked.end(), static_cast<UINT>(MB_CANCELTRYCONTINUE)), 0)
        << "no retry can write into a damaged file";
    for (const std::string& Text : App.Messages)
        EXPECT_EQ(Text.find("checkpoint failed"), std::string::npos) << "the quit told it all: " << Text;
    WIN32_FIND_DATAA Found{};
    HANDLE Search = FindFirstFileA((App.Folder() + "\\Unsaved notes *.txt").c_str(), &Found);
    ASSERT_NE(Search, INVALID_HANDLE_VALUE) << "the text was not kept";
    FindClose(Search);
    const std::string Kept = App.ReadFile(Found.cFileName);
    EXPECT_NE(Kept.find("===== :Home =====\r\nHome\r\nwords typed after the damage\r\n"), std::string::npos)
        << Kept;
    const std::string Where = "written in the file " + App.Folder() + "\\" + Found.cFileName;
    EXPECT_TRUE(std::any_of(App.Messages.begin(), App.Messages.end(),
                            [&](const std::string& Text) { return Text.find(Where) != std::string::npos; }));
    EXPECT_EQ(FileBytes(App.Database()), AtTheDamage) << "written into after the damage showed";

    // The next start names the file once Home is shown; the one after says nothing of it.
    const std::string KeptFile = App.Folder() + "\\" + Found.cFileName;
    for (int Start = 0; Start < 2; ++Start) {
        App.Messages.clear();
        App.Start();
        for (const DWORD Began = GetTickCount();
             !Contains(App.Messages, KeptFile) && GetTickCount() - Began < 2000; Sleep(10))
            App.Pump();
        EXPECT_EQ(Contains(App.Messages, KeptFile), Start == 0) << "start " << Start;
        App.Quit();
    }
}

// A full disk under a checkpoint and a quit: every note written since the last
// good commit is named, nothing counts as saved, and the next try writes them all.
TEST(Faults, AFullDiskNamesEveryUnsavedNoteAndTheNextTryWritesThemAll) {
    TFaultyDisk Disk;
    TAppFixture App("fulldisk");
    TfrmMain& Main = App.Start();
    int HandlerRuns = 0;
    Main.TagEvents().RegisterCommand(
        "stamp", "savetag", [&](TObject*) { ++HandlerRuns; }, nullptr);
    Main.ShowTopic("work:todo", "");
    TfrmNote& Work = *NoteWindowsByNamespace.Find("work");
    SetText(*HomeWindow(), "Home\r.stamp\rtyped in Home\r");
    SetText(Work, "typed in work\r");
    Disk.FailWrites(TFaultyDisk::TFile::Database, SQLITE_FULL);
    Main.tCommitTimer(nullptr);
    ASSERT_FALSE(App.Messages.empty());
    const std::string Told = App.Messages.back();
    EXPECT_NE(Told.find("\":Home\""), std::string::npos) << Told;
    EXPECT_NE(Told.find("\"work:todo\""), std::string::npos) << Told;
    EXPECT_NE(Told.find("is full"), std::string::npos) << Told;
    EXPECT_EQ(Told.find("INSERT"), std::string::npos) << Told;

    // The quit meets the full disk too: Retry once there is room really writes both notes.
    std::vector<std::string> Asked;
    App.Responder.MessageBox = [&](const std::string& Text, const std::string&, UINT Flags) {
        Asked.push_back(Text);
        if ((Flags & MB_TYPEMASK) != MB_CANCELTRYCONTINUE) return IDOK;
        Disk.Heal();
        return IDTRYAGAIN;
    };
    HandlerRuns = 0;
    App.Quit();
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_NE(Asked[0].find("\":Home\""), std::string::npos) << Asked[0];
    EXPECT_NE(Asked[0].find("\"work:todo\""), std::string::npos) << Asked[0];
    EXPECT_NE(CommittedContent(App.Database(), "", "Home").find("typed in Home"), std::string::npos);
    EXPECT_NE(CommittedContent(App.Database(), "work", "todo").find("typed in work"), std::string::npos);
    // One save before the box and one for the retry: closing the windows saves nothing again.
    EXPECT_EQ(HandlerRuns, 2);
}

namespace {

// A notes file whose Home holds Text.
void WriteHome(const std::string& Database, const std::string& Text) {
    TNotesStore Store(Database);
    bool Created = true;
    TStringStream Content(Text + "\r\n");
    Store.SaveTopic(Store.FindTopic("", "Home", Created), "", TTopicRect{}, Content, "Home");
    Store.Commit();
}

} // namespace

// Folders named with an accent and a dash outside Latin-1 (Windows-1252 holds
// both): the notes file beside the program, and the one the settings name, are
// found, opened and written, and nothing asks for a new one.
TEST(Faults, NotesInFoldersNamedWithAccentsAreFoundOpenedAndSaved) {
    const std::string Accented = "caf\xE9 \x96 notes";
    {
        TAppFixture App(Accented, false);
        const std::string Own = App.Folder() + "\\Miravelund.mvdb";
        WriteHome(Own, "Kept beside the program");
        TfrmMain& Main = App.Start();
        ASSERT_TRUE(Main.Initialized()) << (App.Messages.empty() ? "" : App.Messages.back());
        EXPECT_NE(HomeWindow()->Editor()->Text().find("Kept beside the program"), std::string::npos);
        SaveWindowPng(HomeWindow()->Handle(), "home-from-accented-program-folder");
        SetText(*HomeWindow(), "Typed beside the program\r");
        App.Quit();
        EXPECT_NE(CommittedContent(Own, "", "Home").find("Typed beside the program"), std::string::npos);
        EXPECT_NE(App.ReadFile("Miravelund.log").find("Session End"), std::string::npos);
    }
    {
        TAppFixture App("accentedkey", false);
        const std::string Folder = App.Folder() + "\\" + Accented;
        ASSERT_TRUE(CreateDirectoryA(Folder.c_str(), nullptr));
        const std::string Named = Folder + "\\notes.mvdb";
        WriteHome(Named, "Named by the settings");
        Settings().SetValue("database", Named);
        TfrmMain& Main = App.Start();
        ASSERT_TRUE(Main.Initialized()) << (App.Messages.empty() ? "" : App.Messages.back());
        EXPECT_NE(HomeWindow()->Editor()->Text().find("Named by the settings"), std::string::npos);
        SetText(*HomeWindow(), "Typed into the named file\r");
        App.Quit();
        EXPECT_NE(CommittedContent(Named, "", "Home").find("Typed into the named file"), std::string::npos);
    }
}

// A settings file in a My Documents folder whose name the code page cannot hold
// may name the notes file: start-up says so instead of offering to make a new one.
TEST(Faults, SettingsThatCannotBeReadByNameAreToldAndNoNotesFileIsMade) {
    TAppFixture App("unreadsettings", false);
    const std::string Unread = "C:\\users\\???????\\Documents\\Miravelund.ini";
    LoadSettingsFrom(App.Folder(), "", Unread);
    struct TForget {
        const std::string& Folder;
        ~TForget() { LoadSettingsFrom(Folder, ""); }
    } Forget{App.Folder()};
    bool Asked = false;
    App.OnShowModal = [&](TForm&) {
        Asked = true;
        return int(mrCancel);
    };
    TfrmMain& Main = App.Start();
    EXPECT_FALSE(Main.Initialized());
    EXPECT_FALSE(Asked) << "the first-launch dialog was shown";
    ASSERT_FALSE(App.Messages.empty());
    const std::string& Text = App.Messages.back();
    EXPECT_NE(Text.find(Unread + "\r\rmay name your notes file, but Miravelund cannot read it"),
              std::string::npos)
        << Text;
    EXPECT_NE(Text.find("(code page 1252 on this computer)"), std::string::npos) << Text;
    EXPECT_NE(Text.find("Copy that settings file into the program folder " + App.Folder()), std::string::npos)
        << Text;
    EXPECT_EQ(NoteWindowsByNamespace.Count(), 0u);
}
