// The plug-in list's rules.
#include "app/PluginList.h"

#include "base/StrUtils.h"
#include "components/MvPluginManager.h"

namespace mv::app {

std::vector<TPluginListItem> PluginListItems(const std::vector<std::string>& Files, const TStrings& Enabled) {
    std::vector<TPluginListItem> Items;
    for (const std::string& File : Files) {
        const std::string Name = ChangeFileExt(ExtractFileName(File), "");
        Items.push_back({Name, PluginEnabledIn(Enabled, Name)});
    }
    return Items;
}

std::string PluginsIniText(const std::vector<TPluginListItem>& Items) {
    std::string Text;
    for (const TPluginListItem& Item : Items)
        Text += LowerCase(Item.Name) + "=" + (Item.Checked ? "True" : "False") + "\r\n";
    return Text;
}

} // namespace mv::app
