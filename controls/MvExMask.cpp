// Base-class layer member over the single-line edit.
#include "controls/MvExMask.h"

void TMvExCustomMaskEdit::DoBeepOnError() {
    if (FBeepOnError) MessageBeep(0);
}
