/* A plug-in module that imports from a DLL that is not there. */
#include "sdk/MvPluginAbiC.h"

__declspec(dllimport) int MvMissingDependencyAnswer(void);

MV_PLUGIN_EXPORT MvPlugin* RegisterPlugin(void) {
    /* Never reached: the module does not load without its import. */
    (void)MvMissingDependencyAnswer();
    return (MvPlugin*)0;
}
