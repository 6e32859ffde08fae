// The printing page loop: pages follow progress and a stalled page ends it.
#include "richedit/MvPrintLoop.h"

#include <gtest/gtest.h>

#include <vector>

using namespace mv::richedit;

TEST(PrintLoop, PrintsOnePagePerStepUntilTheEnd) {
    std::vector<int> Starts;
    int NewPages = 0;
    const auto R = RunPrintLoop(
        250,
        [&](int From) {
            Starts.push_back(From);
            return From + 100 > 250 ? 250 : From + 100;
        },
        [&] { ++NewPages; });
    EXPECT_EQ(R.Pages, 3);
    EXPECT_FALSE(R.Stalled);
    EXPECT_EQ(Starts, (std::vector<int>{0, 100, 200}));
    EXPECT_EQ(NewPages, 2);
}

TEST(PrintLoop, StopsWhenAPageMakesNoProgress) {
    int Calls = 0;
    const auto R = RunPrintLoop(
        500,
        [&](int From) {
            ++Calls;
            return From < 100 ? 100 : 100;
        },
        [] {});
    EXPECT_TRUE(R.Stalled);
    EXPECT_EQ(Calls, 2);
    EXPECT_EQ(R.Pages, 2);
}

TEST(PrintLoop, EmptyTextAndMinusOneEndAtOnce) {
    EXPECT_EQ(RunPrintLoop(
                  0, [](int) { return 0; }, [] {})
                  .Pages,
              1);
    const auto R = RunPrintLoop(
        100, [](int) { return -1; }, [] {});
    EXPECT_EQ(R.Pages, 1);
    EXPECT_FALSE(R.Stalled);
}
