// A plug-in whose load handler for the dot-line word "crash" reads through a
// null pointer: the access violation ends the whole program, past every catch
// of the SDK and the host, as Home (which carries the word) loads at the start.
// (A write to address 0 would not do under Wine with the rights to map the
// lowest page, which lets it pass; the read faults there too.)
#include "sdk/MvPluginSdk.h"

namespace {

int Calls = 0;

class TCrashingPlugIn : public MvPluginSdk::TMvPlugIn {
public:
    TCrashingPlugIn() {
        SetName("crashingplugin");
        PluginID = "test.crashing";
        MvPluginSdk::TMvPluginCommand& Load = Commands.Add();
        Load.Caption = "crash";
        Load.Data = "loadtag";
        Load.OnExecute = [](MvPluginSdk::TMvPluginCommand*) {
            // Volatile, so that the compiler cannot see the null and put a trap there instead.
            int* volatile Nowhere = nullptr;
            Calls += *Nowhere;
        };
    }
};

} // namespace

MV_EXPORT_PLUGIN(TCrashingPlugIn)
