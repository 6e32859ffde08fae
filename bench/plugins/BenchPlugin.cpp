// The benchmark's plug-in: one load handler for the word "bench" that only
// counts its calls.
#include "sdk/MvPluginSdk.h"

namespace {

int Calls = 0;

class TBenchPlugIn : public MvPluginSdk::TMvPlugIn {
public:
    TBenchPlugIn() {
        SetName("benchplugin");
        PluginID = "bench.plugin";
        MvPluginSdk::TMvPluginCommand& Load = Commands.Add();
        Load.Caption = "bench";
        Load.Data = "loadtag";
        Load.OnExecute = [](MvPluginSdk::TMvPluginCommand*) { ++Calls; };
    }
};

} // namespace

MV_EXPORT_PLUGIN(TBenchPlugIn)
