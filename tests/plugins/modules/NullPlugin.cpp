// A module whose entry point returns no plug-in.
#include "sdk/MvPluginAbi.h"

extern "C" __declspec(dllexport) MvPluginAbi::IMvPlugin* RegisterPlugin() {
    return nullptr;
}
