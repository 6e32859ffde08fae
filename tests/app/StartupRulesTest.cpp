// Database choice, plug-in enable list and drive roots at start-up.
#include "app/StartupRules.h"
#include "base/StringList.h"

#include <gtest/gtest.h>

using namespace mv::app;

TEST(StartupRules, DatabaseComesFromTheProgramFolderThenTheSettingsThenTheUser) {
    TDatabaseChoice C = ChooseDatabase("C:\\Apps\\Miravelund", true, "D:\\other.mvdb");
    EXPECT_EQ(C.Path, "C:\\Apps\\Miravelund\\Miravelund.mvdb");
    EXPECT_TRUE(C.InProgramFolder);

    C = ChooseDatabase("C:\\Apps\\Miravelund", false, "D:\\other.mvdb");
    EXPECT_EQ(C.Path, "D:\\other.mvdb");
    EXPECT_FALSE(C.InProgramFolder);

    // Absent and present-but-empty (or blank) keys both lead to the first-launch dialog.
    for (const char* Value : {"", "   "})
        EXPECT_TRUE(ChooseDatabase("C:\\Apps", false, Value).Path.empty()) << '"' << Value << '"';
}

TEST(StartupRules, PluginEnableList) {
    TStringList Ini;
    Ini.SetText("alpha=False\r\nbeta=TRUE\r\ngamma=x\r\ndelta=0\r\nepsilon=1\r\n");
    struct Case {
        const char* File;
        bool Enabled;
    } Cases[] = {
        {"Alpha.dll", false},  {"beta.dll", true},     {"gamma.dll", false},          {"delta.dll", false},
        {"EPSILON.DLL", true}, {"unlisted.dll", true}, {"Plugins\\Alpha.dll", false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(PluginEnabled(Ini, C.File), C.Enabled) << C.File;

    TStringList Empty;
    EXPECT_TRUE(PluginEnabled(Empty, "anything.dll"));
}

TEST(StartupRules, BooleanWords) {
    bool V = false;
    EXPECT_TRUE(TryStrToBool("tRuE", V) && V);
    EXPECT_TRUE(TryStrToBool("False", V) && !V);
    EXPECT_TRUE(TryStrToBool("-3", V) && V);
    EXPECT_FALSE(TryStrToBool("yes", V));
    EXPECT_FALSE(TryStrToBool("", V));
}

TEST(StartupRules, DriveRoot) {
    EXPECT_EQ(DriveRootOf("C:\\notes\\my.mvdb"), "C:\\");
    EXPECT_EQ(DriveRootOf("z:/x"), "z:\\");
    EXPECT_EQ(DriveRootOf(""), "");
    EXPECT_EQ(DriveRootOf("\\\\server\\share\\x.mvdb"), "");
    EXPECT_EQ(DriveRootOf("1:\\x"), "");
}
