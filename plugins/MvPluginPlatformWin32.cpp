// The plug-in manager's Windows services: LoadLibraryA, GetProcAddress,
// FreeLibrary, FindFirstFileA/FindNextFileA and the program's folder.
#include "plugins/MvPluginPlatform.h"

#include "base/StrUtils.h"

#include <windows.h>

#include <cstring>

namespace {

// The call record as a view of its file: a write is a copy into memory that the
// file shares, so it costs no system call (handlers run at every topic load and
// save), and the system puts it in the file whatever becomes of the process.
class TWin32CallFile final : public IMvPluginCallFile {
public:
    TWin32CallFile(HANDLE File, HANDLE Mapping, char* View, uint32_t Size)
        : FFile(File), FMapping(Mapping), FView(View), FSize(Size) {}
    ~TWin32CallFile() override {
        UnmapViewOfFile(FView);
        CloseHandle(FMapping);
        CloseHandle(FFile);
    }
    TWin32CallFile(const TWin32CallFile&) = delete;
    TWin32CallFile& operator=(const TWin32CallFile&) = delete;

    bool WriteAt(uint32_t Offset, const char* Bytes, uint32_t Count) override {
        if (Offset > FSize || Count > FSize - Offset) return false;
        std::memcpy(FView + Offset, Bytes, Count);
        return true;
    }

private:
    HANDLE FFile;
    HANDLE FMapping;
    char* FView;
    uint32_t FSize;
};

class TWin32PluginPlatform final : public IMvPluginPlatform {
public:
    TMvModuleHandle LoadModule(const std::string& FileName) override {
        // No "cannot find DLL" boxes from the system for a broken module.
        UINT OldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        HMODULE Module = LoadLibraryA(FileName.c_str());
        const DWORD Error = Module ? 0 : GetLastError();
        SetErrorMode(OldMode);
        FLastLoadError = Module ? std::string() : SystemMessage(Error);
        return reinterpret_cast<TMvModuleHandle>(Module);
    }

    std::string LastLoadError() override { return FLastLoadError; }

    void UnloadModule(TMvModuleHandle Handle) override { FreeLibrary(reinterpret_cast<HMODULE>(Handle)); }

    void* FindEntryPoint(TMvModuleHandle Handle, const char* Name) override {
        return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(Handle), Name));
    }

    std::vector<std::string> ListFiles(const std::string& Folder, const std::string& Extension) override {
        std::vector<std::string> Files;
        WIN32_FIND_DATAA Data;
        HANDLE Find =
            FindFirstFileA((IncludeTrailingPathDelimiter(Folder) + "*." + Extension).c_str(), &Data);
        if (Find == INVALID_HANDLE_VALUE) return Files;
        do {
            // Folders are no plug-ins; hidden and system files are not the user's to
            // turn on and off, so the list never shows them and the start never loads them.
            if (Data.dwFileAttributes &
                (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
                continue;
            // The pattern also matches longer extensions ("*.dll" finds
            // "x.dllx" through short names); keep exact matches only.
            std::string Name = Data.cFileName;
            if (SameText(ExtractFileExt(Name), "." + Extension)) Files.push_back(Name);
        } while (FindNextFileA(Find, &Data));
        FindClose(Find);
        return Files;
    }

    bool FileExists(const std::string& FileName) override {
        DWORD Attributes = GetFileAttributesA(FileName.c_str());
        return Attributes != INVALID_FILE_ATTRIBUTES && !(Attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    std::string ProgramFolder() override {
        char Path[MAX_PATH];
        DWORD Length = GetModuleFileNameA(nullptr, Path, MAX_PATH);
        if (Length == 0 || Length >= MAX_PATH) return std::string();
        return ExtractFilePath(std::string(Path, Length));
    }

    std::unique_ptr<IMvPluginCallFile> CreateCallFile(const std::string& FileName, uint32_t Size) override {
        HANDLE File =
            CreateFileA(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (File == INVALID_HANDLE_VALUE) return nullptr;
        // The mapping makes the file Size bytes long, all zeros.
        HANDLE Mapping = CreateFileMappingA(File, nullptr, PAGE_READWRITE, 0, Size, nullptr);
        void* View = Mapping ? MapViewOfFile(Mapping, FILE_MAP_WRITE, 0, 0, Size) : nullptr;
        if (!View) {
            if (Mapping) CloseHandle(Mapping);
            CloseHandle(File);
            DeleteFileA(FileName.c_str());
            return nullptr;
        }
        return std::make_unique<TWin32CallFile>(File, Mapping, static_cast<char*>(View), Size);
    }

    std::string ReadFileStart(const std::string& FileName, uint32_t MaxBytes) override {
        HANDLE File = CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (File == INVALID_HANDLE_VALUE) return {};
        std::string Bytes(MaxBytes, '\0');
        DWORD Read = 0;
        if (!ReadFile(File, Bytes.data(), MaxBytes, &Read, nullptr)) Read = 0;
        CloseHandle(File);
        Bytes.resize(Read);
        return Bytes;
    }

    void RemoveFile(const std::string& FileName) override { DeleteFileA(FileName.c_str()); }

private:
    static std::string SystemMessage(DWORD Error) {
        char Buffer[512] = {};
        DWORD Length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      Error, 0, Buffer, sizeof Buffer, nullptr);
        std::string Text = Trim(std::string(Buffer, Length));
        return Text.empty() ? "system error " + std::to_string(Error)
                            : Text + " (system error " + std::to_string(Error) + ")";
    }

    std::string FLastLoadError;
};

} // namespace

IMvPluginPlatform& DefaultPluginPlatform() {
    static TWin32PluginPlatform Platform;
    return Platform;
}
