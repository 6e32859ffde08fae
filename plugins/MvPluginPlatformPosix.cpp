// The plug-in manager's services outside Windows: files are found, but no
// module is ever loaded (the program's plug-ins are Windows DLLs).
#include "plugins/MvPluginPlatform.h"

#include "base/StrUtils.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

class TPosixPluginPlatform final : public IMvPluginPlatform {
public:
    TMvModuleHandle LoadModule(const std::string&) override { return 0; }
    void UnloadModule(TMvModuleHandle) override {}
    void* FindEntryPoint(TMvModuleHandle, const char*) override { return nullptr; }

    std::vector<std::string> ListFiles(const std::string& Folder, const std::string& Extension) override {
        std::vector<std::string> Files;
        std::error_code Error;
        for (const auto& Entry : std::filesystem::directory_iterator(Folder, Error)) {
            std::string Name = Entry.path().filename().string();
            if (Entry.is_regular_file(Error) && SameText(ExtractFileExt(Name), "." + Extension))
                Files.push_back(Name);
        }
        return Files;
    }

    bool FileExists(const std::string& FileName) override {
        std::error_code Error;
        return std::filesystem::is_regular_file(FileName, Error);
    }

    std::string ProgramFolder() override {
        std::error_code Error;
        std::filesystem::path Self = std::filesystem::read_symlink("/proc/self/exe", Error);
        return Error ? std::string() : IncludeTrailingPathDelimiter(Self.parent_path().string());
    }

    // No module is loaded here, so no call into one ever runs to be recorded.
    std::unique_ptr<IMvPluginCallFile> CreateCallFile(const std::string&, uint32_t) override {
        return nullptr;
    }

    std::string ReadFileStart(const std::string& FileName, uint32_t MaxBytes) override {
        std::ifstream File(FileName, std::ios::binary);
        std::string Bytes(MaxBytes, '\0');
        File.read(Bytes.data(), MaxBytes);
        Bytes.resize(static_cast<std::size_t>(File.gcount()));
        return Bytes;
    }

    void RemoveFile(const std::string& FileName) override {
        std::error_code Error;
        std::filesystem::remove(FileName, Error);
    }
};

} // namespace

IMvPluginPlatform& DefaultPluginPlatform() {
    static TPosixPluginPlatform Platform;
    return Platform;
}
