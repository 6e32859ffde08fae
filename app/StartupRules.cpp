// Start-up decisions of the main window.
#include "app/StartupRules.h"

#include "base/StrUtils.h"

namespace mv::app {

TDatabaseChoice ChooseDatabase(std::string_view ProgramFolder, bool ProgramFolderFileExists,
                               std::string_view SettingsDatabase) {
    if (ProgramFolderFileExists) return {std::string(ProgramFolder) + "\\Miravelund.mvdb", true};
    // A key that is present but empty names no file: ask for one.
    if (!Trim(SettingsDatabase).empty()) return {std::string(SettingsDatabase), false};
    return {};
}

std::string DriveRootOf(std::string_view Path) {
    if (Path.size() >= 2 && Path[1] == ':' &&
        ((Path[0] >= 'A' && Path[0] <= 'Z') || (Path[0] >= 'a' && Path[0] <= 'z')))
        return std::string(1, Path[0]) + ":\\";
    return {};
}

} // namespace mv::app
