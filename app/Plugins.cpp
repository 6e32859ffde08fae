// The "Plugins" window.
#include "app/Plugins.h"

TfrmPlugins* frmPlugins = nullptr;

TfrmPlugins::TfrmPlugins(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Plugins");
    SetPosition(TPosition::poScreenCenter);
    SetClientSize(417, 202);
}

TfrmPlugins::~TfrmPlugins() {
    if (frmPlugins == this) frmPlugins = nullptr;
}
