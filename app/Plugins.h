// TfrmPlugins: the "Plugins" window. For now it is an empty window with the
// right caption, so that the commands that open it work.
#pragma once

#include "gui/Forms.h"

class TfrmPlugins : public TForm {
public:
    explicit TfrmPlugins(TComponent* AOwner);
    ~TfrmPlugins() override;
};

extern TfrmPlugins* frmPlugins;
