// Base-class layer member over the library's panel.
#pragma once

#include "gui/ExtCtrls.h"
#include "richedit/MvExControls.h"

class TMvExCustomPanel : public TMvExWinControlLayer<TCustomPanel> {
public:
    explicit TMvExCustomPanel(TComponent* AOwner) : TMvExWinControlLayer<TCustomPanel>(AOwner) {}
};
