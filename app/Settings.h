// The settings file "Miravelund.ini" (name=value lines, no sections) beside the
// program or in My Documents, and the settings dialog that edits the two
// window preferences in it.
#pragma once

#include "base/StringList.h"

#include <functional>
#include <string>

#ifdef _WIN32
#include "gui/Forms.h"
#endif

// The settings of this run; names are looked up without regard to case and a
// value set to "" removes its line.
TStringList& Settings();
// The file the settings were read from and are written to.
const std::string& SettingsFileName();

#ifdef _WIN32
// Reads "Miravelund.ini" from the program folder, else from My Documents
// (where it is created at the end when it exists nowhere), and puts the keys
// "OpenTopic" and "NamespaceWindows" right.
void LoadSettings();
#endif
// LoadSettings with the two folders given. UnreadFile: a settings file in My
// Documents that cannot be read because the folder's name cannot be held in the
// code page of file names (shown with '?' for what it lacks), or "".
void LoadSettingsFrom(const std::string& ProgramFolder, const std::string& DocumentsFolder,
                      const std::string& UnreadFile = "");
// That file, when no file beside the program took its place: the settings then
// may name a notes file that start-up cannot know of.
const std::string& UnreadSettingsFile();
// The user's own folder for the settings (My Documents) as they were loaded, without a trailing
// delimiter; "" when there is none that files can be named in. The log and kept text go there
// when the program folder cannot be written.
const std::string& UserSettingsFolder();
// Writes the list to SettingsFileName. A failure is logged through the
// settings log and not raised (it happens as the program ends); the result
// tells whether the file was written.
bool SaveSettings() noexcept;
// Writes the list and raises the file error when that fails.
void WriteSettings();

// The "database" key; a key that is present but blank counts as missing ("").
std::string DatabaseSetting();

// Where SaveSettings reports a failure. Unset, the record goes to the program's
// log file (SetSettingsLogFile), by default "Miravelund.log" in the program folder.
using TSettingsLog = std::function<void(const std::string& Message)>;
void SetSettingsLog(TSettingsLog Log);
// The program's log file, when start-up had to keep it outside the program
// folder; LoadSettingsFrom sets it back to the default.
void SetSettingsLogFile(const std::string& FileName);

#ifdef _WIN32
#include "gui/WinControl.h"

class TLabel;
class TButton;
class TCheckBox;
class TRadioButton;

// "Settings": how a double-clicked word or topic opens, and whether each
// namespace has its own window. OK writes the file at once; Cancel changes
// nothing.
class TfrmSettings : public TForm {
public:
    explicit TfrmSettings(TComponent* AOwner);

    TLabel* lblAltHint = nullptr;
    TLabel* lblOpenIn = nullptr;
    TRadioButton* cbNewWindow = nullptr;
    TRadioButton* cbNewTab = nullptr;
    TCheckBox* chkNamespaceWindows = nullptr;
    TButton* btnOK = nullptr;
    TButton* btnCancel = nullptr;

    void FormShow(TObject* Sender);
    void btnOKClick(TObject* Sender);
};

extern TfrmSettings* frmSettings;
#endif
