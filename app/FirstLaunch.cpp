// The first-launch dialog.
#include "app/FirstLaunch.h"

#include "app/Utils.h"
#include "gui/Dialogs.h"
#include "gui/StdCtrls.h"

namespace {

constexpr const char* Hint = "Select an existing or new database filename.";

TButton* NewButton(TfrmFirstLaunch* Form, const char* Caption, int Left) {
    auto* Button = new TButton(Form);
    Button->SetParent(Form);
    Button->SetCaption(Caption);
    Button->SetHint(Hint);
    Button->SetBounds(Left, 266, 90, 27);
    return Button;
}

} // namespace

TfrmFirstLaunch::TfrmFirstLaunch(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Miravelund First Launch");
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetPosition(TPosition::poScreenCenter);
    SetClientSize(337, 306);
    SetShowHint(true);

    auto* Text = new TLabel(this);
    Text->SetParent(this);
    Text->SetWordWrap(true);
    Text->SetBounds(16, 16, 305, 230);
    Text->SetCaption("You do not have a personal Miravelund database yet. This is normal the first time "
                     "Miravelund runs.\r\n\r\n"
                     "Press Select... to create a new database or to choose an existing one. The suggested "
                     "name is Miravelund.mvdb in your My Documents folder.");

    auto* btnQuit = NewButton(this, "Quit", 131);
    btnQuit->SetCancel(true);
    btnQuit->OnClick = [this](TObject* Sender) { btnQuitClick(Sender); };
    auto* btnSelect = NewButton(this, "Select...", 231);
    btnSelect->SetDefault(true);
    btnSelect->OnClick = [this](TObject* Sender) { btnSelectClick(Sender); };

    OpenDialog = new TOpenDialog(this);
    OpenDialog->SetDefaultExt("mvdb");
    OpenDialog->SetFileName("Miravelund.mvdb");
    OpenDialog->SetFilter("Miravelund Database (*.mvdb, *.twdb)|*.mvdb;*.twdb");
    OpenDialog->SetTitle("Select Miravelund Database");
    OpenDialog->SetInitialDir(GetSpecialFolderPath(5));
}

void TfrmFirstLaunch::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.ExStyle |= WS_EX_APPWINDOW;
    Params.WndParent = GetDesktopWindow();
}

void TfrmFirstLaunch::btnSelectClick(TObject*) {
    if (!OpenDialog->Execute()) return;
    DatabaseFileName = OpenDialog->FileName();
    SetModalResult(mrOk);
}

void TfrmFirstLaunch::btnQuitClick(TObject*) {
    SetModalResult(mrCancel);
}
