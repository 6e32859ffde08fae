// TfrmAbout: the about box (for now the program's name and version with an OK
// button; its banner and links come with the markup label).
#pragma once

#include "gui/Forms.h"

class TfrmAbout : public TForm {
public:
    explicit TfrmAbout(TComponent* AOwner);
    ~TfrmAbout() override;
};

extern TfrmAbout* frmAbout;
