// Topic addresses, link following and history of the note windows.
#include "app/LinkTarget.h"
#include "app/NoteHistory.h"
#include "app/NoteRegistry.h"
#include "app/TopicAddress.h"

#include <gtest/gtest.h>

using namespace mv::app;

TEST(TopicAddress, ShowTopicRequestsSplitAtTheFirstColonAndMapDefault) {
    struct Case {
        const char* Title;
        const char* Namespace;
        TTopicAddress Expected;
    } Cases[] = {
        {"work:plan", "x", {"work", "plan"}},
        {"DEFAULT:Home", "", {"", "Home"}},
        {"Home", "default", {"", "Home"}},
        {"Home", "DeFaUlT", {"", "Home"}},
        {":plan", "work", {"", "plan"}},
        {"a:b:c", "", {"a", "b:c"}},
        {"ns:", "", {"ns", ""}},
        {"plain", "notes", {"notes", "plain"}},
        {"defaults:x", "", {"defaults", "x"}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ResolveTopicRequest(C.Title, C.Namespace), C.Expected) << C.Title << " / " << C.Namespace;
    EXPECT_EQ(MakeTopicAddress("", "Home"), ":Home");
    EXPECT_EQ(NamespaceDisplayName(""), "Default");
    EXPECT_EQ(NamespaceDisplayName("work"), "work");
}

namespace {
// Double-clicks the word the control would select: [Start, Start + Length).
TLinkTarget Click(const std::string& Text, const std::string& Selected, std::size_t Occurrence = 0,
                  const char* OwnNamespace = "work") {
    std::size_t At = Text.find(Selected);
    while (Occurrence-- > 0)
        At = Text.find(Selected, At + 1);
    return ResolveLinkTarget(Text, static_cast<std::int32_t>(At), static_cast<std::int32_t>(Selected.size()),
                             OwnNamespace);
}
} // namespace

TEST(LinkTarget, BareWordLinksToTheEditorsNamespaceAndDropsTrailingBlank) {
    const std::string Text = "Go home now";
    const TLinkTarget R = Click(Text, "home ");
    ASSERT_TRUE(R.Follow);
    EXPECT_EQ(R.Title, "home");
    EXPECT_EQ(R.Namespace, "work");
    EXPECT_EQ(Text.substr(R.SelStart, R.SelLength), "home");
}

TEST(LinkTarget, EitherHalfOfNamespaceAndTitleMarksTheWholeAddress) {
    const std::string Text = "see notes:plan, then";
    for (const char* Half : {"notes", "plan"}) {
        const TLinkTarget R = Click(Text, Half);
        ASSERT_TRUE(R.Follow) << Half;
        EXPECT_EQ(R.Namespace, "notes") << Half;
        EXPECT_EQ(R.Title, "plan") << Half;
        EXPECT_EQ(Text.substr(R.SelStart, R.SelLength), "notes:plan") << Half;
    }
}

TEST(LinkTarget, ColonBeforeAWordMeansTheDefaultNamespace) {
    const std::string Text = "open :plan today";
    // Double-click on the colon itself.
    TLinkTarget R = Click(Text, ":");
    ASSERT_TRUE(R.Follow);
    EXPECT_EQ(ResolveTopicRequest(R.Title, R.Namespace), (TTopicAddress{"", "plan"}));
    EXPECT_EQ(Text.substr(R.SelStart, R.SelLength), ":plan");
    // Double-click on the word after it.
    R = Click(Text, "plan");
    ASSERT_TRUE(R.Follow);
    EXPECT_EQ(ResolveTopicRequest(R.Title, R.Namespace), (TTopicAddress{"", "plan"}));
    // A selection that starts with the colon keeps it in the word.
    R = Click(Text, ":plan ");
    ASSERT_TRUE(R.Follow);
    EXPECT_EQ(R.Title, ":plan");
    EXPECT_EQ(ResolveTopicRequest(R.Title, R.Namespace), (TTopicAddress{"", "plan"}));
}

TEST(LinkTarget, WordCharactersIncludeDigitsUnderscoreAndHyphen) {
    const std::string Text = "x my_to-do2.";
    const TLinkTarget R = Click(Text, "my_to-do2.");
    ASSERT_TRUE(R.Follow);
    EXPECT_EQ(R.Title, "my_to-do2");
}

TEST(LinkTarget, NothingToFollow) {
    EXPECT_FALSE(Click("two  blanks", " ").Follow);
    EXPECT_FALSE(Click("(bracket) x", "(bracket").Follow);
    EXPECT_FALSE(Click("", "").Follow);
    // Selections running past the text are clamped, not read out of bounds.
    EXPECT_FALSE(ResolveLinkTarget("abc", 10, 5, "").Follow);
    const TLinkTarget R = ResolveLinkTarget("abc", 0, 99, "");
    ASSERT_TRUE(R.Follow);
    EXPECT_EQ(R.Title, "abc");
}

TEST(LinkTarget, WordAtTheStartAndEndOfTheText) {
    TLinkTarget R = Click("ns:", "ns");
    ASSERT_TRUE(R.Follow);
    EXPECT_EQ(R.Namespace, "ns");
    EXPECT_EQ(R.Title, "");
    R = Click(":x", "x");
    ASSERT_TRUE(R.Follow);
    EXPECT_EQ(R.Namespace, "");
    EXPECT_EQ(R.SelStart, 0);
    EXPECT_EQ(R.SelLength, 2);
}

TEST(LinkTarget, AtAPositionTheWordThereOrEndingThereWhateverWasSelected) {
    // Position -> what it opens and marks: a word's last character and the end of its
    // paragraph count for the word, as a click on its right half or past the line's end does.
    const std::string Text = "word Ideas.\rApples\rPears\rPlums\rSee notes:plan or :x  y";
    struct Case {
        std::size_t At;
        const char* Namespace;
        const char* Title;
        const char* Marked;
    } Cases[] = {
        {Text.find("deas"), "work", "Ideas", "Ideas"},
        {Text.find("."), "work", "Ideas", "Ideas"},
        {Text.find("Apples"), "work", "Apples", "Apples"},
        {Text.find("\rPears"), "work", "Apples", "Apples"},
        {Text.find("\rPlums"), "work", "Pears", "Pears"},
        {Text.find("\rSee"), "work", "Plums", "Plums"},
        {Text.find("otes"), "notes", "plan", "notes:plan"},
        {Text.find(":plan"), "notes", "plan", "notes:plan"},
        {Text.find(":x"), "", "x", ":x"},
        {Text.size(), "work", "y", "y"},
    };
    for (const Case& C : Cases) {
        const TLinkTarget R = ResolveLinkAt(Text, static_cast<std::int32_t>(C.At), "work");
        ASSERT_TRUE(R.Follow) << C.At;
        EXPECT_EQ(ResolveTopicRequest(R.Title, R.Namespace), (TTopicAddress{C.Namespace, C.Title})) << C.At;
        EXPECT_EQ(Text.substr(R.SelStart, R.SelLength), C.Marked) << C.At;
    }
    // Between two blanks, and outside the text, there is no word.
    EXPECT_FALSE(ResolveLinkAt(Text, static_cast<std::int32_t>(Text.find("  ") + 1), "work").Follow);
    EXPECT_FALSE(ResolveLinkAt(Text, -1, "work").Follow);
    EXPECT_FALSE(ResolveLinkAt("", 0, "work").Follow);
}

TEST(NoteHistory, BackForwardAndDropForward) {
    TNoteHistory H;
    H.Add(":A");
    EXPECT_FALSE(H.BackEnabled());
    H.Add(":B");
    H.Add(":C");
    EXPECT_EQ(H.Entries(), (std::vector<std::string>{":A", ":B", ":C"}));
    EXPECT_EQ(H.Index(), 2);
    EXPECT_TRUE(H.BackEnabled());
    EXPECT_FALSE(H.ForwardEnabled());

    ASSERT_TRUE(H.CanGoBack());
    EXPECT_EQ(H.BackTarget(), ":B");
    H.CommitBack();
    EXPECT_EQ(H.BackTarget(), ":A");
    H.CommitBack();
    EXPECT_EQ(H.Index(), 0);
    EXPECT_FALSE(H.BackEnabled());
    EXPECT_TRUE(H.ForwardEnabled());
    EXPECT_FALSE(H.CanGoBack());

    ASSERT_TRUE(H.CanGoForward());
    EXPECT_EQ(H.ForwardTarget(), ":B");
    H.CommitForward();
    EXPECT_EQ(H.Index(), 1);
    EXPECT_TRUE(H.BackEnabled());
    EXPECT_TRUE(H.ForwardEnabled());

    H.CommitBack();
    H.Add(":D");
    EXPECT_EQ(H.Entries(), (std::vector<std::string>{":A", ":D"}));
    EXPECT_EQ(H.Index(), 1);
    EXPECT_FALSE(H.ForwardEnabled());
}

TEST(NoteHistory, GoingToTheShownAddressChangesNothingAndCaseCounts) {
    using Strings = std::vector<std::string>;
    TNoteHistory H;
    H.Add(":Home");
    H.Add(":Home");
    EXPECT_EQ(H.Entries(), (Strings{":Home"}));
    EXPECT_FALSE(H.BackEnabled());
    EXPECT_FALSE(H.ForwardEnabled());
    // Back in the middle of the history, the shown address again: what lies ahead stays.
    H.Add(":A");
    H.Add(":B");
    H.CommitBack();
    H.Add(":A");
    EXPECT_EQ(H.Entries(), (Strings{":Home", ":A", ":B"}));
    EXPECT_EQ(H.Index(), 1);
    EXPECT_TRUE(H.BackEnabled());
    EXPECT_TRUE(H.ForwardEnabled());
    H.CommitBack();
    H.Add(":Home");
    EXPECT_EQ(H.Index(), 0);
    EXPECT_FALSE(H.BackEnabled());
    EXPECT_TRUE(H.ForwardEnabled());
    EXPECT_EQ(H.ForwardTarget(), ":A");
    H.Add("Work:x");
    H.Add("work:x");
    EXPECT_EQ(H.Entries(), (Strings{":Home", "Work:x", "work:x"}));
    EXPECT_EQ(H.Index(), 2);
}

TEST(NamespaceRegistry, LooksUpWithoutCaseAndRemovesByWindow) {
    struct FakeWindow {};
    FakeWindow Work, Def;
    TNamespaceRegistry<FakeWindow> R;
    R.Add("Work", &Work);
    R.Add("", &Def);
    R.Add("other", &Work); // a window registers once
    EXPECT_EQ(R.Count(), 2u);
    EXPECT_EQ(R.Find("WORK"), &Work);
    EXPECT_EQ(R.Find("work"), &Work);
    EXPECT_EQ(R.Find(""), &Def);
    EXPECT_EQ(R.Find("other"), nullptr);
    EXPECT_EQ(R.KeyAt(0), "Work");
    R.Remove(&Work);
    EXPECT_EQ(R.Find("work"), nullptr);
    EXPECT_EQ(R.Find(""), &Def);
}
