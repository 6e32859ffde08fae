// Built twice, as TwinOne.dll and TwinTwo.dll: two modules whose plug-ins
// share one PluginID.
#include "sdk/MvPluginSdk.h"
#include "tests/plugins/modules/TestPluginTrace.h"

namespace {

class TTwinPlugIn : public MvPluginSdk::TMvPlugIn {
public:
    TTwinPlugIn() {
        SetName(TWIN_NAME);
        PluginID = "test.twin";
        Commands.Add().Caption = TWIN_NAME;
    }
    ~TTwinPlugIn() override { TraceDestroyed(TWIN_NAME, TWIN_NAME ".dll"); }
};

} // namespace

MV_EXPORT_PLUGIN(TTwinPlugIn)
