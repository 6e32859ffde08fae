// Real plug-in modules in the running program: a plug-in's failure is its own.
// The program starts, shows each topic under its own caption, saves what the
// user typed, and runs every other handler.
#include "app/Note.h"
#include "app/Plugins.h"
#include "app/TopicViewer.h"
#include "controls/MvCheckListBox.h"
#include "plugins/MvPluginManager.h"
#include "store/NotesStore.h"
#include "gui/CheckLst.h"
#include "gui/StdCtrls.h"
#include "tests/app/AppFixture.h"
#include "tests/support/Screens.h"
#include "tests/support/ScreenWait.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

using namespace mv::app::test;

namespace {

TfrmNote* HomeWindow() {
    return NoteWindowsByNamespace.Find("");
}

void Install(const TAppFixture& App, const char* Name) {
    const std::string Source = std::string(MV_TEST_PLUGIN_DIR_W) + "\\" + Name + ".dll";
    ASSERT_TRUE(CopyFileA(Source.c_str(), (App.Folder() + "\\Plugins\\" + Name + ".dll").c_str(), FALSE))
        << Source;
}

std::string Trace(const char* Name) {
    char Buffer[4096] = {};
    const DWORD Length = GetEnvironmentVariableA(Name, Buffer, sizeof Buffer);
    return Length < sizeof Buffer ? std::string(Buffer, Length) : std::string();
}

void ClearTraces() {
    for (const char* Name : {"MV_PLUGIN_EXECUTED", "MV_PLUGIN_TOPIC", "MV_PLUGIN_DESTROYED"})
        SetEnvironmentVariableA(Name, nullptr);
}

int CountContaining(const std::vector<std::string>& Messages, const std::string& Part) {
    int Count = 0;
    for (const std::string& M : Messages)
        if (M.find(Part) != std::string::npos) ++Count;
    return Count;
}

} // namespace

TEST(PluginFaults, FailingLoadHandlersNeitherStopTheStartNorMisnameTheTopic) {
    TAppFixture App("pluginstart");
    {
        // Home and Other carry dot-lines of plug-ins that are not there yet.
        App.Start();
        TfrmNote& Window = *HomeWindow();
        Window.Editor()->SetText("Home\r.nulltext\r.throwstd\r.after\r");
        App.Main().ShowTopic("Other", "");
        Window.Editor()->SetText("Other\r.throwstd\r");
        App.Quit();
    }
    for (const char* Name : {"FaultyPlugin", "ThrowingPlugin", "BadCountPlugin"})
        Install(App, Name);
    ClearTraces();
    App.Messages.clear();

    TfrmMain& Main = App.Start();
    ASSERT_TRUE(Main.Initialized()) << "the program started";
    TfrmNote* Window = HomeWindow();
    ASSERT_NE(Window, nullptr);
    EXPECT_EQ(Window->Caption(), ":Home");
    EXPECT_EQ(CountContaining(App.Messages,
                              "The plugin faultyplugin failed on the line \".nulltext\" of :Home: "
                              "its command failed (the plugin gave no reason)"),
              1);
    EXPECT_EQ(CountContaining(
                  App.Messages,
                  "The plugin throwingplugin failed on the line \".throwstd\" of :Home: load went wrong"),
              1);
    EXPECT_EQ(Trace("MV_PLUGIN_EXECUTED"), "after-load") << "the handler after the failures still ran";

    // A failing load handler during a navigation: the window shows the new
    // topic under its own caption, and later saves go to it.
    Main.ShowTopic("Other", "");
    EXPECT_EQ(Window->Caption(), ":Other");
    EXPECT_EQ(Window->Editor()->TopicFile(), "Other");
    EXPECT_EQ(CountContaining(App.Messages, "\".throwstd\" of :Other: load went wrong"), 1);
    Window->Editor()->SetText("Other\r.throwstd\rtyped into Other\r");
    Window->aSave->Execute();
    EXPECT_NE(CommittedContent(App.Database(), "", "Other").find("typed into Other"), std::string::npos);
    EXPECT_EQ(CommittedContent(App.Database(), "", "Home").find("typed into Other"), std::string::npos);

    const std::string Log = App.ReadFile("Miravelund.log");
    EXPECT_NE(Log.find("Plugin not loaded: " + App.Folder() + "\\Plugins\\BadCountPlugin.dll: "),
              std::string::npos)
        << Log;
    EXPECT_NE(Log.find("it reports 100000 commands"), std::string::npos);
    EXPECT_NE(Log.find("failed on the line \".nulltext\""), std::string::npos) << "failures are logged too";
    EXPECT_EQ(Log.find("Start-up failed"), std::string::npos);
}

TEST(PluginFaults, FailingSaveHandlersNeverCostTheTypedTextNorTheOtherHandlers) {
    TAppFixture App("pluginsave");
    for (const char* Name : {"FaultyPlugin", "ThrowingPlugin", "TagPlugin"})
        Install(App, Name);
    ClearTraces();
    TfrmMain& Main = App.Start();
    ASSERT_EQ(Main.PluginManager()->PluginCount(), 3);
    TfrmNote& Window = *HomeWindow();
    Window.Editor()->SetText(
        "Home\r.nulltext\r.hugetext\r.throwint\r.throwodd\r.after\r.due first\r.topic one\r"
        "typed text\r.due second\r.real tag\r");
    Window.aSave->Execute();

    EXPECT_NE(CommittedContent(App.Database(), "", "Home").find("typed text"), std::string::npos);
    EXPECT_EQ(Trace("MV_PLUGIN_EXECUTED"), "after-save");
    // Each handler sees its own line of the topic.
    EXPECT_EQ(Trace("MV_PLUGIN_TOPIC"), ":Home#6/11=.due first;"
                                        "|Home|7|.topic one|11|no line 1000;refused 5;"
                                        ":Home#9/11=.due second");
    EXPECT_EQ(Window.Editor()->Meta().Values("due.line"), ".topic one");
    EXPECT_EQ(Window.Editor()->Meta().Values("due"), "") << "a value with a line break is refused";
    EXPECT_NE(Window.Editor()->Meta().Values("splitter_pos"), "1") << "no value broke out of its line";

    for (const char* Line : {".nulltext", ".hugetext", ".throwint", ".throwodd"})
        EXPECT_EQ(CountContaining(App.Messages, std::string("failed on the line \"") + Line + "\""), 1)
            << Line;
    for (const std::string& Message : App.Messages)
        EXPECT_LT(Message.size(), 1500u) << "a 64 KB error text is cut";

    bool Created = false;
    EXPECT_LT(Main.NotesStore()->FindTag("nulltext", Created), 0) << "a plug-in's word is never a tag";
    EXPECT_GE(Main.NotesStore()->FindTag("real", Created), 0);
    const std::string Log = App.ReadFile("Miravelund.log");
    EXPECT_NE(Log.find("========= Miravelund starting up ========="), std::string::npos)
        << "the huge text did not push the earlier records out";
    EXPECT_NE(Log.find("HUGE:xxx"), std::string::npos);
}

namespace {

void WriteText(const std::string& Path, const std::string& Text) {
    HANDLE File =
        CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(File, INVALID_HANDLE_VALUE);
    DWORD Written = 0;
    WriteFile(File, Text.data(), static_cast<DWORD>(Text.size()), &Written, nullptr);
    CloseHandle(File);
}

std::vector<std::string> LoadedNames(TfrmMain& Main) {
    TStringList Names;
    Main.PluginManager()->GetLoadedPlugins(Names);
    Names.Sort();
    std::vector<std::string> Result;
    for (int I = 0; I < Names.Count(); ++I)
        Result.push_back(Names[I]);
    return Result;
}

// The plug-in list as the user sees it: (name, checked) per item.
std::vector<std::pair<std::string, bool>> ListShown(TfrmPlugins& List) {
    std::vector<std::pair<std::string, bool>> Shown;
    for (int I = 0; I < List.lbPlugins->Items().Count(); ++I)
        Shown.emplace_back(List.lbPlugins->Items()[I], List.lbPlugins->Checked(I));
    std::sort(Shown.begin(), Shown.end());
    return Shown;
}

} // namespace

TEST(PluginList, TurnsPlugInsOnAndOffWritesPluginsIniAndTheNextStartHonoursIt) {
    TAppFixture App("pluginlist");
    for (const char* Name : {"GoodPlugin", "TagPlugin", "RefusingPlugin"})
        Install(App, Name);
    const std::string Ini = App.Folder() + "\\Plugins\\Plugins.ini";
    WriteText(Ini, "goodplugin=False\r\nrefusingplugin=perhaps\r\nold=True\r\n");
    ClearTraces();
    TfrmMain& Main = App.Start();
    ASSERT_TRUE(Main.Initialized()) << "a value that is no truth value stops nothing";
    EXPECT_EQ(LoadedNames(Main), std::vector<std::string>{"tagplugin"});

    auto* List = new TfrmPlugins(&Main, Main.PluginManager());
    List->DoCreate();
    using Item = std::pair<std::string, bool>;
    EXPECT_EQ(ListShown(*List),
              (std::vector<Item>{{"GoodPlugin", false}, {"RefusingPlugin", false}, {"TagPlugin", true}}));
    frmPlugins = List;
    Main.aPlugins->Execute();
    EXPECT_TRUE(List->Visible());
    ASSERT_TRUE(mv::test::WaitUntilShown(List->Handle()));
    SaveScreen(List->Handle(), "plugins");

    // Check GoodPlugin, uncheck TagPlugin, OK.
    for (int I = 0; I < List->lbPlugins->Items().Count(); ++I) {
        if (List->lbPlugins->Items()[I] == "GoodPlugin") List->lbPlugins->SetChecked(I, true);
        if (List->lbPlugins->Items()[I] == "TagPlugin") List->lbPlugins->SetChecked(I, false);
    }
    List->btnOK->Click();
    EXPECT_FALSE(List->Visible());
    EXPECT_EQ(LoadedNames(Main), std::vector<std::string>{"goodplugin"})
        << "loaded at once, not at the next start";
    const std::string Written = App.ReadFile("Plugins\\Plugins.ini");
    EXPECT_NE(Written.find("goodplugin=True\r\n"), std::string::npos) << Written;
    EXPECT_NE(Written.find("tagplugin=False\r\n"), std::string::npos) << Written;
    EXPECT_NE(Written.find("refusingplugin=False\r\n"), std::string::npos) << Written;
    EXPECT_NE(Written.find("old=True\r\n"), std::string::npos)
        << "the line of a plug-in not in the folder stays";

    // A double-click on a loaded plug-in asks it to configure itself; on one
    // that is not loaded it does nothing.
    SetEnvironmentVariableA("MV_PLUGIN_MESSAGE", nullptr);
    for (const char* Name : {"TagPlugin", "GoodPlugin"}) {
        List->lbPlugins->SetItemIndex(List->lbPlugins->Items().IndexOf(Name));
        List->lbPlugins->OnDblClick(List->lbPlugins);
    }
    EXPECT_EQ(Trace("MV_PLUGIN_MESSAGE"), "1:");

    // The unloaded plug-in's word stays registered and inert.
    TfrmNote& Window = *HomeWindow();
    Window.Editor()->SetText("Home\r.clock 12:00\r");
    Window.aSave->Execute();
    EXPECT_EQ(Trace("MV_PLUGIN_EXECUTED").find("clock-save"), std::string::npos);
    bool Created = false;
    EXPECT_LT(Main.NotesStore()->FindTag("clock", Created), 0);
    EXPECT_EQ(Window.Editor()->Meta().Values("clock"), "");

    // The next start honours the file.
    delete List;
    App.Quit();
    TfrmMain& Again = App.Start();
    EXPECT_EQ(LoadedNames(Again), std::vector<std::string>{"goodplugin"});
    EXPECT_NE(
        App.ReadFile("Miravelund.log").find("TagPlugin.dll: switched off in Plugins.ini (tagplugin=False)"),
        std::string::npos);
}

TEST(PluginList, UncheckingTwoLoadedPlugInsUnloadsBoth) {
    TAppFixture App("pluginlisttwo");
    for (const char* Name : {"GoodPlugin", "TagPlugin"})
        Install(App, Name);
    TfrmMain& Main = App.Start();
    ASSERT_EQ(Main.PluginManager()->PluginCount(), 2);
    TfrmPlugins List(&Main, Main.PluginManager());
    List.DoCreate();
    for (int I = 0; I < List.lbPlugins->Items().Count(); ++I)
        List.lbPlugins->SetChecked(I, false);
    List.btnOKClick(nullptr);
    EXPECT_EQ(Main.PluginManager()->PluginCount(), 0)
        << "each looked up where it is after the one before went";
}

TEST(PluginList, ALongPlugInNameCanBeScrolledIntoViewWhole) {
    TAppFixture App("pluginlistwide");
    const std::string Long = "GoodPluginUnderAFileNameMuchLongerThanTheListOfPlugInsIsWideEvenWithASmallFont";
    Install(App, "GoodPlugin");
    ASSERT_TRUE(MoveFileA((App.Folder() + "\\Plugins\\GoodPlugin.dll").c_str(),
                          (App.Folder() + "\\Plugins\\" + Long + ".dll").c_str()));
    Install(App, "TagPlugin");
    TfrmMain& Main = App.Start();
    TfrmPlugins List(&Main, Main.PluginManager());
    List.DoCreate();
    List.Show();
    TAppFixture::Pump();
    HWND Box = List.lbPlugins->Handle();
    const int Widest = List.lbPlugins->Canvas().TextWidth(Long + " ");
    ASSERT_GT(Widest, List.lbPlugins->ClientWidth()) << "the name must not fit, or nothing is shown";
    EXPECT_EQ(SendMessageA(Box, LB_GETHORIZONTALEXTENT, 0, 0), Widest)
        << "the list scrolls exactly as far as its widest name";
    EXPECT_NE(GetWindowLongA(Box, GWL_STYLE) & WS_HSCROLL, 0);
    SaveScreen(List.Handle(), "plugins-long-name");

    // Without the long item the extent shrinks back to the short names.
    List.lbPlugins->Items().Delete(List.lbPlugins->Items().IndexOf(Long));
    EXPECT_EQ(SendMessageA(Box, LB_GETHORIZONTALEXTENT, 0, 0),
              List.lbPlugins->Canvas().TextWidth(std::string("TagPlugin") + " "));
}

TEST(PluginList, HiddenAndSystemFilesAreNeitherListedNorLoaded) {
    TAppFixture App("pluginlisthidden");
    for (const char* Name : {"GoodPlugin", "TagPlugin"})
        Install(App, Name);
    ASSERT_TRUE(CopyFileA((App.Folder() + "\\Plugins\\GoodPlugin.dll").c_str(),
                          (App.Folder() + "\\Plugins\\SystemCopy.dll").c_str(), FALSE));
    ASSERT_TRUE(
        SetFileAttributesA((App.Folder() + "\\Plugins\\GoodPlugin.dll").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(
        SetFileAttributesA((App.Folder() + "\\Plugins\\SystemCopy.dll").c_str(), FILE_ATTRIBUTE_SYSTEM));
    TfrmMain& Main = App.Start();
    EXPECT_EQ(LoadedNames(Main), std::vector<std::string>{"tagplugin"});
    TfrmPlugins List(&Main, Main.PluginManager());
    List.DoCreate();
    using Item = std::pair<std::string, bool>;
    EXPECT_EQ(ListShown(List), (std::vector<Item>{{"TagPlugin", true}}));
    List.btnOKClick(nullptr);
    EXPECT_EQ(App.ReadFile("Plugins\\Plugins.ini"), "tagplugin=True\r\n");
    EXPECT_EQ(LoadedNames(Main), std::vector<std::string>{"tagplugin"});
}

TEST(PluginList, APlugInThatFailsToLoadOnOkLeavesPluginsIniAlone) {
    TAppFixture App("pluginlistfail");
    for (const char* Name : {"BadCountPlugin", "GoodPlugin"})
        Install(App, Name);
    const std::string Ini = App.Folder() + "\\Plugins\\Plugins.ini";
    WriteText(Ini, "badcountplugin=False\r\n");
    TfrmMain& Main = App.Start();
    TfrmPlugins List(&Main, Main.PluginManager());
    List.DoCreate();
    for (int I = 0; I < List.lbPlugins->Items().Count(); ++I)
        List.lbPlugins->SetChecked(I, true);
    EXPECT_THROW(List.btnOKClick(nullptr), EMvPlugInError);
    EXPECT_EQ(App.ReadFile("Plugins\\Plugins.ini"), "badcountplugin=False\r\n");
}

TEST(PluginList, QuittingWithTheListOpenClosesItLikeAnyOtherWindow) {
    TAppFixture App("pluginlistquit");
    TfrmMain& Main = App.Start();
    auto* List = new TfrmPlugins(Application, Main.PluginManager());
    List->DoCreate();
    frmPlugins = List;
    Main.aPlugins->Execute();
    EXPECT_TRUE(List->Visible());
    App.Quit();
    // The host went with the main window: OK now changes nothing.
    EXPECT_NO_THROW(List->btnOK->Click());
    delete List;
    EXPECT_EQ(frmPlugins, nullptr);
}
