// TMvGraphicControl: the library's base of windowless controls. It adds nothing to the
// extended graphic control; the speed button and any later windowless control derive from it
// so that they share one place to grow common behaviour.
#pragma once

#include "controls/MvExControls.h"

class TMvGraphicControl : public TMvExGraphicControl {
public:
    using TMvExGraphicControl::TMvExGraphicControl;
};
