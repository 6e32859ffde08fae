// TfrmAbout: the about box: the banner, the program's name and version with
// links to the web site and to the Help namespace's notes, and a line that
// opens the credits box.
#pragma once

#include "gui/Forms.h"

#include <string>

namespace mv::app {
struct TTopicServices;
}

class TMvHTLabel;
class TMvPanel;
class TButton;

class TfrmAbout : public TForm {
public:
    // Services are the main window's, which outlive this window: its Help link opens the Help
    // namespace through them.
    TfrmAbout(TComponent* AOwner, const mv::app::TTopicServices& Services);
    ~TfrmAbout() override;

    TMvPanel* Panel = nullptr;
    TMvHTLabel* MvHTLabel1 = nullptr;
    TMvHTLabel* MvHTLabel3 = nullptr;
    TButton* btnOK = nullptr;

    // Shows the box; when its Help link closed it, opens the Help namespace once the box has
    // given the activation back, so the Help window comes in front of the window below.
    int ShowModal() override;

    void MvHTLabel1HyperLinkClick(TObject* Sender, const std::string& LinkName);
    void MvHTLabel3HyperLinkClick(TObject* Sender, const std::string& LinkName);

private:
    const mv::app::TTopicServices& FServices;
    bool FOpenHelp = false;
};

extern TfrmAbout* frmAbout;
