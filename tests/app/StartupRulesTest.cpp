// Database choice and drive roots at start-up.
#include "app/StartupRules.h"

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

TEST(StartupRules, DriveRoot) {
    EXPECT_EQ(DriveRootOf("C:\\notes\\my.mvdb"), "C:\\");
    EXPECT_EQ(DriveRootOf("z:/x"), "z:\\");
    EXPECT_EQ(DriveRootOf(""), "");
    EXPECT_EQ(DriveRootOf("\\\\server\\share\\x.mvdb"), "");
    EXPECT_EQ(DriveRootOf("1:\\x"), "");
}
