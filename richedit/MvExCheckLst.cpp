// Base-class layer member over the check list box (template bodies in MvExControlsImpl.h).
#include "richedit/MvExCheckLst.h"
