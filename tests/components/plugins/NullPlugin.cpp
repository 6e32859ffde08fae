// A module whose entry point returns no plug-in.
#include "components/sdk/MvPluginAbi.h"

extern "C" __declspec(dllexport) MvPluginAbi::IMvPlugin* RegisterPlugin() {
    return nullptr;
}
