// The plug-in manager's services outside Windows: files are found, but no
// module is ever loaded (the program's plug-ins are Windows DLLs).
#include "plugins/MvPluginPlatform.h"

#include "base/StrUtils.h"

#include <filesystem>
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
};

} // namespace

IMvPluginPlatform& DefaultPluginPlatform() {
    static TPosixPluginPlatform Platform;
    return Platform;
}
