// The notes store's operations on topics, namespaces and tags, its lists and its search.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "store/NotesStore.h"
#include "store/StoreLists.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/store/TempFolder.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::string_literals;

// Records every event the store fires, in order.
class NotesStoreOps : public ::testing::Test {
protected:
    NotesStoreOps() : store(folder.File("notes.mvdb")) {
        store.OnNewTopic = [this](const std::string& t, const std::string& ns) {
            events.push_back("topic " + ns + ":" + t);
        };
        store.OnDeleteTopic = [this](const std::string& t, const std::string& ns) {
            events.push_back("deleted " + ns + ":" + t);
        };
        store.OnNewNamespace = [this](const std::string& t) { events.push_back("namespace " + t); };
        store.OnNewTag = [this](const std::string& t) { events.push_back("tag " + t); };
    }

    int32_t Topic(const std::string& ns, const std::string& title) {
        bool created = true;
        return store.FindTopic(ns, title, created);
    }
    int32_t Lookup(const std::string& ns, const std::string& title) {
        bool created = false;
        return store.FindTopic(ns, title, created);
    }
    void Save(int32_t id, const std::string& ns, const std::string& title, const std::string& text,
              TTopicRect rect = {}) {
        TStringStream content(text);
        store.SaveTopic(id, ns, rect, content, title);
    }
    std::string Content(int32_t id) {
        TTopicRect rect;
        auto stream = store.GetTopic(id, rect);
        return stream ? stream->DataString() : "(none)";
    }

    TTempFolder folder;
    TNotesStore store;
    std::vector<std::string> events;
};

TEST_F(NotesStoreOps, FindTopicCreatesOnceAndMatchesWithoutCase) {
    bool created = true;
    const int32_t home = store.FindTopic("", "Home", created);
    EXPECT_TRUE(created);
    EXPECT_THAT(events, ElementsAre("namespace ", "topic :Home"));
    events.clear();
    created = true;
    EXPECT_EQ(store.FindTopic("", "home", created), home);
    EXPECT_FALSE(created);
    EXPECT_EQ(store.FindTopic("", "HOME", created), home);
    EXPECT_THAT(events, IsEmpty());
}

TEST_F(NotesStoreOps, LookupWithoutCreationStillCreatesTheNamespace) {
    bool created = false;
    EXPECT_EQ(store.FindTopic("Ideas", "Nothing", created), -1);
    EXPECT_FALSE(created);
    EXPECT_THAT(events, ElementsAre("namespace Ideas"));
    EXPECT_THAT(Lines(store.ListNamespaces()), ElementsAre("Ideas=1"));
}

// Titles are stored and found exactly as typed: quotes, question marks, wildcards and text that
// looks like a number.
TEST_F(NotesStoreOps, TitlesRoundTripExactly) {
    const char* titles[] = {"O'Neil", "what?", "'?'",  "007",         "1e3", "12.50",
                            "-0",     "a_c",   "100%", "back\\slash", "x=y", "  padded  "};
    std::vector<int32_t> ids;
    for (const char* title : titles)
        ids.push_back(Topic("", title));
    for (size_t i = 0; i < std::size(titles); ++i) {
        EXPECT_EQ(Topic("", titles[i]), ids[i]) << titles[i]; // found again, not inserted again
        Save(ids[i], "", titles[i], "");
        EXPECT_EQ(Lookup("", titles[i]), ids[i]) << titles[i];
    }
    auto all = store.FindTopics("*", nullptr, "");
    ASSERT_TRUE(all);
    ASSERT_EQ(all->Count(), static_cast<int>(std::size(titles)));
    for (int i = 0; i < all->Count(); ++i) {
        const int32_t id = ListLineID(all->Get(i));
        ASSERT_GE(id, 1);
        EXPECT_EQ(ListLineTitle(all->Get(i)), titles[id - 1]);
    }
}

TEST_F(NotesStoreOps, NamesThatLookLikeNumbersAreFoundAgain) {
    const int32_t ns = store.GetNamespaceID("007");
    EXPECT_EQ(store.GetNamespaceID("007"), ns);
    EXPECT_NE(store.GetNamespaceID("7"), ns);
    const int32_t tag = store.GetTagID("1e3");
    EXPECT_EQ(store.GetTagID("1e3"), tag);
    EXPECT_NE(store.GetTagID("1000"), tag);
    EXPECT_THAT(Lines(store.ListTags()), ElementsAre("1e3=1", "1000=2"));
}

struct TWildcardCase {
    const char* Stored;
    const char* Asked;
    bool Found;
};

TEST_F(NotesStoreOps, WildcardsInTitlesMatchOnlyThemselves) {
    const TWildcardCase cases[] = {
        {"abc", "a_c", false},     {"abc", "a%", false},    {"abc", "ABC", true},   {"a_c", "a_c", true},
        {"a_c", "A_C", true},      {"100x", "100%", false}, {"100%", "100%", true}, {"a\\c", "a\\c", true},
        {"a\\c", "a\\\\c", false}, {"ab", "a", false},      {"a", "a%", false},
    };
    for (const auto& c : cases) {
        TNotesStore& s = store;
        const std::string ns = std::string("ns ") + c.Stored + " " + c.Asked;
        const int32_t id = Topic(ns, c.Stored);
        EXPECT_EQ(Lookup(ns, c.Asked) == id, c.Found) << c.Stored << " asked as " << c.Asked;
        bool created = false;
        const int32_t tag = s.GetTagID(ns + c.Stored);
        EXPECT_EQ(s.FindTag(ns + c.Asked, created) == tag, c.Found) << c.Stored << " asked as " << c.Asked;
    }
}

TEST_F(NotesStoreOps, DeleteTagDoesNotTakeAWildcardMatch) {
    store.GetTagID("abc");
    store.DeleteTag("a_c");
    EXPECT_THAT(Lines(store.ListTags()), ElementsAre("abc=1"));
    store.DeleteTag("ABC");
    EXPECT_EQ(store.ListTags(), nullptr);
}

TEST_F(NotesStoreOps, TheLowestIdWinsAmongEqualTitles) {
    const int32_t first = Topic("", "Twin");
    store.DeleteTopic(first);
    const int32_t second = Topic("", "Twin");
    // A second row of the same title, as an older file may hold: the lower id is taken.
    Save(100, "", "twin", "newer");
    Save(second, "", "Twin", "older");
    EXPECT_EQ(Lookup("", "TWIN"), second);
}

TEST_F(NotesStoreOps, SaveAndGetTopicKeepContentRectangleAndMeta) {
    const int32_t id = Topic("", "Home");
    const std::string rtf = "{\\rtf1\\ansi It's 100% \"done\"?\\par}";
    Save(id, "", "Home", rtf, {10, 20, 300, 200});
    TTopicRect rect;
    auto content = store.GetTopic(id, rect);
    ASSERT_TRUE(content);
    EXPECT_EQ(content->DataString(), rtf);
    EXPECT_EQ(rect.X, 10);
    EXPECT_EQ(rect.Y, 20);
    EXPECT_EQ(rect.W, 300);
    EXPECT_EQ(rect.H, 200);

    auto meta = store.GetTopicMeta(id); // saving the content cleared the meta
    ASSERT_TRUE(meta);
    EXPECT_EQ(meta->DataString(), "");
    TStringStream lines("splitter_pos=180\r\n");
    store.SetTopicMeta(id, lines);
    EXPECT_EQ(store.GetTopicMeta(id)->DataString(), "splitter_pos=180\r\n");
    TStringStream none;
    store.SetTopicMeta(id, none);
    EXPECT_EQ(store.GetTopicMeta(id)->DataString(), "");
}

TEST_F(NotesStoreOps, SavingWithMetaWritesBothAndAPlainSaveStillClearsTheMeta) {
    const int32_t id = Topic("ns", "Both");
    const std::string big(3 * 1024 * 1024, 'x'); // past SQLite's page cache: overflow pages
    TStringStream content(big + "end");
    TStringStream meta("splitter_pos=180\r\n.due=tomorrow\r\n");
    store.SaveTopic(id, "ns", TTopicRect{1, 2, 3, 4}, content, "Both renamed", meta);
    EXPECT_EQ(Content(id), big + "end");
    EXPECT_EQ(store.GetTopicMeta(id)->DataString(), "splitter_pos=180\r\n.due=tomorrow\r\n");
    EXPECT_EQ(Lookup("ns", "Both renamed"), id);
    TStringStream again("short");
    TStringStream noMeta;
    store.SaveTopic(id, "ns", TTopicRect{}, again, "Both renamed", noMeta);
    EXPECT_EQ(Content(id), "short");
    EXPECT_EQ(store.GetTopicMeta(id)->DataString(), "");
    TStringStream plain("plain");
    TStringStream lines("a=1\r\n");
    store.SetTopicMeta(id, lines);
    store.SaveTopic(id, "ns", TTopicRect{}, plain, "Both renamed");
    EXPECT_EQ(store.GetTopicMeta(id)->DataString(), "");
}

TEST_F(NotesStoreOps, ANewTopicHasNoContentAndAZeroRectangle) {
    const int32_t id = Topic("", "Fresh");
    TTopicRect rect{1, 2, 3, 4};
    auto content = store.GetTopic(id, rect);
    ASSERT_TRUE(content);
    EXPECT_EQ(content->DataString(), "");
    EXPECT_EQ(rect.X + rect.Y + rect.W + rect.H, 0);
    EXPECT_EQ(store.GetTopicMeta(id)->DataString(), "");
}

TEST_F(NotesStoreOps, EmptyContentIsStoredWithoutError) {
    const int32_t id = Topic("", "Blank?");
    Save(id, "", "Blank?", "some text");
    Save(id, "", "Blank?", "");
    EXPECT_EQ(Content(id), "");
    EXPECT_EQ(Lookup("", "Blank?"), id);
}

TEST_F(NotesStoreOps, MissingTopicsGiveNothingAndLeaveTheRectangle) {
    TTopicRect rect{5, 6, 7, 8};
    EXPECT_EQ(store.GetTopic(99, rect), nullptr);
    EXPECT_EQ(rect.X, 5);
    EXPECT_EQ(store.GetTopicMeta(99), nullptr);
}

TEST_F(NotesStoreOps, GetTopicWithMinusOneReportsThroughTheHook) {
    TTopicRect rect;
    EXPECT_EQ(store.GetTopic(-1, rect), nullptr); // no hook set: nothing shown, nothing raised
    std::vector<std::string> shown;
    store.OnShowMessage = [&](const std::string& text) { shown.push_back(text); };
    EXPECT_EQ(store.GetTopic(-1, rect), nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(
        shown[0].rfind("Internal Error\r\rGetTopic called with invalid ATopicID.\rThe topic did not exist "
                       "and was not created.\r\rPlease report this error to the author at\r",
                       0),
        0u);
}

TEST_F(NotesStoreOps, SavingUnderAnotherNamespaceMovesTheTopic) {
    const int32_t id = Topic("", "Plan");
    events.clear();
    Save(id, "Work", "Plan 2", "text");
    EXPECT_THAT(events, ElementsAre("namespace Work"));
    EXPECT_EQ(Lookup("Work", "plan 2"), id);
    EXPECT_EQ(Lookup("", "Plan"), -1);
}

TEST_F(NotesStoreOps, EventsFireAfterTheirRowsExist) {
    std::vector<std::string> seen;
    store.OnNewNamespace = [&](const std::string& title) {
        bool created = false;
        seen.push_back("ns found " + std::to_string(store.FindNamespace(title, created)));
    };
    store.OnNewTopic = [&](const std::string& title, const std::string& ns) {
        seen.push_back("topic found " + std::to_string(Lookup(ns, title)));
    };
    store.OnNewTag = [&](const std::string& title) {
        bool created = false;
        seen.push_back("tag found " + std::to_string(store.FindTag(title, created)));
    };
    store.OnDeleteTopic = [&](const std::string& title, const std::string& ns) {
        seen.push_back("after delete " + std::to_string(Lookup(ns, title)) + " " + ns + ":" + title);
    };
    const int32_t id = Topic("Work", "Plan");
    store.AttachTag(id, "urgent");
    store.DeleteTopic(id);
    EXPECT_THAT(seen, ElementsAre("ns found 1", "topic found 1", "tag found 1", "after delete -1 Work:Plan"));
}

TEST_F(NotesStoreOps, NewTopicReportsTheNamesAsPassedAndDeleteAsStored) {
    Topic("work", "Plan");
    const int32_t id = Topic("WORK", "plan b");
    events.clear();
    Save(id, "WORK", "Plan B", "");
    store.DeleteTopic(id);
    EXPECT_THAT(events, ElementsAre("deleted work:Plan B"));
    events.clear();
    store.DeleteTopic(id); // gone already: empty names
    EXPECT_THAT(events, ElementsAre("deleted :"));
}

// A save reports a rename when the title changes (case included) or the topic moves to another
// namespace; namespaces compare as the store finds them, and a save of a row not yet written is
// no rename. The event comes after the row is written.
TEST_F(NotesStoreOps, SaveReportsRenamesWithTheStoredOldNames) {
    std::vector<std::string> renames;
    store.OnRenameTopic = [&](const std::string& oldTitle, const std::string& oldNs, const std::string& title,
                              const std::string& ns) {
        renames.push_back(oldNs + ":" + oldTitle + " -> " + ns + ":" + title + " found " +
                          std::to_string(Lookup(ns, title)));
    };
    const int32_t id = Topic("Work", "Plan");
    Save(id, "work", "Plan", "same names");
    EXPECT_THAT(renames, IsEmpty());
    Save(id, "WORK", "plan", "case of the title");
    Save(id, "Ideas", "plan", "moved");
    TStringStream content("text"), meta("a=b");
    store.SaveTopic(id, "", TTopicRect{}, content, "Garden", meta);
    const std::string found = " found " + std::to_string(id);
    EXPECT_THAT(renames, ElementsAre("Work:Plan -> WORK:plan" + found, "Work:plan -> Ideas:plan" + found,
                                     "Ideas:plan -> :Garden" + found));
    renames.clear();
    Save(id + 1, "", "Unseen", "a row written by the save itself");
    EXPECT_THAT(renames, IsEmpty());
}

TEST_F(NotesStoreOps, AttachTagLinksOnceAndCreatesMissingTags) {
    const int32_t id = Topic("", "Home");
    events.clear();
    store.AttachTag(id, "todo");
    store.AttachTag(id, "TODO");
    EXPECT_THAT(events, ElementsAre("tag todo"));
    EXPECT_THAT(Lines(store.ListTopicTags(id)), ElementsAre("todo"));
}

TEST_F(NotesStoreOps, DetachTagMatchesAsAttachDoesAndDropsUnusedTags) {
    const int32_t a = Topic("", "A");
    const int32_t b = Topic("", "B");
    store.AttachTag(a, "Todo");
    store.AttachTag(b, "Todo");
    store.DetachTag(a, "Tod\xF6"); // another word: nothing happens
    store.DetachTag(a, "To_o");
    EXPECT_THAT(Lines(store.ListTopicTags(a)), ElementsAre("Todo"));
    store.DetachTag(a, "todo"); // found as AttachTag finds it
    EXPECT_EQ(store.ListTopicTags(a), nullptr);
    EXPECT_THAT(Lines(store.ListTags()), ElementsAre("Todo=1")); // b still carries it
    store.DetachTag(b, "Todo");
    EXPECT_EQ(store.ListTags(), nullptr);
}

TEST_F(NotesStoreOps, DeletingATopicRemovesItsLinksButKeepsTheTag) {
    const int32_t id = Topic("", "Only");
    store.AttachTag(id, "lonely");
    store.DeleteTopic(id);
    EXPECT_THAT(Lines(store.ListTags()), ElementsAre("lonely=1"));
    const int32_t again = Topic("", "Only");
    EXPECT_EQ(store.ListTopicTags(again), nullptr);
    EXPECT_EQ(Content(id), "(none)");
}

TEST_F(NotesStoreOps, RenameTag) {
    store.GetTagID("old");
    EXPECT_TRUE(store.RenameTag("OLD", "new's"));
    EXPECT_FALSE(store.RenameTag("old", "x"));
    EXPECT_THAT(Lines(store.ListTags()), ElementsAre("new's=1"));
}

TEST_F(NotesStoreOps, ListNamespacesIsSortedWithoutCaseAndShowsTheDefault) {
    store.GetNamespaceID("b");
    store.GetNamespaceID("A");
    store.GetNamespaceID("");
    store.GetNamespaceID("a ");
    store.GetNamespaceID("C");
    auto list = Lines(store.ListNamespaces());
    // Whole lines are compared, so "a =4" (a blank after the a) comes before "A=2".
    EXPECT_THAT(list, ElementsAre("=3", "a =4", "A=2", "b=1", "C=5"));
}

class NotesStoreSearch : public NotesStoreOps {
protected:
    void SetUp() override {
        home = Topic("", "Home");
        Save(home, "", "Home", "{\\rtf1 Welcome home}");
        plan = Topic("Work", "Plan");
        Save(plan, "Work", "Plan", "{\\rtf1 50% done, it's \"fine\"}");
        notes = Topic("Work", "notes");
        Save(notes, "Work", "notes", "{\\rtf1 a_b and 50 percent}");
        store.AttachTag(plan, "urgent");
        store.AttachTag(plan, "work");
        store.AttachTag(notes, "work");
        events.clear();
    }
    std::vector<std::string> Find(const std::string& ns, std::vector<std::string> tags,
                                  const std::string& text) {
        TStringList list;
        for (const auto& t : tags)
            list.Add(t);
        return Lines(store.FindTopics(ns, tags.empty() ? nullptr : &list, text));
    }
    int32_t home = 0, plan = 0, notes = 0;
};

TEST_F(NotesStoreSearch, ByNamespace) {
    EXPECT_THAT(Find("*", {}, ""), ElementsAre("Home=1", "notes=3", "Plan=2"));
    EXPECT_THAT(Find("work", {}, ""), ElementsAre("notes=3", "Plan=2"));
    EXPECT_THAT(Find("", {}, ""), ElementsAre("Home=1"));
    EXPECT_THAT(events, IsEmpty());
    EXPECT_THAT(Find("Nowhere", {}, ""), IsEmpty());
    EXPECT_THAT(events, ElementsAre("namespace Nowhere"));
}

TEST_F(NotesStoreSearch, ByTagsListsATopicOncePerMatchingTag) {
    EXPECT_THAT(Find("*", {"urgent"}, ""), ElementsAre("Plan=2"));
    EXPECT_THAT(Find("*", {"work", "URGENT"}, ""), ElementsAre("notes=3", "Plan=2", "Plan=2"));
    EXPECT_THAT(Find("Work", {"work"}, ""), ElementsAre("notes=3", "Plan=2"));
    EXPECT_THAT(Find("", {"work"}, ""), IsEmpty());
    EXPECT_THAT(Find("*", {"missing", "nothing"}, ""), IsEmpty());
    EXPECT_THAT(Find("*", {"w_rk"}, ""), IsEmpty());
    EXPECT_THAT(events, IsEmpty()); // looking tags up creates none
}

// The text is a byte substring with the ASCII letters folded: wildcards and the escape character
// are themselves, other bytes (accented letters, bytes UTF-8 would take as continuations, NUL)
// match only themselves, and the text may be of any length.
TEST_F(NotesStoreSearch, ByTextMatchesBytesWithAsciiCaseFolded) {
    const int32_t accented = Topic("Words", "Accented");
    Save(accented, "Words", "Accented", "{\\rtf1 Caf\xE9 5\x80 \x92s 100\\%\0end}"s);
    const struct {
        std::string Text;
        bool Found;
    } cases[] = {
        {"caf\xE9", true},
        {"CAF\xE9", true},
        {"caf\xC9", false}, // É is not é
        {"caf\xE8", false},
        {"5\x80", true},
        {"\x80", true},
        {"\x92s", true},
        {"\x92S", true},
        {"\x93s", false},
        {"100\\%", true},
        {"100%", false},
        {"\\\\", false},
        {std::string("\0end", 4), true},
        {std::string("\0End", 4), true},
        {std::string("%\0", 2), true},
        {std::string("_\0", 2), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!Find("Words", {}, c.Text).empty(), c.Found) << ::testing::PrintToString(c.Text);
}

TEST_F(NotesStoreSearch, ByTextOfAnyLength) {
    const std::string longText(60000, 'q');
    const int32_t big = Topic("Big", "Big");
    Save(big, "Big", "Big", "{\\rtf1 " + longText + "Q}");
    EXPECT_THAT(Find("*", {}, longText + "q"), ElementsAre("Big=4"));
    EXPECT_THAT(Find("*", {}, std::string(60001, 'Q')), ElementsAre("Big=4"));
    EXPECT_THAT(Find("*", {}, std::string(60002, 'q')), IsEmpty());
    EXPECT_THAT(Find("*", {}, std::string(70000, '%')), IsEmpty());
}

TEST_F(NotesStoreSearch, ByTextTakesTheTextLiterally) {
    EXPECT_THAT(Find("*", {}, "WELCOME"), ElementsAre("Home=1"));
    EXPECT_THAT(Find("*", {}, "50%"), ElementsAre("Plan=2"));
    EXPECT_THAT(Find("*", {}, "a_b"), ElementsAre("notes=3"));
    EXPECT_THAT(Find("*", {}, "a_d"), IsEmpty());
    EXPECT_THAT(Find("*", {}, "it's \"fine\""), ElementsAre("Plan=2"));
    EXPECT_THAT(Find("*", {}, "\""), ElementsAre("Plan=2"));
    EXPECT_THAT(Find("*", {}, "'); DELETE FROM topic; --"), IsEmpty());
    EXPECT_THAT(Find("Work", {"work"}, "50"), ElementsAre("notes=3", "Plan=2"));
    EXPECT_THAT(Find("*", {}, ""), ElementsAre("Home=1", "notes=3", "Plan=2"));
}

// The topics with their namespaces, sorted here as "namespace:title=id" (the query has no order).
std::vector<std::string> PlacedLines(const std::vector<TPlacedTopic>& topics) {
    std::vector<std::string> lines;
    for (const TPlacedTopic& t : topics)
        lines.push_back(t.NameSpace + ":" + t.Title + "=" + std::to_string(t.ID));
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(NotesStoreSearch, WithNamespacesListsEachTopicOnceUnderItsNamespace) {
    const auto Placed = [this](std::vector<std::string> tags, bool given = true) {
        TStringList list;
        for (const auto& t : tags)
            list.Add(t);
        return PlacedLines(store.FindTopicsWithNamespaces(given ? &list : nullptr));
    };
    store.AttachTag(home, "caf\xE9");
    events.clear();
    EXPECT_THAT(Placed({}, false), ElementsAre(":Home=1", "Work:Plan=2", "Work:notes=3"));
    EXPECT_THAT(Placed({}), ElementsAre(":Home=1", "Work:Plan=2", "Work:notes=3"));
    // Plan carries both tags and is listed once.
    EXPECT_THAT(Placed({"work", "URGENT"}), ElementsAre("Work:Plan=2", "Work:notes=3"));
    EXPECT_THAT(Placed({"urgent"}), ElementsAre("Work:Plan=2"));
    EXPECT_THAT(Placed({"missing", "urgent", "nothing"}), ElementsAre("Work:Plan=2"));
    EXPECT_THAT(Placed({"missing", "nothing"}), IsEmpty());
    // A tag that exists but that no topic carries (made in the tag manager, or left by the
    // last topic that carried it) finds nothing, alone or with another such tag.
    store.GetTagID("lonely");
    store.GetTagID("alone");
    events.clear();
    EXPECT_THAT(Placed({"lonely"}), IsEmpty());
    EXPECT_THAT(Placed({"lonely", "alone"}), IsEmpty());
    EXPECT_THAT(Placed({"lonely", "urgent"}), ElementsAre("Work:Plan=2"));
    // Exact comparisons: ASCII letters fold, other bytes and the LIKE wildcards are themselves.
    EXPECT_THAT(Placed({"CAF\xE9"}), ElementsAre(":Home=1"));
    EXPECT_THAT(Placed({"caf\xC9"}), IsEmpty());
    EXPECT_THAT(Placed({"w_rk"}), IsEmpty());
    EXPECT_THAT(Placed({"%"}), IsEmpty());
    EXPECT_THAT(events, IsEmpty()); // looking tags up creates none
}

// The one query answers what asking FindTopics once per namespace answers, on a store of a few
// hundred topics in many namespaces with tags spread over them.
TEST_F(NotesStoreSearch, WithNamespacesAgreesWithASearchPerNamespace) {
    const char* const tagNames[] = {"red", "Green", "blue", "gr\xE9y", "pink"};
    for (int i = 0; i < 400; ++i) {
        const std::string ns = i % 7 == 0 ? std::string() : "Space " + std::to_string(i % 23);
        const int32_t id = Topic(ns, "Topic " + std::to_string(i));
        for (int t = 0; t < 5; ++t)
            if ((i * 7 + t * 3) % (t + 2) == 0) store.AttachTag(id, tagNames[t]);
    }
    const std::vector<std::vector<std::string>> filters = {
        {}, {"RED"}, {"green", "Blue"}, {"GR\xE9Y", "pink", "red"}, {"pink", "absent"}};
    for (const auto& filter : filters) {
        TStringList tags;
        for (const auto& t : filter)
            tags.Add(t);
        const TStrings* given = filter.empty() ? nullptr : &tags;
        std::vector<std::string> expected;
        auto namespaces = store.ListNamespaces();
        ASSERT_TRUE(namespaces);
        for (int n = 0; n < namespaces->Count(); ++n) {
            const std::string ns = ListLineTitle(namespaces->Get(n));
            for (const std::string& line : Lines(store.FindTopics(ns, given, ""))) {
                const std::string entry = ns + ":" + line;
                if (std::find(expected.begin(), expected.end(), entry) == expected.end())
                    expected.push_back(entry);
            }
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(PlacedLines(store.FindTopicsWithNamespaces(given)), expected)
            << ::testing::PrintToString(filter);
        EXPECT_FALSE(expected.empty()) << ::testing::PrintToString(filter);
    }
}

// The lists and searches hand out what reading their rows into a table and sorting the lines as
// a string list gives, on titles where ASCII folding, the '=' before the id and high bytes decide
// the order ("a b=2" before "a=1"; "_" after the letters; "\xE0" apart from "\xC0").
TEST_F(NotesStoreOps, ListsAndSearchesOrderTheirLinesAsAStringListSortsThem) {
    const char* const words[] = {"a",        "A b",       "ab",    "a_",    "a[",  "Topic 1",
                                 "topic 10", "Topic 1 b", "\xC0x", "\xE0x", "z=1", "Z",
                                 "",         "_",         "`",     "1",     "10",  "9"};
    int n = 0;
    for (const char* word : words)
        for (const char* second : {"", " 2", "=", "_x"}) {
            const std::string title = std::string(word) + second;
            const int32_t id = Topic(n % 3 ? "Space" : "", title);
            if (id < 0) continue;
            if (n % 2) store.AttachTag(id, "odd");
            if (n % 5 == 0) store.AttachTag(id, "fifth");
            store.GetTagID(title + " tag");
            store.GetNamespaceID(title + " ns");
            ++n;
        }
    // The oracle: the rows as the buffered table reads them, sorted by TStringList.
    auto expected = [this](const std::string& sql, bool sorted) {
        TStringList lines;
        auto table = store.Connection().GetTable(sql);
        for (; !table->Eof(); table->Next())
            lines.Add(table->FieldAsString(table->FieldIndex("title")) + "=" +
                      table->FieldAsString(table->FieldIndex("id")));
        if (sorted) lines.Sort();
        std::vector<std::string> result;
        for (int i = 0; i < lines.Count(); ++i)
            result.push_back(lines.Get(i));
        return result;
    };
    const std::string space = std::to_string(store.GetNamespaceID("Space"));
    const std::string odd = std::to_string(store.GetTagID("odd"));
    const std::string fifth = std::to_string(store.GetTagID("fifth"));
    TStringList tags;
    tags.Add("ODD");
    tags.Add("Fifth");
    EXPECT_EQ(Lines(store.FindTopics("space", nullptr, "")),
              expected("SELECT id,title FROM topic WHERE namespace = " + space, true));
    EXPECT_EQ(Lines(store.FindTopics("*", nullptr, "")), expected("SELECT id,title FROM topic", true));
    EXPECT_EQ(Lines(store.FindTopics("*", &tags, "")),
              expected("SELECT id,title FROM topic JOIN tag_link WHERE id = tag_link.topic_id AND "
                       "tag_link.tag_id IN (" +
                           odd + "," + fifth + ")",
                       true));
    EXPECT_EQ(Lines(store.ListNamespaces()), expected("SELECT * FROM namespace", true));
    EXPECT_EQ(Lines(store.ListTags()), expected("SELECT id,title FROM tag", false));
    EXPECT_GT(Lines(store.FindTopics("*", &tags, "")).size(), 30u);
    // A panel's titles: those of the same search's lines, in their order.
    for (const std::string ns : {"space", "", "*", "Nowhere"}) {
        std::vector<std::string> titles;
        for (const std::string& line : Lines(store.FindTopics(ns, nullptr, "")))
            titles.push_back(ListLineTitle(line));
        EXPECT_EQ(store.FindTopicTitles(ns), titles) << ns;
    }
}

// The tags' version moves with every tag added, renamed or removed, and with nothing else.
TEST_F(NotesStoreOps, TheTagsVersionMovesOnlyWhenATagComesGoesOrIsRenamed) {
    const int32_t a = Topic("", "a"), b = Topic("Work", "b");
    int64_t last = store.TagsVersion();
    auto moved = [&] {
        const bool changed = store.TagsVersion() != last;
        last = store.TagsVersion();
        return changed;
    };
    store.AttachTag(a, "red");
    EXPECT_TRUE(moved()) << "a new tag";
    store.AttachTag(b, "RED");
    bool created = false;
    store.FindTag("red", created);
    store.ListTags();
    store.FindTopics("*", nullptr, "");
    Save(a, "", "a", "{\\rtf1 text}");
    store.Commit();
    EXPECT_FALSE(moved()) << "links, lookups, saves and a checkpoint";
    store.DetachTag(a, "red");
    EXPECT_FALSE(moved()) << "b still carries it";
    store.DetachTag(b, "red");
    EXPECT_TRUE(moved()) << "the last note let it go";
    store.GetTagID("blue");
    EXPECT_TRUE(moved());
    EXPECT_TRUE(store.RenameTag("blue", "green"));
    EXPECT_TRUE(moved());
    EXPECT_FALSE(store.RenameTag("blue", "green"));
    store.DeleteTag("missing");
    EXPECT_FALSE(moved()) << "no such tag";
    store.GetTagID("yellow");
    moved();
    EXPECT_TRUE(store.RenameTag("yellow", "GREEN")); // merged into green
    EXPECT_TRUE(moved());
    store.DeleteTag("green");
    EXPECT_TRUE(moved());
}

TEST_F(NotesStoreOps, NamedBlobsAreStoredUnderUpperCaseNames) {
    TStringStream value("abc");
    store.SetMeta("Settings", value);
    EXPECT_EQ(store.GetMeta("SETTINGS")->DataString(), "abc");
    TStringStream empty;
    store.SetMeta("settings", empty);
    EXPECT_EQ(store.GetMeta("Settings")->DataString(), "");
    EXPECT_EQ(store.GetMeta("missing"), nullptr);
}

} // namespace

TEST_F(NotesStoreOps, ACheckpointWithNothingWrittenLeavesTheFileAlone) {
    // SQLite counts the commits in the file's header (bytes 24 to 27).
    const std::string path = folder.File("notes.mvdb");
    auto commits = [&path] {
        std::ifstream in(path, std::ios::binary);
        char header[28] = {};
        in.read(header, sizeof header);
        return std::string(header + 24, 4);
    };
    const int32_t id = Topic("", "Note");
    Save(id, "", "Note", "text");
    store.Commit();
    const std::string first = commits();
    store.Commit(); // nothing written since
    TTopicRect rect{};
    store.GetTopic(id, rect);
    store.Commit(); // only read since
    EXPECT_EQ(commits(), first);

    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"a topic saved with the same text", [&] { Save(id, "", "Note", "text"); }},
        {"a property", [&] { store.Properties().SetValue("list.l", "10"); }},
        {"a tag", [&] { store.AttachTag(id, "work"); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        const std::string before = commits();
        c.change();
        store.Commit();
        EXPECT_NE(commits(), before);
        const std::string after = commits();
        store.Commit();
        EXPECT_EQ(commits(), after);
    }
    // A property set back to what was committed is nothing new.
    store.Properties().SetValue("list.l", "11");
    store.Properties().SetValue("list.l", "10");
    const std::string before = commits();
    store.Commit();
    EXPECT_EQ(commits(), before);
}
