// The log view's bound follows the log file's size rule.
#include "app/LogLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using mv::app::TBoundedLines;

TEST(BoundedLines, KeepsTheNewestLinesThatFirstReachTheLimit) {
    struct Case {
        std::size_t Limit, Slack;
        std::vector<std::size_t> Lengths; // added in order
        std::vector<std::size_t> Dropped; // lines dropped after each
        std::size_t Lines, Characters;    // at the end
    };
    const Case Cases[] = {
        // Without slack, the log file's rule: lines of 10 characters count 12,
        // and a third line with a limit of 20 leaves the two newest.
        {20, 0, {10, 10, 10}, {0, 0, 1}, 2, 24},
        // One line longer than the limit stays alone.
        {20, 0, {10, 50}, {0, 1}, 1, 52},
        {20, 0, {50, 1}, {0, 0}, 2, 55},
        // Exactly at the limit: the older line is not needed any more.
        {24, 0, {10, 10, 10}, {0, 0, 1}, 2, 24},
        // No limit keeps everything.
        {0, 0, {10, 10, 10}, {0, 0, 0}, 3, 36},
        // With slack, nothing goes until the lines pass limit + slack, then
        // everything the rule lets go at once.
        {24, 24, {10, 10, 10, 10, 10}, {0, 0, 0, 0, 3}, 2, 24},
        {24, 24, {10, 10, 10, 10}, {0, 0, 0, 0}, 4, 48},
    };
    for (const Case& C : Cases) {
        TBoundedLines Bound(C.Limit, C.Slack);
        for (std::size_t I = 0; I < C.Lengths.size(); ++I) {
            const auto Drop = Bound.Add(C.Lengths[I]);
            EXPECT_EQ(Drop.Lines, C.Dropped[I]) << "limit " << C.Limit << " line " << I;
            // Equal lines: the characters are the dropped lines with their breaks.
            EXPECT_EQ(Drop.Characters, Drop.Lines * (C.Lengths[0] + 2)) << "limit " << C.Limit;
        }
        EXPECT_EQ(Bound.Lines(), C.Lines) << "limit " << C.Limit;
        EXPECT_EQ(Bound.Characters(), C.Characters) << "limit " << C.Limit;
    }
}

TEST(BoundedLines, DroppedCharactersAreExactlyTheOldestLinesWithTheirBreaks) {
    TBoundedLines Bound(30, 0);
    Bound.Add(3);                    // 5
    Bound.Add(20);                   // 22
    const auto Drop = Bound.Add(25); // 27: the newest alone does not make 30
    EXPECT_EQ(Drop.Lines, 1u);
    EXPECT_EQ(Drop.Characters, 5u);
    EXPECT_EQ(Bound.Characters(), 49u);
}

TEST(BoundedLines, ALongSessionStaysTheSameSize) {
    TBoundedLines Bound(64000, 16000);
    std::size_t MaxCharacters = 0;
    for (int I = 0; I < 100000; ++I) {
        Bound.Add(20 + I % 40);
        if (I > 10000) MaxCharacters = std::max(MaxCharacters, Bound.Characters());
    }
    EXPECT_GE(Bound.Characters(), 64000u);
    EXPECT_LE(MaxCharacters, 64000u + 16000u);
}
