// The first-launch dialog.
#include "app/FirstLaunch.h"

#include <shellapi.h>

#include "app/DialogBanner.h"
#include "app/StartupRules.h"
#include "app/Utils.h"
#include "base/StrUtils.h"
#include "labels/MvHtControls.h"
#include "labels/MvPanel.h"
#include "gui/Dialogs.h"
#include "gui/StdCtrls.h"

namespace {

constexpr const char* Hint = "Select an existing or new database filename.";
constexpr int CSIDL_MyDocuments = 5;

constexpr const char* kWelcome =
    "<b>Welcome to Miravelund.</b><br><br>"
    "You do not have a personal database yet. This is<br>"
    "normal the first time Miravelund runs.<br><br>"
    "Press Select... to create a new database or to<br>"
    "choose an existing one. The suggested name is<br>"
    "Miravelund.mvdb in your <a href=\"MyDocuments\">My Documents</a> folder.<br><br>"
    "Help and news: <a href=\"https://miravelund.example.org/community/\">the Miravelund community</a>";

TButton* NewButton(TfrmFirstLaunch* Form, const char* Caption, int Left) {
    auto* Button = new TButton(Form);
    Button->SetParent(Form);
    Button->SetCaption(Caption);
    Button->SetHint(Hint);
    Button->SetBounds(Left, 270, 90, 27);
    return Button;
}

void ShellOpenFolder(const std::string& Folder) {
    ShellExecuteA(nullptr, "open", Folder.c_str(), "", Folder.c_str(), SW_SHOW);
}

} // namespace

std::function<void(const std::string& Folder)> TfrmFirstLaunch::OpenFolder = ShellOpenFolder;

TfrmFirstLaunch::TfrmFirstLaunch(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Miravelund First Launch");
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetPosition(TPosition::poScreenCenter);
    SetClientSize(337, 306);
    SetShowHint(true);

    Panel = NewWhiteDialogPanel(this, 8, 8, 321, 252);
    MvHTLabel1 = NewMarkupLabel(this, Panel, 14, 70, kWelcome);
    MvHTLabel1->OnHyperLinkClick = [this](TObject* Sender, const std::string& Link) {
        MvHTLabel1HyperLinkClick(Sender, Link);
    };

    btnQuit = NewButton(this, "Quit", 139);
    btnQuit->SetCancel(true);
    btnQuit->OnClick = [this](TObject* Sender) { btnQuitClick(Sender); };
    btnSelect = NewButton(this, "Select...", 239);
    btnSelect->SetDefault(true);
    btnSelect->OnClick = [this](TObject* Sender) { btnSelectClick(Sender); };

    OpenDialog = new TOpenDialog(this);
    OpenDialog->SetDefaultExt("mvdb");
    OpenDialog->SetFileName("Miravelund.mvdb");
    OpenDialog->SetFilter("Miravelund Database (*.mvdb, *.twdb)|*.mvdb;*.twdb");
    OpenDialog->SetTitle("Select Miravelund Database");
    OpenDialog->SetInitialDir(GetSpecialFolderPath(CSIDL_MyDocuments));
}

void TfrmFirstLaunch::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_APPWINDOW;
    Params.WndParent = GetDesktopWindow();
}

void TfrmFirstLaunch::btnSelectClick(TObject*) {
    if (!OpenDialog->Execute()) return;
    // The store could only refuse such a name with SQLite's own words; say why here and let the
    // user choose again.
    if (mv::app::ChosenFileNameUnheld(OpenDialog->FileName())) {
        MessageDlg(mv::app::ChosenFileUnheldText(OpenDialog->FileName(), FileNameCodePage()),
                   TMsgDlgType::mtError, mbOK);
        return;
    }
    DatabaseFileName = OpenDialog->FileName();
    SetModalResult(mrOk);
}

// The main window's start-up ends the program when this dialog ends with Cancel.
void TfrmFirstLaunch::btnQuitClick(TObject*) {
    SetModalResult(mrCancel);
}

void TfrmFirstLaunch::MvHTLabel1HyperLinkClick(TObject*, const std::string& LinkName) {
    if (UpperCase(LinkName) != "MYDOCUMENTS") return;
    // No folder to open when the shell has none, or one whose name the program cannot hand on.
    const std::string Folder = GetSpecialFolderPath(CSIDL_MyDocuments);
    if (OpenFolder && !Folder.empty()) OpenFolder(Folder);
}
