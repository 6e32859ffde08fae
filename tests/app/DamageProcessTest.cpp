// The real Miravelund.exe on a notes file damaged where start-up does not read:
// Home comes up as usual, the damage is told soon after, and nothing more is
// written into the file.
#include "tests/app/ProgramProcess.h"
#include "tests/app/Screens.h"

#include <gtest/gtest.h>

using namespace mv::app::test;

namespace {

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
    MakeLargeNotebook(Folder.Database());
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

    ZeroPageOfTopic(Folder.Database(), 1500);
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
