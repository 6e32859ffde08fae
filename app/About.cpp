// The about box.
#include "app/About.h"

#include "app/Credits.h"
#include "app/DialogBanner.h"
#include "app/TopicDocument.h"
#include "labels/MvHtControls.h"
#include "labels/MvPanel.h"
#include "gui/StdCtrls.h"

#include <memory>
#include <utility>

TfrmAbout* frmAbout = nullptr;

namespace {

constexpr const char* kAboutText =
    "<b>Miravelund 3.0</b><br>"
    "A notes manager for Windows.<br><br>"
    "Web site: <a href=\"https://miravelund.example.org/\">miravelund.example.org</a><br><br>"
    "To learn how to use Miravelund, read the notes<br>"
    "of the <a href=\"help:\">Help</a> namespace.";

constexpr const char* kCreditsLine = "Miravelund is built on free software: <a href=\"credits\">Credits</a>";

} // namespace

TfrmAbout::TfrmAbout(TComponent* AOwner, const mv::app::TTopicServices& Services)
    : TForm(AOwner), FServices(Services) {
    SetCaption("About");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientSize(369, 298);

    Panel = NewWhiteDialogPanel(this, 8, 8, 353, 240);
    MvHTLabel1 = NewMarkupLabel(this, Panel, 24, 72, kAboutText);
    MvHTLabel1->OnHyperLinkClick = [this](TObject* Sender, const std::string& Link) {
        MvHTLabel1HyperLinkClick(Sender, Link);
    };
    MvHTLabel3 = NewMarkupLabel(this, Panel, 24, 206, kCreditsLine);
    MvHTLabel3->OnHyperLinkClick = [this](TObject* Sender, const std::string& Link) {
        MvHTLabel3HyperLinkClick(Sender, Link);
    };

    btnOK = new TButton(this);
    btnOK->SetParent(this);
    btnOK->SetCaption("OK");
    btnOK->SetDefault(true);
    btnOK->SetModalResult(mrOk);
    btnOK->SetBounds(147, 260, 75, 25);
}

TfrmAbout::~TfrmAbout() {
    if (frmAbout == this) frmAbout = nullptr;
}

int TfrmAbout::ShowModal() {
    FOpenHelp = false;
    const int Result = TForm::ShowModal();
    // The end of a modal box activates the window that was active before it: a window opened
    // while the box was up would end behind that one.
    if (std::exchange(FOpenHelp, false) && FServices.ShowTopic) FServices.ShowTopic("", "Help");
    return Result;
}

void TfrmAbout::MvHTLabel1HyperLinkClick(TObject*, const std::string& LinkName) {
    if (LinkName != "help:") return;
    FOpenHelp = true;
    Close();
}

void TfrmAbout::MvHTLabel3HyperLinkClick(TObject*, const std::string& LinkName) {
    if (LinkName != "credits") return;
    auto Credits = std::make_unique<TfrmCredits>(this);
    Credits->ShowModal();
}
