// Plug-ins in the real Miravelund.exe: the SDK's two samples, built from the
// SDK folder alone, loaded and run by the program; a quit while the plug-in
// list is open; and a plug-in that ends the program, switched off at the next
// start.
#include "base/StringList.h"
#include "store/NotesStore.h"
#include "tests/app/ProgramProcess.h"
#include "tests/app/Screens.h"

#include <gtest/gtest.h>

using namespace mv::app::test;

namespace {

constexpr DWORD StartTimeout = 60000;

void ExpectOrderlyEnd(TChildProcess& Program, const TProgramFolder& Folder) {
    DWORD Exit = 1;
    ASSERT_TRUE(Program.WaitForExit(30000, &Exit));
    EXPECT_EQ(Exit, 0u);
    const std::string Log = Folder.ReadFile("Miravelund.log");
    const auto Last = Log.find_last_not_of("\r\n");
    ASSERT_NE(Last, std::string::npos);
    EXPECT_EQ(Log.substr(Last + 1 - 11, 11), "Session End") << Log;
}

// Home carries Text before the program starts (the database is made from the template).
void WriteHome(const TProgramFolder& Folder, const std::string& Text) {
    ASSERT_TRUE(CopyFileA(Folder.File("Default.mvdb").c_str(), Folder.Database().c_str(), FALSE));
    TNotesStore Store(Folder.Database());
    bool Created = false;
    const int32_t Home = Store.FindTopic("", "Home", Created);
    TTopicRect Rect;
    Store.GetTopic(Home, Rect);
    TStringStream Content(Text);
    Store.SaveTopic(Home, "", Rect, Content, "Home");
}

int Count(const std::string& Text, const std::string& Part) {
    int Found = 0;
    for (auto At = Text.find(Part); At != std::string::npos; At = Text.find(Part, At + 1))
        ++Found;
    return Found;
}

// Clicks the note window's command bar at a point measured from the right end
// of its client area (the managers' tool bar sits there; its buttons have no
// windows of their own, so the click goes to the deepest window at that point).
void ClickFromRight(HWND Note, int FromRight, int Y) {
    RECT Client{};
    GetClientRect(Note, &Client);
    POINT At{Client.right - FromRight, Y};
    HWND Target = Note;
    for (;;) {
        HWND Child = ChildWindowFromPointEx(Target, At, CWP_SKIPINVISIBLE);
        if (!Child || Child == Target) break;
        MapWindowPoints(Target, Child, &At, 1);
        Target = Child;
    }
    PostMessageA(Target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(At.x, At.y));
    PostMessageA(Target, WM_LBUTTONUP, 0, MAKELPARAM(At.x, At.y));
}

} // namespace

TEST(PluginProcess, TheSdkSamplesRunInTheRealProgram) {
    TProgramFolder Folder("sdksamples");
    for (const char* Name : {"DuePlugin.dll", "WordCountPlugin.dll"}) {
        const std::string Source = std::string(MV_SDK_SAMPLES_DIR_W) + "\\" + Name;
        ASSERT_TRUE(CopyFileA(Source.c_str(), Folder.File(std::string("Plugins\\") + Name).c_str(), FALSE))
            << Source;
    }
    WriteHome(Folder, "Home\r\nthree little words\r\n.due 2027-01-15\r\n.words\r\n");

    TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
    ASSERT_NE(WaitForWindow(Program.Id(), ":Home", StartTimeout, "TfrmNote"), nullptr);
    EndSession(Program); // the note window saves Home: the samples' save handlers run
    ExpectOrderlyEnd(Program, Folder);

    const std::string Log = Folder.ReadFile("Miravelund.log");
    EXPECT_NE(Log.find("Plugin: dueplugin"), std::string::npos) << Log;
    EXPECT_NE(Log.find("Plugin: wordcountplugin"), std::string::npos) << Log;
    TNotesStore Store(Folder.Database());
    bool Created = false;
    const int32_t Home = Store.FindTopic("", "Home", Created);
    auto Meta = Store.GetTopicMeta(Home);
    ASSERT_NE(Meta, nullptr);
    THashedStringList Lines;
    Lines.LoadFromStream(*Meta);
    EXPECT_EQ(Lines.Values("due"), "2027-01-15") << Meta->DataString();
    EXPECT_EQ(Lines.Values("words"), "4") << Meta->DataString();
    bool TagCreated = false;
    EXPECT_LT(Store.FindTag("due", TagCreated), 0) << "a plug-in's word is no tag";
}

// Quitting (the end of the Windows session) while a window of ours is open,
// opened from the note window's command bar, ends the program in order.
TEST(PluginProcess, QuittingWithAWindowOpenEndsCleanly) {
    struct Case {
        int FromRight; // the button's middle, from the right end of the bar
        const char* Window;
    };
    // The managers' bar ends with Plugins and About, 23 pixels each.
    for (const Case& C : {Case{35, "Plugins"}, Case{12, "About"}}) {
        SCOPED_TRACE(C.Window);
        TProgramFolder Folder("quitwith");
        TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
        HWND Note = WaitForWindow(Program.Id(), ":Home", StartTimeout, "TfrmNote");
        ASSERT_NE(Note, nullptr);
        ClickFromRight(Note, C.FromRight, 12);
        ASSERT_NE(WaitForWindow(Program.Id(), C.Window, 30000), nullptr) << "the window opened";
        EndSession(Program);
        ExpectOrderlyEnd(Program, Folder);
    }
}

// A plug-in whose load handler crashes (a write to address 0) ends the start
// as Home loads. The next start switches it off in Plugins.ini, every other
// line kept, tells the user once and shows Home; the start after says nothing.
TEST(PluginProcess, APlugInThatEndedTheProgramIsSwitchedOffAtTheNextStart) {
    TProgramFolder Folder("crashing");
    const std::string Module = std::string(MV_TEST_PLUGIN_DIR_W) + "\\CrashingPlugin.dll";
    ASSERT_TRUE(CopyFileA(Module.c_str(), Folder.File("Plugins\\CrashingPlugin.dll").c_str(), FALSE))
        << Module;
    Folder.WriteFile("Plugins\\Plugins.ini",
                     "; the user's own line\r\nother=False\r\nCrashingPlugin=True\r\nlast=1");
    WriteHome(Folder, "Home\r\n.crash\r\n");

    {
        TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
        DWORD Exit = 0;
        ASSERT_TRUE(Program.WaitForExit(StartTimeout, &Exit)) << "the crash did not end the program\n"
                                                              << Folder.ReadFile("Miravelund.log");
        EXPECT_NE(Exit, 0u);
    }

    const char Said[] = "The plugin \"crashingplugin\" ended Miravelund while it ran: it was running its "
                        "command \"crash\" (loadtag).";
    {
        TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
        HWND Box = nullptr;
        const std::string Text = WaitForMessageBoxText(Program.Id(), StartTimeout, &Box);
        EXPECT_EQ(Text.rfind(Said, 0), 0u) << Text;
        EXPECT_NE(Text.find("open the plugin list with the Plugins button of a note window, put a check mark "
                            "next to \"crashingplugin\""),
                  std::string::npos)
            << Text;
        ASSERT_NE(Box, nullptr);
        EXPECT_TRUE(SaveWindowScreen(Box, "plugin-switched-off"));
        PostMessageA(Box, WM_COMMAND, IDOK, 0);
        ASSERT_NE(WaitForWindow(Program.Id(), ":Home", StartTimeout, "TfrmNote"), nullptr);
        EXPECT_EQ(WaitForMessageBoxText(Program.Id(), 2000, nullptr), "") << "told once";
        // The main window stays hidden after a box of the start-up, as after any start.
        EXPECT_FALSE(IsWindowVisible(WaitForMainWindow(Program.Id(), 30000)));
        EXPECT_EQ(Folder.ReadFile("Plugins\\Plugins.ini"),
                  "; the user's own line\r\nother=False\r\ncrashingplugin=False\r\nlast=1");
        EndSession(Program);
        ExpectOrderlyEnd(Program, Folder);
    }

    {
        TChildProcess Program(Folder.File("Miravelund.exe"), "", Folder.Path());
        ASSERT_NE(WaitForWindow(Program.Id(), ":Home", StartTimeout, "TfrmNote"), nullptr);
        EXPECT_EQ(WaitForMessageBoxText(Program.Id(), 2000, nullptr), "") << "nothing more to tell";
        EndSession(Program);
        ExpectOrderlyEnd(Program, Folder);
    }
    const std::string Log = Folder.ReadFile("Miravelund.log");
    EXPECT_EQ(
        Count(Log, "Plugin switched off: " + Folder.File("Plugins\\CrashingPlugin.dll") +
                       " ended Miravelund while it ran: it was running its command \"crash\" (loadtag)"),
        1)
        << Log;
    EXPECT_EQ(Count(Log, "CrashingPlugin.dll: switched off in Plugins.ini (crashingplugin=False)"), 2) << Log;
}
