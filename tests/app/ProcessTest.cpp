// The real Miravelund.exe as a user starts it: one instance at a time, an
// orderly shutdown at the end of the session, and databases it must refuse.
#include "store/NotesStore.h"
#include "store/SQLiteAccess.h"
#include "tests/app/ProgramProcess.h"
#include "tests/app/Screens.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>
#include <vector>

using namespace mv::app::test;

namespace {

constexpr DWORD StartTimeout = 60000;

bool MutexHeld() {
    HANDLE M = OpenMutexA(SYNCHRONIZE, FALSE, "Miravelund3MuteX");
    if (M == nullptr) return false;
    CloseHandle(M);
    return true;
}

} // namespace

TEST(ProgramProcess, StartsShowsHomeAndEndsTheSessionWithACheckpoint) {
    TProgramFolder Folder("smoke");
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    ASSERT_NE(WaitForWindow(Program.Id(), ":Home", StartTimeout, "TfrmNote"), nullptr);
    EXPECT_TRUE(MutexHeld());
    EndSession(Program);
    DWORD Exit = 1;
    ASSERT_TRUE(Program.WaitForExit(30000, &Exit));
    EXPECT_EQ(Exit, 0u);
    EXPECT_FALSE(MutexHeld());

    std::string Home;
    EXPECT_TRUE(HasTopic(Folder.Database(), "", "Home", &Home));
    EXPECT_NE(Home.find("Welcome to Miravelund"), std::string::npos);
    const std::string Log = Folder.ReadFile("Miravelund.log");
    EXPECT_NE(Log.find("========= Miravelund starting up ========="), std::string::npos) << Log;
    EXPECT_NE(Log.find("Got EM_ENDSESSION message, quitting"), std::string::npos) << Log;
    EXPECT_NE(Log.find("Commit finished"), std::string::npos) << Log;
    const auto Last = Log.find_last_not_of("\r\n");
    ASSERT_NE(Last, std::string::npos);
    EXPECT_EQ(Log.substr(Last + 1 - 11, 11), "Session End") << Log;
}

TEST(ProgramProcess, SecondInstanceShowsTheMessageAndLeavesTheDatabaseAlone) {
    TProgramFolder Folder("second");
    TChildProcess First(Folder.File("Miravelund.exe"), "", Folder.Path());
    ASSERT_NE(WaitForWindow(First.Id(), ":Home", StartTimeout, "TfrmNote"), nullptr);
    const std::string Before = Folder.ReadFile("notes.mvdb");
    ASSERT_FALSE(Before.empty());

    TChildProcess Second(Folder.File("Miravelund.exe"), "", Folder.Path());
    HWND Box = nullptr;
    const std::string Text = WaitForMessageBoxText(Second.Id(), StartTimeout, &Box);
    EXPECT_NE(Text.find("Miravelund is already running."), std::string::npos) << Text;
    EXPECT_NE(Text.find("Check the system tray for the Miravelund icon."), std::string::npos) << Text;
    ASSERT_NE(Box, nullptr);
    PostMessageA(Box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Second.WaitForExit(30000));
    EXPECT_EQ(Folder.ReadFile("notes.mvdb"), Before);

    EndSession(First);
    ASSERT_TRUE(First.WaitForExit(30000));
}

namespace {

// Every file under Folder (its sub-folders included) with its bytes, but the log.
void Snapshot(const std::string& Folder, std::map<std::string, std::string>& Files) {
    WIN32_FIND_DATAA Found{};
    HANDLE Search = FindFirstFileA((Folder + "\\*").c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string Name = Found.cFileName;
        if (Name == "." || Name == ".." || Name == "Miravelund.log") continue;
        const std::string Path = Folder + "\\" + Name;
        if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Files[Path + "\\"] = "";
            Snapshot(Path, Files);
        } else {
            Files[Path] = ReadWholeFile(Path);
        }
    } while (FindNextFileA(Search, &Found));
    FindClose(Search);
}

std::map<std::string, std::string> Snapshot(const TProgramFolder& Folder) {
    std::map<std::string, std::string> Files;
    Snapshot(Folder.Path(), Files);
    return Files;
}

// Starts the program on a database path it must refuse; returns the message it
// showed. A refused start changes no file (the log is the one it writes).
std::string StartOnBadDatabase(TProgramFolder& Folder, const std::string& Path) {
    Folder.WriteFile("Miravelund.ini", "database=" + Path + "\r\n");
    const auto Before = Snapshot(Folder);
    struct TSameFiles {
        TProgramFolder& Folder;
        const std::map<std::string, std::string>& Before;
        ~TSameFiles() { EXPECT_TRUE(Snapshot(Folder) == Before) << "a refused start changed a file"; }
    } SameFiles{Folder, Before};
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    HWND Box = nullptr;
    const std::string Text = WaitForMessageBoxText(Program.Id(), StartTimeout, &Box);
    if (Box) PostMessageA(Box, WM_COMMAND, IDOK, 0);
    DWORD Exit = 0;
    EXPECT_TRUE(Program.WaitForExit(30000, &Exit));
    EXPECT_NE(Exit, 0u);
    EXPECT_EQ(FindMainWindow(Program.Id()), nullptr);
    EXPECT_FALSE(MutexHeld());
    return Text;
}

} // namespace

TEST(ProgramProcess, RefusesAFolderAsDatabase) {
    TProgramFolder Folder("folder");
    const std::string Dir = Folder.File("notes-folder");
    ASSERT_TRUE(CreateDirectoryA(Dir.c_str(), nullptr));
    const std::string Text = StartOnBadDatabase(Folder, Dir);
    EXPECT_NE(Text.find(Dir), std::string::npos) << Text;
    EXPECT_NE(Text.find("is a folder"), std::string::npos) << Text;
    EXPECT_TRUE(GetFileAttributesA(Dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(Folder.ReadFile("Miravelund.log").find("is a folder"), std::string::npos);
}

TEST(ProgramProcess, RefusesAFileThatIsNotANotesDatabase) {
    TProgramFolder Folder("notdb");
    const std::string Junk = "These are my shopping notes, not a database.\r\n";
    Folder.WriteFile("shopping.mvdb", Junk);
    const std::string Text = StartOnBadDatabase(Folder, Folder.File("shopping.mvdb"));
    EXPECT_NE(Text.find("not a Miravelund database"), std::string::npos) << Text;
    EXPECT_EQ(Folder.ReadFile("shopping.mvdb"), Junk);
}

TEST(ProgramProcess, RefusesANewerVersionsFileUnchanged) {
    TProgramFolder Folder("newer");
    { TNotesStore Store(Folder.File("newer.mvdb")); }
    {
        TSQLiteDatabase Raw(Folder.File("newer.mvdb"));
        Raw.ExecSQL("PRAGMA user_version = 99;");
    }
    const std::string Text = StartOnBadDatabase(Folder, Folder.File("newer.mvdb"));
    EXPECT_NE(Text.find(Folder.File("newer.mvdb")), std::string::npos) << Text;
    EXPECT_NE(Text.find("written by a newer version of Miravelund"), std::string::npos) << Text;
}

TEST(ProgramProcess, RefusesAForeignFileWithATopicTableUnchanged) {
    TProgramFolder Folder("foreigntopic");
    {
        TSQLiteDatabase Raw(Folder.File("forum.db"));
        Raw.ExecSQL("CREATE TABLE topic(subject text, forum integer);");
    }
    const std::string Text = StartOnBadDatabase(Folder, Folder.File("forum.db"));
    EXPECT_NE(Text.find("is not a Miravelund database. Miravelund has not changed it."), std::string::npos)
        << Text;
    EXPECT_EQ(Text.find("no such column"), std::string::npos) << Text;
}

namespace {

// Every file of a folder (named as Windows names it) with its bytes.
std::map<std::wstring, std::string> FilesOf(const std::wstring& Folder) {
    std::map<std::wstring, std::string> Files;
    WIN32_FIND_DATAW Found{};
    HANDLE Search = FindFirstFileW((Folder + L"\\*").c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE) return Files;
    do {
        if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string& Bytes = Files[Found.cFileName];
        HANDLE F = CreateFileW((Folder + L"\\" + Found.cFileName).c_str(), GENERIC_READ, FILE_SHARE_READ,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        char Buffer[65536];
        DWORD Read = 0;
        while (F != INVALID_HANDLE_VALUE && ReadFile(F, Buffer, sizeof Buffer, &Read, nullptr) && Read > 0)
            Bytes.append(Buffer, Read);
        if (F != INVALID_HANDLE_VALUE) CloseHandle(F);
    } while (FindNextFileW(Search, &Found));
    FindClose(Search);
    return Files;
}

BOOL CALLBACK AppendText(HWND Child, LPARAM Text) {
    wchar_t Part[2048] = {};
    GetWindowTextW(Child, Part, 2048);
    *reinterpret_cast<std::wstring*>(Text) += Part;
    return TRUE;
}

std::wstring Wide(const std::string& Ascii) {
    return std::wstring(Ascii.begin(), Ascii.end());
}

} // namespace

// The program folder named in Greek, which Windows-1252 cannot hold, with the
// user's notes file in it: the program says so in plain words, asks for no new
// notes file, and changes nothing.
TEST(ProgramProcess, AProgramFolderTheCodePageCannotHoldIsToldAndNothingIsMade) {
    wchar_t Temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, Temp);
    const std::wstring Folder = std::wstring(Temp) +
                                L"mv-\u03a3\u03b7\u03bc\u03b5\u03b9\u03ce\u03c3\u03b5\u03b9\u03c2-" +
                                std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(Folder.c_str(), nullptr));
    struct TRemove {
        const std::wstring& Folder;
        ~TRemove() {
            for (const auto& [Name, Bytes] : FilesOf(Folder))
                DeleteFileW((Folder + L"\\" + Name).c_str());
            RemoveDirectoryW(Folder.c_str());
        }
    } Remove{Folder};
    const std::wstring Program = Folder + L"\\Miravelund.exe";
    ASSERT_TRUE(CopyFileW(Wide(ProgramPath()).c_str(), Program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(Wide(ProgramDirectory() + "\\Default.mvdb").c_str(),
                          (Folder + L"\\Default.mvdb").c_str(), FALSE));
    {
        TNotesStore Notes(ProgramDirectory() + "\\greek-notes.mvdb");
        bool Created = true;
        Notes.FindTopic("", "The user's own note", Created);
        Notes.Commit();
    }
    ASSERT_TRUE(MoveFileExW(Wide(ProgramDirectory() + "\\greek-notes.mvdb").c_str(),
                            (Folder + L"\\Miravelund.mvdb").c_str(), MOVEFILE_COPY_ALLOWED));
    const auto Before = FilesOf(Folder);

    STARTUPINFOW Startup{};
    Startup.cb = sizeof Startup;
    PROCESS_INFORMATION Info{};
    std::wstring CommandLine = L"\"" + Program + L"\"";
    ASSERT_TRUE(CreateProcessW(Program.c_str(), CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               Folder.c_str(), &Startup, &Info));
    HWND Box = nullptr;
    const std::string Text = WaitForMessageBoxText(Info.dwProcessId, StartTimeout, &Box);
    EXPECT_NE(Text.find("Miravelund cannot start."), std::string::npos) << Text;
    EXPECT_NE(Text.find("has characters that Miravelund cannot use in a file name"), std::string::npos)
        << Text;
    EXPECT_NE(Text.find("(code page 1252 on this computer)"), std::string::npos) << Text;
    EXPECT_NE(Text.find("Move the Miravelund folder"), std::string::npos) << Text;
    EXPECT_EQ(WaitForWindow(Info.dwProcessId, "Miravelund First Launch", 0), nullptr);
    if (Box) {
        // The box names the folder as it is, Greek letters and all.
        std::wstring Shown;
        EnumChildWindows(Box, AppendText, reinterpret_cast<LPARAM>(&Shown));
        EXPECT_NE(Shown.find(L"\r\r" + Folder + L"\r\r"), std::wstring::npos);
        EXPECT_TRUE(SaveWindowScreen(Box, "program-folder-name-not-in-code-page"));
        PostMessageA(Box, WM_COMMAND, IDOK, 0);
    }
    DWORD Exit = 0;
    EXPECT_EQ(WaitForSingleObject(Info.hProcess, 30000), WAIT_OBJECT_0);
    GetExitCodeProcess(Info.hProcess, &Exit);
    if (Exit == STILL_ACTIVE) TerminateProcess(Info.hProcess, 9);
    CloseHandle(Info.hProcess);
    CloseHandle(Info.hThread);
    EXPECT_NE(Exit, 0u);
    EXPECT_TRUE(FilesOf(Folder) == Before) << "a file in the program folder was made or changed";
}

TEST(ProgramProcess, AKilledProgramKeepsWhatItSavedOnNavigation) {
    TProgramFolder Folder("crash");
    TChildProcess Child(MV_CRASH_CHILD_W, "\"" + Folder.Path() + "\"", Folder.Path());
    const DWORD Start = GetTickCount();
    while (GetFileAttributesA(Folder.File("ready").c_str()) == INVALID_FILE_ATTRIBUTES) {
        DWORD Exit = 0;
        ASSERT_FALSE(Child.WaitForExit(0, &Exit)) << "the child ended with " << Exit;
        ASSERT_LT(GetTickCount() - Start, StartTimeout) << "the child never got ready";
        Sleep(100);
    }
    Child.Kill();

    std::string Home;
    ASSERT_TRUE(HasTopic(Folder.Database(), "", "Home", &Home));
    EXPECT_NE(Home.find("Written just before the crash"), std::string::npos) << Home;
}

namespace {

struct TTopWindows {
    DWORD Pid;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopWindow(HWND Window, LPARAM Param) {
    auto& Q = *reinterpret_cast<TTopWindows*>(Param);
    DWORD Pid = 0;
    GetWindowThreadProcessId(Window, &Pid);
    if (Pid == Q.Pid) Q.Found.push_back(Window);
    return TRUE;
}

std::string ClassOf(HWND Window) {
    char Name[128] = {};
    GetClassNameA(Window, Name, sizeof Name);
    return Name;
}

// Every top-level window of the process, those of class First first.
std::vector<HWND> TopWindowsInOrder(DWORD Pid, const std::string& First) {
    TTopWindows Q{Pid, {}};
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&Q));
    std::stable_partition(Q.Found.begin(), Q.Found.end(), [&](HWND W) { return ClassOf(W) == First; });
    return Q.Found;
}

size_t CountOf(const std::string& Text, const std::string& Part) {
    size_t N = 0;
    for (size_t At = Text.find(Part); At != std::string::npos; At = Text.find(Part, At + 1))
        ++N;
    return N;
}

struct TEndSessionCase {
    const char* Name;
    const char* FirstClass; // the window class that hears of the session's end first
};

class EndSessionOrder : public ::testing::TestWithParam<TEndSessionCase> {};

} // namespace

// Windows tells every top-level window of the program, in no promised order,
// and may end the process as soon as any one of them has answered: whichever
// hears it first must have saved everything by then.
TEST_P(EndSessionOrder, TheFirstWindowToHearItSavesEverythingBeforeAnswering) {
    const TEndSessionCase& Case = GetParam();
    TProgramFolder Folder(std::string("endsession-") + Case.Name);
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    HWND Home = WaitForWindow(Program.Id(), ":Home", StartTimeout, "TfrmNote");
    ASSERT_NE(Home, nullptr);
    ASSERT_NE(WaitForMainWindow(Program.Id(), 30000), nullptr);
    const std::string Typed = "Typed just before the session ended ";
    Type(Home, Typed);

    const std::vector<HWND> Windows = TopWindowsInOrder(Program.Id(), Case.FirstClass);
    ASSERT_FALSE(Windows.empty());
    ASSERT_EQ(ClassOf(Windows.front()), Case.FirstClass);
    DWORD_PTR Reply = 0;
    for (HWND W : Windows) {
        ASSERT_NE(SendMessageTimeoutA(W, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 30000, &Reply), 0);
        EXPECT_NE(Reply, 0u) << ClassOf(W) << " refused the end of the session";
    }
    ASSERT_NE(SendMessageTimeoutA(Windows.front(), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 60000, &Reply), 0);
    // Windows may end the process now: everything must be on the disk already.
    Program.Kill();

    std::string Content;
    ASSERT_TRUE(HasTopic(Folder.Database(), "", "Home", &Content));
    EXPECT_NE(Content.find(Typed), std::string::npos) << Content;
    const std::string Log = Folder.ReadFile("Miravelund.log");
    EXPECT_EQ(CountOf(Log, "Got EM_ENDSESSION message, quitting"), 1u) << Log;
    EXPECT_NE(Log.find("Commit finished"), std::string::npos) << Log;
    const auto Last = Log.find_last_not_of("\r\n");
    ASSERT_NE(Last, std::string::npos);
    EXPECT_EQ(Log.substr(Last + 1 - 11, 11), "Session End") << Log;
}

// The other windows, told afterwards, find the work done: one shutdown, and
// the program ends by itself.
TEST(ProgramProcess, WindowsToldLaterFindTheSessionEndDone) {
    TProgramFolder Folder("endsession-all");
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    ASSERT_NE(WaitForWindow(Program.Id(), ":Home", StartTimeout, "TfrmNote"), nullptr);
    ASSERT_NE(WaitForMainWindow(Program.Id(), 30000), nullptr);
    DWORD_PTR Reply = 0;
    for (HWND W : TopWindowsInOrder(Program.Id(), "TfrmNote"))
        SendMessageTimeoutA(W, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 60000, &Reply);
    DWORD Exit = 1;
    ASSERT_TRUE(Program.WaitForExit(30000, &Exit));
    EXPECT_EQ(Exit, 0u);
    const std::string Log = Folder.ReadFile("Miravelund.log");
    EXPECT_EQ(CountOf(Log, "Got EM_ENDSESSION message, quitting"), 1u) << Log;
    EXPECT_EQ(CountOf(Log, "Session End"), 1u) << Log;
}

// A session that ends the moment Home shows, before the hidden main window
// exists (the start-up may still be running): the Home window hears it, and
// the program ends by itself, once, with the same orderly shutdown.
TEST(ProgramProcess, ASessionEndAsSoonAsHomeShowsEndsTheProgram) {
    TProgramFolder Folder("endsession-early");
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    HWND Home = WaitForWindow(Program.Id(), ":Home", StartTimeout, "TfrmNote");
    ASSERT_NE(Home, nullptr);
    DWORD_PTR Reply = 0;
    ASSERT_NE(SendMessageTimeoutA(Home, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 60000, &Reply), 0);
    DWORD Exit = 1;
    ASSERT_TRUE(Program.WaitForExit(30000, &Exit)) << "the program did not end";
    EXPECT_EQ(Exit, 0u);
    EXPECT_FALSE(MutexHeld());
    EXPECT_TRUE(HasTopic(Folder.Database(), "", "Home"));
    const std::string Log = Folder.ReadFile("Miravelund.log");
    EXPECT_EQ(CountOf(Log, "Got EM_ENDSESSION message, quitting"), 1u) << Log;
    EXPECT_EQ(CountOf(Log, "Session End"), 1u) << Log;
}

INSTANTIATE_TEST_SUITE_P(ProgramProcess, EndSessionOrder,
                         ::testing::Values(TEndSessionCase{"ApplicationWindowFirst", "MvApplication"},
                                           TEndSessionCase{"TrayWindowFirst", "MvTrayIconWindow"},
                                           TEndSessionCase{"MainWindowFirst", "TfrmMain"},
                                           TEndSessionCase{"NoteWindowFirst", "TfrmNote"}),
                         [](const ::testing::TestParamInfo<TEndSessionCase>& Info) {
                             return Info.param.Name;
                         });

// Another program (a backup tool, say) holds a write transaction on the notes
// file while the user types and saves.
TEST(ProgramProcess, ASaveRefusedByAnotherProgramsLockKeepsTheTextAndTheNextSaveStoresIt) {
    TProgramFolder Folder("locked");
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    HWND Home = StartAndWaitForHome(Program);
    ASSERT_NE(Home, nullptr);
    auto Other = std::make_unique<TSQLiteDatabase>(Folder.Database());
    Other->ExecSQL("BEGIN IMMEDIATE;");
    const std::string Typed = "Typed while the backup held the file ";
    Type(Home, Typed);
    PressSave(Home);

    HWND Box = nullptr;
    const std::string Text = WaitForMessageBoxText(Program.Id(), 30000, &Box);
    EXPECT_NE(Text.find("could not be saved"), std::string::npos) << Text;
    EXPECT_NE(Text.find("is in use by another program"), std::string::npos) << Text;
    EXPECT_NE(Text.find("Your text is kept in the window"), std::string::npos) << Text;
    ASSERT_NE(Box, nullptr);
    EXPECT_TRUE(SaveWindowScreen(Box, "save-refused-file-in-use"));
    PostMessageA(Box, WM_COMMAND, IDOK, 0);
    EXPECT_NE(WindowText(EditorOf(Home)).find(Typed), std::string::npos) << "the text left the editor";
    EXPECT_FALSE(WaitForContent(Folder.Database(), Typed, 0));

    // The other program writes and lets go; the next save stores the text.
    Other->ExecSQL("INSERT INTO versions VALUES('backup', 1);");
    Other->ExecSQL("COMMIT;");
    Other.reset();
    PressSave(Home);
    EXPECT_TRUE(WaitForContent(Folder.Database(), Typed, 30000));
    EndSession(Program);
    EXPECT_TRUE(Program.WaitForExit(30000));
}

// At the end of the session nobody can answer a question: the program waits
// for the other program to let go of the file, within its time limit.
TEST(ProgramProcess, AtTheSessionEndASaveRefusedByALockIsTriedAgain) {
    TProgramFolder Folder("endlocked");
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    HWND Home = StartAndWaitForHome(Program);
    ASSERT_NE(Home, nullptr);
    const std::string Typed = "Typed just before the session ended ";
    Type(Home, Typed);
    TSQLiteDatabase Other(Folder.Database());
    Other.ExecSQL("BEGIN IMMEDIATE;");
    // Time must pass here: the lock is held through the session end's first tries (it gives up
    // after four seconds).
    std::thread LetGo([&] {
        Sleep(1500);
        Other.ExecSQL("ROLLBACK;");
    });
    EndSession(Program);
    LetGo.join();
    DWORD Exit = 1;
    EXPECT_TRUE(Program.WaitForExit(30000, &Exit));
    EXPECT_EQ(Exit, 0u);
    EXPECT_TRUE(WaitForContent(Folder.Database(), Typed, 0));
    const std::string Log = Folder.ReadFile("Miravelund.log");
    EXPECT_NE(Log.find("Commit finished"), std::string::npos) << Log;
}

namespace {

struct TMenuSearch {
    DWORD Pid;
    HWND Found = nullptr;
};

BOOL CALLBACK FindOpenMenu(HWND Window, LPARAM Param) {
    auto& Search = *reinterpret_cast<TMenuSearch*>(Param);
    DWORD Pid = 0;
    GetWindowThreadProcessId(Window, &Pid);
    if (Pid == Search.Pid && ClassOf(Window) == "#32768" && IsWindowVisible(Window)) {
        Search.Found = Window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForOpenMenu(DWORD Pid, DWORD Milliseconds) {
    const DWORD Start = GetTickCount();
    do {
        TMenuSearch Search{Pid};
        EnumWindows(FindOpenMenu, reinterpret_cast<LPARAM>(&Search));
        if (Search.Found) return Search.Found;
        Sleep(100);
    } while (GetTickCount() - Start < Milliseconds);
    return nullptr;
}

} // namespace

// The user has the tray menu open when the session ends: nobody closes the
// menu, and the program still saves, shuts down and ends.
TEST(ProgramProcess, TheSessionEndWithTheTrayMenuOpenEndsTheProgram) {
    TProgramFolder Folder("endsession-menu");
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    HWND Home = StartAndWaitForHome(Program);
    ASSERT_NE(Home, nullptr);
    const std::string Typed = "Typed before the tray menu was opened ";
    Type(Home, Typed);
    const std::vector<HWND> Tray = TopWindowsInOrder(Program.Id(), "MvTrayIconWindow");
    ASSERT_FALSE(Tray.empty());
    ASSERT_EQ(ClassOf(Tray.front()), "MvTrayIconWindow");
    PostMessageA(Tray.front(), 0x800 /* the icon's notification */, 1, WM_RBUTTONDOWN);
    HWND Menu = WaitForOpenMenu(Program.Id(), 10000);
    ASSERT_NE(Menu, nullptr) << "the tray menu did not open";
    EXPECT_TRUE(SaveWindowScreen(Menu, "tray-menu-at-session-end"));

    EndSession(Program);
    DWORD Exit = 1;
    ASSERT_TRUE(Program.WaitForExit(30000, &Exit)) << "the program went on running after the session end";
    EXPECT_EQ(Exit, 0u);
    EXPECT_TRUE(WaitForContent(Folder.Database(), Typed, 0));
}

// The other program never lets go before the session ends: the program gives
// up within its time limit, lock waits included, and what it could not save is
// in a file of its own, word for word.
TEST(ProgramProcess, AtTheSessionEndTextThatCannotBeSavedIsKeptInAFileWithinTheTimeLimit) {
    TProgramFolder Folder("endlocked-log");
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    const std::string Typed = "Typed while the file stayed locked ";
    HWND Main = TypeIntoHome(Program, Typed);
    ASSERT_NE(Main, nullptr);
    TSQLiteDatabase Other(Folder.Database());
    Other.ExecSQL("BEGIN IMMEDIATE;");
    DWORD_PTR Reply = 0;
    const DWORD Start = GetTickCount();
    ASSERT_NE(SendMessageTimeoutA(Main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 120000, &Reply), 0);
    EXPECT_TRUE(Program.WaitForExit(30000));
    // The program's stated limit, from the message to the end of its process, every lock wait,
    // checkpoint and last commit included (once, each waited a lock wait of its own: about 7 s).
    EXPECT_LT(GetTickCount() - Start, 4000u);
    Other.ExecSQL("ROLLBACK;");
    EXPECT_FALSE(WaitForContent(Folder.Database(), Typed, 0));
    const std::string Kept = UnsavedNotesFile(Folder);
    ASSERT_FALSE(Kept.empty()) << Folder.ReadFile("Miravelund.log");
    EXPECT_NE(Folder.ReadFile(Kept).find("===== :Home =====\r\n" + Typed), std::string::npos)
        << Folder.ReadFile(Kept);
    EXPECT_NE(Folder.ReadFile("Miravelund.log").find("written in the file " + Folder.File(Kept)),
              std::string::npos);
}

// While another program keeps holding the file, the user can still quit: the
// quit box's Continue, pressed on the keyboard, closes Miravelund with the text
// kept in a file of its own, and the box after it says which.
TEST(ProgramProcess, AQuitWhileTheFileStaysHeldCanKeepTheTextInAFileAndEnd) {
    TProgramFolder Folder("quit-held");
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    const std::string Typed = "Typed while the backup kept the file ";
    HWND Main = TypeIntoHome(Program, Typed);
    ASSERT_NE(Main, nullptr);
    TSQLiteDatabase Other(Folder.Database());
    Other.ExecSQL("BEGIN IMMEDIATE;");
    PostMessageA(Main, WM_CLOSE, 0, 0);

    HWND Box = nullptr;
    const std::string Question = WaitForMessageBoxText(Program.Id(), 30000, &Box);
    EXPECT_NE(Question.find("is in use by another program"), std::string::npos) << Question;
    EXPECT_NE(Question.find("Continue to quit and keep your text in a file in " + Folder.Path()),
              std::string::npos)
        << Question;
    ASSERT_NE(Box, nullptr);
    EXPECT_TRUE(SaveWindowScreen(Box, "quit-while-file-held"));
    // The Continue button's letter.
    ASSERT_TRUE(PressOnBox(Box, 'C')) << "Continue did not close the box";

    HWND Told = nullptr;
    const std::string Where = WaitForMessageBoxText(Program.Id(), 30000, &Told);
    const std::string Kept = UnsavedNotesFile(Folder);
    ASSERT_FALSE(Kept.empty()) << Where;
    EXPECT_NE(Where.find("written in the file " + Folder.File(Kept)), std::string::npos) << Where;
    if (Told) PostMessageA(Told, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Program.WaitForExit(30000)) << "the program did not end";
    Other.ExecSQL("ROLLBACK;");
    EXPECT_NE(Folder.ReadFile(Kept).find(Typed), std::string::npos);
    EXPECT_FALSE(WaitForContent(Folder.Database(), Typed, 0));

    // The next start says where the text is, once.
    for (const bool First : {true, false}) {
        TChildProcess Next(Folder.File("Miravelund.exe"), "", Folder.Path());
        HWND Notice = nullptr;
        const std::string Told = WaitForMessageBoxText(Next.Id(), First ? 30000 : 3000, &Notice);
        if (First) {
            EXPECT_NE(Told.find(Folder.File(Kept)), std::string::npos) << Told;
            ASSERT_NE(Notice, nullptr);
            EXPECT_TRUE(SaveWindowScreen(Notice, "kept-text-told-at-next-start"));
            PostMessageA(Notice, WM_COMMAND, IDOK, 0);
        } else {
            EXPECT_EQ(Told, "") << "told again";
        }
        ASSERT_NE(StartAndWaitForHome(Next), nullptr);
        EndSession(Next);
        EXPECT_TRUE(Next.WaitForExit(30000));
    }
}

#ifdef MV_THROWING_PLUGIN_W
// A plug-in whose save handler fails puts up no box at the session end: the
// text is written before Windows ends the program, and the failure is logged.
TEST(ProgramProcess, AtTheSessionEndAFailingPluginHoldsUpNoSave) {
    TProgramFolder Folder("endplugin");
    ASSERT_TRUE(CopyFileA(MV_THROWING_PLUGIN_W, Folder.File("Plugins\\ThrowingPlugin.dll").c_str(), FALSE));
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    HWND Home = StartAndWaitForHome(Program);
    ASSERT_NE(Home, nullptr);
    const std::string Typed = "Typed under a plug-in line ";
    // The handler's word opens the line: the whole line is the plug-in's.
    Type(Home, ".throwint " + Typed);
    EndSession(Program);
    DWORD Exit = 1;
    ASSERT_TRUE(Program.WaitForExit(30000, &Exit));
    EXPECT_EQ(Exit, 0u);
    EXPECT_TRUE(WaitForContent(Folder.Database(), Typed, 0));
    EXPECT_NE(Folder.ReadFile("Miravelund.log").find("failed on the line \".throwint " + Typed),
              std::string::npos)
        << Folder.ReadFile("Miravelund.log");
}
#endif

// The program folder on a small volume that fills up while the user types (the
// test run mounts one and names it in MV_FULL_VOLUME): the save that meets the
// full disk says so and keeps the text, and once there is room Ctrl+S really
// writes it.
TEST(FullVolume, ASaveThatMetAFullDiskIsWrittenOnceThereIsRoom) {
    char Volume[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("MV_FULL_VOLUME", Volume, MAX_PATH)) GTEST_SKIP() << "no small volume here";
    TProgramFolder Folder("fullvolume", Volume);
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    HWND Home = StartAndWaitForHome(Program);
    ASSERT_NE(Home, nullptr);
    // Fill the volume to the last byte.
    const std::string Filler = std::string(Volume) + "\\filler";
    FillVolume(Filler);

    std::string Typed;
    for (int I = 0; I < 40; ++I)
        Typed += "Words typed on a full disk, line " + std::to_string(I) + ". ";
    Type(Home, Typed);
    PressSave(Home);
    HWND Box = nullptr;
    const std::string Text = WaitForMessageBoxText(Program.Id(), 30000, &Box);
    EXPECT_NE(Text.find("is full"), std::string::npos) << Text;
    EXPECT_NE(Text.find("Your text is kept in the window"), std::string::npos) << Text;
    EXPECT_EQ(Text.find("INSERT"), std::string::npos) << Text;
    ASSERT_NE(Box, nullptr);
    EXPECT_TRUE(SaveWindowScreen(Box, "save-refused-disk-full"));
    PostMessageA(Box, WM_COMMAND, IDOK, 0);

    ASSERT_TRUE(DeleteFileA(Filler.c_str()));
    PressSave(Home);
    EXPECT_TRUE(WaitForContent(Folder.Database(), Typed, 30000))
        << "Ctrl+S wrote nothing once there was room";
    EndSession(Program);
    EXPECT_TRUE(Program.WaitForExit(30000));
    EXPECT_TRUE(WaitForContent(Folder.Database(), Typed, 0));
}
