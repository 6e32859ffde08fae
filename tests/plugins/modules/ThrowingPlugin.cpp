// A plug-in whose code throws: built as ThrowingPlugin.dll (its handlers throw
// exceptions of several types), ThrowingCtorPlugin.dll (its constructor
// throws) and ThrowingInitPlugin.dll (its OnInitialize throws).
#include "sdk/MvPluginSdk.h"
#include "tests/plugins/modules/TestPluginTrace.h"

namespace {

struct TNotAStdException {
    int Code;
};

class TThrowingPlugIn : public MvPluginSdk::TMvPlugIn {
public:
    TThrowingPlugIn() {
#ifdef THROW_IN_CONSTRUCTOR
        throw std::runtime_error("constructor failed");
#endif
        SetName(PLUGIN_NAME);
        PluginID = "test." PLUGIN_NAME;
        Add("throwint", "savetag", [] { throw 42; });
        Add("throwstd", "loadtag", [] { throw std::runtime_error("load went wrong"); });
        Add("throwodd", "savetag", [] { throw TNotAStdException{7}; });
        Add("after", "savetag", [] { TraceAppend("MV_PLUGIN_EXECUTED", "after-save"); });
        Add("after", "loadtag", [] { TraceAppend("MV_PLUGIN_EXECUTED", "after-load"); });
#ifdef THROW_IN_INITIALIZE
        OnInitialize = [](TMvPlugIn*, bool&) { throw std::runtime_error("no licence for this machine"); };
#endif
    }

private:
    void Add(const char* Caption, const char* Data, void (*Body)()) {
        MvPluginSdk::TMvPluginCommand& Command = Commands.Add();
        Command.Caption = Caption;
        Command.Data = Data;
        Command.OnExecute = [Body](MvPluginSdk::TMvPluginCommand*) { Body(); };
    }
};

} // namespace

MV_EXPORT_PLUGIN(TThrowingPlugIn)
