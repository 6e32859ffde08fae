// The link click rule: down and up of one button on one range.
#include "richedit/MvLinkClick.h"

#include <gtest/gtest.h>

using namespace mv::richedit;

TEST(LinkClick, DownAndUpOnTheSameLinkClicksOnce) {
    TLinkClickTracker T;
    T.ButtonDown({4, 20}, TLinkButton::Left);
    auto Hit = T.ButtonUp({4, 20}, TLinkButton::Left);
    ASSERT_TRUE(Hit.has_value());
    EXPECT_EQ(*Hit, (TLinkRange{4, 20}));
    // A second up without a down is not a click.
    EXPECT_FALSE(T.ButtonUp({4, 20}, TLinkButton::Left).has_value());
}

TEST(LinkClick, DifferentLinkOrButtonClicksNothingAndForgets) {
    TLinkClickTracker T;
    T.ButtonDown({4, 20}, TLinkButton::Left);
    EXPECT_FALSE(T.ButtonUp({30, 40}, TLinkButton::Left).has_value());
    EXPECT_EQ(T.Remembered(), (TLinkRange{-1, -1}));

    T.ButtonDown({4, 20}, TLinkButton::Right);
    EXPECT_FALSE(T.ButtonUp({4, 20}, TLinkButton::Left).has_value());

    T.ButtonDown({4, 20}, TLinkButton::Right);
    EXPECT_TRUE(T.ButtonUp({4, 20}, TLinkButton::Right).has_value());
}

TEST(LinkClick, UpWithoutDownIsNoClick) {
    TLinkClickTracker T;
    EXPECT_FALSE(T.ButtonUp({-1, -1}, TLinkButton::Left).has_value());
}
