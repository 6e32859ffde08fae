// Base-class layer members over the standard controls: the label (windowless)
// and the memo (windowed, with the clipboard-command filter).
#pragma once

#include "gui/StdCtrls.h"
#include "richedit/MvExControls.h"

class TMvExCustomLabel : public TMvExControlLayer<TCustomLabel> {
public:
    explicit TMvExCustomLabel(TComponent* AOwner) : TMvExControlLayer<TCustomLabel>(AOwner) {}
};

class TMvExCustomMemo : public TMvExEditLayer<TCustomMemo> {
public:
    explicit TMvExCustomMemo(TComponent* AOwner) : TMvExEditLayer<TCustomMemo>(AOwner) {}
};
