#include "logfile/MvLogFormat.h"

#include <gtest/gtest.h>

using namespace mv::logfile;

namespace {

struct LineCase {
    const char* Name;
    TMvLogRecord Record;
    const char* Line;
};

class LogLineRoundTrip : public ::testing::TestWithParam<LineCase> {};

TEST_P(LogLineRoundTrip, WritesAndReadsBack) {
    const LineCase& Case = GetParam();
    std::string Line = FormatLogLine(Case.Record);
    EXPECT_EQ(Line, std::string(Case.Line) + "\r\n");
    TMvLogRecord Read;
    ASSERT_TRUE(ParseLogLine(std::string_view(Line).substr(0, Line.size() - 2), Read));
    EXPECT_EQ(Read, Case.Record);
}

INSTANTIATE_TEST_SUITE_P(Lines, LogLineRoundTrip,
                         ::testing::Values(LineCase{"Plain", {"t", "a>b", "c"}, "[t]a>>b>c"},
                                           LineCase{"EmptyTitle", {"12:00", "", "hello"}, "[12:00]>hello"},
                                           LineCase{"TitleEndsWithGreater", {"t", "a>", ""}, "[t]a>>>"},
                                           LineCase{
                                               "GreaterInDescription", {"t", "x", "p>q>>r"}, "[t]x>p>q>>r"},
                                           LineCase{"AllEmpty", {"", "", ""}, "[]>"},
                                           LineCase{"Brackets", {"t", "[x", "]y["}, "[t][x>]y["}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(LogLine, LineBreaksInsideFieldsBecomeBlanks) {
    TMvLogRecord Record{"1\r\n2", "a\nb", "line one\r\nline two\r"};
    std::string Line = FormatLogLine(Record);
    EXPECT_EQ(Line, "[1  2]a b>line one  line two \r\n");

    TMvLogRecordList List;
    List.AppendFromText(Line);
    ASSERT_EQ(List.Count(), 1u);
    EXPECT_EQ(List[0].Description, "line one  line two ");
}

struct ParseCase {
    const char* Line;
    bool Parses;
    TMvLogRecord Record;
};

TEST(LogLine, ParsesLooseLines) {
    const ParseCase Cases[] = {
        {"x[12:00]>hello", true, {"12:00", "", "hello"}},
        {"[12:00 no closing bracket", false, {}},
        {"no bracket at all", false, {}},
        {"", false, {}},
        {"[t]title only", true, {"t", "title only", ""}},
        {"[t]a>>>>b", true, {"t", "a>>b", ""}},
        {"[t]a>>>>>b", true, {"t", "a>>", "b"}},
        {"[a]b]c>d", true, {"a", "b]c", "d"}},
    };
    for (const ParseCase& Case : Cases) {
        TMvLogRecord Read;
        EXPECT_EQ(ParseLogLine(Case.Line, Read), Case.Parses) << Case.Line;
        if (Case.Parses) {
            EXPECT_EQ(Read, Case.Record) << Case.Line;
        }
    }
}

TEST(LogText, ReadsEveryKindOfLineBreakAndSkipsBadLines) {
    TMvLogRecordList List;
    List.Add({"old", "", "kept"});
    List.AppendFromText("[1]>a\r\n[2]>b\rjunk\n[3]>c\n\n[4]>d");
    ASSERT_EQ(List.Count(), 5u);
    EXPECT_EQ(List[0].Description, "kept");
    EXPECT_EQ(List[1].Description, "a");
    EXPECT_EQ(List[2].Description, "b");
    EXPECT_EQ(List[3].Description, "c");
    EXPECT_EQ(List[4].Description, "d");
    EXPECT_EQ(List.ToText(), "[old]>kept\r\n[1]>a\r\n[2]>b\r\n[3]>c\r\n[4]>d\r\n");
}

TMvLogRecordList TwelveCharRecords(int Count) {
    // "[t]>" + 6 characters + CR LF = 12 characters a line
    TMvLogRecordList List;
    for (int I = 0; I < Count; ++I)
        List.Add({"t", "", "entry" + std::to_string(I)});
    return List;
}

TEST(LogSizeLimit, TrimsToTheNewestLinesThatReachTheLimit) {
    struct Case {
        std::size_t Limit;
        int Records;
        std::size_t Kept;
    };
    const Case Cases[] = {
        {20, 3, 2}, // 12 + 12 reaches 20: the two newest stay
        {24, 3, 2}, // exactly reached
        {25, 3, 3}, // not reached with two, three remain
        {12, 3, 1}, {11, 3, 1}, {0, 3, 3}, {1000, 3, 3}, {20, 1, 1}, {20, 0, 0},
    };
    for (const Case& C : Cases) {
        TMvLogRecordList List = TwelveCharRecords(C.Records);
        ASSERT_TRUE(C.Records == 0 || FormatLogLine(List[0]).size() == 12u);
        List.ApplySizeLimit(C.Limit);
        ASSERT_EQ(List.Count(), C.Kept) << "limit " << C.Limit << ", records " << C.Records;
        if (C.Kept > 0) {
            EXPECT_EQ(List[C.Kept - 1].Description, "entry" + std::to_string(C.Records - 1));
        }
    }
}

TEST(LogSizeLimit, CountsTheDoubledGreaterSigns) {
    TMvLogRecordList List;
    List.Add({"t", "", "older"});
    List.Add({"t", ">>>>", ""}); // written "[t]>>>>>>>>>" + CR LF: 14 characters
    TMvLogRecordList Copy = List;
    Copy.ApplySizeLimit(15);
    EXPECT_EQ(Copy.Count(), 2u);
    List.ApplySizeLimit(14);
    ASSERT_EQ(List.Count(), 1u);
    EXPECT_EQ(List[0].Title, ">>>>");
}

TEST(LogSizeLimit, KeepsOneRecordLongerThanTheLimit) {
    TMvLogRecordList List;
    List.Add({"t", "", "short"});
    List.Add({"t", "", std::string(100, 'x')});
    EXPECT_TRUE(List.ApplySizeLimit(20));
    ASSERT_EQ(List.Count(), 1u);
    EXPECT_EQ(List[0].Description.size(), 100u);
    EXPECT_FALSE(List.ApplySizeLimit(20));
}

TEST(LogRecordList, DeleteChecksItsIndex) {
    TMvLogRecordList List = TwelveCharRecords(2);
    List.Delete(0);
    ASSERT_EQ(List.Count(), 1u);
    EXPECT_EQ(List[0].Description, "entry1");
    EXPECT_THROW(List.Delete(1), std::out_of_range);
}

} // namespace
