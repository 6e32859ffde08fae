// How the store compares titles, namespaces and tags: the ASCII letters A-Z without regard to case,
// every other byte of the Windows-1252 text exactly, through find-or-create, lookups, renames and a
// reopen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "store/NotesStore.h"
#include "store/StoreLists.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/store/TempFolder.h"

namespace {

using ::testing::ElementsAre;

struct TWordPair {
    std::string A;
    std::string B;
};

// Words that must stay two: every letter from À to ÿ against the next byte and against its other
// case, and real words that differ in one accented letter.
std::vector<TWordPair> DistinctPairs() {
    std::vector<TWordPair> pairs = {
        {"M\xFCller", "M\xF6ller"}, // Müller, Möller
        {"caf\xE9", "caf\xE8"},     // café, cafè
        {"f\xFCr", "f\xE4r"},       // für, fär
        {"\xC4rger", "\xD6rger"},   // Ärger, Örger
        {"\xC0", "\xE0"},           // À, à: only ASCII letters fold
        {"Stra\xDF"
         "e",
         "Strasse"},
        {"na\xEFve", "naive"},
        {"\x80", "\x81"}, // bytes that UTF-8 reads as lone continuations
    };
    for (int c = 0xC0; c <= 0xFF; ++c) {
        const std::string letter(1, static_cast<char>(c));
        if (c < 0xFF) pairs.push_back({"x" + letter, "x" + std::string(1, static_cast<char>(c + 1))});
        const int other = c ^ 0x20; // the other case in the Latin-1 letters
        if (other > c) pairs.push_back({letter + "y", std::string(1, static_cast<char>(other)) + "y"});
    }
    return pairs;
}

class StoreComparison : public ::testing::Test {
protected:
    int32_t Topic(TNotesStore& store, const std::string& ns, const std::string& title, bool create) {
        bool created = create;
        return store.FindTopic(ns, title, created);
    }

    TTempFolder folder;
    std::string path = folder.File("words.mvdb");
};

TEST_F(StoreComparison, AccentedWordsStayDistinctAsTitlesNamespacesAndTags) {
    const auto pairs = DistinctPairs();
    std::map<std::string, int32_t> topics, namespaces, tags;
    {
        TNotesStore store(path);
        for (const auto& p : pairs) {
            const std::string ns = "ns " + p.A;
            const int32_t a = Topic(store, ns, p.A, true);
            EXPECT_EQ(Topic(store, ns, p.B, false), -1) << p.A << " found as " << p.B;
            const int32_t b = Topic(store, ns, p.B, true);
            EXPECT_NE(a, b) << p.A << " / " << p.B;
            EXPECT_EQ(Topic(store, ns, p.A, false), a) << p.A;
            topics[ns + ":" + p.A] = a;
            topics[ns + ":" + p.B] = b;

            const int32_t na = store.GetNamespaceID("space " + p.A);
            const int32_t nb = store.GetNamespaceID("space " + p.B);
            EXPECT_NE(na, nb) << p.A << " / " << p.B;
            namespaces["space " + p.A] = na;
            namespaces["space " + p.B] = nb;

            const int32_t ta = store.GetTagID(p.A);
            const int32_t tb = store.GetTagID(p.B);
            EXPECT_NE(ta, tb) << p.A << " / " << p.B;
            tags[p.A] = ta;
            tags[p.B] = tb;

            // A topic and a tag renamed to the neighbour of an older one's title are found under
            // their new title, and the older one under its own.
            const int32_t older = Topic(store, ns, p.A + " 2", true);
            const int32_t draft = Topic(store, ns, "Draft", true);
            TStringStream content("{\\rtf1 draft}");
            store.SaveTopic(draft, ns, TTopicRect{}, content, p.B + " 2");
            EXPECT_EQ(Topic(store, ns, p.B + " 2", false), draft) << p.B;
            EXPECT_EQ(Topic(store, ns, p.A + " 2", false), older) << p.A;
            topics[ns + ":" + p.A + " 2"] = older;
            topics[ns + ":" + p.B + " 2"] = draft;
            const int32_t olderTag = store.GetTagID(p.A + " 2");
            const int32_t renamedTag = store.GetTagID("draft");
            ASSERT_TRUE(store.RenameTag("draft", p.B + " 2"));
            bool created = false;
            EXPECT_EQ(store.FindTag(p.B + " 2", created), renamedTag) << p.B;
            EXPECT_EQ(store.FindTag(p.A + " 2", created), olderTag) << p.A;
            tags[p.A + " 2"] = olderTag;
            tags[p.B + " 2"] = renamedTag;
        }
        // Every namespace of the map keeps a topic, so closing removes none of them.
        for (const auto& [name, id] : namespaces)
            Topic(store, name, "keep", true);
        store.Commit();
    }
    TNotesStore store(path);
    for (const auto& [address, id] : topics) {
        const size_t colon = address.find(':');
        EXPECT_EQ(Topic(store, address.substr(0, colon), address.substr(colon + 1), false), id) << address;
    }
    for (const auto& [name, id] : namespaces) {
        bool created = false;
        EXPECT_EQ(store.FindNamespace(name, created), id) << name;
    }
    for (const auto& [name, id] : tags) {
        bool created = false;
        EXPECT_EQ(store.FindTag(name, created), id) << name;
    }
}

TEST_F(StoreComparison, AsciiLettersStillMatchWithoutCase) {
    TNotesStore store(path);
    const int32_t home = Topic(store, "", "Home", true);
    EXPECT_EQ(Topic(store, "", "home", false), home);
    EXPECT_EQ(Topic(store, "", "HOME", false), home);
    const int32_t mixed = Topic(store, "Caf\xE9s", "M\xFCller ABC", true);
    EXPECT_EQ(Topic(store, "caf\xE9S", "m\xFCller abc", false), mixed);
    EXPECT_EQ(Topic(store, "caf\xC9S", "m\xFCller abc", false), -1); // É is not é
    EXPECT_EQ(store.GetTagID("F\xFCR"), store.GetTagID("f\xFCr"));
    EXPECT_NE(store.GetTagID("F\xDCR"), store.GetTagID("f\xFCr")); // Ü is not ü
}

TEST_F(StoreComparison, RenamingToAnAccentedTitleTakesNoOtherTopicsPlace) {
    TNotesStore store(path);
    const int32_t mueller = Topic(store, "", "M\xFCller", true);
    const int32_t other = Topic(store, "", "Other", true);
    TStringStream content("{\\rtf1 x}");
    store.SaveTopic(other, "", TTopicRect{}, content, "M\xF6ller");
    EXPECT_EQ(Topic(store, "", "M\xF6ller", false), other);
    EXPECT_EQ(Topic(store, "", "M\xFCller", false), mueller);
    EXPECT_EQ(Topic(store, "", "Other", false), -1);
    // Renaming a tag to an accented neighbour keeps the two apart too.
    store.GetTagID("f\xFCr");
    EXPECT_TRUE(store.RenameTag("Other", "x") == false);
    store.GetTagID("fur");
    EXPECT_TRUE(store.RenameTag("fur", "f\xE4r"));
    bool created = false;
    EXPECT_EQ(store.FindTag("f\xFCr", created), 1);
    EXPECT_EQ(store.FindTag("f\xE4r", created), 2);
}

TEST_F(StoreComparison, AttachAndDetachUseTheSameComparison) {
    TNotesStore store(path);
    const int32_t topic = Topic(store, "", "Menu", true);
    const int32_t other = Topic(store, "", "Other", true);
    store.AttachTag(other, "caf\xE8");
    store.AttachTag(topic, "caf\xE9");
    EXPECT_THAT(Lines(store.ListTopicTags(topic)), ElementsAre("caf\xE9"));
    store.DetachTag(topic, "caf\xE8"); // another word: nothing happens
    EXPECT_THAT(Lines(store.ListTopicTags(topic)), ElementsAre("caf\xE9"));
    store.AttachTag(topic, "CAF\xE9");
    EXPECT_THAT(Lines(store.ListTopicTags(topic)), ElementsAre("caf\xE9"));
    store.DetachTag(topic, "Caf\xE9"); // the same word in other ASCII case
    EXPECT_EQ(store.ListTopicTags(topic), nullptr);
    EXPECT_THAT(Lines(store.ListTags()), ElementsAre("caf\xE8=1"));
    EXPECT_THAT(Lines(store.ListTopicTags(other)), ElementsAre("caf\xE8"));
}

TEST_F(StoreComparison, DetachingATitleThatTwoTagsShareDropsEveryLinkOfIt) {
    // A file written before renames merged tags can hold two tags of one title.
    int32_t a = 0, b = 0;
    {
        TNotesStore store(path);
        a = Topic(store, "", "A", true);
        b = Topic(store, "", "B", true);
        store.AttachTag(b, "todo"); // tag 1
        store.Commit();
    }
    {
        TRawDatabase raw(path);
        raw.Exec("INSERT INTO tag (id, title) VALUES(2, 'Todo')");
        raw.Exec("INSERT INTO tag_link (tag_id, topic_id) VALUES(2, " + std::to_string(a) + ")");
    }
    TNotesStore store(path);
    store.AttachTag(a, "todo"); // finds tag 1: a now carries both
    EXPECT_THAT(Lines(store.ListTopicTags(a)), ::testing::UnorderedElementsAre("todo", "Todo"));
    store.DetachTag(a, "Todo");
    EXPECT_EQ(store.ListTopicTags(a), nullptr);
    EXPECT_THAT(Lines(store.ListTags()), ElementsAre("todo=1")); // b still carries tag 1
}

TEST_F(StoreComparison, RenamingATagToAnotherTagsTitleMergesThem) {
    TNotesStore store(path);
    const int32_t a = Topic(store, "", "A", true);
    const int32_t b = Topic(store, "", "B", true);
    const int32_t c = Topic(store, "", "C", true);
    store.AttachTag(a, "later"); // tag 1
    store.AttachTag(b, "todo");  // tag 2
    store.AttachTag(b, "later");
    store.AttachTag(c, "other"); // tag 3

    ASSERT_TRUE(store.RenameTag("Later", "TODO"));
    EXPECT_THAT(Lines(store.ListTags()), ::testing::UnorderedElementsAre("todo=2", "other=3"))
        << "one tag of the title, under its own spelling";
    EXPECT_THAT(Lines(store.ListTopicTags(a)), ElementsAre("todo"));
    EXPECT_THAT(Lines(store.ListTopicTags(b)), ElementsAre("todo")) << "carried both: one link left";
    EXPECT_THAT(Lines(store.ListTopicTags(c)), ElementsAre("other"));
    TStringList todo;
    todo.Add("todo");
    EXPECT_THAT(Lines(store.FindTopics("*", &todo, "")),
                ElementsAre("A=" + std::to_string(a), "B=" + std::to_string(b)))
        << "the finder's filter sees every topic of the merged tag";
    bool created = false;
    EXPECT_LT(store.FindTag("later", created), 0);

    // A rename that only changes the case keeps the tag and its links.
    ASSERT_TRUE(store.RenameTag("todo", "Todo"));
    EXPECT_THAT(Lines(store.ListTags()), ::testing::UnorderedElementsAre("Todo=2", "other=3"));
    EXPECT_THAT(Lines(store.ListTopicTags(a)), ElementsAre("Todo"));

    // The merge reaches the file at the checkpoint like any other change.
    store.Commit();
    TRawDatabase raw(path);
    EXPECT_EQ(raw.Scalar("SELECT count(*) FROM tag_link WHERE tag_id = 2"), "2");
    EXPECT_EQ(raw.Scalar("SELECT count(*) FROM tag WHERE id = 1"), "0");
}

} // namespace
