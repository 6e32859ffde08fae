// TfrmFind: the "Find notes" window. For now it is an empty window with the
// right caption, so that the commands that open it work.
#pragma once

#include "gui/Forms.h"

class TfrmFind : public TForm {
public:
    explicit TfrmFind(TComponent* AOwner);
    ~TfrmFind() override;
};

extern TfrmFind* frmFind;
