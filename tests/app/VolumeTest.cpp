// The real Miravelund.exe on a small volume of its own (the test run mounts one, and a read-only
// view of it, and names them in MV_FULL_VOLUME and MV_READONLY_VIEW): a full disk under the
// program folder, My Documents and the temporary folder alike, as on a machine with one drive;
// and a program folder nobody may write.
#include "base/FileInfo.h"
#include "store/SQLiteAccess.h"
#include "tests/app/ProgramProcess.h"
#include "tests/app/Screens.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <vector>

using namespace mv::app::test;

namespace {

std::string Environment(const char* Name) {
    char Value[MAX_PATH] = {};
    const DWORD Length = GetEnvironmentVariableA(Name, Value, MAX_PATH);
    return Length > 0 && Length < MAX_PATH ? std::string(Value, Length) : std::string();
}

// A folder made for the test and removed with everything in it.
class TFolder {
public:
    explicit TFolder(std::string Path) : FPath(std::move(Path)) { CreateDirectoryA(FPath.c_str(), nullptr); }
    ~TFolder() {
        WIN32_FIND_DATAA Found{};
        HANDLE Search = FindFirstFileA((FPath + "\\*").c_str(), &Found);
        if (Search != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((FPath + "\\" + Found.cFileName).c_str());
            while (FindNextFileA(Search, &Found));
            FindClose(Search);
        }
        RemoveDirectoryA(FPath.c_str());
    }
    TFolder(const TFolder&) = delete;
    TFolder& operator=(const TFolder&) = delete;
    const std::string& Path() const { return FPath; }
    std::string File(const std::string& Name) const { return FPath + "\\" + Name; }

private:
    std::string FPath;
};

// The user's My Documents folder, as the shell finds it, moved to Folder while this lives (the
// registry value a user's own redirection sets).
class TDocumentsFolder {
public:
    explicit TDocumentsFolder(const std::string& Folder) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER,
                          "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0,
                          KEY_QUERY_VALUE | KEY_SET_VALUE, &FKey) != ERROR_SUCCESS)
            throw std::runtime_error("no shell folders key");
        DWORD Size = sizeof FSaved;
        FHad = RegQueryValueExA(FKey, "Personal", nullptr, &FType, FSaved, &Size) == ERROR_SUCCESS;
        FSize = Size;
        RegSetValueExA(FKey, "Personal", 0, REG_SZ, reinterpret_cast<const BYTE*>(Folder.c_str()),
                       static_cast<DWORD>(Folder.size() + 1));
    }
    ~TDocumentsFolder() {
        if (FHad)
            RegSetValueExA(FKey, "Personal", 0, FType, FSaved, FSize);
        else
            RegDeleteValueA(FKey, "Personal");
        RegCloseKey(FKey);
    }
    TDocumentsFolder(const TDocumentsFolder&) = delete;
    TDocumentsFolder& operator=(const TDocumentsFolder&) = delete;

private:
    HKEY FKey = nullptr;
    bool FHad = false;
    DWORD FType = REG_SZ;
    BYTE FSaved[1024] = {};
    DWORD FSize = 0;
};

// The temporary folder of the programs this test starts.
class TTempFolderOfChildren {
public:
    explicit TTempFolderOfChildren(const std::string& Folder)
        : FTemp(Environment("TEMP")), FTmp(Environment("TMP")) {
        SetEnvironmentVariableA("TEMP", Folder.c_str());
        SetEnvironmentVariableA("TMP", Folder.c_str());
    }
    ~TTempFolderOfChildren() {
        SetEnvironmentVariableA("TEMP", FTemp.empty() ? nullptr : FTemp.c_str());
        SetEnvironmentVariableA("TMP", FTmp.empty() ? nullptr : FTmp.c_str());
    }
    TTempFolderOfChildren(const TTempFolderOfChildren&) = delete;
    TTempFolderOfChildren& operator=(const TTempFolderOfChildren&) = delete;

private:
    std::string FTemp, FTmp;
};

BOOL CALLBACK CollectButton(HWND Child, LPARAM Param) {
    char Class[32] = {};
    GetClassNameA(Child, Class, sizeof Class);
    if (lstrcmpiA(Class, "Button") == 0) {
        char Text[64] = {};
        GetWindowTextA(Child, Text, sizeof Text);
        reinterpret_cast<std::vector<std::string>*>(Param)->push_back(Text);
    }
    return TRUE;
}

// The captions of a box's buttons.
std::vector<std::string> ButtonsOf(HWND Box) {
    std::vector<std::string> Buttons;
    EnumChildWindows(Box, CollectButton, reinterpret_cast<LPARAM>(&Buttons));
    return Buttons;
}

bool HasButton(HWND Box, const std::string& Caption) {
    const std::vector<std::string> Buttons = ButtonsOf(Box);
    return std::find(Buttons.begin(), Buttons.end(), Caption) != Buttons.end();
}

// Text pasted into the note from the clipboard, Ctrl+V on the keyboard, as a user brings a long text.
void Paste(HWND NoteWindow, const std::string& Text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL Memory = GlobalAlloc(GMEM_MOVEABLE, Text.size() + 1);
    memcpy(GlobalLock(Memory), Text.c_str(), Text.size() + 1);
    GlobalUnlock(Memory);
    SetClipboardData(CF_TEXT, Memory);
    CloseClipboard();
    PressKeyOn(NoteWindow, 'V', true);
}

// One disk under every folder the text could go to, as on a machine with one drive: the program
// folder, My Documents and the temporary folder of the programs the test starts, all on Volume.
struct TOneDisk {
    TOneDisk(const std::string& Volume, const std::string& Name)
        : Folder(Name, Volume), Documents(Volume + "\\documents"), Temp(Volume + "\\temp"),
          DocumentsHere(Documents.Path()), TempHere(Temp.Path()) {}
    TProgramFolder Folder;
    TFolder Documents;
    TFolder Temp;
    TDocumentsFolder DocumentsHere;
    TTempFolderOfChildren TempHere;
};

} // namespace

// One disk under every folder the text could go to, as on a machine with one drive: a quit on
// the full disk never closes Miravelund without the text in a file. With no byte free the box
// offers no Continue; with a little room, Continue tries to keep the text, and where it cannot,
// Miravelund stays open with the text and says so, as often as the user tries; once there is
// room, the quit saves it.
TEST(FullVolume, AQuitOnADiskFullUnderEveryFolderNeverClosesWithoutTheText) {
    const std::string Volume = Environment("MV_FULL_VOLUME");
    if (Volume.empty()) GTEST_SKIP() << "no small volume here";
    TOneDisk Disk(Volume, "onedisk");
    const TProgramFolder& Folder = Disk.Folder;
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    HWND Home = StartAndWaitForHome(Program);
    ASSERT_NE(Home, nullptr);
    HWND Main = FindMainWindow(Program.Id());
    ASSERT_NE(Main, nullptr);
    std::string Long, Last;
    for (int I = 0; Long.size() < 160000; ++I) {
        Last = "Line " + std::to_string(I) + " of a long text pasted on a full disk.";
        Long += Last + "\r\n";
    }
    Paste(Home, Long);
    for (const DWORD Start = GetTickCount();
         WindowText(EditorOf(Home)).empty() && GetTickCount() - Start < 10000;)
        Sleep(50);

    // A little room to give back later: less than the text needs.
    Folder.WriteFile("reserve", std::string(32768, 'r'));
    const std::string Reserve = Folder.File("reserve");
    const std::string Filler = Volume + "\\filler";
    FillVolume(Filler);

    // No byte free: nowhere to keep the text, so no Continue.
    PostMessageA(Main, WM_CLOSE, 0, 0);
    HWND Box = nullptr;
    std::string Told = WaitForMessageBoxText(Program.Id(), 30000, &Box);
    ASSERT_NE(Box, nullptr);
    EXPECT_NE(Told.find("is full"), std::string::npos) << Told;
    EXPECT_NE(Told.find("No file can be made for your text either, in " + Folder.Path() + ", " +
                        Disk.Documents.Path() + " or " + Disk.Temp.Path()),
              std::string::npos)
        << Told;
    EXPECT_NE(Told.find("The disk is full: free some space on it"), std::string::npos) << Told;
    EXPECT_EQ(Told.find("every six minutes"), std::string::npos) << Told;
    EXPECT_FALSE(HasButton(Box, "&Continue"));
    EXPECT_TRUE(SaveWindowScreen(Box, "quit-on-a-full-disk"));
    ASSERT_TRUE(PressOnBox(Box, VK_ESCAPE));

    // A little room, less than the text needs: Continue is offered, and twice in a row it keeps
    // Miravelund open with the text rather than close it.
    ASSERT_TRUE(DeleteFileA(Reserve.c_str()));
    for (int Try = 0; Try < 2; ++Try) {
        SCOPED_TRACE("try " + std::to_string(Try));
        PostMessageA(Main, WM_CLOSE, 0, 0);
        Told = WaitForMessageBoxText(Program.Id(), 30000, &Box);
        ASSERT_NE(Box, nullptr) << "no quit box";
        EXPECT_NE(Told.find("Continue to quit and keep your text in a file in " + Folder.Path()),
                  std::string::npos)
            << Told;
        ASSERT_TRUE(PressOnBox(Box, 'C'));
        Told = WaitForMessageBoxText(Program.Id(), 30000, &Box);
        ASSERT_NE(Box, nullptr) << "Miravelund closed without keeping the text";
        EXPECT_NE(Told.find("could not write the text of the unsaved notes into a file in " + Folder.Path()),
                  std::string::npos)
            << Told;
        EXPECT_NE(Told.find("Your text stays in its window, and Miravelund stays open."), std::string::npos)
            << Told;
        EXPECT_NE(Told.find("The disk is full: free some space on it, then save (Ctrl+S) or quit again."),
                  std::string::npos)
            << Told;
        if (Try == 0) {
            EXPECT_TRUE(SaveWindowScreen(Box, "quit-continue-on-a-full-disk"));
        }
        ASSERT_TRUE(PressOnBox(Box, VK_RETURN));
        EXPECT_TRUE(IsWindow(Home));
        EXPECT_NE(WindowText(EditorOf(Home)).find("Line 0 of a long text"), std::string::npos);
        EXPECT_EQ(UnsavedNotesFile(Folder), "");
    }

    // Room again: the quit saves the text into the notes file and ends.
    ASSERT_TRUE(DeleteFileA(Filler.c_str()));
    PostMessageA(Main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Program.WaitForExit(30000)) << WaitForMessageBoxText(Program.Id(), 0, nullptr);
    EXPECT_TRUE(WaitForContent(Folder.Database(), Last, 0));
}

// A program folder nobody may write, where the system says it made a temporary file and made
// none: the log, and the text a quit keeps, go to the first folder where a file really can be
// made, and the quit box names that one.
TEST(ReadOnlyVolume, AProgramFolderNobodyMayWriteIsPassedOverForTheLogAndTheKeptText) {
    const std::string Volume = Environment("MV_FULL_VOLUME");
    const std::string ReadOnly = Environment("MV_READONLY_VIEW");
    if (Volume.empty() || ReadOnly.empty()) GTEST_SKIP() << "no read-only volume here";
    TProgramFolder Notes("readonly-notes");
    TProgramFolder Writable("readonly", Volume);
    Writable.WriteFile("Miravelund.ini", "database=" + Notes.Database() + "\r\n");
    const std::string Program = ReadOnly + Writable.Path().substr(Volume.size());

    char Made[MAX_PATH] = {};
    const UINT Number = GetTempFileNameA(Program.c_str(), "mv", 0, Made);
    EXPECT_EQ(PathInfo(Made).Kind, TPathKind::Nothing) << "the system made " << Made;
    if (Number != 0) std::cout << "The system reported " << Made << " and made no file.\n";
    EXPECT_EQ(FolderWriteAccess(Program), TWriteAccess::ReadOnly);

    char TempPath[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, TempPath);
    TFolder Documents(std::string(TempPath) + "mv-readonly-documents-" +
                      std::to_string(GetCurrentProcessId()));
    TDocumentsFolder DocumentsHere(Documents.Path());
    TChildProcess Running(Program + "\\Miravelund.exe", "", Program);
    const std::string Typed = "Typed beside a program folder nobody may write ";
    HWND Main = TypeIntoHome(Running, Typed);
    ASSERT_NE(Main, nullptr);
    const std::string Log = ReadWholeFile(Documents.File("Miravelund.log"));
    EXPECT_NE(Log.find("This log is kept in " + Documents.Path() + " because the program folder " + Program +
                       " cannot be written."),
              std::string::npos)
        << Log;
    EXPECT_NE(Log.find("Miravelund starting up"), std::string::npos) << Log;

    TSQLiteDatabase Other(Notes.Database());
    Other.ExecSQL("BEGIN IMMEDIATE;");
    PostMessageA(Main, WM_CLOSE, 0, 0);
    HWND Box = nullptr;
    const std::string Question = WaitForMessageBoxText(Running.Id(), 30000, &Box);
    ASSERT_NE(Box, nullptr);
    EXPECT_NE(Question.find("Continue to quit and keep your text in a file in " + Documents.Path() + ","),
              std::string::npos)
        << Question;
    ASSERT_TRUE(PressOnBox(Box, 'C'));
    const std::string Where = WaitForMessageBoxText(Running.Id(), 30000, &Box);
    EXPECT_NE(Where.find("written in the file " + Documents.Path() + "\\Unsaved notes "), std::string::npos)
        << Where;
    if (Box) PostMessageA(Box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Running.WaitForExit(30000));
    Other.ExecSQL("ROLLBACK;");
}

// A damaged notes file takes no save, and on a disk full under every folder no file takes the
// text either: the quit says so and asks before the text is lost, No first; once there is room,
// the text goes into a file of its own and the quit ends.
TEST(FullVolume, ADamagedFileOnAFullDiskAsksBeforeTheTextIsLost) {
    const std::string Volume = Environment("MV_FULL_VOLUME");
    if (Volume.empty()) GTEST_SKIP() << "no small volume here";
    TOneDisk Disk(Volume, "damaged-full");
    const TProgramFolder& Folder = Disk.Folder;
    MakeLargeNotebook(Folder.Database());
    ZeroPageOfTopic(Folder.Database(), 1500);
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    HWND Home = StartAndWaitForHome(Program);
    ASSERT_NE(Home, nullptr);
    HWND Box = nullptr;
    const std::string Found = WaitForMessageBoxText(Program.Id(), 30000, &Box);
    ASSERT_NE(Found.find("is damaged"), std::string::npos) << Found;
    ASSERT_TRUE(PressOnBox(Box, VK_RETURN));
    const std::string Typed = "Typed into a damaged file on a full disk ";
    Type(Home, Typed);
    const std::string Filler = Volume + "\\filler";
    FillVolume(Filler);

    HWND Main = FindMainWindow(Program.Id());
    PostMessageA(Main, WM_CLOSE, 0, 0);
    std::string Told = WaitForMessageBoxText(Program.Id(), 30000, &Box);
    ASSERT_NE(Box, nullptr);
    EXPECT_NE(Told.find("could not write the text of the unsaved notes into a file in " + Folder.Path()),
              std::string::npos)
        << Told;
    EXPECT_NE(Told.find("The disk is full: free some space on it, then quit again."), std::string::npos)
        << Told;
    EXPECT_NE(Told.find("Quit anyway, and lose the text that is not saved?"), std::string::npos) << Told;
    EXPECT_TRUE(SaveWindowScreen(Box, "quit-damaged-file-on-a-full-disk"));
    ASSERT_TRUE(PressOnBox(Box, VK_RETURN)); // the box's first choice
    EXPECT_NE(WindowText(EditorOf(Home)).find(Typed), std::string::npos) << "Miravelund closed with the text";

    ASSERT_TRUE(DeleteFileA(Filler.c_str()));
    PostMessageA(Main, WM_CLOSE, 0, 0);
    Told = WaitForMessageBoxText(Program.Id(), 30000, &Box);
    ASSERT_NE(Box, nullptr);
    EXPECT_NE(
        Told.find("Quit anyway? The text of every unsaved note is written in the file " + Folder.Path()),
        std::string::npos)
        << Told;
    ASSERT_TRUE(PressOnBox(Box, 'Y'));
    ASSERT_TRUE(Program.WaitForExit(30000)) << WaitForMessageBoxText(Program.Id(), 0, nullptr);
    const std::string Kept = UnsavedNotesFile(Folder);
    ASSERT_FALSE(Kept.empty());
    EXPECT_NE(Folder.ReadFile(Kept).find(Typed), std::string::npos);
}
