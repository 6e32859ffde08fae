// The "Rename / Move" window.
#include "app/Rename.h"

TfrmRename* frmRename = nullptr;

TfrmRename::TfrmRename(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Rename / Move");
    SetPosition(TPosition::poScreenCenter);
    SetClientSize(417, 202);
}

TfrmRename::~TfrmRename() {
    if (frmRename == this) frmRename = nullptr;
}
