// A plug-in that declines to load in OnInitialize.
#include "sdk/MvPluginSdk.h"
#include "tests/plugins/modules/TestPluginTrace.h"

namespace {

class TRefusingPlugIn : public MvPluginSdk::TMvPlugIn {
public:
    TRefusingPlugIn() {
        SetName("refusingplugin");
        PluginID = "test.refusing";
        Commands.Add().Caption = "never";
        OnInitialize = [](TMvPlugIn*, bool& AllowLoad) { AllowLoad = false; };
    }
    ~TRefusingPlugIn() override { TraceDestroyed("refusingplugin", "RefusingPlugin.dll"); }
};

} // namespace

MV_EXPORT_PLUGIN(TRefusingPlugIn)
