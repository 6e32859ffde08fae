// TfrmCredits: the credits box: thanks to the free and open-source projects
// that Miravelund is built with, with links to their web sites.
#pragma once

#include "gui/Forms.h"

class TMvHTLabel;
class TMvPanel;
class TButton;

class TfrmCredits : public TForm {
public:
    explicit TfrmCredits(TComponent* AOwner);

    TMvPanel* Panel = nullptr;
    TMvHTLabel* MvHTLabel1 = nullptr;
    TButton* btnOK = nullptr;
};
