// The adapter between a module's plug-in object and the host.
#include "components/MvPluginModule.h"

#include "base/StringList.h"
#include "components/MvPluginManager.h"

namespace {

std::string Text(const char* Value) {
    return Value ? std::string(Value) : std::string();
}

// A topic's meta lines as a module sees them during one command.
class TMetaBridge final : public MvPluginAbi::IMvPluginMeta {
public:
    explicit TMetaBridge(TStrings& Lines) : FLines(Lines) {}
    const char* MV_PLUGIN_CALL Value(const char* Name) override {
        try {
            FValue = FLines.Values(Text(Name));
        } catch (...) {
            FValue.clear();
        }
        return FValue.c_str();
    }
    int32_t MV_PLUGIN_CALL SetValue(const char* Name, const char* Value) override {
        try {
            FLines.SetValue(Text(Name), Text(Value));
            return MvPluginAbi::ResultOk;
        } catch (...) {
            return MvPluginAbi::ResultFailed;
        }
    }

private:
    TStrings& FLines;
    std::string FValue;
};

} // namespace

class TMvModulePlugIn::THostServices final : public MvPluginAbi::IMvPluginHost {
public:
    int32_t MV_PLUGIN_CALL AbiVersion() override { return MvPluginAbi::Version; }
    void* MV_PLUGIN_CALL ApplicationHandle() override { return Application; }
    void* Application = nullptr;
};

TMvModulePlugIn::TMvModulePlugIn(MvPluginAbi::IMvPlugin* Module, const std::string& ModuleFileName)
    : TMvPlugIn(nullptr), FModule(Module), FModuleFileName(ModuleFileName),
      FHost(std::make_unique<THostServices>()), FAlive(std::make_shared<bool>(true)) {
    int32_t Version = FModule->AbiVersion();
    if ((Version >> 16) != MvPluginAbi::VersionMajor) {
        FModule->Destroy();
        FModule = nullptr;
        throw EMvCantRegisterPlugInError("Plugin " + ModuleFileName +
                                         " uses the unsupported interface version " +
                                         std::to_string(Version >> 16));
    }
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
    if (FModule) FModule->Destroy();
}

void TMvModulePlugIn::RaiseModuleError(const char* What) {
    std::string Reason = Text(FModule->LastErrorText());
    if (Reason.empty()) Reason = What;
    throw EMvPlugInError("Plugin " + Name() + ": " + Reason);
}

bool TMvModulePlugIn::InitializePlugin(TMvPluginManager* Manager, void* ParentApplication,
                                       const std::string& FileName) {
    // The base stores the values and runs the host-side OnInitialize; the
    // module has its own say after that.
    if (!TMvPlugIn::InitializePlugin(Manager, ParentApplication, FileName)) return false;
    FHost->Application = ParentApplication;
    int32_t AllowLoad = 1;
    if (FModule->Initialize(FHost.get(), FileName.c_str(), &AllowLoad) != MvPluginAbi::ResultOk)
        RaiseModuleError("initialisation failed");
    return AllowLoad != 0;
}

void TMvModulePlugIn::ConfigurePlugin() {
    TMvPlugIn::ConfigurePlugin();
    if (FModule->Configure() != MvPluginAbi::ResultOk) RaiseModuleError("configuration failed");
}

void TMvModulePlugIn::SendPluginMessage(int32_t APluginMessage, const std::string& AMessageText) {
    TMvPlugIn::SendPluginMessage(APluginMessage, AMessageText);
    if (FModule->PluginMessage(APluginMessage, AMessageText.c_str()) != MvPluginAbi::ResultOk)
        RaiseModuleError("message failed");
}

void TMvModulePlugIn::UpdateCommands() {
    Commands().Clear();
    int32_t Count = FModule->CommandCount();
    if (Count < 0) RaiseModuleError("its commands cannot be read");
    for (int32_t I = 0; I < Count; ++I) {
        MvPluginAbi::IMvPluginCommand* Source = FModule->Command(I);
        if (!Source) RaiseModuleError("a command cannot be read");
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
            Command.OnExecute = [this, Alive, Source](TObject* Sender) {
                std::shared_ptr<bool> Token = Alive.lock();
                if (!Token || !*Token) return;
                auto* Target = dynamic_cast<IMvPluginMetaHost*>(Sender);
                std::unique_ptr<TMetaBridge> Meta;
                if (Target) Meta = std::make_unique<TMetaBridge>(Target->PluginMeta());
                if (Source->Execute(Meta.get()) != MvPluginAbi::ResultOk)
                    RaiseModuleError("the command failed");
            };
        }
    }
}
