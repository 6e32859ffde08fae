// The note window's command bar: a panel of buttons, each running an action
// and following its caption, hint and enabled state.
#pragma once

#include "gui/ActnList.h"
#include "gui/ExtCtrls.h"

#include <utility>
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
    std::vector<std::pair<TButton*, TAction*>> FButtons;
};
