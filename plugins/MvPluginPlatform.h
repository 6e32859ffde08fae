// What the plug-in manager needs from the operating system: loading modules,
// finding their entry point, listing a folder and knowing the program's own
// folder. Windows has the real one (LoadLibraryA and friends); tests put a fake
// in its place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using TMvModuleHandle = uintptr_t;

class IMvPluginPlatform {
public:
    virtual ~IMvPluginPlatform() = default;
    // 0 when the module cannot be loaded.
    virtual TMvModuleHandle LoadModule(const std::string& FileName) = 0;
    // Why the last LoadModule gave 0, in the system's words ("" when unknown).
    virtual std::string LastLoadError() { return {}; }
    virtual void UnloadModule(TMvModuleHandle Handle) = 0;
    // The exported function of that exact name, or nullptr.
    virtual void* FindEntryPoint(TMvModuleHandle Handle, const char* Name) = 0;
    // Plain files (no folders) in Folder whose extension is Extension (no dot,
    // any case), in the order the file system returns them; names only.
    virtual std::vector<std::string> ListFiles(const std::string& Folder, const std::string& Extension) = 0;
    virtual bool FileExists(const std::string& FileName) = 0;
    // The folder of the program file, with a trailing path delimiter.
    virtual std::string ProgramFolder() = 0;
};

// The platform of this build: real module loading on Windows; elsewhere one
// that finds files but loads no module.
IMvPluginPlatform& DefaultPluginPlatform();
