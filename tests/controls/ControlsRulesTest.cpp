// The window-free rules of the periphery controls: the checked combo box's text and
// the speed button's glyph and caption layout.
#include "controls/MvButtonLayout.h"
#include "controls/MvCheckedText.h"
#include "controls/MvLibException.h"

#include <gtest/gtest.h>

namespace {

// ---- checked text ----

TEST(CheckedText, TokensAreAddedOnceAndRemovedWherePresent) {
    struct Step {
        char Op; // '+' add, '-' remove
        const char* Item;
        bool Changed;
        const char* Text;
    } steps[] = {
        {'+', "a", true, "a"},
        {'+', "b", true, "a,b"},
        {'+', "a", false, "a,b"}, // already there
        {'-', "a", true, "b"},
        {'+', "a", true, "b,a"},
        {'+', "c", true, "b,a,c"},
        {'-', "a", true, "b,c"},
        {'-', "x", false, "b,c"},
        {'-', "c", true, "b"},
        {'-', "b", true, ""},
        {'-', "b", false, ""},
        {'+', "Work", true, "Work"},
        {'+', "work", true, "Work,work"}, // case-sensitive
        {'-', "Wor", false, "Work,work"}, // whole tokens only
    };
    std::string text;
    for (const Step& s : steps) {
        const bool changed =
            s.Op == '+' ? CheckedTextAdd(s.Item, text, ',') : CheckedTextRemove(s.Item, text, ',');
        EXPECT_EQ(changed, s.Changed) << s.Op << s.Item;
        EXPECT_EQ(text, s.Text) << s.Op << s.Item;
    }
}

TEST(CheckedText, RemovingFromTheMiddleStartAndEnd) {
    struct Case {
        const char* Text;
        const char* Item;
        const char* Expected;
    } cases[] = {
        {"a,b,c", "b", "a,c"},     {"a,b,c", "a", "b,c"}, {"a,b,c", "c", "a,b"},
        {"ab,b,bc", "b", "ab,bc"}, {"x;y", "y", "x"},
    };
    for (const Case& c : cases) {
        std::string text = c.Text;
        const char delimiter = std::string(c.Text).find(';') != std::string::npos ? ';' : ',';
        EXPECT_TRUE(CheckedTextRemove(c.Item, text, delimiter)) << c.Text;
        EXPECT_EQ(text, c.Expected) << c.Text;
    }
}

TEST(CheckedText, OnlyAddingIsLimitedTo256Characters) {
    // A text well past 256 characters, as Select all may make it.
    std::vector<std::string> items;
    for (int i = 0; i < 40; ++i)
        items.push_back("item-number-" + std::to_string(i));
    std::string text = CheckedTextJoin(items, ',');
    ASSERT_GT(text.size(), 400u);
    // Tokens far beyond the 256th character are still found and removed.
    EXPECT_TRUE(CheckedTextHasToken("item-number-39", text, ','));
    const std::string before = text;
    EXPECT_TRUE(CheckedTextRemove("item-number-38", text, ','));
    EXPECT_EQ(text.size(), before.size() - std::string(",item-number-38").size());
    EXPECT_EQ(text.substr(text.size() - 14), "item-number-39");
    // Adding one more raises and leaves the text alone; re-adding a present token does not.
    std::string full = text;
    EXPECT_THROW(CheckedTextAdd("another", full, ','), EMvLibException);
    EXPECT_EQ(full, text);
    EXPECT_FALSE(CheckedTextAdd("item-number-0", full, ','));

    std::string nearly(250, 'x');
    EXPECT_TRUE(CheckedTextAdd("abcd", nearly, ',')); // 250 + 4 + 1 = 255
    std::string limit(250, 'x');
    try {
        CheckedTextAdd("abcde", limit, ',');
        ADD_FAILURE() << "no exception";
    } catch (const EMvLibException& e) {
        EXPECT_STREQ(e.what(), "Too many items selected");
    }
}

TEST(CheckedText, SplitAndJoin) {
    EXPECT_TRUE(CheckedTextSplit("", ',').empty());
    EXPECT_EQ(CheckedTextSplit("a,,b", ','), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(CheckedTextJoin({"a", "b"}, ';'), "a;b");
    EXPECT_TRUE(CheckedTextHasToken("a,b", "a,b", ';')); // the whole text counts
    EXPECT_FALSE(CheckedTextHasToken("a", "a,b", ';'));
}

// ---- glyph layout ----

TEST(ButtonLayout, SpreadMarginAndSpacingShareTheFreeRoomInThree) {
    TMvLayoutInput in;
    in.Width = 76;
    in.Height = 24;
    in.Glyph = {16, 16};
    in.Margin = -1;
    in.Spacing = -1;
    in.Layout = TButtonLayout::blGlyphLeft;
    const TMvLayoutResult r = PlaceButtonContent(in, {30, 13});
    EXPECT_EQ(r.Margin, 10);
    EXPECT_EQ(r.Spacing, 10);
    EXPECT_EQ(r.GlyphX, 10);
    EXPECT_EQ(r.TextLeft, 36);
    EXPECT_EQ(r.TextRight, 66);
    EXPECT_EQ(r.GlyphY, 4);
    EXPECT_EQ(r.TextTop, 24 / 2 - 13 / 2);
}

TEST(ButtonLayout, EachLayoutPlacesGlyphAndText) {
    struct Case {
        TButtonLayout Layout;
        int Margin, Spacing;
        int GlyphX, GlyphY, TextLeft, TextTop;
    } cases[] = {
        // 60 x 40 client, 16 x 16 glyph, 20 x 10 text.
        {TButtonLayout::blGlyphLeft, 4, 2, 4, 12, 22, 15},
        {TButtonLayout::blGlyphRight, 4, 2, 40, 12, 18, 15},
        {TButtonLayout::blGlyphTop, 3, 1, 22, 3, 20, 20},
        {TButtonLayout::blGlyphBottom, 3, 1, 22, 21, 20, 10},
        // Margin -1 with a spacing centres glyph + spacing + text along the layout.
        {TButtonLayout::blGlyphTop, -1, 2, 22, 6, 20, 24},
        {TButtonLayout::blGlyphLeft, -1, 4, 10, 12, 30, 15},
        // A margin with spacing -1: the text is centred in what is left.
        {TButtonLayout::blGlyphLeft, 4, -1, 4, 12, 30, 15},
    };
    for (const Case& c : cases) {
        TMvLayoutInput in;
        in.Width = 60;
        in.Height = 40;
        in.Glyph = {16, 16};
        in.Margin = c.Margin;
        in.Spacing = c.Spacing;
        in.Layout = c.Layout;
        const TMvLayoutResult r = PlaceButtonContent(in, {20, 10});
        const int layout = static_cast<int>(c.Layout);
        EXPECT_EQ(r.GlyphX, c.GlyphX) << layout << " " << c.Margin << " " << c.Spacing;
        EXPECT_EQ(r.GlyphY, c.GlyphY) << layout << " " << c.Margin << " " << c.Spacing;
        EXPECT_EQ(r.TextLeft, c.TextLeft) << layout << " " << c.Margin << " " << c.Spacing;
        EXPECT_EQ(r.TextTop, c.TextTop) << layout << " " << c.Margin << " " << c.Spacing;
    }
}

TEST(ButtonLayout, NoCaptionMeansNoSpacingAndTheMarkTakesRoom) {
    TMvLayoutInput in;
    in.Width = 40;
    in.Height = 30;
    in.Glyph = {16, 16};
    in.Margin = -1;
    in.Spacing = 5;
    in.Layout = TButtonLayout::blGlyphTop;
    TMvLayoutResult r = PlaceButtonContent(in, {0, 0});
    EXPECT_EQ(r.Spacing, 0);
    EXPECT_EQ(r.GlyphY, 7); // (30 - 16) / 2
    EXPECT_EQ(r.GlyphX, 12);

    // A mark beside a glyph on top: the glyph grows by 6 and moves left by 3.
    in.Mark = true;
    r = PlaceButtonContent(in, {0, 0});
    EXPECT_EQ(r.GlyphX, 20 - 11);

    // Mark room in the text room of a horizontal layout, and never below zero.
    TMvLayoutInput h;
    h.Width = 50;
    h.Height = 20;
    h.Glyph = {16, 16};
    h.Margin = 2;
    h.Spacing = 3;
    h.Mark = true;
    h.Layout = TButtonLayout::blGlyphLeft;
    EXPECT_EQ(ButtonTextRoom(h).cx, 50 - 16 - 2 - 3 - 9);
    h.Width = 10;
    EXPECT_EQ(ButtonTextRoom(h).cx, 0);
    TMvLayoutInput v;
    v.Width = 30;
    v.Height = 40;
    v.Glyph = {16, 16};
    v.Margin = -1;
    v.Spacing = -1;
    EXPECT_EQ(ButtonTextRoom(v).cy, 24);
    EXPECT_EQ(ButtonTextRoom(v).cx, 30);
}

} // namespace
