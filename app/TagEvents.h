// Dot-line words that plug-ins registered, each with its load and save
// handlers. Every handler remembers the plug-in it came from, so that
// unloading a plug-in retires its handlers; the word itself stays registered,
// and its dot-lines stay inert. Plain C++, no windows.
#pragma once

#include "base/Object.h"

#include <map>
#include <string>
#include <string_view>

namespace mv::app {

// A pair of plug-in handlers registered under a dot-line word.
class TTagEvent : public TObject {
public:
    TNotifyEvent OnLoadTag;
    TNotifyEvent OnSaveTag;
    // The plug-in each handler belongs to (nullptr while unassigned), and its
    // name for the reports of its failures.
    const void* LoadPlugin = nullptr;
    const void* SavePlugin = nullptr;
    std::string LoadPluginName;
    std::string SavePluginName;
};

class TTagEventTable {
public:
    // A plug-in command: Data containing "tag" (any case) registers the
    // lower-cased Caption as a dot-line word; "loadtag" and "savetag" also set
    // that kind of handler, replacing an earlier one. Other commands are
    // ignored. Returns whether the command was taken.
    bool RegisterCommand(std::string_view Caption, std::string_view Data, TNotifyEvent Handler,
                         const void* Plugin, std::string_view PluginName = {});

    // The registration of Word (compared without regard to ASCII case), or nullptr.
    const TTagEvent* Find(std::string_view Word) const;

    // Drops every handler that Plugin registered; the words stay registered.
    void RetirePlugin(const void* Plugin);

    std::size_t Count() const { return FEvents.size(); }

private:
    std::map<std::string, TTagEvent, std::less<>> FEvents; // lower-cased word -> handlers
};

} // namespace mv::app
