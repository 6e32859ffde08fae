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
    // Without a file: one line per listed file, in the list's order.
    EXPECT_EQ(PluginsIniText("", Items),
              "alpha=False\r\nbeta=True\r\ngamma=False\r\ndelta=False\r\nepsilon=True\r\nzeta=True\r\n");
    EXPECT_EQ(PluginsIniText("", {}), "");
}

TEST(PluginList, OKSetsTheListedLinesAndKeepsEveryOtherLineAsItWas) {
    // A long file of plug-ins that are not in the folder, a comment, a blank
    // line, a line without an ending, and the same name twice in other cases.
    std::string Others;
    for (int I = 0; I < 10000; ++I)
        Others += "old" + std::to_string(I) + (I % 2 ? "=False\r\n" : "=True\n");
    const std::string Existing = "; chosen by hand\r\nALPHA=True\r\n\r\n" + Others + "beta=False\nAlpha=1";
    const std::vector<TPluginListItem> Items = {{"Alpha", false}, {"Beta", true}, {"Gamma", true}};
    EXPECT_EQ(PluginsIniText(Existing, Items), "; chosen by hand\r\nalpha=False\r\n\r\n" + Others +
                                                   "beta=True\nalpha=False\r\ngamma=True\r\n");
    // Nothing listed: the file stays byte for byte.
    EXPECT_EQ(PluginsIniText(Others, {}), Others);
    // A last line without an ending keeps it so when nothing follows.
    EXPECT_EQ(PluginsIniText("a=True\r\nlast=1", {{"A", false}}), "a=False\r\nlast=1");
    // A line whose name only begins like an item's is another plug-in's.
    EXPECT_EQ(PluginsIniText("alphabet=False\r\n", {{"alpha", true}}), "alphabet=False\r\nalpha=True\r\n");
}
