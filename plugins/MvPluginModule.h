// TMvModulePlugIn: the host's TMvPlugIn for a plug-in object that a module
// returned through the binary contract. It copies the module's description
// and commands into host-owned objects, forwards the host's calls, turns the
// module's failure codes into EMvPlugInError, and destroys the module's object
// in its own destructor (before the manager unloads the module). Every call it
// makes into the module is on the manager's call record while it runs.
#pragma once

#include "plugins/MvPlugin.h"
#include "plugins/MvPluginCallRecord.h"
#include "sdk/MvPluginAbi.h"

#include <memory>

class TMvModulePlugIn : public TMvPlugIn {
public:
    // Takes ownership of Module (destroyed through its Destroy). Raises
    // EMvCantRegisterPlugInError when the module speaks another major version.
    // Calls: the record of the calls into modules (may be null: none is kept);
    // it must outlive the object and every handler it hands out.
    TMvModulePlugIn(MvPluginAbi::IMvPlugin* Module, const std::string& ModuleFileName,
                    TMvPluginCallRecord* Calls);
    ~TMvModulePlugIn() override;

    // Hands the module its own path as its file name (FileName is ignored).
    bool InitializePlugin(TMvPluginManager* Manager, void* ParentApplication,
                          const std::string& FileName) override;
    void ConfigurePlugin() override;
    void SendPluginMessage(int32_t APluginMessage, const std::string& AMessageText) override;
    // Reads the module's commands afresh; the handlers handed out before stop
    // working once the plug-in is destroyed.
    void UpdateCommands() override;

private:
    class THostServices;
    [[noreturn]] void RaiseModuleError(const char* What);
    TMvPluginCallRecord::TLine CallLine(const std::string& What) const;

    MvPluginAbi::IMvPlugin* FModule;
    std::string FModuleFileName;
    TMvPluginCallRecord* FCalls;
    std::unique_ptr<THostServices> FHost;
    // Shared with every command handler handed out; cleared on destruction so a
    // handler kept after the unload does nothing instead of calling into a
    // module that is gone.
    std::shared_ptr<bool> FAlive;
    // The minor interface version the module was built against.
    int32_t FMinorVersion = 0;
};
