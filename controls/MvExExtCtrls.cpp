// Base-class layer member over the panel: the layer's template bodies
// (MvExControlsImpl.h) are compiled for it here, once for the program.
#include "controls/MvExExtCtrls.h"

template class TMvExControlLayer<TCustomPanel>;
template class TMvExWinControlLayer<TCustomPanel>;
