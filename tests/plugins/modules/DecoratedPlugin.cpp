// A module whose entry point carries the __stdcall decoration
// ("RegisterPlugin@0"), so the undecorated name is not exported.
#include "sdk/MvPluginSdk.h"

namespace {

class TDecoratedPlugIn : public MvPluginSdk::TMvPlugIn {
public:
    TDecoratedPlugIn() { SetName("decoratedplugin"); }
};

} // namespace

extern "C" __declspec(dllexport) MvPluginAbi::IMvPlugin* __stdcall RegisterPlugin() {
    return MvPluginSdk::Detail::RegisterPlugIn<TDecoratedPlugIn>();
}
