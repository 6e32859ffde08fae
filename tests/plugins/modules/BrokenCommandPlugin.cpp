// A plug-in written straight against the binary contract whose second command
// cannot be read: announcing its commands fails half-way.
#include "sdk/MvPluginAbi.h"
#include "tests/plugins/modules/TestPluginTrace.h"

namespace {

class TFirstCommand final : public MvPluginAbi::IMvPluginCommand {
public:
    const char* MV_PLUGIN_CALL Name() override { return "Command1"; }
    const char* MV_PLUGIN_CALL Caption() override { return "broken"; }
    const char* MV_PLUGIN_CALL Hint() override { return ""; }
    const char* MV_PLUGIN_CALL Data() override { return "loadtag"; }
    int32_t MV_PLUGIN_CALL ShortCut() override { return 0; }
    const uint32_t* MV_PLUGIN_CALL Bitmap(int32_t* Width, int32_t* Height) override {
        *Width = *Height = 0;
        return nullptr;
    }
    int32_t MV_PLUGIN_CALL HasExecute() override { return 1; }
    int32_t MV_PLUGIN_CALL Execute(MvPluginAbi::IMvPluginMeta*) override {
        TraceAppend("MV_PLUGIN_EXECUTED", "broken");
        return MvPluginAbi::ResultOk;
    }
    int32_t MV_PLUGIN_CALL ExecuteOnTopic(MvPluginAbi::IMvPluginTopic* Topic) override {
        return Execute(Topic ? Topic->Meta() : nullptr);
    }
};

class TBrokenPlugIn final : public MvPluginAbi::IMvPlugin {
public:
    int32_t MV_PLUGIN_CALL AbiVersion() override { return MvPluginAbi::Version; }
    const char* MV_PLUGIN_CALL Name() override { return "brokencommandplugin"; }
    const char* MV_PLUGIN_CALL Author() override { return ""; }
    const char* MV_PLUGIN_CALL PluginID() override { return "test.broken"; }
    const char* MV_PLUGIN_CALL Copyright() override { return ""; }
    const char* MV_PLUGIN_CALL Description() override { return ""; }
    const char* MV_PLUGIN_CALL PluginVersion() override { return ""; }
    int32_t MV_PLUGIN_CALL InstanceCount() override { return 1; }
    int32_t MV_PLUGIN_CALL CommandCount() override { return 2; }
    MvPluginAbi::IMvPluginCommand* MV_PLUGIN_CALL Command(int32_t Index) override {
        return Index == 0 ? &FFirst : nullptr;
    }
    int32_t MV_PLUGIN_CALL Initialize(MvPluginAbi::IMvPluginHost*, const char*, int32_t*) override {
        return MvPluginAbi::ResultOk;
    }
    int32_t MV_PLUGIN_CALL Configure() override { return MvPluginAbi::ResultOk; }
    int32_t MV_PLUGIN_CALL PluginMessage(int32_t, const char*) override { return MvPluginAbi::ResultOk; }
    const char* MV_PLUGIN_CALL LastErrorText() override { return "Command 2 is broken"; }
    void MV_PLUGIN_CALL Destroy() override {
        TraceDestroyed("brokencommandplugin", "BrokenCommandPlugin.dll");
        delete this;
    }

private:
    TFirstCommand FFirst;
};

} // namespace

extern "C" __declspec(dllexport) MvPluginAbi::IMvPlugin* RegisterPlugin() {
    return new TBrokenPlugIn;
}
