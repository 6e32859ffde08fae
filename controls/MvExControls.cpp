// Shared routines of the control base-class layer.
#include "controls/MvExControls.h"

#include "gui/Application.h"

LPARAM KeyDataFromShift(TShiftState Shift) {
    return static_cast<LPARAM>(mv::controls::KeyDataFromShiftFlags(
        (Shift & ssShift) != 0, (Shift & ssAlt) != 0, (Shift & ssCtrl) != 0));
}

void ResolveHintColor(THintInfo& HintInfo, TControl* Control, TColor Color) {
    if (Color == clNone) {
        if (Application) HintInfo.HintColor = Application->HintColor();
    } else if (Color == clDefault) {
        if (Control && Control->Parent()) {
            THintInfo Copy = HintInfo;
            Control->Parent()->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Copy));
            HintInfo.HintColor = Copy.HintColor;
        }
    } else {
        HintInfo.HintColor = Color;
    }
}
