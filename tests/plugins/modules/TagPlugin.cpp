// A plug-in that binds the dot-line word "clock" to a load and a save handler.
#include "sdk/MvPluginSdk.h"
#include "tests/plugins/modules/TestPluginTrace.h"

namespace {

class TTagPlugIn : public MvPluginSdk::TMvPlugIn {
public:
    TTagPlugIn() {
        SetName("tagplugin");
        PluginID = "test.tag";
        MvPluginSdk::TMvPluginCommand& Load = Commands.Add();
        Load.Caption = "Clock";
        Load.Data = "loadtag";
        Load.OnExecute = [](MvPluginSdk::TMvPluginCommand* Sender) {
            TraceAppend("MV_PLUGIN_EXECUTED", "clock-load:" + Sender->Meta().Value("clock"));
        };
        MvPluginSdk::TMvPluginCommand& Save = Commands.Add();
        Save.Caption = "Clock";
        Save.Data = "SaveTag";
        Save.OnExecute = [](MvPluginSdk::TMvPluginCommand* Sender) {
            TraceAppend("MV_PLUGIN_EXECUTED", "clock-save");
            if (Sender->Meta().Available()) Sender->Meta().SetValue("clock", "saved");
        };
        // Sees the topic and the very line it handles.
        MvPluginSdk::TMvPluginCommand& Due = Commands.Add();
        Due.Caption = "due";
        Due.Data = "savetag";
        Due.OnExecute = [](MvPluginSdk::TMvPluginCommand* Sender) {
            const MvPluginSdk::TMvPluginTopic Topic = Sender->Topic();
            TraceAppend("MV_PLUGIN_TOPIC", Topic.Namespace() + ":" + Topic.Title() + "#" +
                                               std::to_string(Topic.DotLineIndex()) + "/" +
                                               std::to_string(Topic.LineCount()) + "=" + Topic.DotLine());
        };
    }
    ~TTagPlugIn() override { TraceDestroyed("tagplugin", "TagPlugin.dll"); }
};

} // namespace

MV_EXPORT_PLUGIN(TTagPlugIn)
