// Plug-in dot-line handlers.
#include "app/TagEvents.h"

#include "base/StrUtils.h"

namespace mv::app {

bool TTagEventTable::RegisterCommand(std::string_view Caption, std::string_view Data, TNotifyEvent Handler,
                                     const void* Plugin, std::string_view PluginName) {
    const std::string Kind = LowerCase(Data);
    if (Kind.find("tag") == std::string::npos) return false;
    TTagEvent& Event = FEvents[LowerCase(Caption)];
    if (Kind == "loadtag") {
        Event.OnLoadTag = std::move(Handler);
        Event.LoadPlugin = Plugin;
        Event.LoadPluginName = PluginName;
    } else if (Kind == "savetag") {
        Event.OnSaveTag = std::move(Handler);
        Event.SavePlugin = Plugin;
        Event.SavePluginName = PluginName;
    }
    return true;
}

const TTagEvent* TTagEventTable::Find(std::string_view Word) const {
    const auto It = FEvents.find(LowerCase(Word));
    return It == FEvents.end() ? nullptr : &It->second;
}

void TTagEventTable::RetirePlugin(const void* Plugin) {
    if (Plugin == nullptr) return;
    for (auto& [Word, Event] : FEvents) {
        if (Event.LoadPlugin == Plugin) {
            Event.OnLoadTag = nullptr;
            Event.LoadPlugin = nullptr;
        }
        if (Event.SavePlugin == Plugin) {
            Event.OnSaveTag = nullptr;
            Event.SavePlugin = nullptr;
        }
    }
}

} // namespace mv::app
