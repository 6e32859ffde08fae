// The plug-in list's rules, free of windows: which plug-in files it shows and
// which of them are checked, and the text of "Plugins.ini" it writes.
//
// Plugins.ini lies in the plug-in folder: one line name=value per plug-in file,
// no sections. The name is the file's base name in lower case; the value is
// "True" or "False". Names are looked up without regard to case; a file without
// a line is on, and a value that is not a truth value (StrToBool: "True" or
// "False" in any case, or a number, 0 meaning False) counts as False.
#pragma once

#include "base/StringList.h"

#include <string>
#include <vector>

namespace mv::app {

struct TPluginListItem {
    std::string Name; // the file's base name, as the folder has it
    bool Checked = true;
    bool operator==(const TPluginListItem&) const = default;
};

// One item per file of Files (names with their extension, in the folder's
// order), checked unless Enabled switches it off.
std::vector<TPluginListItem> PluginListItems(const std::vector<std::string>& Files, const TStrings& Enabled);

// Plugins.ini after the list's OK (and after start-up switched off a plug-in
// that ended the program): Existing (the file as it is) with the line
// of each item set to its check (every line of that name, ignoring case), the
// items without a line added at the end in their order, and every other line
// (a plug-in not in the folder, a comment, a blank line) kept byte for byte.
std::string PluginsIniText(const std::string& Existing, const std::vector<TPluginListItem>& Items);

} // namespace mv::app
