// The plug-in host's bookkeeping: loading, recording, announcing, unloading.
#include "plugins/MvPluginManager.h"

#include "base/StrUtils.h"
#include "base/StringList.h"
#include "plugins/MvPluginModule.h"
#include "sdk/MvPluginAbi.h"

namespace {

bool IsAbsolutePath(const std::string& Path) {
    if (!Path.empty() && IsPathDelimiter(Path[0])) return true;
    return Path.size() >= 2 && Path[1] == ':' &&
           ((Path[0] >= 'A' && Path[0] <= 'Z') || (Path[0] >= 'a' && Path[0] <= 'z'));
}

// "True"/"False" in any case, or an integer (0 is false).
bool TryReadBool(const std::string& Text, bool& Value) {
    std::string Word = Trim(Text);
    if (SameText(Word, "true")) {
        Value = true;
        return true;
    }
    if (SameText(Word, "false")) {
        Value = false;
        return true;
    }
    int32_t Number = 0;
    if (TryStrToInt(Word, Number)) {
        Value = Number != 0;
        return true;
    }
    return false;
}

std::string BaseName(const std::string& FileName) {
    std::string Name = ExtractFileName(FileName);
    std::string Ext = ExtractFileExt(Name);
    return Name.substr(0, Name.size() - Ext.size());
}

} // namespace

bool PluginEnabledIn(const TStrings& Enabled, const std::string& BaseName) {
    const std::string Key = LowerCase(BaseName);
    if (Enabled.IndexOfName(Key) < 0) return true;
    bool On = false;
    return TryReadBool(Enabled.Values(Key), On) && On;
}

std::string DefaultPluginExtension(TPluginKind Kind) {
    switch (Kind) {
    case plgDLL:
        return "dll";
    case plgPackage:
        return "pkg";
    case plgCustom:
        break;
    }
    return "xxx";
}

TMvPluginManager::TMvPluginManager(TComponent* AOwner)
    : TMvComponent(AOwner), FPlatform(&DefaultPluginPlatform()) {}

TMvPluginManager::~TMvPluginManager() {
    // The owner may already be half gone when it frees us: tell it nothing then.
    if (Owner() && Owner()->HasState(csDestroying)) OnUnloadPlugin = nullptr;
    while (!FPlugins.empty()) {
        try {
            UnloadPlugin(0);
        } catch (...) {
            // UnloadPlugin has removed the record before raising; go on.
        }
    }
}

void TMvPluginManager::SetExtension(const std::string& Value) {
    if (Value.empty()) throw EMvPlugInError("Extension may not be empty");
    FExtension = Value;
}

void TMvPluginManager::SetPluginKind(TPluginKind Value) {
    if (Value == FPluginKind) return;
    if (FExtension == DefaultPluginExtension(FPluginKind)) FExtension = DefaultPluginExtension(Value);
    FPluginKind = Value;
}

TMvPlugIn* TMvPluginManager::PluginAt(int Index) const {
    return PluginInfoAt(Index).Plugin.get();
}

const TPluginInfo& TMvPluginManager::PluginInfoAt(int Index) const {
    if (Index < 0 || Index >= PluginCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FPlugins[static_cast<std::size_t>(Index)];
}

void TMvPluginManager::GetLoadedPlugins(TStrings& Strings) const {
    Strings.Clear();
    for (const TPluginInfo& Info : FPlugins)
        Strings.Add(Info.Plugin->Name());
}

void TMvPluginManager::ReleaseModule(TPluginKind Kind, TMvModuleHandle Handle, const std::string& FileName) {
    // Packages are never loaded in this build, and custom plug-ins have no module.
    if (Kind != plgDLL || Handle == 0) return;
    // The module's own clean-up code runs now.
    TMvPluginCallRecord::TCall Call(&FCalls, TMvPluginCallRecord::Line(FileName, "being unloaded"));
    FPlatform->UnloadModule(Handle);
}

std::optional<TMvInterruptedCall> TMvPluginManager::TakeInterruptedCall() {
    return TMvPluginCallRecord::TakeInterrupted(*FPlatform, CallRecordPath());
}

void TMvPluginManager::NotifyUnload(TMvPlugIn* Plugin) {
    if (OnUnloadPlugin) OnUnloadPlugin(this, Plugin);
}

void TMvPluginManager::NotLoaded(const std::string& FileName, const std::string& Reason) noexcept {
    if (!OnPluginNotLoaded) return;
    try {
        OnPluginNotLoaded(this, FileName, Reason);
    } catch (...) {
        // Telling about a plug-in that is not there must not fail the load of the others.
    }
}

namespace {

std::string ReasonOf(std::exception_ptr Failure) {
    try {
        std::rethrow_exception(Failure);
    } catch (const std::exception& E) {
        return E.what();
    } catch (...) {
    }
    return "Unknown error";
}

} // namespace

void TMvPluginManager::LoadPlugin(const std::string& FileName, TPluginKind PlgKind) {
    bool AllowLoad = true;
    if (OnBeforeLoad) OnBeforeLoad(this, FileName, AllowLoad);
    if (!AllowLoad) {
        NotLoaded(FileName, "the program chose not to load it");
        return;
    }

    TMvModuleHandle Handle = 0;
    std::unique_ptr<TMvPlugIn> Plugin;
    std::string SystemReason; // why the system could not load the module
    try {
        if (PlgKind == plgDLL) {
            if (!FCalls.Opened()) FCalls.Open(*FPlatform, CallRecordPath());
            // Loading runs the module's start-up code.
            TMvPluginCallRecord::TCall Call(&FCalls, TMvPluginCallRecord::Line(FileName, "being loaded"));
            Handle = FPlatform->LoadModule(FileName);
        }
        if (Handle == 0) {
            if (PlgKind == plgDLL) SystemReason = FPlatform->LastLoadError();
            throw EMvLoadPluginError(Format("Plugin package not found: %s", FileName.c_str()));
        }

        AllowLoad = true;
        if (OnAfterLoad) OnAfterLoad(this, FileName, Handle, AllowLoad);
        if (!AllowLoad) {
            ReleaseModule(PlgKind, Handle, FileName);
            NotLoaded(FileName, "the program chose not to load it");
            return;
        }

        auto Register = reinterpret_cast<MvPluginAbi::TRegisterPluginProc>(
            FPlatform->FindEntryPoint(Handle, MvPluginAbi::EntryPointName));
        if (!Register)
            throw EMvLoadPluginError(
                Format("Plugin function %s not found in %s", MvPluginAbi::EntryPointName, FileName.c_str()));
        MvPluginAbi::IMvPlugin* Module = nullptr;
        {
            TMvPluginCallRecord::TCall Call(
                &FCalls, TMvPluginCallRecord::Line(FileName, "registering (RegisterPlugin)"));
            Module = Register();
        }
        if (!Module)
            throw EMvCantRegisterPlugInError(
                Format("Calling %s in %s failed", MvPluginAbi::EntryPointName, FileName.c_str()));
        Plugin = std::make_unique<TMvModulePlugIn>(Module, FileName, &FCalls);

        if (Plugin->InstanceCount > 0) {
            int32_t Same = 0;
            for (const TPluginInfo& Info : FPlugins)
                if (Info.Plugin->PluginID == Plugin->PluginID) ++Same;
            if (Same >= Plugin->InstanceCount) {
                // The module stays loaded; only the surplus object goes.
                const std::string ID = Plugin->PluginID;
                const int32_t Limit = Plugin->InstanceCount;
                Plugin.reset();
                NotLoaded(FileName, "a plugin with the ID " + ID + " is already loaded (at most " +
                                        std::to_string(Limit) + " at once)");
                return;
            }
        }

        if (AddPlugin(Plugin.get())) {
            TPluginInfo& Info = FPlugins.back();
            Info.Kind = PlgKind;
            Info.Handle = Handle;
            Plugin.release();
            return;
        }
        // Refused: nothing of it may stay.
        Plugin.reset();
        ReleaseModule(PlgKind, Handle, FileName);
        NotLoaded(FileName, "the plugin declined to load");
    } catch (...) {
        std::exception_ptr Failure = std::current_exception();
        Plugin.reset();
        ReleaseModule(PlgKind, Handle, FileName);
        std::string Reason = ReasonOf(Failure);
        if (!SystemReason.empty()) Reason += " (" + SystemReason + ")";
        NotLoaded(FileName, Reason);
        ReportOrRaise();
    }
}

void TMvPluginManager::ReportOrRaise() {
    if (!OnPlugInError) throw;
    try {
        throw;
    } catch (const std::exception& Error) {
        OnPlugInError(this, Error);
    }
}

void TMvPluginManager::Announce(TMvPlugIn& Plugin) {
    try {
        if (OnBeforeNewCommand) OnBeforeNewCommand(this, &Plugin);
        Plugin.UpdateCommands();
        if (OnNewCommand) {
            TMvPluginCommands& Commands = Plugin.Commands();
            for (int I = 0; I < Commands.Count(); ++I) {
                TMvPluginCommand& Command = Commands.Items(I);
                OnNewCommand(this, Command.Caption, Command.Hint, Command.Data, Command.ShortCut,
                             Command.Bitmap, Command.OnExecute);
            }
        }
    } catch (...) {
        // OnAfterNewCommand comes whatever happened; the first failure is the
        // one reported.
        try {
            if (OnAfterNewCommand) OnAfterNewCommand(this, &Plugin);
        } catch (...) {
        }
        throw;
    }
    if (OnAfterNewCommand) OnAfterNewCommand(this, &Plugin);
}

bool TMvPluginManager::AddCustomPlugin(TMvPlugIn* Plugin) {
    try {
        return AddPlugin(Plugin);
    } catch (...) {
        ReportOrRaise();
        return false;
    }
}

bool TMvPluginManager::AddPlugin(TMvPlugIn* Plugin) {
    if (!Plugin) return false;
    if (!Plugin->InitializePlugin(this, ParentApplication, "CustomPlugin")) return false;

    if (Plugin->Owner()) Plugin->Owner()->RemoveComponent(Plugin);
    // The record exists before it owns the object, so a failure to make it
    // leaves the object with the caller.
    FPlugins.emplace_back();
    FPlugins.back().Plugin.reset(Plugin);
    try {
        Announce(*Plugin);
        return true;
    } catch (...) {
        // Take the record out again (the caller keeps the object) and let the
        // program drop whatever handlers it was given so far.
        for (auto It = FPlugins.begin(); It != FPlugins.end(); ++It) {
            if (It->Plugin.get() == Plugin) {
                It->Plugin.release();
                FPlugins.erase(It);
                break;
            }
        }
        try {
            NotifyUnload(Plugin);
        } catch (...) {
        }
        throw;
    }
}

void TMvPluginManager::UnloadPlugin(int Index) {
    PluginInfoAt(Index);
    std::exception_ptr Failure;
    try {
        NotifyUnload(FPlugins[static_cast<std::size_t>(Index)].Plugin.get());
    } catch (...) {
        Failure = std::current_exception();
    }
    // The record leaves the list first, so nothing can reach a plug-in that is
    // half gone; then the object goes, and its module after it.
    TPluginInfo Info = std::move(FPlugins[static_cast<std::size_t>(Index)]);
    FPlugins.erase(FPlugins.begin() + Index);
    const std::string FileName = Info.Plugin->FileName();
    Info.Plugin.reset();
    ReleaseModule(Info.Kind, Info.Handle, FileName);
    if (Failure) std::rethrow_exception(Failure);
}

std::string TMvPluginManager::PluginFolderPath() const {
    if (PluginFolder.empty()) return IncludeTrailingPathDelimiter(FPlatform->ProgramFolder());
    if (IsAbsolutePath(PluginFolder)) return IncludeTrailingPathDelimiter(PluginFolder);
    return IncludeTrailingPathDelimiter(IncludeTrailingPathDelimiter(FPlatform->ProgramFolder()) +
                                        PluginFolder);
}

int TMvPluginManager::LoadPluginFolder() {
    std::string Folder = PluginFolderPath();
    THashedStringList Enabled;
    std::string IniName = Folder + "Plugins.ini";
    if (FPlatform->FileExists(IniName)) {
        try {
            Enabled.LoadFromFile(IniName);
        } catch (const std::exception&) {
            // An unreadable list switches nothing off.
        }
    }
    int Added = 0;
    for (const std::string& File : FPlatform->ListFiles(Folder, FExtension)) {
        std::string Key = LowerCase(BaseName(File));
        if (!PluginEnabledIn(Enabled, Key)) {
            NotLoaded(Folder + File, "switched off in Plugins.ini (" + Key + "=" + Enabled.Values(Key) + ")");
            continue;
        }
        int Before = PluginCount();
        try {
            LoadPlugin(Folder + File, FPluginKind);
        } catch (const std::exception&) {
            // One bad module does not keep the others out.
        }
        if (PluginCount() > Before) ++Added;
    }
    return Added;
}
