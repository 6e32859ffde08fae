// The credits box.
#include "app/Credits.h"

#include "app/DialogBanner.h"
#include "labels/MvHtControls.h"
#include "labels/MvPanel.h"
#include "gui/StdCtrls.h"

namespace {

// What the program is built with and whose licences ask to be named.
constexpr const char* kCreditsText = "Thanks to the authors of the free software Miravelund uses:<br>"
                                     "<b>SQLite</b>, the database engine (public domain):<br>"
                                     "<IND=12><a href=\"https://www.sqlite.org/\">www.sqlite.org</a><br>"
                                     "<b>libjpeg-turbo</b>, the JPEG codec: "
                                     "<a href=\"https://libjpeg-turbo.org/\">libjpeg-turbo.org</a><br>"
                                     "<IND=12>This software is based in part on the work of<br>"
                                     "<IND=12>the Independent JPEG Group.<br>"
                                     "<b>MinGW-w64</b>, the C and C++ runtime: "
                                     "<a href=\"https://www.mingw-w64.org/\">www.mingw-w64.org</a>";

} // namespace

TfrmCredits::TfrmCredits(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Credits");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(370, 226);

    Panel = NewWhiteDialogPanel(this, 8, 8, 354, 176);
    MvHTLabel1 = NewMarkupLabel(this, Panel, 12, 66, kCreditsText);

    btnOK = new TButton(this);
    btnOK->SetParent(this);
    btnOK->SetCaption("OK");
    btnOK->SetDefault(true);
    btnOK->SetModalResult(mrOk);
    btnOK->SetBounds(147, 192, 75, 25);
}
