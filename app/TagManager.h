// TfrmTagManager: the "Tag Manager" window. For now it is an empty window with the
// right caption, so that the commands that open it work.
#pragma once

#include "gui/Forms.h"

class TfrmTagManager : public TForm {
public:
    explicit TfrmTagManager(TComponent* AOwner);
    ~TfrmTagManager() override;
};

extern TfrmTagManager* frmTagManager;
