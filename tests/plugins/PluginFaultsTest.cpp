// The plug-in host against modules that misbehave: every module that is not
// loaded says why, and nothing a module returns or throws gets past the host
// as anything but an EMvPlugInError with a bounded text.
#include "base/StringList.h"
#include "plugins/MvPluginManager.h"
#include "tests/plugins/modules/TestPluginTrace.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>

namespace {

class PluginFaultsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char Temp[MAX_PATH];
        GetTempPathA(MAX_PATH, Temp);
        Folder = std::string(Temp) + "mvpluginfaults-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(Folder.c_str(), nullptr);
        for (const char* Name :
             {"FaultyPlugin", "FutureMajorPlugin", "BadCountPlugin", "InitFailPlugin", "ThrowingPlugin",
              "ThrowingCtorPlugin", "ThrowingInitPlugin", "LegacyPlugin", "NeedsDependencyPlugin",
              "RefusingPlugin", "TwinOne", "TwinTwo", "GoodPlugin"}) {
            std::string Source = std::string(MV_TEST_PLUGIN_DIR) + "/" + Name + ".dll";
            ASSERT_TRUE(CopyFileA(Source.c_str(), (Folder + Name + ".dll").c_str(), FALSE)) << Source;
        }
    }

    static void TearDownTestSuite() {
        WIN32_FIND_DATAA Data;
        HANDLE Find = FindFirstFileA((Folder + "*").c_str(), &Data);
        if (Find != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((Folder + Data.cFileName).c_str());
            while (FindNextFileA(Find, &Data));
            FindClose(Find);
        }
        RemoveDirectoryA(Folder.c_str());
    }

    void SetUp() override {
        for (const char* Name :
             {"MV_PLUGIN_DESTROYED", "MV_PLUGIN_EXECUTED", "MV_PLUGIN_INITIALIZED", "MV_PLUGIN_TOPIC"})
            SetEnvironmentVariableA(Name, nullptr);
        Manager = std::make_unique<TMvPluginManager>(nullptr);
        Manager->PluginFolder = Folder;
        Manager->OnNewCommand = [this](TObject*, const std::string& Caption, const std::string&,
                                       const std::string& Data, uint16_t, const TMvPluginBitmap&,
                                       const TNotifyEvent& Event) { Handlers[Caption + "/" + Data] = Event; };
        Manager->OnPluginNotLoaded = [this](TObject*, const std::string& File, const std::string& Reason) {
            NotLoaded[ExtractName(File)] = Reason;
        };
    }

    static std::string ExtractName(const std::string& File) {
        return File.substr(File.find_last_of('\\') + 1);
    }
    static bool Loaded(const char* Name) { return GetModuleHandleA((Folder + Name).c_str()) != nullptr; }

    // Runs a handler; the failure's text, or "ok".
    std::string Run(const std::string& Key, TObject* Sender) {
        try {
            Handlers.at(Key)(Sender);
        } catch (const EMvPlugInError& E) {
            return E.Message();
        }
        return "ok";
    }

    static std::string Folder;
    std::map<std::string, TNotifyEvent> Handlers;
    std::map<std::string, std::string> NotLoaded;
    std::unique_ptr<TMvPluginManager> Manager;
};

std::string PluginFaultsTest::Folder;

// What the program hands a dot-line handler.
struct TTopic : TObject, IMvPluginTopicHost {
    TStrings& PluginMeta() override { return Meta; }
    const TMvPluginTopicView* PluginTopic() const override { return &View; }
    TStringList Meta;
    TMvPluginTopicView View;
};

TEST_F(PluginFaultsTest, EveryModuleThatIsNotLoadedSaysWhy) {
    const char Ini[] = "goodplugin=maybe\r\n";
    HANDLE File = CreateFileA((Folder + "Plugins.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD Written = 0;
    WriteFile(File, Ini, sizeof Ini - 1, &Written, nullptr);
    CloseHandle(File);
    Manager->OnPlugInError = [](TObject*, const std::exception&) {};
    Manager->LoadPluginFolder();
    DeleteFileA((Folder + "Plugins.ini").c_str());

    const std::map<std::string, std::string> Expected = {
        {"FutureMajorPlugin.dll", "uses the unsupported interface version 2"},
        {"BadCountPlugin.dll", "it reports 100000 commands (at most 1024 are allowed)"},
        {"InitFailPlugin.dll",
         "Plugin initfailplugin: its initialisation failed (the plugin gave no reason)"},
        {"ThrowingCtorPlugin.dll", "Calling RegisterPlugin in "},
        {"ThrowingInitPlugin.dll", "Plugin throwinginitplugin: no licence for this machine"},
        {"NeedsDependencyPlugin.dll", "Plugin package not found: "},
        {"RefusingPlugin.dll", "the plugin declined to load"},
        {"TwinTwo.dll", "a plugin with the ID test.twin is already loaded (at most 1 at once)"},
        {"GoodPlugin.dll", "switched off in Plugins.ini (goodplugin=maybe)"},
    };
    for (const auto& [Name, Reason] : Expected) {
        ASSERT_TRUE(NotLoaded.count(Name)) << Name << " was not reported";
        EXPECT_NE(NotLoaded[Name].find(Reason), std::string::npos) << Name << ": " << NotLoaded[Name];
    }
    EXPECT_NE(NotLoaded["NeedsDependencyPlugin.dll"].find("system error 126"), std::string::npos)
        << "the system's reason: " << NotLoaded["NeedsDependencyPlugin.dll"];
    EXPECT_EQ(NotLoaded.size(), Expected.size());
    for (const char* Gone : {"FutureMajorPlugin.dll", "BadCountPlugin.dll", "InitFailPlugin.dll",
                             "ThrowingCtorPlugin.dll", "ThrowingInitPlugin.dll", "RefusingPlugin.dll"})
        EXPECT_FALSE(Loaded(Gone)) << Gone;

    TStringList Names;
    Manager->GetLoadedPlugins(Names);
    Names.Sort();
    EXPECT_EQ(Names.Text(), "faultyplugin\r\nlegacyplugin\r\nthrowingplugin\r\nTwinOne\r\n");
}

TEST_F(PluginFaultsTest, NothingAFaultyModuleReturnsGetsPastTheHostUnbounded) {
    Manager->ParentApplication = GetDesktopWindow();
    Manager->LoadPlugin(Folder + "FaultyPlugin.dll", plgDLL);
    ASSERT_EQ(Manager->PluginCount(), 1);
    EXPECT_EQ(TraceGet("MV_PLUGIN_INITIALIZED"), Folder + "FaultyPlugin.dll|window");
    const TMvPlugIn& Plugin = *Manager->PluginAt(0);
    EXPECT_EQ(Plugin.Author, "") << "a null text is empty";
    EXPECT_EQ(Plugin.Commands().Items(0).ShortCut, 0xFFFF);
    EXPECT_TRUE(Plugin.Commands().Items(0).Bitmap.Empty()) << "a size without pixels is no picture";

    TTopic Topic;
    EXPECT_EQ(Run("nulltext/loadtag", &Topic),
              "Plugin faultyplugin: its command failed (the plugin gave no reason)");
    EXPECT_EQ(Run("nulltext/savetag", &Topic),
              "Plugin faultyplugin: its command failed (the plugin gave no reason)")
        << "any result but 0 is a failure";
    const std::string Huge = Run("hugetext/savetag", &Topic);
    EXPECT_EQ(Huge.rfind("Plugin faultyplugin: HUGE:xxx", 0), 0u) << Huge.substr(0, 80);
    EXPECT_LE(Huge.size(), 4096u + 64u) << "a 64 KB text is cut";

    // The topic handler reads the view; two dot-lines of one word give two
    // calls that each see their own line.
    Topic.View = {"Plan", "work", {"Plan", ".topic first", "text", ".topic second"}, 1};
    Topic.Meta.SetText("splitter_pos=120\r\n");
    EXPECT_EQ(Run("topic/savetag", &Topic), "ok");
    Topic.View.DotLineIndex = 3;
    EXPECT_EQ(Run("topic/savetag", &Topic), "ok");
    EXPECT_EQ(TraceGet("MV_PLUGIN_TOPIC"), "work|Plan|1|.topic first|4|no line 1000;refused 5;"
                                           "work|Plan|3|.topic second|4|no line 1000;refused 5");
    EXPECT_EQ(Topic.Meta.Text(), "splitter_pos=120\r\ndue.line=.topic second\r\n")
        << "no value made or changed another line";

    // Run on something that is no topic, the handler gets no topic at all.
    SetEnvironmentVariableA("MV_PLUGIN_TOPIC", nullptr);
    EXPECT_EQ(Run("topic/savetag", nullptr), "ok");
    EXPECT_EQ(TraceGet("MV_PLUGIN_TOPIC"), "no topic");
}

TEST_F(PluginFaultsTest, ExceptionsOfAnyTypeComeBackAsPlugInErrors) {
    Manager->LoadPlugin(Folder + "ThrowingPlugin.dll", plgDLL);
    ASSERT_EQ(Manager->PluginCount(), 1);
    EXPECT_EQ(Run("throwint/savetag", nullptr), "Plugin throwingplugin: Unknown error in plug-in");
    EXPECT_EQ(Run("throwodd/savetag", nullptr), "Plugin throwingplugin: Unknown error in plug-in");
    EXPECT_EQ(Run("throwstd/loadtag", nullptr), "Plugin throwingplugin: load went wrong");
    EXPECT_EQ(Run("after/savetag", nullptr), "ok");
    EXPECT_EQ(TraceGet("MV_PLUGIN_EXECUTED"), "after-save");
}

TEST_F(PluginFaultsTest, APlugInBuiltAgainstInterface10KeepsWorking) {
    Manager->LoadPlugin(Folder + "LegacyPlugin.dll", plgDLL);
    ASSERT_EQ(Manager->PluginCount(), 1);
    TTopic Topic;
    Topic.View = {"Home", "", {".legacy"}, 0};
    EXPECT_EQ(Run("legacy/savetag", &Topic), "ok");
    EXPECT_EQ(TraceGet("MV_PLUGIN_EXECUTED"), "legacy-save");
    EXPECT_EQ(Topic.Meta.Values("legacy"), "kept");
}

} // namespace
