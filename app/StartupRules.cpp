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

namespace {

std::string CodePageLacks(unsigned CodePage) {
    return "Miravelund names files in the code page that Windows keeps for programs that are not Unicode "
           "(code page " +
           std::to_string(CodePage) + " on this computer), and that code page does not have them.";
}

} // namespace

std::string ProgramFolderUnheldText(const std::string& Folder, unsigned CodePage) {
    return "The name of the program folder\r\r" + Folder +
           "\r\rhas characters that Miravelund cannot use in a file name. " + CodePageLacks(CodePage) +
           " Miravelund keeps its notes file, its settings and its log in that folder, so it could not "
           "find them; it has changed nothing.\r\rMove the Miravelund folder into a folder whose name has "
           "none of these characters (C:\\Miravelund, for example), or choose a language that has them "
           "as the \"Language for non-Unicode programs\" in the Region settings of Windows. Then start "
           "Miravelund again.";
}

std::string SettingsFileUnheldText(const std::string& File, const std::string& ProgramFolder,
                                   unsigned CodePage) {
    return "Your settings file\r\r" + File +
           "\r\rmay name your notes file, but Miravelund cannot read it: the name of its folder has "
           "characters (shown as ?) that Miravelund cannot use in a file name. " +
           CodePageLacks(CodePage) +
           " So Miravelund does not offer to make a new notes file, which would hide the one you "
           "have.\r\rCopy that settings file into the program folder " +
           ProgramFolder + ", where Miravelund looks for it first. Then start Miravelund again.";
}

bool ChosenFileNameUnheld(std::string_view FileName) {
    return FileName.find('?') != std::string_view::npos;
}

std::string ChosenFileUnheldText(const std::string& FileName, unsigned CodePage) {
    return "The file you chose\r\r" + FileName +
           "\r\rhas characters (shown as ?) in its name or its folder's name that Miravelund cannot use "
           "in a file name. " +
           CodePageLacks(CodePage) +
           "\r\rChoose a notes file in a folder whose name has none of these characters, or move that "
           "file into one first.";
}

std::string DriveRootOf(std::string_view Path) {
    if (Path.size() >= 2 && Path[1] == ':' &&
        ((Path[0] >= 'A' && Path[0] <= 'Z') || (Path[0] >= 'a' && Path[0] <= 'z')))
        return std::string(1, Path[0]) + ":\\";
    return {};
}

} // namespace mv::app
