// Base-class layer members over the standard controls (the template bodies
// live in MvExControlsImpl.h; this unit gives the two classes a home).
#include "richedit/MvExStdCtrls.h"
