// Base-class layer members over the standard controls: the label (windowless)
// and the memo (windowed, with the clipboard-command filter).
#pragma once

#include "gui/StdCtrls.h"
#include "controls/MvExControls.h"

// Compiled once, in the unit of the same name.
extern template class TMvExControlLayer<TCustomLabel>;
extern template class TMvExControlLayer<TCustomMemo>;
extern template class TMvExWinControlLayer<TCustomMemo>;
extern template class TMvExEditLayer<TCustomMemo>;

class TMvExCustomLabel : public TMvExControlLayer<TCustomLabel> {
public:
    explicit TMvExCustomLabel(TComponent* AOwner) : TMvExControlLayer<TCustomLabel>(AOwner) {}
};

class TMvExCustomMemo : public TMvExEditLayer<TCustomMemo> {
public:
    explicit TMvExCustomMemo(TComponent* AOwner) : TMvExEditLayer<TCustomMemo>(AOwner) {}
};
