// Window-free rules that keep a plug-in's texts in their place: the meta line
// names and values it may write, and the bounded log record its failure makes.
#include "logfile/MvLogFile.h"
#include "plugins/MvPlugin.h"

#include <gtest/gtest.h>

namespace {

TEST(PluginMetaRules, NoNameOrValueCanMakeOrChangeAnotherLine) {
    struct Case {
        std::string Name;
        std::string Value;
        bool Accepted;
    };
    const Case Cases[] = {
        {"due", "2026-12-24", true},
        {"due", "", true}, // removes the line
        {"due", "a=b=c", true},
        {"due.line", ".due tomorrow", true},
        {"due", "line1\r\nline2=x", false},
        {"due", "line1\nsplitter_pos=1", false},
        {"due", "line1\rx", false},
        {"a=b", "x", false},
        {"", "x", false},
        {" due", "x", false},
        {"due ", "x", false},
        {"x\ny", "x", false},
        {std::string(255, 'n'), "x", true},
        {std::string(256, 'n'), "x", false},
        {"big", std::string(65535, 'v'), true},
        {"big", std::string(65536, 'v'), false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(IsValidPluginMetaName(C.Name) && IsValidPluginMetaValue(C.Value), C.Accepted)
            << "\"" << C.Name.substr(0, 20) << "\" = \"" << C.Value.substr(0, 20) << "\"";
}

TEST(PluginLogRecords, OneHugeRecordIsCutAndNeverWipesTheLog) {
    TMvLogFile Log(nullptr);
    Log.SizeLimit = 8000;
    for (int I = 0; I < 10; ++I)
        Log.AddLogRecord("01.01.2027 10:00:00", "", "record " + std::to_string(I));
    Log.AddLogRecord("01.01.2027 10:00:01", std::string(70000, 't'), std::string(65536, 'x'));
    ASSERT_EQ(Log.Count(), 11) << "every earlier record is still there";
    EXPECT_EQ(Log.Records(0).Description, "record 0");
    const auto& Last = Log.Records(10);
    EXPECT_EQ(Last.Description.size(), 1024u);
    EXPECT_EQ(Last.Description.substr(1021), "...");
    EXPECT_EQ(Last.Title.size(), 1024u);

    // Under a small size limit a record takes at most a quarter of it.
    TMvLogFile Small(nullptr);
    Small.SizeLimit = 400;
    Small.AddLogRecord("t", "", "first");
    Small.AddLogRecord("t", "", std::string(5000, 'y'));
    ASSERT_EQ(Small.Count(), 2);
    EXPECT_EQ(Small.Records(1).Description.size(), 100u);
}

} // namespace
