// TfrmFirstLaunch: asks for the database file when none is configured yet.
// Select... runs an Open dialog (a new file name is accepted); Quit ends the
// program. The markup explains the choice and links to the My Documents folder.
#pragma once

#include "gui/Forms.h"

#include <functional>
#include <string>

class TButton;
class TMvHTLabel;
class TMvPanel;
class TOpenDialog;

class TfrmFirstLaunch : public TForm {
public:
    explicit TfrmFirstLaunch(TComponent* AOwner);

    // The chosen database path, set when the dialog ends with OK.
    std::string DatabaseFileName;
    TOpenDialog* OpenDialog = nullptr;
    TMvPanel* Panel = nullptr;
    TMvHTLabel* MvHTLabel1 = nullptr;
    TButton* btnQuit = nullptr;
    TButton* btnSelect = nullptr;

    void MvHTLabel1HyperLinkClick(TObject* Sender, const std::string& LinkName);

    // Opens a folder in the shell (ShellExecute "open"); tests replace it.
    static std::function<void(const std::string& Folder)> OpenFolder;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void btnSelectClick(TObject* Sender);
    void btnQuitClick(TObject* Sender);
};
