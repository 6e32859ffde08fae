// Base-class layer member over the library's panel.
#pragma once

#include "gui/ExtCtrls.h"
#include "controls/MvExControls.h"

// Compiled once, in the unit of the same name.
extern template class TMvExControlLayer<TCustomPanel>;
extern template class TMvExWinControlLayer<TCustomPanel>;

class TMvExCustomPanel : public TMvExWinControlLayer<TCustomPanel> {
public:
    explicit TMvExCustomPanel(TComponent* AOwner) : TMvExWinControlLayer<TCustomPanel>(AOwner) {}
};
