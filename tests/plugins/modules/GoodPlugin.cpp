// A well-behaved plug-in with three commands.
#include "sdk/MvPluginSdk.h"
#include "tests/plugins/modules/TestPluginTrace.h"

namespace {

class TGoodPlugIn : public MvPluginSdk::TMvPlugIn {
public:
    TGoodPlugIn() {
        SetName("goodplugin");
        Author = "Test author";
        PluginID = "test.good";
        Copyright = "(c) tests";
        Description = "Three commands";
        PluginVersion = "1.2";
        const char* Captions[] = {"alpha", "beta", "gamma"};
        for (const char* Caption : Captions) {
            MvPluginSdk::TMvPluginCommand& Command = Commands.Add();
            Command.Caption = Caption;
            Command.Hint = std::string("Hint of ") + Caption;
            Command.Data = std::string("data-") + Caption;
            Command.OnExecute = [](MvPluginSdk::TMvPluginCommand* Sender) {
                TraceAppend("MV_PLUGIN_EXECUTED", Sender->Caption);
            };
        }
        Commands[1].ShortCut = 0x4042; // Ctrl+B
        Commands[2].Bitmap = {2, 1, {0xFF112233u, 0xFF445566u}};
        Commands[2].OnExecute = [](MvPluginSdk::TMvPluginCommand*) {
            throw std::runtime_error("gamma failed");
        };
        OnInitialize = [](TMvPlugIn* Sender, bool&) {
            TraceAppend("MV_PLUGIN_INITIALIZED", Sender->FileName());
        };
        OnConfigure = [](TMvPlugIn*) { TraceAppend("MV_PLUGIN_CONFIGURED", "goodplugin"); };
        OnPluginMessage = [](TMvPlugIn*, int32_t Message, const std::string& Text) {
            TraceAppend("MV_PLUGIN_MESSAGE", std::to_string(Message) + ":" + Text);
        };
    }
    ~TGoodPlugIn() override { TraceDestroyed("goodplugin", "GoodPlugin.dll"); }
};

} // namespace

MV_EXPORT_PLUGIN(TGoodPlugIn)
