// The plug-in host with real plug-in modules, copied into a temporary Plugins
// folder and loaded with LoadLibraryA.
#include "base/StringList.h"
#include "plugins/MvPluginManager.h"
#include "tests/plugins/modules/TestPluginTrace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

using ::testing::ElementsAre;

namespace {

const char* const TraceNames[] = {"MV_PLUGIN_DESTROYED", "MV_PLUGIN_EXECUTED", "MV_PLUGIN_INITIALIZED",
                                  "MV_PLUGIN_CONFIGURED", "MV_PLUGIN_MESSAGE"};

class PluginModulesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char Temp[MAX_PATH];
        GetTempPathA(MAX_PATH, Temp);
        Root = std::string(Temp) + "mvplugins-" + std::to_string(GetCurrentProcessId()) + "\\";
        Folder = Root + "Plugins\\";
        CreateDirectoryA(Root.c_str(), nullptr);
        CreateDirectoryA(Folder.c_str(), nullptr);
        for (const char* Name : {"GoodPlugin", "TwinOne", "TwinTwo", "RefusingPlugin", "TagPlugin",
                                 "NoExportPlugin", "DecoratedPlugin", "NullPlugin", "BrokenCommandPlugin"}) {
            std::string Source = std::string(MV_TEST_PLUGIN_DIR) + "/" + Name + ".dll";
            ASSERT_TRUE(CopyFileA(Source.c_str(), (Folder + Name + ".dll").c_str(), FALSE)) << Source;
        }
    }

    static void TearDownTestSuite() {
        // A module kept loaded by the instance limit goes with the process.
        WIN32_FIND_DATAA Data;
        HANDLE Find = FindFirstFileA((Folder + "*").c_str(), &Data);
        if (Find != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((Folder + Data.cFileName).c_str());
            while (FindNextFileA(Find, &Data));
            FindClose(Find);
        }
        RemoveDirectoryA(Folder.c_str());
        RemoveDirectoryA(Root.c_str());
    }

    void SetUp() override {
        for (const char* Name : TraceNames)
            SetEnvironmentVariableA(Name, nullptr);
        Manager = std::make_unique<TMvPluginManager>(nullptr);
        Manager->PluginFolder = Folder;
        Manager->OnBeforeNewCommand = [this](TObject*, TMvPlugIn* P) {
            Events.push_back("before " + P->Name());
        };
        Manager->OnAfterNewCommand = [this](TObject*, TMvPlugIn* P) {
            Events.push_back("after " + P->Name());
        };
        Manager->OnUnloadPlugin = [this](TObject*, TMvPlugIn* P) {
            Events.push_back("unloading " + P->Name());
            Handlers.clear();
        };
        Manager->OnNewCommand = [this](TObject*, const std::string& Caption, const std::string&,
                                       const std::string& Data, uint16_t ShortCut,
                                       const TMvPluginBitmap& Bitmap, const TNotifyEvent& Event) {
            Events.push_back(Caption + "/" + Data + "/" + std::to_string(ShortCut) + "/" +
                             std::to_string(Bitmap.Width) + "x" + std::to_string(Bitmap.Height));
            Handlers.push_back(Event);
        };
    }

    static bool Loaded(const char* Name) { return GetModuleHandleA((Folder + Name).c_str()) != nullptr; }

    std::string LoadError(const char* Name) {
        try {
            Manager->LoadPlugin(Folder + Name, plgDLL);
        } catch (const EMvPlugInError& E) {
            return E.Message();
        }
        return "no error";
    }

    static std::string Root;
    static std::string Folder;
    std::vector<std::string> Events;
    std::vector<TNotifyEvent> Handlers;
    // Last, so that it goes first: its unload events still reach the lists.
    std::unique_ptr<TMvPluginManager> Manager;
};

std::string PluginModulesTest::Root;
std::string PluginModulesTest::Folder;

TEST_F(PluginModulesTest, AGoodModuleAnnouncesItsCommandsAndUnloadsCleanly) {
    Manager->LoadPlugin(Folder + "GoodPlugin.dll", plgDLL);
    EXPECT_THAT(Events, ElementsAre("before goodplugin", "alpha/data-alpha/0/0x0", "beta/data-beta/16450/0x0",
                                    "gamma/data-gamma/0/2x1", "after goodplugin"));
    ASSERT_EQ(Manager->PluginCount(), 1);
    TMvPlugIn* Plugin = Manager->PluginAt(0);
    EXPECT_EQ(Plugin->Author, "Test author");
    EXPECT_EQ(Plugin->PluginVersion, "1.2");
    EXPECT_EQ(Plugin->Commands().Items(2).Bitmap.Pixels, (std::vector<uint32_t>{0xFF112233u, 0xFF445566u}));
    EXPECT_EQ(TraceGet("MV_PLUGIN_INITIALIZED"), Folder + "GoodPlugin.dll") << "a module learns its own path";
    EXPECT_EQ(Plugin->FileName(), Folder + "GoodPlugin.dll");
    EXPECT_TRUE(Loaded("GoodPlugin.dll"));

    Handlers.at(0)(nullptr);
    EXPECT_EQ(TraceGet("MV_PLUGIN_EXECUTED"), "alpha");
    try {
        Handlers.at(2)(nullptr);
        ADD_FAILURE() << "no error";
    } catch (const EMvPlugInError& E) {
        EXPECT_EQ(E.Message(), "Plugin goodplugin: gamma failed");
    }
    Plugin->DispatchPluginMessage(1, "");
    Plugin->ConfigurePlugin();
    EXPECT_EQ(TraceGet("MV_PLUGIN_MESSAGE"), "1:");
    EXPECT_EQ(TraceGet("MV_PLUGIN_CONFIGURED"), "goodplugin");

    TNotifyEvent Kept = Handlers.at(0);
    Manager->UnloadPlugin(0);
    EXPECT_EQ(Events.back(), "unloading goodplugin");
    EXPECT_EQ(TraceGet("MV_PLUGIN_DESTROYED"), "goodplugin:loaded") << "the object goes before its module";
    EXPECT_FALSE(Loaded("GoodPlugin.dll"));
    Kept(nullptr);
    EXPECT_EQ(TraceGet("MV_PLUGIN_EXECUTED"), "alpha") << "a kept handler does nothing after the unload";
}

TEST_F(PluginModulesTest, ModulesWithoutAUsableEntryPointAreUnloadedAgain) {
    struct Case {
        const char* File;
        const char* Before;
        const char* After;
    };
    const Case Cases[] = {
        {"NoExportPlugin.dll", "Plugin function RegisterPlugin not found in ", ""},
        {"DecoratedPlugin.dll", "Plugin function RegisterPlugin not found in ", ""},
        {"NullPlugin.dll", "Calling RegisterPlugin in ", " failed"},
        {"Missing.dll", "Plugin package not found: ", ""},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(LoadError(C.File), C.Before + Folder + C.File + C.After);
        EXPECT_FALSE(Loaded(C.File)) << C.File;
    }
    EXPECT_EQ(Manager->PluginCount(), 0);

    // The decorated module does export its entry point, only under another name.
    HMODULE Decorated = LoadLibraryA((Folder + "DecoratedPlugin.dll").c_str());
    ASSERT_NE(Decorated, nullptr);
    EXPECT_NE(GetProcAddress(Decorated, "RegisterPlugin@0"), nullptr);
    EXPECT_EQ(GetProcAddress(Decorated, "RegisterPlugin"), nullptr);
    FreeLibrary(Decorated);
}

TEST_F(PluginModulesTest, ARefusingPlugInIsFreedAndItsModuleUnloaded) {
    Manager->LoadPlugin(Folder + "RefusingPlugin.dll", plgDLL);
    EXPECT_EQ(Manager->PluginCount(), 0);
    EXPECT_TRUE(Events.empty()) << "no command announced";
    EXPECT_EQ(TraceGet("MV_PLUGIN_DESTROYED"), "refusingplugin:loaded");
    EXPECT_FALSE(Loaded("RefusingPlugin.dll"));
}

TEST_F(PluginModulesTest, OnlyOnePlugInPerIdIsAdded) {
    Manager->LoadPlugin(Folder + "TwinOne.dll", plgDLL);
    Manager->LoadPlugin(Folder + "TwinTwo.dll", plgDLL);
    ASSERT_EQ(Manager->PluginCount(), 1);
    EXPECT_EQ(Manager->PluginAt(0)->Name(), "TwinOne");
    EXPECT_EQ(TraceGet("MV_PLUGIN_DESTROYED"), "TwinTwo:loaded");
    EXPECT_TRUE(Loaded("TwinTwo.dll")) << "the surplus module stays loaded";
}

TEST_F(PluginModulesTest, AFailedAnnouncementLeavesNoRecordNoHandlerAndNoModule) {
    EXPECT_EQ(LoadError("BrokenCommandPlugin.dll"), "Plugin brokencommandplugin: Command 2 is broken");
    EXPECT_THAT(Events, ElementsAre("before brokencommandplugin", "after brokencommandplugin",
                                    "unloading brokencommandplugin"));
    EXPECT_TRUE(Handlers.empty());
    EXPECT_EQ(Manager->PluginCount(), 0);
    EXPECT_EQ(TraceGet("MV_PLUGIN_DESTROYED"), "brokencommandplugin:loaded");
    EXPECT_FALSE(Loaded("BrokenCommandPlugin.dll"));
}

TEST_F(PluginModulesTest, TheFolderLoadFollowsTheEnableList) {
    HANDLE Ini = CreateFileA((Folder + "Plugins.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(Ini, INVALID_HANDLE_VALUE);
    const char Text[] = "goodplugin=False\r\ntwinone=True\r\ntwintwo=x\r\n";
    DWORD Written = 0;
    WriteFile(Ini, Text, sizeof Text - 1, &Written, nullptr);
    CloseHandle(Ini);

    std::vector<std::string> Errors;
    Manager->OnPlugInError = [&](TObject*, const std::exception& E) { Errors.push_back(E.what()); };
    Manager->LoadPluginFolder();
    DeleteFileA((Folder + "Plugins.ini").c_str());

    TStringList Names;
    Manager->GetLoadedPlugins(Names);
    Names.Sort();
    EXPECT_EQ(Names.Text(), "tagplugin\r\nTwinOne\r\n");
    EXPECT_EQ(Errors.size(), 4u) << "no export, decorated, null and broken";
    EXPECT_FALSE(Loaded("GoodPlugin.dll"));
    EXPECT_FALSE(Loaded("RefusingPlugin.dll"));

    Manager.reset();
    EXPECT_FALSE(Loaded("TagPlugin.dll"));
    EXPECT_FALSE(Loaded("TwinOne.dll"));
}

TEST_F(PluginModulesTest, ARelativeFolderIsTheProgramFoldersChild) {
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Program(Path);
    Program.erase(Program.find_last_of("\\/") + 1);
    Manager->PluginFolder = "Plugins";
    EXPECT_EQ(Manager->PluginFolderPath(), Program + "Plugins\\");
    Manager->PluginFolder = "";
    EXPECT_EQ(Manager->PluginFolderPath(), Program);
}

TEST_F(PluginModulesTest, TagCommandsCarryTheirWordAndKind) {
    Manager->LoadPlugin(Folder + "TagPlugin.dll", plgDLL);
    EXPECT_THAT(Events, ElementsAre("before tagplugin", "Clock/loadtag/0/0x0", "Clock/SaveTag/0/0x0",
                                    "due/savetag/0/0x0", "after tagplugin"));
    Handlers.at(1)(nullptr);
    Handlers.at(0)(nullptr);
    EXPECT_EQ(TraceGet("MV_PLUGIN_EXECUTED"), "clock-save;clock-load:");

    // Run on a topic, the handlers reach its meta lines.
    struct TTopic : TObject, IMvPluginTopicHost {
        TStrings& PluginMeta() override { return Meta; }
        const TMvPluginTopicView* PluginTopic() const override { return nullptr; }
        TStringList Meta;
    } Topic;
    SetEnvironmentVariableA("MV_PLUGIN_EXECUTED", nullptr);
    Handlers.at(1)(&Topic);
    Handlers.at(0)(&Topic);
    EXPECT_EQ(Topic.Meta.Text(), "clock=saved\r\n");
    EXPECT_EQ(TraceGet("MV_PLUGIN_EXECUTED"), "clock-save;clock-load:saved");
}

} // namespace
