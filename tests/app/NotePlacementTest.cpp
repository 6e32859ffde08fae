// New note windows cascade from the window the user worked in.
#include "app/NotePlacement.h"

#include <gtest/gtest.h>

#include <climits>

using mv::app::CascadeFrom;

TEST(NotePlacement, CascadesInsideTheWorkAreaAndStartsAgainAtItsCorner) {
    const TTopicRect Work{0, 0, 1280, 1000};
    struct Case {
        TTopicRect From;
        TTopicRect Expected;
    };
    const Case Cases[] = {
        // One step right and down, the new window's own size.
        {{100, 80, 500, 300}, {126, 106, 637, 379}},
        {{0, 0, 637, 379}, {26, 26, 637, 379}},
        // Would stick out at the right or the bottom: back to the corner.
        {{640, 80, 637, 379}, {0, 0, 637, 379}},
        {{100, 600, 637, 379}, {0, 0, 637, 379}},
        // Exactly at the edge still fits.
        {{617, 595, 637, 379}, {643, 621, 637, 379}},
        // Off to the left or top (another monitor, a bad stored rectangle).
        {{-500, 10, 637, 379}, {0, 0, 637, 379}},
        {{INT_MAX, INT_MAX, 637, 379}, {0, 0, 637, 379}},
    };
    for (const Case& C : Cases) {
        const TTopicRect R = CascadeFrom(C.From, 637, 379, 26, Work);
        EXPECT_EQ(R.X, C.Expected.X) << C.From.X << "," << C.From.Y;
        EXPECT_EQ(R.Y, C.Expected.Y) << C.From.X << "," << C.From.Y;
        EXPECT_EQ(R.W, C.Expected.W);
        EXPECT_EQ(R.H, C.Expected.H);
    }
}

TEST(NotePlacement, AWorkAreaThatDoesNotStartAtZeroIsRespected) {
    const TTopicRect Work{200, 30, 1000, 700};
    const TTopicRect R = CascadeFrom({210, 40, 600, 300}, 600, 300, 20, Work);
    EXPECT_EQ(R.X, 230);
    EXPECT_EQ(R.Y, 60);
    const TTopicRect Back = CascadeFrom({700, 40, 600, 300}, 600, 300, 20, Work);
    EXPECT_EQ(Back.X, 200);
    EXPECT_EQ(Back.Y, 30);
}
