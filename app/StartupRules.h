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

// Why start-up cannot go on when a name it needs has characters that the code
// page of file names (CodePage) lacks; Name shows them as '?'.
// - The program folder: its notes file, settings and log are named in it.
std::string ProgramFolderUnheldText(const std::string& Folder, unsigned CodePage);
// - A settings file in My Documents that may name the notes file (the first-
//   launch dialog would then make a new one and hide it).
std::string SettingsFileUnheldText(const std::string& File, const std::string& ProgramFolder,
                                   unsigned CodePage);
// - A notes file chosen in the Open dialog inside such a folder (the dialog hands
//   back '?' for each such character, and no file name can hold a '?').
bool ChosenFileNameUnheld(std::string_view FileName);
std::string ChosenFileUnheldText(const std::string& FileName, unsigned CodePage);

// The root of the drive a path lies on ("C:\" for "C:\notes\my.mvdb"), or ""
// for a path that does not begin with a drive letter.
std::string DriveRootOf(std::string_view Path);

} // namespace mv::app
