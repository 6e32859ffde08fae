// Base-class layer member over the check list box: the layer's template
// bodies (MvExControlsImpl.h) are compiled for it here, once for the program.
#include "controls/MvExCheckLst.h"

template class TMvExControlLayer<TCheckListBox>;
template class TMvExWinControlLayer<TCheckListBox>;
