// The settings file and the settings dialog.
#include "app/Settings.h"

#include "base/Exceptions.h"
#include "base/StrUtils.h"
#include "logfile/MvFileReplace.h"
#include "logfile/MvLogFile.h"

#include <sys/stat.h>

#include <ctime>

#ifdef _WIN32
#include "app/Utils.h"
#include "gui/StdCtrls.h"

#include <windows.h>
#endif

namespace {

constexpr char SettingsBaseName[] = "Miravelund.ini";

std::string& FileNameStore() {
    static std::string Name;
    return Name;
}

TSettingsLog& LogStore() {
    static TSettingsLog Log;
    return Log;
}

bool IsExistingFile(const std::string& FileName) {
    struct stat Info {};
    return !FileName.empty() && stat(FileName.c_str(), &Info) == 0 && (Info.st_mode & S_IFMT) == S_IFREG;
}

// Anything but the two allowed values (compared exactly) becomes the default.
void Normalize(TStringList& List, const char* Key, const char* Default, const char* Other) {
    std::string Value = List.Values(Key);
    if (Value != Default && Value != Other) List.SetValue(Key, Default);
}

std::string NowText() {
    std::time_t Now = std::time(nullptr);
    char Buffer[32] = {};
    if (std::tm* Local = std::localtime(&Now))
        std::strftime(Buffer, sizeof Buffer, "%Y-%m-%d %H:%M:%S", Local);
    return Buffer;
}

// Without a log of the program's, the failure goes to the program's log file
// beside the settings' program folder, or where start-up had to put it.
std::string& ProgramFolderStore() {
    static std::string Folder;
    return Folder;
}

std::string& LogFileStore() {
    static std::string FileName;
    return FileName;
}

std::string& UnreadFileStore() {
    static std::string Name;
    return Name;
}

std::string& UserFolderStore() {
    static std::string Folder;
    return Folder;
}

void LogFailure(const std::string& Message) noexcept {
    try {
        if (LogStore()) {
            LogStore()(Message);
            return;
        }
        if (LogFileStore().empty()) return;
        TMvLogFile Log(nullptr);
        Log.SetFileName(LogFileStore());
        Log.SizeLimit = 8000;
        Log.SetAutoSave(true);
        Log.AddLogRecord(NowText(), "", Message);
    } catch (...) {
        // Nowhere left to report to.
    }
}

} // namespace

TStringList& Settings() {
    static TStringList List;
    return List;
}

const std::string& SettingsFileName() {
    return FileNameStore();
}

void SetSettingsLog(TSettingsLog Log) {
    LogStore() = std::move(Log);
}

void SetSettingsLogFile(const std::string& FileName) {
    LogFileStore() = FileName;
}

const std::string& UnreadSettingsFile() {
    return UnreadFileStore();
}

const std::string& UserSettingsFolder() {
    return UserFolderStore();
}

void LoadSettingsFrom(const std::string& ProgramFolder, const std::string& DocumentsFolder,
                      const std::string& UnreadFile) {
    TStringList& List = Settings();
    List.Clear();
    UnreadFileStore().clear();
    UserFolderStore() =
        DocumentsFolder.empty() ? std::string() : ExcludeTrailingPathDelimiter(DocumentsFolder);
    ProgramFolderStore() = IncludeTrailingPathDelimiter(ProgramFolder);
    LogFileStore() = ProgramFolderStore() + "Miravelund.log";
    FileNameStore() = ProgramFolderStore() + SettingsBaseName;
    if (IsExistingFile(FileNameStore())) {
        List.LoadFromFile(FileNameStore());
    } else {
        UnreadFileStore() = UnreadFile;
        // Without a My Documents folder the file stays beside the program.
        if (!DocumentsFolder.empty())
            FileNameStore() = IncludeTrailingPathDelimiter(DocumentsFolder) + SettingsBaseName;
        if (IsExistingFile(FileNameStore())) List.LoadFromFile(FileNameStore());
    }
    Normalize(List, "OpenTopic", "tab", "window");
    Normalize(List, "NamespaceWindows", "yes", "no");
}

void WriteSettings() {
    SaveFileReplacing(FileNameStore(), Settings().Text());
}

bool SaveSettings() noexcept {
    try {
        WriteSettings();
        return true;
    } catch (const std::exception& E) {
        LogFailure(std::string("Settings could not be saved: ") + E.what());
    } catch (...) {
        LogFailure("Settings could not be saved");
    }
    return false;
}

std::string DatabaseSetting() {
    std::string Value = Settings().Values("database");
    return Trim(Value).empty() ? std::string() : Value;
}

#ifdef _WIN32

void LoadSettings() {
    std::string ProgramFolder;
    FileNameInCodePage(ProgramFolderW(), ProgramFolder); // the program ends before this when it cannot
    const std::wstring DocumentsW = GetSpecialFolderPathW(5);
    std::string Documents;
    std::string Unread;
    if (!FileNameInCodePage(DocumentsW, Documents)) {
        // No file can be read or written there by name: the settings stay beside the program, and
        // start-up is told of a file there that may name the notes file.
        const bool Delimited = DocumentsW.back() == L'\\' || DocumentsW.back() == L'/';
        const std::wstring FileW = DocumentsW + (Delimited ? L"" : L"\\") + L"Miravelund.ini";
        if (GetFileAttributesW(FileW.c_str()) != INVALID_FILE_ATTRIBUTES)
            Unread = IncludeTrailingPathDelimiter(Documents) + SettingsBaseName;
        Documents.clear();
    }
    LoadSettingsFrom(ProgramFolder, Documents, Unread);
}

// ---- the dialog

TfrmSettings* frmSettings = nullptr;

TfrmSettings::TfrmSettings(TComponent* AOwner) : TForm(AOwner) {
    SetName("frmSettings");
    SetCaption("Settings");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetBorderIcons(0);
    SetPosition(TPosition::poScreenCenter);
    SetClientSize(360, 178);

    lblAltHint = new TLabel(this);
    lblAltHint->SetParent(this);
    lblAltHint->SetCaption("Hold down Alt while double clicking to invert this behavior.");
    lblAltHint->SetBounds(12, 10, 336, 16);

    lblOpenIn = new TLabel(this);
    lblOpenIn->SetParent(this);
    lblOpenIn->SetCaption("Double clicking a word or topic in the list opens the topic in:");
    lblOpenIn->SetBounds(12, 32, 336, 16);

    cbNewWindow = new TRadioButton(this);
    cbNewWindow->SetParent(this);
    cbNewWindow->SetCaption("A new &window");
    cbNewWindow->SetBounds(24, 54, 320, 20);

    cbNewTab = new TRadioButton(this);
    cbNewTab->SetParent(this);
    cbNewTab->SetCaption("A new &tab of current window");
    cbNewTab->SetBounds(24, 76, 320, 20);

    chkNamespaceWindows = new TCheckBox(this);
    chkNamespaceWindows->SetParent(this);
    chkNamespaceWindows->SetCaption("Open topics from different &namespaces in seperate windows");
    chkNamespaceWindows->SetBounds(12, 106, 336, 20);

    btnOK = new TButton(this);
    btnOK->SetParent(this);
    btnOK->SetCaption("OK");
    btnOK->SetDefault(true);
    btnOK->SetModalResult(mrOk);
    btnOK->SetBounds(192, 142, 75, 25);
    btnOK->OnClick = [this](TObject* Sender) { btnOKClick(Sender); };

    btnCancel = new TButton(this);
    btnCancel->SetParent(this);
    btnCancel->SetCaption("Cancel");
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetBounds(273, 142, 75, 25);

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TfrmSettings::FormShow(TObject*) {
    if (Settings().Values("OpenTopic") == "tab")
        cbNewTab->SetChecked(true);
    else
        cbNewWindow->SetChecked(true);
    chkNamespaceWindows->SetChecked(Settings().Values("NamespaceWindows") == "yes");
}

void TfrmSettings::btnOKClick(TObject*) {
    Settings().SetValue("OpenTopic", cbNewWindow->Checked() ? "window" : "tab");
    Settings().SetValue("NamespaceWindows", chkNamespaceWindows->Checked() ? "yes" : "no");
    WriteSettings();
}

#endif
