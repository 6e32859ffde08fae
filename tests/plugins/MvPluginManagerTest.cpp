// The plug-in host's bookkeeping with in-process fake modules: plug-ins built
// with the SDK, loaded through a fake platform that records what happens.
#include "base/StrUtils.h"
#include "base/StringList.h"
#include "plugins/MvPluginManager.h"
#include "sdk/MvPluginSdk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

using ::testing::ElementsAre;

namespace {

// Everything the fakes do, in order.
std::vector<std::string> Trace;

std::string RecordNow();

// A file of the fake platform: every write lands in its bytes at once.
class TFakeCallFile : public IMvPluginCallFile {
public:
    explicit TFakeCallFile(std::string& Bytes) : FBytes(Bytes) {}
    bool WriteAt(uint32_t Offset, const char* Bytes, uint32_t Count) override {
        if (Offset + Count > FBytes.size()) return false;
        FBytes.replace(Offset, Count, Bytes, Count);
        return true;
    }

private:
    std::string& FBytes;
};

class TFakePlatform : public IMvPluginPlatform {
public:
    struct Module {
        MvPluginAbi::TRegisterPluginProc Entry = nullptr;
        bool Exists = true;
    };
    std::map<std::string, Module> Modules;
    std::map<TMvModuleHandle, std::string> Loaded;
    std::vector<std::string> Folder;
    std::string Program = "C:\\Prog\\";
    std::string IniPath;

    TMvModuleHandle LoadModule(const std::string& FileName) override {
        auto It = Modules.find(FileName);
        if (It == Modules.end() || !It->second.Exists) return 0;
        TMvModuleHandle Handle = FNext++;
        Loaded[Handle] = FileName;
        Trace.push_back("load " + FileName);
        RecordAtModuleCalls.push_back(RecordNow());
        return Handle;
    }
    void UnloadModule(TMvModuleHandle Handle) override {
        Trace.push_back("free " + Loaded.at(Handle));
        RecordAtModuleCalls.push_back(RecordNow());
        Loaded.erase(Handle);
    }
    // What was on record as each module was loaded or unloaded.
    std::vector<std::string> RecordAtModuleCalls;
    void* FindEntryPoint(TMvModuleHandle Handle, const char* Name) override {
        if (std::string(Name) != "RegisterPlugin") return nullptr;
        return reinterpret_cast<void*>(Modules.at(Loaded.at(Handle)).Entry);
    }
    std::vector<std::string> ListFiles(const std::string&, const std::string&) override { return Folder; }
    bool FileExists(const std::string& FileName) override { return FileName == IniPath; }
    std::string ProgramFolder() override { return Program; }
    std::unique_ptr<IMvPluginCallFile> CreateCallFile(const std::string& FileName, uint32_t Size) override {
        Files[FileName].assign(Size, '\0');
        return std::make_unique<TFakeCallFile>(Files[FileName]);
    }
    std::string ReadFileStart(const std::string& FileName, uint32_t MaxBytes) override {
        auto It = Files.find(FileName);
        return It == Files.end() ? std::string() : It->second.substr(0, MaxBytes);
    }
    void RemoveFile(const std::string& FileName) override { Files.erase(FileName); }

    // The files made through the platform, by name (std::map keeps references valid).
    std::map<std::string, std::string> Files;

private:
    TMvModuleHandle FNext = 0x1000;
};

// The call on record in the plug-in folder now: "module: what it does", or
// "" between calls.
TFakePlatform* RecordPlatform = nullptr;
std::string RecordNow() {
    const auto It = RecordPlatform->Files.find("C:\\Prog\\Plugins.running");
    if (It == RecordPlatform->Files.end()) return "(no record)";
    const std::string& Bytes = It->second;
    if (Bytes.empty() || Bytes[0] != '>') return "";
    std::string Line = Bytes.substr(1, Bytes.find('\r') - 1);
    Line.erase(Line.find_last_not_of(' ') + 1);
    Line.replace(Line.find('\t'), 1, ": ");
    return Line;
}

class TFakePlugIn : public MvPluginSdk::TMvPlugIn {
public:
    explicit TFakePlugIn(std::string Id, int Commands = 3) {
        SetName(Id);
        PluginID = "id." + Id;
        for (int I = 0; I < Commands; ++I) {
            auto& Command = this->Commands.Add();
            Command.Caption = Id + "-" + std::to_string(I + 1);
            Command.Hint = "hint " + std::to_string(I + 1);
            Command.Data = I == 0 ? "loadtag" : "savetag";
            Command.OnExecute = [Caption = Command.Caption](MvPluginSdk::TMvPluginCommand*) {
                Trace.push_back("execute " + Caption);
            };
        }
        OnPluginMessage = [](TMvPlugIn*, int32_t Message, const std::string& Text) {
            Trace.push_back("message " + std::to_string(Message) + " " + Text);
        };
        OnConfigure = [](TMvPlugIn*) { Trace.push_back("configure"); };
    }
    ~TFakePlugIn() override { Trace.push_back("destroy " + Name()); }
};

struct Alpha : TFakePlugIn {
    Alpha() : TFakePlugIn("alpha") {
        Commands[1].ShortCut = 0x4042;
        Commands[2].Bitmap = {2, 1, {1u, 2u}};
        Commands[2].OnExecute = [](MvPluginSdk::TMvPluginCommand*) {
            throw std::runtime_error("alpha-3 failed");
        };
    }
};
struct Wild : TFakePlugIn {
    Wild() : TFakePlugIn("wild", 1) {
        Commands[0].OnExecute = [](MvPluginSdk::TMvPluginCommand*) { throw 7; };
        OnConfigure = [](TMvPlugIn*) { throw std::logic_error("cannot configure"); };
    }
};
struct Counter : TFakePlugIn {
    Counter() : TFakePlugIn("counter", 1) {
        Commands[0].OnExecute = [](MvPluginSdk::TMvPluginCommand* Sender) {
            MvPluginSdk::TMvPluginMeta Meta = Sender->Meta();
            if (!Meta.Available()) {
                Trace.push_back("no meta");
                return;
            }
            std::string Count = Meta.Value("count");
            Meta.SetValue("count", Count.empty() ? "1" : std::to_string(std::stoi(Count) + 1));
            Meta.SetValue("drop", "");
        };
    }
};
struct TwinA : TFakePlugIn {
    TwinA() : TFakePlugIn("twina", 1) { PluginID = "twin"; }
};
struct TwinB : TFakePlugIn {
    TwinB() : TFakePlugIn("twinb", 1) { PluginID = "twin"; }
};
struct Unlimited : TFakePlugIn {
    Unlimited() : TFakePlugIn("unlimited", 0) { InstanceCount = 0; }
};
struct Refusing : TFakePlugIn {
    Refusing() : TFakePlugIn("refusing") {
        OnInitialize = [](TMvPlugIn*, bool& AllowLoad) { AllowLoad = false; };
    }
};
struct Fussy : TFakePlugIn {
    Fussy() : TFakePlugIn("fussy") {
        OnInitialize = [](TMvPlugIn*, bool&) { throw std::runtime_error("not today"); };
    }
};

// Its handler runs another plug-in's handler (Inner) in the middle, as a
// handler that opens a topic does; both note what is on record.
std::function<void()> Inner;
struct Nest : TFakePlugIn {
    Nest() : TFakePlugIn("nest", 1) {
        Commands[0].OnExecute = [](MvPluginSdk::TMvPluginCommand*) {
            Trace.push_back("in nest: " + RecordNow());
            if (Inner) Inner();
            Trace.push_back("back in nest: " + RecordNow());
        };
    }
};
struct Spy : TFakePlugIn {
    Spy() : TFakePlugIn("spy", 1) {
        Trace.push_back("spy made: " + RecordNow());
        Commands[0].OnExecute = [](MvPluginSdk::TMvPluginCommand*) {
            Trace.push_back("in spy: " + RecordNow());
        };
        OnInitialize = [](TMvPlugIn*, bool&) { Trace.push_back("spy initialised: " + RecordNow()); };
    }
    ~Spy() override { Trace.push_back("spy destroyed: " + RecordNow()); }
};

MvPluginAbi::IMvPlugin* RegisterAlpha() {
    return MvPluginSdk::Detail::RegisterPlugIn<Alpha>();
}
MvPluginAbi::IMvPlugin* RegisterWild() {
    return MvPluginSdk::Detail::RegisterPlugIn<Wild>();
}
MvPluginAbi::IMvPlugin* RegisterCounter() {
    return MvPluginSdk::Detail::RegisterPlugIn<Counter>();
}
MvPluginAbi::IMvPlugin* RegisterTwinA() {
    return MvPluginSdk::Detail::RegisterPlugIn<TwinA>();
}
MvPluginAbi::IMvPlugin* RegisterTwinB() {
    return MvPluginSdk::Detail::RegisterPlugIn<TwinB>();
}
MvPluginAbi::IMvPlugin* RegisterUnlimited() {
    return MvPluginSdk::Detail::RegisterPlugIn<Unlimited>();
}
MvPluginAbi::IMvPlugin* RegisterRefusing() {
    return MvPluginSdk::Detail::RegisterPlugIn<Refusing>();
}
MvPluginAbi::IMvPlugin* RegisterFussy() {
    return MvPluginSdk::Detail::RegisterPlugIn<Fussy>();
}
MvPluginAbi::IMvPlugin* RegisterNest() {
    return MvPluginSdk::Detail::RegisterPlugIn<Nest>();
}
MvPluginAbi::IMvPlugin* RegisterSpy() {
    return MvPluginSdk::Detail::RegisterPlugIn<Spy>();
}
MvPluginAbi::IMvPlugin* RegisterNothing() {
    return nullptr;
}

// A module built against a later major version of the contract.
class TFutureModule final : public MvPluginAbi::IMvPlugin {
public:
    int32_t MV_PLUGIN_CALL AbiVersion() override { return 2 << 16; }
    const char* MV_PLUGIN_CALL Name() override { return "future"; }
    const char* MV_PLUGIN_CALL Author() override { return ""; }
    const char* MV_PLUGIN_CALL PluginID() override { return ""; }
    const char* MV_PLUGIN_CALL Copyright() override { return ""; }
    const char* MV_PLUGIN_CALL Description() override { return ""; }
    const char* MV_PLUGIN_CALL PluginVersion() override { return ""; }
    int32_t MV_PLUGIN_CALL InstanceCount() override { return 1; }
    int32_t MV_PLUGIN_CALL CommandCount() override { return 0; }
    MvPluginAbi::IMvPluginCommand* MV_PLUGIN_CALL Command(int32_t) override { return nullptr; }
    int32_t MV_PLUGIN_CALL Initialize(MvPluginAbi::IMvPluginHost*, const char*, int32_t*) override {
        return 0;
    }
    int32_t MV_PLUGIN_CALL Configure() override { return 0; }
    int32_t MV_PLUGIN_CALL PluginMessage(int32_t, const char*) override { return 0; }
    const char* MV_PLUGIN_CALL LastErrorText() override { return ""; }
    void MV_PLUGIN_CALL Destroy() override {
        Trace.push_back("destroy future");
        delete this;
    }
};
MvPluginAbi::IMvPlugin* RegisterFuture() {
    return new TFutureModule;
}

class PluginManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Trace.clear();
        Platform.Modules["alpha.dll"] = {RegisterAlpha};
        Platform.Modules["twina.dll"] = {RegisterTwinA};
        Platform.Modules["twinb.dll"] = {RegisterTwinB};
        Platform.Modules["u1.dll"] = {RegisterUnlimited};
        Platform.Modules["u2.dll"] = {RegisterUnlimited};
        Platform.Modules["refusing.dll"] = {RegisterRefusing};
        Platform.Modules["fussy.dll"] = {RegisterFussy};
        Platform.Modules["noexport.dll"] = {nullptr};
        Platform.Modules["null.dll"] = {RegisterNothing};
        Platform.Modules["future.dll"] = {RegisterFuture};
        Platform.Modules["wild.dll"] = {RegisterWild};
        Platform.Modules["counter.dll"] = {RegisterCounter};
        Platform.Modules["nest.dll"] = {RegisterNest};
        Platform.Modules["spy.dll"] = {RegisterSpy};
        RecordPlatform = &Platform;
        Inner = nullptr;
        Manager = std::make_unique<TMvPluginManager>(nullptr);
        Manager->SetPlatform(Platform);
        Manager->OnBeforeNewCommand = [](TObject*, TMvPlugIn* P) { Trace.push_back("before " + P->Name()); };
        Manager->OnAfterNewCommand = [](TObject*, TMvPlugIn* P) { Trace.push_back("after " + P->Name()); };
        Manager->OnUnloadPlugin = [](TObject*, TMvPlugIn* P) { Trace.push_back("unloading " + P->Name()); };
        Manager->OnNewCommand = [this](TObject*, const std::string& Caption, const std::string&,
                                       const std::string&, uint16_t, const TMvPluginBitmap&,
                                       const TNotifyEvent& Event) {
            Trace.push_back("command " + Caption);
            Handlers[Caption] = Event;
        };
    }

    std::string LoadError(const std::string& File) {
        try {
            Manager->LoadPlugin(File, plgDLL);
        } catch (const EMvPlugInError& E) {
            return E.Message();
        }
        return "no error";
    }

    TFakePlatform Platform;
    std::map<std::string, TNotifyEvent> Handlers;
    std::unique_ptr<TMvPluginManager> Manager;
};

TEST_F(PluginManagerTest, AnnouncesEveryCommandInOrderBetweenBeforeAndAfter) {
    std::vector<std::tuple<std::string, std::string, uint16_t, int32_t>> Seen;
    auto Announce = Manager->OnNewCommand;
    Manager->OnNewCommand = [&](TObject* Sender, const std::string& Caption, const std::string& Hint,
                                const std::string& Data, uint16_t ShortCut, const TMvPluginBitmap& Bitmap,
                                const TNotifyEvent& Event) {
        EXPECT_EQ(Sender, Manager.get());
        Seen.emplace_back(Hint, Data, ShortCut, Bitmap.Width);
        Announce(Sender, Caption, Hint, Data, ShortCut, Bitmap, Event);
    };
    Manager->LoadPlugin("alpha.dll", plgDLL);
    EXPECT_THAT(Trace, ElementsAre("load alpha.dll", "before alpha", "command alpha-1", "command alpha-2",
                                   "command alpha-3", "after alpha"));
    EXPECT_THAT(Seen, ElementsAre(std::make_tuple("hint 1", "loadtag", 0, 0),
                                  std::make_tuple("hint 2", "savetag", 0x4042, 0),
                                  std::make_tuple("hint 3", "savetag", 0, 2)));
    ASSERT_EQ(Manager->PluginCount(), 1);
    const TPluginInfo& Info = Manager->PluginInfoAt(0);
    EXPECT_EQ(Info.Kind, plgDLL);
    EXPECT_NE(Info.Handle, 0u);
    EXPECT_EQ(Info.Plugin->Name(), "alpha");
    EXPECT_EQ(Info.Plugin->PluginID, "id.alpha");
    EXPECT_EQ(Info.Plugin->FileName(), "alpha.dll") << "a module's plug-in learns its own file";
    EXPECT_EQ(Info.Plugin->Manager(), Manager.get());
}

TEST_F(PluginManagerTest, HandlersCallIntoTheModuleAndReportItsFailures) {
    Manager->LoadPlugin("alpha.dll", plgDLL);
    Trace.clear();
    Handlers.at("alpha-1")(nullptr);
    EXPECT_THAT(Trace, ElementsAre("execute alpha-1"));
    try {
        Handlers.at("alpha-3")(nullptr);
        ADD_FAILURE() << "no error";
    } catch (const EMvPlugInError& E) {
        EXPECT_EQ(E.Message(), "Plugin alpha: alpha-3 failed");
    }
    Manager->PluginAt(0)->DispatchPluginMessage(1, "");
    Manager->PluginAt(0)->ConfigurePlugin();
    EXPECT_THAT(Trace, ElementsAre("execute alpha-1", "message 1 ", "configure"));
}

// What the program passes to a command that works on a topic.
class TTopicStandIn : public TObject, public IMvPluginTopicHost {
public:
    TStrings& PluginMeta() override { return Meta; }
    const TMvPluginTopicView* PluginTopic() const override { return View.Lines.empty() ? nullptr : &View; }
    TStringList Meta;
    TMvPluginTopicView View;
};

TEST_F(PluginManagerTest, CommandsReadAndWriteTheMetaLinesOfTheirTopic) {
    Manager->LoadPlugin("counter.dll", plgDLL);
    TTopicStandIn Topic;
    Topic.Meta.SetText("splitter_pos=120\r\ndrop=me\r\n");
    Handlers.at("counter-1")(&Topic);
    Handlers.at("counter-1")(&Topic);
    EXPECT_EQ(Topic.Meta.Text(), "splitter_pos=120\r\ncount=2\r\n");
    Trace.clear();
    Handlers.at("counter-1")(Manager.get());
    EXPECT_THAT(Trace, ElementsAre("no meta"));
}

TEST_F(PluginManagerTest, NothingAPlugInThrowsCrossesTheBoundaryRaw) {
    Manager->LoadPlugin("wild.dll", plgDLL);
    try {
        Handlers.at("wild-1")(nullptr);
        ADD_FAILURE() << "no error";
    } catch (const EMvPlugInError& E) {
        EXPECT_EQ(E.Message(), "Plugin wild: Unknown error in plug-in");
    }
    try {
        Manager->PluginAt(0)->ConfigurePlugin();
        ADD_FAILURE() << "no error";
    } catch (const EMvPlugInError& E) {
        EXPECT_EQ(E.Message(), "Plugin wild: cannot configure");
    }
}

// A module that ends the process inside a call is known at the next start:
// every call into a module is on record while it runs, the innermost first,
// and nothing is between calls.
TEST_F(PluginManagerTest, EveryCallIntoAModuleIsOnRecordWhileItRuns) {
    Manager->LoadPlugin("nest.dll", plgDLL);
    Manager->LoadPlugin("spy.dll", plgDLL);
    EXPECT_EQ(RecordNow(), "");
    Inner = [this] { Handlers.at("spy-1")(nullptr); };
    Handlers.at("nest-1")(nullptr);
    EXPECT_EQ(RecordNow(), "");
    Manager->PluginAt(1)->DispatchPluginMessage(1, "");
    Manager->UnloadPlugin(1);
    EXPECT_EQ(RecordNow(), "");
    const std::vector<std::string> Expected = {
        "spy made: spy.dll: registering (RegisterPlugin)",
        "spy initialised: spy.dll: being initialised",
        "in nest: nest.dll: running its command \"nest-1\" (loadtag)",
        "in spy: spy.dll: running its command \"spy-1\" (loadtag)",
        "back in nest: nest.dll: running its command \"nest-1\" (loadtag)",
        "message 1 ",
        "spy destroyed: spy.dll: being unloaded"};
    std::vector<std::string> Seen;
    for (const std::string& Line : Trace)
        if (Line.find(": ") != std::string::npos || Line.rfind("message", 0) == 0) Seen.push_back(Line);
    EXPECT_EQ(Seen, Expected);
    EXPECT_THAT(Platform.RecordAtModuleCalls,
                ElementsAre("nest.dll: being loaded", "spy.dll: being loaded", "spy.dll: being unloaded"));
    Manager.reset();
    EXPECT_EQ(RecordNow(), "(no record)") << "an orderly end leaves no record behind";
}

TEST_F(PluginManagerTest, TheRecordOfTheLastRunIsTakenOnce) {
    const std::string Path = Manager->CallRecordPath();
    EXPECT_FALSE(Manager->TakeInterruptedCall()) << "no record";
    Platform.Files[Path] = *TMvPluginCallRecord::Line("C:\\Prog\\Plugins\\Crash.dll", "being loaded");
    const auto Ended = Manager->TakeInterruptedCall();
    ASSERT_TRUE(Ended);
    EXPECT_EQ(Ended->FileName, "C:\\Prog\\Plugins\\Crash.dll");
    EXPECT_EQ(Ended->What, "being loaded");
    EXPECT_EQ(Platform.Files.count(Path), 0u);
    EXPECT_FALSE(Manager->TakeInterruptedCall()) << "taken once";
    Platform.Files[Path] = " C:\\Prog\\Plugins\\Crash.dll\tbeing loaded";
    EXPECT_FALSE(Manager->TakeInterruptedCall()) << "the run ended between calls";
    EXPECT_EQ(Platform.Files.count(Path), 0u);
}

TEST_F(PluginManagerTest, LoadFailuresRaiseTheirMessagesAndLeaveNothingLoaded) {
    struct Case {
        const char* File;
        const char* Message;
    };
    const Case Cases[] = {
        {"missing.dll", "Plugin package not found: missing.dll"},
        {"noexport.dll", "Plugin function RegisterPlugin not found in noexport.dll"},
        {"null.dll", "Calling RegisterPlugin in null.dll failed"},
        {"fussy.dll", "Plugin fussy: not today"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(LoadError(C.File), C.Message);
        EXPECT_EQ(Manager->PluginCount(), 0);
        EXPECT_TRUE(Platform.Loaded.empty()) << C.File << " stayed loaded";
    }
}

TEST_F(PluginManagerTest, AModuleOfAnotherMajorVersionIsRefused) {
    EXPECT_EQ(LoadError("future.dll"), "Plugin future.dll uses the unsupported interface version 2");
    EXPECT_THAT(Trace, ElementsAre("load future.dll", "destroy future", "free future.dll"));
    EXPECT_EQ(Manager->PluginCount(), 0);
}

TEST_F(PluginManagerTest, ThePackageAndCustomKindsLoadNoModule) {
    Manager->SetPluginKind(plgPackage);
    try {
        Manager->LoadPlugin("alpha.dll", plgPackage);
        ADD_FAILURE() << "no error";
    } catch (const EMvLoadPluginError& E) {
        EXPECT_EQ(E.Message(), "Plugin package not found: alpha.dll");
    }
    EXPECT_THROW(Manager->LoadPlugin("alpha.dll", plgCustom), EMvLoadPluginError);
    EXPECT_TRUE(Trace.empty());
}

TEST_F(PluginManagerTest, TheErrorEventTakesFailuresInsteadOfRaising) {
    std::vector<std::string> Errors;
    Manager->OnPlugInError = [&](TObject* Sender, const std::exception& E) {
        EXPECT_EQ(Sender, Manager.get());
        Errors.push_back(E.what());
    };
    Manager->LoadPlugin("noexport.dll", plgDLL);
    Manager->LoadPlugin("fussy.dll", plgDLL);
    EXPECT_THAT(Errors, ElementsAre("Plugin function RegisterPlugin not found in noexport.dll",
                                    "Plugin fussy: not today"));
    EXPECT_EQ(Manager->PluginCount(), 0);
    EXPECT_TRUE(Platform.Loaded.empty());
}

TEST_F(PluginManagerTest, ARefusalInOnInitializeFreesTheObjectAndUnloadsTheModule) {
    Manager->LoadPlugin("refusing.dll", plgDLL);
    EXPECT_THAT(Trace, ElementsAre("load refusing.dll", "destroy refusing", "free refusing.dll"));
    EXPECT_EQ(Manager->PluginCount(), 0);
}

TEST_F(PluginManagerTest, RefusalsBeforeAndAfterLoadingAreNoErrors) {
    Manager->OnBeforeLoad = [](TObject*, const std::string&, bool& Allow) { Allow = false; };
    Manager->LoadPlugin("alpha.dll", plgDLL);
    EXPECT_TRUE(Trace.empty());

    Manager->OnBeforeLoad = nullptr;
    TMvModuleHandle Seen = 0;
    Manager->OnAfterLoad = [&](TObject*, const std::string& File, TMvModuleHandle Handle, bool& Allow) {
        EXPECT_EQ(File, "alpha.dll");
        Seen = Handle;
        Allow = false;
    };
    Manager->LoadPlugin("alpha.dll", plgDLL);
    EXPECT_NE(Seen, 0u);
    EXPECT_THAT(Trace, ElementsAre("load alpha.dll", "free alpha.dll"));
    EXPECT_EQ(Manager->PluginCount(), 0);
}

TEST_F(PluginManagerTest, TheInstanceLimitKeepsTheSecondPlugInWithTheSameId) {
    Manager->LoadPlugin("twina.dll", plgDLL);
    Manager->LoadPlugin("twinb.dll", plgDLL);
    ASSERT_EQ(Manager->PluginCount(), 1);
    EXPECT_EQ(Manager->PluginAt(0)->Name(), "twina");
    EXPECT_THAT(Trace, ElementsAre("load twina.dll", "before twina", "command twina-1", "after twina",
                                   "load twinb.dll", "destroy twinb"));
    EXPECT_EQ(Platform.Loaded.size(), 2u) << "the second module stays loaded";

    Manager->LoadPlugin("u1.dll", plgDLL);
    Manager->LoadPlugin("u2.dll", plgDLL);
    EXPECT_EQ(Manager->PluginCount(), 3) << "InstanceCount 0 means no limit";
}

TEST_F(PluginManagerTest, AFailedAnnouncementTakesBackTheRecordAndItsHandlers) {
    auto Announce = Manager->OnNewCommand;
    Manager->OnNewCommand = [&](TObject* Sender, const std::string& Caption, const std::string& Hint,
                                const std::string& Data, uint16_t ShortCut, const TMvPluginBitmap& Bitmap,
                                const TNotifyEvent& Event) {
        if (Caption == "alpha-2") throw std::runtime_error("no room for alpha-2");
        Announce(Sender, Caption, Hint, Data, ShortCut, Bitmap, Event);
    };
    EXPECT_THROW(Manager->LoadPlugin("alpha.dll", plgDLL), std::runtime_error);
    EXPECT_THAT(Trace, ElementsAre("load alpha.dll", "before alpha", "command alpha-1", "after alpha",
                                   "unloading alpha", "destroy alpha", "free alpha.dll"));
    EXPECT_EQ(Manager->PluginCount(), 0);
    EXPECT_TRUE(Platform.Loaded.empty());
    // The handler announced before the failure now does nothing at all.
    Trace.clear();
    Handlers.at("alpha-1")(nullptr);
    EXPECT_TRUE(Trace.empty());
}

TEST_F(PluginManagerTest, AFailedAnnouncementIsRaisedWithoutAnErrorEvent) {
    Manager->OnNewCommand = [](TObject*, const std::string&, const std::string&, const std::string&, uint16_t,
                               const TMvPluginBitmap&, const TNotifyEvent&) { throw EMvPlugInError("boom"); };
    EXPECT_EQ(LoadError("alpha.dll"), "boom");
    EXPECT_EQ(Manager->PluginCount(), 0);
    EXPECT_TRUE(Platform.Loaded.empty());
}

TEST_F(PluginManagerTest, AnyKindOfFailureIsCleanedUpEvenWithAnErrorEvent) {
    int Reported = 0;
    Manager->OnPlugInError = [&](TObject*, const std::exception&) { ++Reported; };
    Manager->OnNewCommand = [](TObject*, const std::string&, const std::string&, const std::string&, uint16_t,
                               const TMvPluginBitmap&, const TNotifyEvent&) { throw 42; };
    EXPECT_THROW(Manager->LoadPlugin("alpha.dll", plgDLL), int) << "not an exception the event can take";
    EXPECT_EQ(Reported, 0);
    EXPECT_EQ(Manager->PluginCount(), 0);
    EXPECT_TRUE(Platform.Loaded.empty());
    EXPECT_EQ(std::count(Trace.begin(), Trace.end(), "destroy alpha"), 1);
}

TEST_F(PluginManagerTest, UnloadTellsTheOwnerThenFreesTheObjectThenTheModule) {
    Manager->LoadPlugin("alpha.dll", plgDLL);
    Manager->LoadPlugin("twina.dll", plgDLL);
    Trace.clear();
    Manager->UnloadPlugin(0);
    EXPECT_THAT(Trace, ElementsAre("unloading alpha", "destroy alpha", "free alpha.dll"));
    ASSERT_EQ(Manager->PluginCount(), 1);
    EXPECT_EQ(Manager->PluginAt(0)->Name(), "twina");
    Trace.clear();
    Handlers.at("alpha-1")(nullptr);
    EXPECT_TRUE(Trace.empty()) << "a kept handler must not reach the unloaded module";
    EXPECT_THROW(Manager->UnloadPlugin(1), EListError);
}

TEST_F(PluginManagerTest, DestroyingTheManagerUnloadsInLoadOrder) {
    Manager->LoadPlugin("twina.dll", plgDLL);
    Manager->LoadPlugin("alpha.dll", plgDLL);
    TStringList Names;
    Names.Add("stale");
    Manager->GetLoadedPlugins(Names);
    EXPECT_EQ(Names.Text(), "twina\r\nalpha\r\n");
    Trace.clear();
    Manager.reset();
    EXPECT_THAT(Trace, ElementsAre("unloading twina", "destroy twina", "free twina.dll", "unloading alpha",
                                   "destroy alpha", "free alpha.dll"));
}

TEST_F(PluginManagerTest, CustomPlugInsComeFromTheProgramItself) {
    auto Plugin = std::make_unique<TMvPlugIn>(nullptr);
    Plugin->SetName("custom");
    Plugin->Commands().Add().Caption = "first";
    Plugin->Commands().Add().Caption = "second";
    std::string Received;
    Plugin->OnInitialize = [&](TObject* Sender, bool&) {
        Received = static_cast<TMvPlugIn*>(Sender)->FileName();
    };
    Manager->ParentApplication = &Received;
    ASSERT_TRUE(Manager->AddCustomPlugin(Plugin.get()));
    TMvPlugIn* Added = Plugin.release();
    EXPECT_EQ(Received, "CustomPlugin");
    EXPECT_EQ(Added->ParentApplication(), &Received);
    EXPECT_EQ(Manager->PluginInfoAt(0).Kind, plgCustom);
    EXPECT_EQ(Manager->PluginInfoAt(0).Handle, 0u);
    EXPECT_THAT(Trace, ElementsAre("before custom", "command first", "command second", "after custom"));

    TMvPlugIn Refused(nullptr);
    Refused.OnInitialize = [](TObject*, bool& Allow) { Allow = false; };
    EXPECT_FALSE(Manager->AddCustomPlugin(&Refused));
    EXPECT_EQ(Manager->PluginCount(), 1);
}

TEST(PluginManagerSettings, ExtensionAndKind) {
    TMvPluginManager Manager(nullptr);
    EXPECT_EQ(Manager.Extension(), "dll");
    EXPECT_EQ(Manager.PluginKind(), plgDLL);
    try {
        Manager.SetExtension("");
        ADD_FAILURE() << "no error";
    } catch (const EMvPlugInError& E) {
        EXPECT_EQ(E.Message(), "Extension may not be empty");
    }
    EXPECT_EQ(Manager.Extension(), "dll");
    Manager.SetPluginKind(plgPackage);
    EXPECT_EQ(Manager.Extension(), DefaultPluginExtension(plgPackage));
    Manager.SetPluginKind(plgCustom);
    EXPECT_EQ(Manager.Extension(), "xxx");
    Manager.SetExtension("plg");
    Manager.SetPluginKind(plgDLL);
    EXPECT_EQ(Manager.Extension(), "plg") << "a chosen extension stays";
}

TEST(PluginCommands, UnnamedCommandsTakeTheLowestFreeNumber) {
    TMvPluginCommands Commands;
    EXPECT_EQ(Commands.Add().Name, "Command1");
    EXPECT_EQ(Commands.Add().Name, "Command2");
    Commands.Items(0).Name = "Renamed";
    EXPECT_EQ(Commands.Add().Name, "Command1");
    Commands.Items(1).Name = "COMMAND3";
    EXPECT_EQ(Commands.Add().Name, "Command2") << "names compare without regard to case";
    EXPECT_EQ(Commands.Add().Name, "Command4");
    EXPECT_EQ(Commands.Items(0).DisplayName(), "Renamed");
    Commands.Items(0).Name.clear();
    EXPECT_EQ(Commands.Items(0).DisplayName(), "TMvPluginCommand");

    MvPluginSdk::TMvPluginCommands Sdk;
    Sdk.Add();
    Sdk[0].Name = "command2";
    EXPECT_EQ(Sdk.Add().Name, "Command1");
    EXPECT_EQ(Sdk.Add().Name, "Command3");
}

TEST(PluginCommands, AssignCopiesEveryField) {
    TMvPluginCommands Source;
    TMvPluginCommand& Command = Source.Add();
    Command.Caption = "c";
    Command.Bitmap = {1, 1, {7u}};
    int Calls = 0;
    Command.OnExecute = [&](TObject*) { ++Calls; };
    TMvPlugIn Plugin(nullptr);
    Plugin.SetCommands(Source);
    Source.Clear();
    ASSERT_EQ(Plugin.Commands().Count(), 1);
    EXPECT_EQ(Plugin.Commands().Items(0).Caption, "c");
    EXPECT_EQ(Plugin.Commands().Items(0).Bitmap.Pixels, std::vector<uint32_t>{7u});
    Plugin.Commands().Items(0).OnExecute(nullptr);
    EXPECT_EQ(Calls, 1);
}

class PluginFolderTest : public PluginManagerTest {
protected:
    void SetUp() override {
        PluginManagerTest::SetUp();
        Dir = std::filesystem::temp_directory_path() /
              ("mvplugins-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(Dir);
        Manager->PluginFolder = Dir.string();
        Platform.IniPath = Manager->PluginFolderPath() + "Plugins.ini";
        for (const char* Name : {"alpha.dll", "twina.dll", "u1.dll", "u2.dll", "null.dll"})
            Platform.Modules[Manager->PluginFolderPath() + Name] = Platform.Modules[Name];
        Platform.Folder = {"Alpha.dll", "twina.dll", "u1.dll", "u2.dll", "null.dll"};
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }
    void WriteIni(const std::string& Text) { std::ofstream(Platform.IniPath, std::ios::binary) << Text; }
    std::filesystem::path Dir;
};

TEST_F(PluginFolderTest, TheEnableListSwitchesFilesOff) {
    Platform.Modules[Manager->PluginFolderPath() + "Alpha.dll"] = Platform.Modules["alpha.dll"];
    WriteIni("ALPHA=True\r\ntwina=false\r\nu1=x\r\nu2=1\r\n");
    EXPECT_EQ(Manager->LoadPluginFolder(), 2);
    TStringList Names;
    Manager->GetLoadedPlugins(Names);
    EXPECT_EQ(Names.Text(), "alpha\r\nunlimited\r\n");
}

TEST_F(PluginFolderTest, WithoutAnEnableListEveryFileLoadsAndFailuresAreSkipped) {
    Platform.Modules[Manager->PluginFolderPath() + "Alpha.dll"] = Platform.Modules["alpha.dll"];
    EXPECT_EQ(Manager->LoadPluginFolder(), 4);
    EXPECT_EQ(Manager->PluginCount(), 4);
}

TEST(PluginFolderPath, ResolvesAgainstTheProgramFolder) {
    TFakePlatform Platform;
    TMvPluginManager Manager(nullptr);
    Manager.SetPlatform(Platform);
    struct Case {
        const char* Folder;
        const char* Path;
    };
    const Case Cases[] = {
        {"", "C:\\Prog\\"},
        {"Plugins", "C:\\Prog\\Plugins"
                    "\x01"},
        {"D:\\Other", "D:\\Other"
                      "\x01"},
        {"\\\\server\\share\\", "\\\\server\\share\\"},
    };
    for (const Case& C : Cases) {
        Manager.PluginFolder = C.Folder;
        std::string Expected = C.Path;
        if (!Expected.empty() && Expected.back() == '\x01') Expected.back() = PathDelim;
        EXPECT_EQ(Manager.PluginFolderPath(), Expected) << C.Folder;
    }
}

} // namespace
