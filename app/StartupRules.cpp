// Start-up decisions of the main window.
#include "app/StartupRules.h"

#include "base/StrUtils.h"
#include "base/StringList.h"

namespace mv::app {

TDatabaseChoice ChooseDatabase(std::string_view ProgramFolder, bool ProgramFolderFileExists,
                               std::string_view SettingsDatabase) {
    if (ProgramFolderFileExists) return {std::string(ProgramFolder) + "\\Miravelund.mvdb", true};
    // A key that is present but empty names no file: ask for one.
    if (!Trim(SettingsDatabase).empty()) return {std::string(SettingsDatabase), false};
    return {};
}

bool TryStrToBool(std::string_view Text, bool& Value) {
    if (SameText(Text, "true")) {
        Value = true;
        return true;
    }
    if (SameText(Text, "false")) {
        Value = false;
        return true;
    }
    int32_t Number = 0;
    if (TryStrToInt(Text, Number)) {
        Value = Number != 0;
        return true;
    }
    return false;
}

bool PluginEnabled(const TStrings& PluginsIni, std::string_view FileName) {
    const std::string Name = ExtractFileName(FileName);
    const std::string Ext = ExtractFileExt(Name);
    const std::string Key = LowerCase(Name.substr(0, Name.size() - Ext.size()));
    if (PluginsIni.IndexOfName(Key) < 0) return true;
    bool Enabled = false;
    return TryStrToBool(PluginsIni.Values(Key), Enabled) && Enabled;
}

std::string DriveRootOf(std::string_view Path) {
    if (Path.size() >= 2 && Path[1] == ':' &&
        ((Path[0] >= 'A' && Path[0] <= 'Z') || (Path[0] >= 'a' && Path[0] <= 'z')))
        return std::string(1, Path[0]) + ":\\";
    return {};
}

} // namespace mv::app
