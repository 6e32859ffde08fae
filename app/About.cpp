// The about box.
#include "app/About.h"

#include "gui/StdCtrls.h"

TfrmAbout* frmAbout = nullptr;

TfrmAbout::TfrmAbout(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("About");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientSize(369, 298);
    auto* Name = new TLabel(this);
    Name->SetParent(this);
    Name->SetBounds(24, 24, 320, 40);
    Name->SetCaption("Miravelund 3.0\r\nA notes manager for Windows.");
    auto* OK = new TButton(this);
    OK->SetParent(this);
    OK->SetCaption("OK");
    OK->SetDefault(true);
    OK->SetModalResult(mrOk);
    OK->SetBounds(147, 256, 75, 25);
}

TfrmAbout::~TfrmAbout() {
    if (frmAbout == this) frmAbout = nullptr;
}
