// A plug-in built against interface version 1.0 (the headers in abi-1.0/, as
// they were released): every later host must still load it and run its
// handlers the way 1.0 defined them.
#include "MvPluginSdk.h"
#include "tests/plugins/modules/TestPluginTrace.h"

namespace {

class TLegacyPlugIn : public MvPluginSdk::TMvPlugIn {
public:
    TLegacyPlugIn() {
        SetName("legacyplugin");
        PluginID = "test.legacy";
        MvPluginSdk::TMvPluginCommand& Save = Commands.Add();
        Save.Caption = "legacy";
        Save.Data = "savetag";
        Save.OnExecute = [](MvPluginSdk::TMvPluginCommand* Sender) {
            TraceAppend("MV_PLUGIN_EXECUTED", "legacy-save");
            if (Sender->Meta().Available()) Sender->Meta().SetValue("legacy", "kept");
        };
    }
};

} // namespace

MV_EXPORT_PLUGIN(TLegacyPlugIn)
