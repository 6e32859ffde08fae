// Tag words on dot-lines renamed, merged and taken out: exactly the words, nothing else.
#include "app/TagEvents.h"
#include "app/TagRewrite.h"

#include <gtest/gtest.h>

using namespace mv::app;

namespace {

struct TCase {
    const char* What;
    std::string Text, Old, New, Expected;
};

std::string Rewrite(const std::string& Text, const std::string& Old, const std::string& New,
                    const TTagEventTable& Events) {
    return ApplyTextEdits(Text, PlanTagRewrite(Text, Old, New, Events));
}

} // namespace

TEST(TagRewrite, RenamesMergesAndDeletesWholeTagWordsOnDotLines) {
    TTagEventTable Events;
    Events.RegisterCommand(
        "todo", "savetag", [](TObject*) {}, &Events, "plug");
    const std::vector<TCase> Cases = {
        // Renames: every whole word, any case, any line; other words and lines stay.
        {"one word", "Plan\r.old\rend", "old", "new", "Plan\r.new\rend"},
        {"case ignored", ".OLD work\r", "old", "New", ".New work\r"},
        {"among others", ".a old.b  old\r\nx", "Old", "n", ".a n.b  n\r\nx"},
        {"only whole words", ".older bold old.\rold in the text .old", "old", "n",
         ".older bold n.\rold in the text .old"},
        {"not in the text", "old .old\r .old", "old", "n", "old .old\r .old"},
        {"quoted word", ".\"old\" \"my old\"", "my old", "new", ".\"old\" new"},
        {"a name to quote", ".x old", "old", "two words", ".x \"two words\""},
        {"a dot and a quote", ".old", "old", "a.b\"c", ".\"a.b\"\"c\""},
        {"a plug-in's line", ".todo old\r.old", "old", "n", ".todo old\r.n"},
        {"LF and CR LF", "a\n.old\r\n.old", "old", "n", "a\n.n\r\n.n"},
        // Merges: the note keeps one copy of the word.
        {"merge beside", ".old new", "old", "new", ".new"},
        {"merge other line", ".old x\r.new", "old", "new", ".x\r.new"},
        {"merge twice", ".old\r.old new", "old", "new", ".new"},
        {"no merge in this note", ".old\r.old", "old", "new", ".new\r.new"},
        {"merge whole line", "a\r.old\r.new\rb", "old", "new", "a\r.new\rb"},
        {"case only", ".Old old", "old", "OLD", ".OLD OLD"},
        // Deletes: the word with one separator; a line left without tags goes with its break.
        {"first", ".old work", "old", "", ".work"},
        {"middle", ".a old.b", "old", "", ".a.b"},
        {"last", ".a.b old", "old", "", ".a.b"},
        {"first two", ".old old x", "old", "", ".x"},
        {"alone", "a\r.old\rb", "old", "", "a\rb"},
        {"alone last", "a\r\n.old", "old", "", "a"},
        {"two lines", "a\r.old\r.old", "old", "", "a"},
        {"whole text", ".old", "old", "", ""},
        {"with a trailing dot", "x\r.old.", "old", "", "x"},
        {"nothing to do", "plain text\r.other", "old", "", "plain text\r.other"},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(Rewrite(C.Text, C.Old, C.New, Events), C.Expected) << C.What;
}

// The edits are in text order and do not overlap, so a rich edit control can take them from
// the last to the first by selection.
TEST(TagRewrite, EditsAreOrderedAndApart) {
    TTagEventTable Events;
    const std::string Text = "t\r.old a old\r.old\rx .old\r.b old.c old";
    for (const char* New : {"", "n", "a"}) {
        const auto Edits = PlanTagRewrite(Text, "old", New, Events);
        ASSERT_FALSE(Edits.empty());
        for (std::size_t I = 1; I < Edits.size(); ++I)
            EXPECT_LE(Edits[I - 1].Offset + Edits[I - 1].Length, Edits[I].Offset) << New;
        EXPECT_LE(Edits.back().Offset + Edits.back().Length, Text.size());
    }
}
