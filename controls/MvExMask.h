// Base-class layer member over the library's single-line edit: the windowed
// layer, the clipboard-command filter, and an optional beep on input errors.
#pragma once

#include "gui/Mask.h"
#include "controls/MvExControls.h"

class TMvExCustomMaskEdit : public TMvExEditLayer<TCustomMaskEdit> {
public:
    explicit TMvExCustomMaskEdit(TComponent* AOwner) : TMvExEditLayer<TCustomMaskEdit>(AOwner) {}

    bool BeepOnError() const { return FBeepOnError; }
    virtual void SetBeepOnError(bool Value) { FBeepOnError = Value; }

protected:
    // Sounds the default system beep when BeepOnError is set.
    virtual void DoBeepOnError();

private:
    bool FBeepOnError = true;
};
