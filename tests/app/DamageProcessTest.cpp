// The real Miravelund.exe on a notes file damaged where start-up does not read:
// Home comes up as usual, the damage is told soon after, and nothing more is
// written into the file.
#include "store/NotesStore.h"
#include "tests/app/ProgramProcess.h"
#include "tests/app/Screens.h"

#include <gtest/gtest.h>

using namespace mv::app::test;

namespace {

std::string RowText(int N) {
    return "The words of topic " + std::to_string(N) + ", kept in its row.";
}

// A notebook of a few thousand small topics, whose rows fill many pages.
void MakeNotebook(const std::string& Database) {
    TNotesStore Store(Database);
    for (int N = 0; N <= 3000; ++N) {
        const std::string Title = N == 0 ? "Home" : "Topic " + std::to_string(N);
        bool Created = true;
        TStringStream Content(N == 0 ? std::string("Home of a large notebook") : RowText(N));
        TStringStream Meta("");
        Store.SaveTopic(Store.FindTopic("", Title, Created), "", TTopicRect{}, Content, Title, Meta);
    }
    Store.Commit();
}

// Zeroes the page that holds the row of topic N, as a disk fault would.
void ZeroRowPage(const std::string& Database, int N) {
    std::string Bytes = ReadWholeFile(Database);
    const size_t At = Bytes.find(RowText(N));
    ASSERT_NE(At, std::string::npos);
    const size_t PageSize = 4096;
    const size_t Page = At / PageSize;
    ASSERT_GT(Page, 1u);
    Bytes.replace(Page * PageSize, PageSize, std::string(PageSize, '\0'));
    HANDLE File = CreateFileA(Database.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(File, INVALID_HANDLE_VALUE);
    DWORD Written = 0;
    WriteFile(File, Bytes.data(), static_cast<DWORD>(Bytes.size()), &Written, nullptr);
    CloseHandle(File);
    ASSERT_EQ(Written, Bytes.size());
}

bool WaitForLog(const TProgramFolder& Folder, const std::string& Line, DWORD Milliseconds) {
    const DWORD Start = GetTickCount();
    do {
        if (Folder.ReadFile("Miravelund.log").find(Line) != std::string::npos) return true;
        Sleep(100);
    } while (GetTickCount() - Start < Milliseconds);
    return false;
}

} // namespace

TEST(ProgramProcess, DamageStartUpDoesNotReadIsToldSoonAfterHomeAndTheFileIsNotWrittenAgain) {
    TProgramFolder Folder("damage-check");
    MakeNotebook(Folder.Database());
    {
        // A sound file: checked, and not a word about it.
        TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
        ASSERT_NE(WaitForWindow(Program.Id(), ":Home", 60000, "TfrmNote"), nullptr);
        EXPECT_TRUE(WaitForLog(Folder, "checked for damage: none found", 30000))
            << Folder.ReadFile("Miravelund.log");
        HWND Box = nullptr;
        EXPECT_EQ(WaitForMessageBoxText(Program.Id(), 500, &Box), "");
        EndSession(Program);
        EXPECT_TRUE(Program.WaitForExit(30000));
    }

    ZeroRowPage(Folder.Database(), 1500);
    const std::string Damaged = ReadWholeFile(Folder.Database());
    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    ASSERT_NE(WaitForWindow(Program.Id(), ":Home", 60000, "TfrmNote"), nullptr);
    HWND Box = nullptr;
    const std::string Text = WaitForMessageBoxText(Program.Id(), 30000, &Box);
    EXPECT_NE(Text.find("The notes file \"" + Folder.Database() + "\" is damaged"), std::string::npos)
        << Text;
    EXPECT_NE(Text.find("writes nothing more into it"), std::string::npos) << Text;
    EXPECT_NE(Text.find("restore a copy of the file from a backup"), std::string::npos) << Text;
    EXPECT_NE(Text.find("a file of its own in " + Folder.Path() + "."), std::string::npos) << Text;
    EXPECT_EQ(Text.find("PRAGMA"), std::string::npos) << Text;
    ASSERT_NE(Box, nullptr);
    EXPECT_TRUE(SaveWindowScreen(Box, "damage-found-after-start"));
    PostMessageA(Box, WM_COMMAND, IDOK, 0);
    // Quit as the tray menu does: with no text typed there is nothing to ask.
    HWND Main = WaitForMainWindow(Program.Id(), 30000);
    ASSERT_NE(Main, nullptr);
    PostMessageA(Main, WM_CLOSE, 0, 0);
    DWORD Exit = 1;
    ASSERT_TRUE(Program.WaitForExit(30000, &Exit)) << WaitForMessageBoxText(Program.Id(), 0, &Box);
    EXPECT_EQ(Exit, 0u);
    EXPECT_EQ(ReadWholeFile(Folder.Database()), Damaged) << "written into after the damage was found";
    EXPECT_NE(Folder.ReadFile("Miravelund.log").find("found damage"), std::string::npos)
        << Folder.ReadFile("Miravelund.log");
}
