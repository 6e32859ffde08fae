// TfrmFirstLaunch: asks for the database file when none is configured yet.
// Select... runs an Open dialog (a new file name is accepted); Quit ends the
// program.
#pragma once

#include "gui/Forms.h"

#include <string>

class TOpenDialog;

class TfrmFirstLaunch : public TForm {
public:
    explicit TfrmFirstLaunch(TComponent* AOwner);

    // The chosen database path, set when the dialog ends with OK.
    std::string DatabaseFileName;
    TOpenDialog* OpenDialog = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void btnSelectClick(TObject* Sender);
    void btnQuitClick(TObject* Sender);
};
