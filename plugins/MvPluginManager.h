// TMvPluginManager: the plug-in host. It loads plug-in modules, keeps one record
// per loaded plug-in, announces each plug-in's commands to the program, and
// unloads them again (the object always before its module).
#pragma once

#include "base/Exceptions.h"
#include "gui/MvComponent.h"
#include "plugins/MvPlugin.h"
#include "plugins/MvPluginCallRecord.h"
#include "plugins/MvPluginPlatform.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TStrings;

class EMvPlugInError : public Exception {
public:
    using Exception::Exception;
};
class EMvLoadPluginError : public EMvPlugInError {
public:
    using EMvPlugInError::EMvPlugInError;
};
class EMvCantRegisterPlugInError : public EMvPlugInError {
public:
    using EMvPlugInError::EMvPlugInError;
};

enum TPluginKind { plgDLL = 0, plgPackage = 1, plgCustom = 2 };

// The default file extension of each kind ("dll", "pkg", "xxx").
std::string DefaultPluginExtension(TPluginKind Kind);

// Whether the enable list (the name=value lines of "Plugins.ini") lets the
// plug-in file with base name BaseName load: yes without a line for it (names
// compared without regard to case), else only when its value reads as True
// ("True"/"False" in any case, or a number, 0 meaning False; anything else
// counts as False).
bool PluginEnabledIn(const TStrings& Enabled, const std::string& BaseName);

struct TPluginInfo {
    TPluginKind Kind = plgCustom;
    TMvModuleHandle Handle = 0;
    std::unique_ptr<TMvPlugIn> Plugin;
};

using TBeforeLoadEvent = std::function<void(TObject* Sender, const std::string& FileName, bool& AllowLoad)>;
using TAfterLoadEvent = std::function<void(TObject* Sender, const std::string& FileName,
                                           TMvModuleHandle ALibHandle, bool& AllowLoad)>;
using TNewCommandEvent = std::function<void(
    TObject* Sender, const std::string& ACaption, const std::string& AHint, const std::string& AData,
    uint16_t AShortCut, const TMvPluginBitmap& ABitmap, const TNotifyEvent& AEvent)>;
using TPlugInEvent = std::function<void(TObject* Sender, TMvPlugIn* APlugIn)>;
using TPlugInErrorEvent = std::function<void(TObject* Sender, const std::exception& AError)>;
using TPluginNotLoadedEvent =
    std::function<void(TObject* Sender, const std::string& FileName, const std::string& Reason)>;

class TMvPluginManager : public TMvComponent {
public:
    explicit TMvPluginManager(TComponent* AOwner);
    // Unloads every plug-in, first loaded first. Never throws.
    ~TMvPluginManager() override;

    // Relative to the program folder when not absolute; empty means the
    // program folder itself.
    std::string PluginFolder;
    const std::string& Extension() const { return FExtension; }
    // Raises EMvPlugInError "Extension may not be empty" for "".
    void SetExtension(const std::string& Value);
    TPluginKind PluginKind() const { return FPluginKind; }
    // A kind change also changes Extension when it was the old kind's default.
    void SetPluginKind(TPluginKind Value);
    // Handed to each plug-in as its parent application (the application
    // window's handle).
    void* ParentApplication = nullptr;

    TBeforeLoadEvent OnBeforeLoad;
    TNewCommandEvent OnNewCommand;
    TAfterLoadEvent OnAfterLoad;
    TPlugInEvent OnBeforeNewCommand;
    TPlugInEvent OnAfterNewCommand;
    // Fired just before a plug-in goes (UnloadPlugin, the manager's end, or a
    // failed announcement): the program drops every handler it took from the
    // plug-in's commands in OnNewCommand.
    TPlugInEvent OnUnloadPlugin;
    // When assigned, load failures come here instead of being raised.
    TPlugInErrorEvent OnPlugInError;
    // Fired for every plug-in file that ends up not loaded, whatever the
    // reason (a refusal, the instance limit, Plugins.ini, or a failure, which
    // is then also reported or raised as usual). Its own failures are dropped.
    TPluginNotLoadedEvent OnPluginNotLoaded;

    // Loads one module. A refusal (OnBeforeLoad, OnAfterLoad, OnInitialize)
    // or a reached instance limit is no error: nothing is added.
    void LoadPlugin(const std::string& FileName, TPluginKind PlgKind);
    // Initialises Plugin, records it and announces its commands. On true the
    // manager owns Plugin; on false the caller keeps it.
    bool AddCustomPlugin(TMvPlugIn* Plugin);
    void UnloadPlugin(int Index);

    int PluginCount() const { return static_cast<int>(FPlugins.size()); }
    TMvPlugIn* PluginAt(int Index) const;
    const TPluginInfo& PluginInfoAt(int Index) const;
    // Clears Strings and adds each loaded plug-in's name, in load order.
    void GetLoadedPlugins(TStrings& Strings) const;

    // PluginFolder resolved against the program folder, with a trailing delimiter.
    std::string PluginFolderPath() const;
    // Loads every file "*.Extension" of the plug-in folder that the enable
    // list "Plugins.ini" there does not switch off (a line name=False with the
    // lower-case base name; a value that is not a truth value also switches
    // it off; no line means enabled). A file that fails to load is skipped.
    // Returns the number of plug-ins added.
    int LoadPluginFolder();

    // Every call into a module (loading it, RegisterPlugin, its commands, its
    // unloading: all of them) is on record in this file of the plug-in folder
    // while it runs, so a module that ends the process is known at the next
    // start. The first module load opens it; the manager's end removes it.
    static constexpr const char* CallRecordName = "Plugins.running";
    std::string CallRecordPath() const { return PluginFolderPath() + CallRecordName; }
    // The call into a module during which the last run ended, if it ended so;
    // the record is removed. Ask before the first load, which empties it.
    std::optional<TMvInterruptedCall> TakeInterruptedCall();

    // The operating-system services used; tests put a fake in.
    void SetPlatform(IMvPluginPlatform& Platform) { FPlatform = &Platform; }
    IMvPluginPlatform& Platform() const { return *FPlatform; }

private:
    void ReleaseModule(TPluginKind Kind, TMvModuleHandle Handle, const std::string& FileName);
    // AddCustomPlugin without the reporting: failures are raised.
    bool AddPlugin(TMvPlugIn* Plugin);
    void NotLoaded(const std::string& FileName, const std::string& Reason) noexcept;
    void Announce(TMvPlugIn& Plugin);
    void NotifyUnload(TMvPlugIn* Plugin);
    // Inside a catch block: hands the exception to OnPlugInError when that is
    // assigned (and it is a std::exception), else raises it again.
    void ReportOrRaise();

    std::string FExtension = "dll";
    TPluginKind FPluginKind = plgDLL;
    std::vector<TPluginInfo> FPlugins;
    IMvPluginPlatform* FPlatform;
    TMvPluginCallRecord FCalls;
};
