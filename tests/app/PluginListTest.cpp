// The plug-in list's rules: which files are listed checked, and Plugins.ini.
#include "app/PluginList.h"

#include <gtest/gtest.h>

using namespace mv::app;

TEST(PluginList, ChecksFollowPluginsIniAndTheFileIsWrittenWhole) {
    THashedStringList Enabled;
    Enabled.SetText("alpha=False\r\ngamma=perhaps\r\nDELTA=0\r\nepsilon=1\r\nzeta=TRUE\r\ngone=True\r\n");
    const std::vector<std::string> Files = {"Alpha.dll", "beta.dll",    "Gamma.dll",
                                            "delta.DLL", "Epsilon.dll", "zeta.dll"};
    const std::vector<TPluginListItem> Items = PluginListItems(Files, Enabled);
    const std::vector<TPluginListItem> Expected = {
        {"Alpha", false},  // switched off
        {"beta", true},    // no line: on
        {"Gamma", false},  // not a truth value: off, and no failure
        {"delta", false},  // a number, 0 meaning False; names ignore case
        {"Epsilon", true}, // any other number is True
        {"zeta", true},
    };
    EXPECT_EQ(Items, Expected);
    // One line per listed file, in the list's order; "gone" has no file and no line.
    EXPECT_EQ(PluginsIniText(Items),
              "alpha=False\r\nbeta=True\r\ngamma=False\r\ndelta=False\r\nepsilon=True\r\nzeta=True\r\n");
    EXPECT_EQ(PluginsIniText({}), "");
}
