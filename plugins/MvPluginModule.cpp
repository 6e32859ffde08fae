// The adapter between a module's plug-in object and the host.
#include "plugins/MvPluginModule.h"

#include "base/StrUtils.h"
#include "base/StringList.h"
#include "plugins/MvPluginManager.h"

namespace {

// A text from the module: null is empty, and a text runs to its first NUL or
// to MaxTextLength characters, whichever comes first.
std::string Text(const char* Value) {
    if (!Value) return {};
    std::size_t Length = 0;
    while (Length < static_cast<std::size_t>(MvPluginAbi::MaxTextLength) && Value[Length] != '\0')
        ++Length;
    return std::string(Value, Length);
}

// A topic's meta lines as a module sees them during one command. Names and
// values that could make or change another line are refused.
class TMetaBridge final : public MvPluginAbi::IMvPluginMeta {
public:
    explicit TMetaBridge(TStrings& Lines) : FLines(Lines) {}
    const char* MV_PLUGIN_CALL Value(const char* Name) override {
        try {
            FValue.clear();
            if (Name) FValue = FLines.Values(Name);
        } catch (...) {
            FValue.clear();
        }
        return FValue.c_str();
    }
    int32_t MV_PLUGIN_CALL SetValue(const char* Name, const char* Value) override {
        try {
            if (!Name) return MvPluginAbi::ResultFailed;
            std::string Key(Name);
            std::string Text = Value ? std::string(Value) : std::string();
            if (!IsValidPluginMetaName(Key) || !IsValidPluginMetaValue(Text))
                return MvPluginAbi::ResultFailed;
            FLines.SetValue(Key, Text);
            return MvPluginAbi::ResultOk;
        } catch (...) {
            return MvPluginAbi::ResultFailed;
        }
    }

private:
    TStrings& FLines;
    std::string FValue;
};

// The topic a handler runs on, as a module sees it during one command.
class TTopicBridge final : public MvPluginAbi::IMvPluginTopic {
public:
    TTopicBridge(const TMvPluginTopicView& View, TMetaBridge& Meta) : FView(View), FMeta(Meta) {}
    const char* MV_PLUGIN_CALL Title() override { return FView.Title.c_str(); }
    const char* MV_PLUGIN_CALL Namespace() override { return FView.Namespace.c_str(); }
    int32_t MV_PLUGIN_CALL LineCount() override { return static_cast<int32_t>(FView.Lines.size()); }
    const char* MV_PLUGIN_CALL Line(int32_t Index) override {
        if (Index < 0 || static_cast<std::size_t>(Index) >= FView.Lines.size()) return nullptr;
        return FView.Lines[static_cast<std::size_t>(Index)].c_str();
    }
    int32_t MV_PLUGIN_CALL DotLineIndex() override {
        return FView.DotLineIndex >= 0 && static_cast<std::size_t>(FView.DotLineIndex) < FView.Lines.size()
                   ? FView.DotLineIndex
                   : -1;
    }
    const char* MV_PLUGIN_CALL DotLine() override {
        const int32_t Index = DotLineIndex();
        return Index < 0 ? "" : FView.Lines[static_cast<std::size_t>(Index)].c_str();
    }
    MvPluginAbi::IMvPluginMeta* MV_PLUGIN_CALL Meta() override { return &FMeta; }

private:
    const TMvPluginTopicView& FView;
    TMetaBridge& FMeta;
};

} // namespace

class TMvModulePlugIn::THostServices final : public MvPluginAbi::IMvPluginHost {
public:
    int32_t MV_PLUGIN_CALL AbiVersion() override { return MvPluginAbi::Version; }
    void* MV_PLUGIN_CALL ApplicationHandle() override { return Application; }
    void* Application = nullptr;
};

TMvModulePlugIn::TMvModulePlugIn(MvPluginAbi::IMvPlugin* Module, const std::string& ModuleFileName,
                                 TMvPluginCallRecord* Calls)
    : TMvPlugIn(nullptr), FModule(Module), FModuleFileName(ModuleFileName), FCalls(Calls),
      FHost(std::make_unique<THostServices>()), FAlive(std::make_shared<bool>(true)) {
    TMvPluginCallRecord::TCall Call(FCalls, CallLine("describing itself"));
    const int32_t Version = FModule->AbiVersion();
    if ((Version >> 16) != MvPluginAbi::VersionMajor) {
        FModule->Destroy();
        FModule = nullptr;
        throw EMvCantRegisterPlugInError("Plugin " + ModuleFileName +
                                         " uses the unsupported interface version " +
                                         std::to_string(Version >> 16));
    }
    FMinorVersion = Version & 0xFFFF;
    SetName(Text(FModule->Name()));
    Author = Text(FModule->Author());
    PluginID = Text(FModule->PluginID());
    Copyright = Text(FModule->Copyright());
    Description = Text(FModule->Description());
    PluginVersion = Text(FModule->PluginVersion());
    InstanceCount = FModule->InstanceCount();
}

TMvModulePlugIn::~TMvModulePlugIn() {
    *FAlive = false;
    Commands().Clear();
    if (!FModule) return;
    bool Destroyed = false;
    try {
        TMvPluginCallRecord::TCall Call(FCalls, CallLine("being unloaded"));
        Destroyed = true;
        FModule->Destroy();
    } catch (...) {
        // No memory left to record the call: the object goes unrecorded.
        if (!Destroyed) FModule->Destroy();
    }
}

TMvPluginCallRecord::TLine TMvModulePlugIn::CallLine(const std::string& What) const {
    return TMvPluginCallRecord::Line(FModuleFileName, What);
}

void TMvModulePlugIn::RaiseModuleError(const char* What) {
    std::string Reason = Trim(Text(FModule->LastErrorText()));
    if (Reason.empty()) Reason = std::string(What) + " (the plugin gave no reason)";
    const std::string Who = Name().empty() ? ExtractFileName(FModuleFileName) : Name();
    throw EMvPlugInError("Plugin " + Who + ": " + Reason);
}

bool TMvModulePlugIn::InitializePlugin(TMvPluginManager* Manager, void* ParentApplication,
                                       const std::string&) {
    // A module's plug-in learns where it was loaded from. The base stores the
    // values and runs the host-side OnInitialize; the module has its own say
    // after that.
    if (!TMvPlugIn::InitializePlugin(Manager, ParentApplication, FModuleFileName)) return false;
    FHost->Application = ParentApplication;
    TMvPluginCallRecord::TCall Call(FCalls, CallLine("being initialised"));
    int32_t AllowLoad = 1;
    if (FModule->Initialize(FHost.get(), FModuleFileName.c_str(), &AllowLoad) != MvPluginAbi::ResultOk)
        RaiseModuleError("its initialisation failed");
    return AllowLoad != 0;
}

void TMvModulePlugIn::ConfigurePlugin() {
    TMvPlugIn::ConfigurePlugin();
    TMvPluginCallRecord::TCall Call(FCalls, CallLine("configuring itself"));
    if (FModule->Configure() != MvPluginAbi::ResultOk) RaiseModuleError("its configuration failed");
}

void TMvModulePlugIn::SendPluginMessage(int32_t APluginMessage, const std::string& AMessageText) {
    TMvPlugIn::SendPluginMessage(APluginMessage, AMessageText);
    TMvPluginCallRecord::TCall Call(
        FCalls, CallLine("handling the plugin message " + std::to_string(APluginMessage)));
    if (FModule->PluginMessage(APluginMessage, AMessageText.c_str()) != MvPluginAbi::ResultOk)
        RaiseModuleError("a message to it failed");
}

void TMvModulePlugIn::UpdateCommands() {
    Commands().Clear();
    TMvPluginCallRecord::TCall Call(FCalls, CallLine("describing its commands"));
    const int32_t Count = FModule->CommandCount();
    if (Count < 0 || Count > MvPluginAbi::MaxCommandCount)
        throw EMvPlugInError("Plugin " + Name() + ": it reports " + std::to_string(Count) +
                             " commands (at most " + std::to_string(MvPluginAbi::MaxCommandCount) +
                             " are allowed)");
    for (int32_t I = 0; I < Count; ++I) {
        MvPluginAbi::IMvPluginCommand* Source = FModule->Command(I);
        if (!Source) RaiseModuleError(("its command " + std::to_string(I + 1) + " cannot be read").c_str());
        TMvPluginCommand& Command = Commands().Add();
        Command.Name = Text(Source->Name());
        Command.Caption = Text(Source->Caption());
        Command.Hint = Text(Source->Hint());
        Command.Data = Text(Source->Data());
        Command.ShortCut = static_cast<uint16_t>(Source->ShortCut());
        int32_t Width = 0, Height = 0;
        const uint32_t* Pixels = Source->Bitmap(&Width, &Height);
        if (Pixels && Width > 0 && Height > 0 && Width <= 4096 && Height <= 4096) {
            Command.Bitmap.Width = Width;
            Command.Bitmap.Height = Height;
            Command.Bitmap.Pixels.assign(Pixels, Pixels + static_cast<std::size_t>(Width) * Height);
        }
        if (Source->HasExecute()) {
            std::weak_ptr<bool> Alive = FAlive;
            // Made once here, as handlers run at every load and save of a topic.
            TMvPluginCallRecord::TLine Line =
                CallLine("running its command \"" + Command.Caption + "\" (" + Command.Data + ")");
            Command.OnExecute = [this, Alive, Source, Line](TObject* Sender) {
                std::shared_ptr<bool> Token = Alive.lock();
                if (!Token || !*Token) return;
                TMvPluginCallRecord::TCall Call(FCalls, Line);
                auto* Target = dynamic_cast<IMvPluginTopicHost*>(Sender);
                std::unique_ptr<TMetaBridge> Meta;
                if (Target) Meta = std::make_unique<TMetaBridge>(Target->PluginMeta());
                int32_t Result = MvPluginAbi::ResultOk;
                if (FMinorVersion >= 1) {
                    // Built against 1.1 or later: the handler sees the topic too.
                    const TMvPluginTopicView* View = Target ? Target->PluginTopic() : nullptr;
                    static const TMvPluginTopicView NoTopic;
                    std::unique_ptr<TTopicBridge> Topic;
                    if (Meta) Topic = std::make_unique<TTopicBridge>(View ? *View : NoTopic, *Meta);
                    Result = Source->ExecuteOnTopic(Topic.get());
                } else {
                    Result = Source->Execute(Meta.get());
                }
                if (Result != MvPluginAbi::ResultOk) RaiseModuleError("its command failed");
            };
        }
    }
}
