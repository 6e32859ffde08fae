// The "Find notes" window.
#include "app/Find.h"

TfrmFind* frmFind = nullptr;

TfrmFind::TfrmFind(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Find notes");
    SetPosition(TPosition::poScreenCenter);
    SetClientSize(417, 202);
}

TfrmFind::~TfrmFind() {
    if (frmFind == this) frmFind = nullptr;
}
