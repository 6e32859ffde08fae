// What the plug-in manager needs from the operating system: loading modules,
// finding their entry point, listing a folder and knowing the program's own
// folder. Windows has the real one (LoadLibraryA and friends); tests put a fake
// in its place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using TMvModuleHandle = uintptr_t;

// The open file that records which call into a plug-in module runs now
// (TMvPluginCallRecord). A write is in the system's hands when it returns, so
// it stays in the file when the process ends right after, however it ends;
// nothing is flushed to the disk (that only matters when the system stops).
class IMvPluginCallFile {
public:
    virtual ~IMvPluginCallFile() = default;
    // Writes Count bytes at Offset; false when that is past the file's size.
    virtual bool WriteAt(uint32_t Offset, const char* Bytes, uint32_t Count) = 0;
};

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

    // Creates FileName as Size zero bytes (replacing a file that is there) and
    // keeps it open for writing; nullptr when it cannot.
    virtual std::unique_ptr<IMvPluginCallFile> CreateCallFile(const std::string& FileName, uint32_t Size) = 0;
    // The first MaxBytes bytes of a file; "" when it is missing or unreadable.
    virtual std::string ReadFileStart(const std::string& FileName, uint32_t MaxBytes) = 0;
    // Removes a file; nothing happens when it is not there.
    virtual void RemoveFile(const std::string& FileName) = 0;
};

// The platform of this build: real module loading on Windows; elsewhere one
// that finds files but loads no module.
IMvPluginPlatform& DefaultPluginPlatform();
