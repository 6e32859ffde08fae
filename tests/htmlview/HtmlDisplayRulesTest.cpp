// The viewer's window-free rules: clamping, bar choice, auto-scroll steps, wheel, fragments,
// META refresh and link kinds.
#include <gtest/gtest.h>

#include "htmlview/HtmlDisplayRules.h"

TEST(HtmlDisplayRules, ScrollPositionsStayInsideTheDocument) {
    struct Case {
        int64_t V;
        int32_t Doc, Panel, Want;
    } cases[] = {
        {50, 1000, 200, 50},
        {-5, 1000, 200, 0},
        {900, 1000, 200, 800},
        {10, 100, 200, 0},
        {0, 0, 200, 0},
        {5000000000LL, 3000000, 200, 2999800},
        {-5000000000LL, 3000000, 200, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClampScroll(c.V, c.Doc, c.Panel), c.Want) << c.V << " in " << c.Doc << "/" << c.Panel;
}

TEST(HtmlDisplayRules, TheWheelMovesSixtyPixelsANotchAndClampsLikeTheKeys) {
    EXPECT_EQ(WheelTarget(100, -120, 1000, 200), 160);
    EXPECT_EQ(WheelTarget(100, 120, 1000, 200), 40);
    EXPECT_EQ(WheelTarget(790, -120, 1000, 200), 800); // not past the last page
    EXPECT_EQ(WheelTarget(20, 240, 1000, 200), 0);
    EXPECT_EQ(WheelTarget(0, -120, 100, 200), 0); // a document shorter than the panel
}

TEST(HtmlDisplayRules, LargeChangeIsNeverBelowOne) {
    EXPECT_EQ(VerticalLargeChange(300), 284);
    EXPECT_EQ(VerticalLargeChange(16), 1);
    EXPECT_EQ(VerticalLargeChange(5), 1);
    EXPECT_EQ(VerticalLargeChange(-3), 1);
    EXPECT_EQ(HorizontalLargeChange(10), 1);
    EXPECT_EQ(HorizontalLargeChange(120), 100);
}

TEST(HtmlDisplayRules, ScrollBarsFollowTheDocumentSize) {
    using S = THvScrollStyle;
    struct Case {
        S Style;
        bool Always;
        int32_t Dh, Dw;
        bool H, V, Needed;
    } cases[] = {
        {S::ssBoth, false, 100, 100, false, false, false}, // fits
        {S::ssBoth, false, 1000, 100, false, true, true},  // tall
        {S::ssBoth, false, 100, 1000, true, false, false}, // wide
        {S::ssBoth, false, 1000, 1000, true, true, true},  // both
        {S::ssVertical, false, 1000, 1000, false, true, true},
        {S::ssNone, false, 1000, 1000, false, false, false},
        {S::ssHorizontal, false, 1000, 1000, true, false, false},
        {S::ssVertical, true, 100, 100, false, true, false}, // always shown, disabled
        {S::ssBoth, false, 1000, 290, true, true, true},     // the bar itself makes it too narrow
    };
    for (const auto& c : cases) {
        const TBarChoice r = ChooseScrollBars(c.Style, c.Always, 300, 300, 1, 16, c.Dh, c.Dw);
        EXPECT_EQ(r.Horizontal, c.H) << static_cast<int>(c.Style) << " " << c.Dh << "x" << c.Dw;
        EXPECT_EQ(r.Vertical, c.V) << static_cast<int>(c.Style) << " " << c.Dh << "x" << c.Dw;
        EXPECT_EQ(r.Needed, c.Needed) << static_cast<int>(c.Style) << " " << c.Dh << "x" << c.Dw;
    }
}

TEST(HtmlDisplayRules, PanningAndSelectionStepsAndWhenTheLoopStops) {
    EXPECT_EQ(PanStep(-61), -32);
    EXPECT_EQ(PanStep(-21), -8);
    EXPECT_EQ(PanStep(0), 0);
    EXPECT_EQ(PanStep(21), 8);
    EXPECT_EQ(PanStep(61), 32);
    EXPECT_EQ(SelectScrollStep(-16, 200, 16), -128);
    EXPECT_EQ(SelectScrollStep(0, 200, 16), -16);
    EXPECT_EQ(SelectScrollStep(201, 200, 16), 16);
    EXPECT_EQ(SelectScrollStep(216, 200, 16), 128);
    // Selecting goes on only while the button is down and the mouse is outside.
    EXPECT_TRUE(AutoScrollContinues(true, true, false, -3, 200, 0));
    EXPECT_FALSE(AutoScrollContinues(true, false, false, -3, 200, 0));
    EXPECT_FALSE(AutoScrollContinues(true, true, false, 50, 200, 0));
    EXPECT_TRUE(AutoScrollContinues(true, true, false, 201, 200, 0));
    // Panning goes on while the mouse is 21 pixels or more from the anchor.
    EXPECT_TRUE(AutoScrollContinues(false, false, true, 121, 200, 100));
    EXPECT_FALSE(AutoScrollContinues(false, false, true, 120, 200, 100));
}

TEST(HtmlDisplayRules, FragmentsRefreshAndLinkKinds) {
    std::string ref = "page.htm#Intro#x";
    EXPECT_EQ(SplitFragment(ref), "Intro#x");
    EXPECT_EQ(ref, "page.htm");
    std::string plain = "page.htm";
    EXPECT_EQ(SplitFragment(plain), "");
    EXPECT_EQ(plain, "page.htm");
    std::string longRef = "a#" + std::string(300, 'n');
    EXPECT_EQ(SplitFragment(longRef).size(), 255u);

    int32_t delay = -1;
    std::string url;
    EXPECT_TRUE(ParseRefresh("5; URL=Next.htm", delay, url));
    EXPECT_EQ(delay, 5);
    EXPECT_EQ(url, "Next.htm");
    EXPECT_TRUE(ParseRefresh("0", delay, url));
    EXPECT_EQ(delay, 1);
    EXPECT_EQ(url, "");
    EXPECT_FALSE(ParseRefresh("soon; url=x", delay, url));
    EXPECT_FALSE(ParseRefresh("", delay, url));

    struct Case {
        const char* Path;
        TLinkKind Kind;
    } cases[] = {
        {"C:\\a\\b.htm", TLinkKind::Html}, {"b.HTML", TLinkKind::Html},         {"b.htmlx", TLinkKind::Html},
        {"p.jpeg", TLinkKind::Image},      {"p.GIF", TLinkKind::Image},         {"p.png", TLinkKind::Image},
        {"notes.txt", TLinkKind::Other},   {"dir.htm\\file", TLinkKind::Other}, {"noext", TLinkKind::Other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LinkKindOf(c.Path), c.Kind) << c.Path;
}
