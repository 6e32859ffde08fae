// Base-class layer members over the standard controls: the layer's template
// bodies (MvExControlsImpl.h) are compiled for the label and the memo here,
// once for the program.
#include "controls/MvExStdCtrls.h"

template class TMvExControlLayer<TCustomLabel>;
template class TMvExControlLayer<TCustomMemo>;
template class TMvExWinControlLayer<TCustomMemo>;
template class TMvExEditLayer<TCustomMemo>;
