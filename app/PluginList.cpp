// The plug-in list's rules.
#include "app/PluginList.h"

#include "base/StrUtils.h"
#include "plugins/MvPluginManager.h"

namespace mv::app {

std::vector<TPluginListItem> PluginListItems(const std::vector<std::string>& Files, const TStrings& Enabled) {
    std::vector<TPluginListItem> Items;
    for (const std::string& File : Files) {
        const std::string Name = ChangeFileExt(ExtractFileName(File), "");
        Items.push_back({Name, PluginEnabledIn(Enabled, Name)});
    }
    return Items;
}

std::string PluginsIniText(const std::string& Existing, const std::vector<TPluginListItem>& Items) {
    auto LineOf = [](const TPluginListItem& Item) {
        return LowerCase(Item.Name) + "=" + (Item.Checked ? "True" : "False");
    };
    std::vector<bool> Written(Items.size(), false);
    std::string Text;
    size_t Start = 0;
    while (Start < Existing.size()) {
        size_t End = Existing.find('\n', Start);
        End = End == std::string::npos ? Existing.size() : End + 1;
        const std::string Line = Existing.substr(Start, End - Start);
        Start = End;
        // The line's own ending ("\r\n", "\n" or none at the very end) stays.
        const size_t Body = Line.find_last_not_of("\r\n") + 1;
        const size_t Equals = Line.find('=');
        bool Replaced = false;
        if (Equals != std::string::npos && Equals < Body) {
            const std::string Name = Line.substr(0, Equals);
            for (size_t I = 0; I < Items.size() && !Replaced; ++I) {
                if (!SameText(Name, Items[I].Name)) continue;
                Text += LineOf(Items[I]) + Line.substr(Body);
                Written[I] = Replaced = true;
            }
        }
        if (!Replaced) Text += Line;
    }
    // A last line without an ending gets one only when lines follow it.
    bool LineBreakDue = !Text.empty() && Text.back() != '\n';
    for (size_t I = 0; I < Items.size(); ++I) {
        if (Written[I]) continue;
        if (LineBreakDue) Text += "\r\n";
        LineBreakDue = false;
        Text += LineOf(Items[I]) + "\r\n";
    }
    return Text;
}

} // namespace mv::app
