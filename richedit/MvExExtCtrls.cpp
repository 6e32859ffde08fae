// Base-class layer member over the panel (template bodies in MvExControlsImpl.h).
#include "richedit/MvExExtCtrls.h"
