// The note window's command bar: a panel of buttons, each running an action
// and following its caption, hint and enabled state.
#pragma once

#include "gui/ActnList.h"
#include "gui/ExtCtrls.h"

#include <string>
#include <vector>

class TButton;

class TNoteCommandBar : public TPanel {
public:
    explicit TNoteCommandBar(TComponent* AOwner);
    // Adds a button at the right end that runs Action.
    void AddButton(TAction* Action);
    // Brings every button in line with its action.
    void UpdateButtons();

private:
    struct TBarButton {
        TButton* Button;
        TAction* Action;
        // The caption last given to the button: only this bar sets it, and
        // asking the window for its text costs more than the rest of an update.
        std::string ShownCaption;
    };
    std::vector<TBarButton> FButtons;
};
