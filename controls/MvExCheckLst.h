// Base-class layer member over the library's check list box. Messages the layer
// does not take go to the check list box itself, so its check handling stays.
#pragma once

#include "gui/CheckLst.h"
#include "controls/MvExControls.h"

// Compiled once, in the unit of the same name.
extern template class TMvExControlLayer<TCheckListBox>;
extern template class TMvExWinControlLayer<TCheckListBox>;

class TMvExCheckListBox : public TMvExWinControlLayer<TCheckListBox> {
public:
    explicit TMvExCheckListBox(TComponent* AOwner) : TMvExWinControlLayer<TCheckListBox>(AOwner) {}
};
