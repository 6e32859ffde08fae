// The "Tag Manager" window.
#include "app/TagManager.h"

TfrmTagManager* frmTagManager = nullptr;

TfrmTagManager::TfrmTagManager(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Tag Manager");
    SetPosition(TPosition::poScreenCenter);
    SetClientSize(417, 202);
}

TfrmTagManager::~TfrmTagManager() {
    if (frmTagManager == this) frmTagManager = nullptr;
}
