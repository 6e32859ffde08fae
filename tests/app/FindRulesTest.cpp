// The finder's window-free rules.
#include "app/FindRules.h"

#include <gtest/gtest.h>

namespace {

TEST(FindRules, OnlyTheWordAllMeansEverything) {
    for (const char* Yes : {"All", "ALL", "all", " All ", "aLl"})
        EXPECT_TRUE(FindTextIsAll(Yes)) << Yes;
    for (const char* No : {"", "Wallet", "small", "All,Work", "ALLOWANCE", "Al", "Ball"})
        EXPECT_FALSE(FindTextIsAll(No)) << No;
}

TEST(FindRules, NamesAreWholeTokensFoundEverywhere) {
    const std::vector<std::string> Items{"Default", "Home", "Work", "Homework", "work", "Wallet"};
    struct Case {
        const char* Text;
        std::vector<int> Expected;
    } cases[] = {
        {"HOMEWORK", {3}},                 // not Home and Work
        {"Home,Work", {1, 2, 4}},          // every item equal to a token, case ignored
        {"home, WALLET ,nothing", {1, 5}}, // blanks around tokens do not count
        {"", {}},
        {",,", {}},
        {"Default", {0}},
        {"Wall", {}},
    };
    for (const Case& C : cases)
        EXPECT_EQ(FindItemsNamed(Items, C.Text, ','), C.Expected) << C.Text;
    EXPECT_EQ(FindItemsNamed(Items, "Home;Wallet", ';'), (std::vector<int>{1, 5}));
}

TEST(FindRules, DefaultIsTheEmptyNamespaceAndGeometryIsWholeNumbers) {
    EXPECT_EQ(FindNamespaceOfItem("Default"), "");
    EXPECT_EQ(FindNamespaceOfItem("default"), "default"); // a namespace of that name
    EXPECT_EQ(FindNamespaceOfItem("Work"), "Work");
    // The other way, for results that come with their namespace: each goes back to its item.
    for (const char* Namespace : {"", "Work", "default", "All"})
        EXPECT_EQ(FindNamespaceOfItem(FindItemOfNamespace(Namespace)), Namespace);
    EXPECT_EQ(FindItemOfNamespace(""), "Default");
    // Entries are told apart as the list does, ASCII letters folded, and the two parts
    // cannot run into each other.
    TFindEntrySet Entries;
    Entries.Insert("Work", "Plan");
    Entries.Insert("Caf\xE9", "x");
    Entries.Insert("", "Home");
    Entries.Insert("WORK", "plan"); // the same entry
    EXPECT_EQ(Entries.Size(), 3u);
    EXPECT_TRUE(Entries.Contains("work", "PLAN"));
    EXPECT_TRUE(Entries.Contains("CAF\xE9", "X"));
    EXPECT_TRUE(Entries.Contains("", "home"));
    EXPECT_FALSE(Entries.Contains("Work", "Plan 2"));
    EXPECT_FALSE(Entries.Contains("Wo", "rkPlan"));
    EXPECT_FALSE(Entries.Contains("WorkPlan", ""));
    EXPECT_FALSE(Entries.Contains("CAF\xC9", "x")); // accented letters do not fold
    EXPECT_FALSE(Entries.Contains("Home", ""));
    Entries.Clear();
    EXPECT_FALSE(Entries.Contains("Work", "Plan"));
    EXPECT_EQ(FindGeometryValue("120"), 120);
    EXPECT_EQ(FindGeometryValue(" -8 "), -8);
    for (const char* Bad : {"", "12.5", "abc", "10px", "99999999999"})
        EXPECT_FALSE(FindGeometryValue(Bad).has_value()) << Bad;
}

} // namespace
