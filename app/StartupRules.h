// Start-up decisions of the main window that need no window: which database
// file to open, and the root of the database's drive for the volume-serial
// log line.
#pragma once

#include <string>
#include <string_view>

namespace mv::app {

struct TDatabaseChoice {
    // The database path, or empty when the first-launch dialog must ask.
    std::string Path;
    // True when the path came from the program folder (the settings are then
    // neither read nor written).
    bool InProgramFolder = false;
};

// The file "Miravelund.mvdb" in the program folder when it exists; else the
// settings value "database" when it is not empty; else ask.
TDatabaseChoice ChooseDatabase(std::string_view ProgramFolder, bool ProgramFolderFileExists,
                               std::string_view SettingsDatabase);

// The root of the drive a path lies on ("C:\" for "C:\notes\my.mvdb"), or ""
// for a path that does not begin with a drive letter.
std::string DriveRootOf(std::string_view Path);

} // namespace mv::app
