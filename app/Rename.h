// TfrmRename: the "Rename / Move" window. For now it is an empty window with the
// right caption, so that the commands that open it work.
#pragma once

#include "gui/Forms.h"

class TfrmRename : public TForm {
public:
    explicit TfrmRename(TComponent* AOwner);
    ~TfrmRename() override;
};

extern TfrmRename* frmRename;
