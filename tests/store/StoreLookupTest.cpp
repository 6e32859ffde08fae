// The store's lookups at a realistic size: served by their indexes (query plans), right for every
// topic of a namespace of thousands, and refusing names that hold a NUL byte before writing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/StrUtils.h"
#include "store/NotesStore.h"
#include "store/StoreLookups.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/store/TempFolder.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The detail column of each step of the statement's query plan.
std::vector<std::string> PlanOf(TRawDatabase& raw, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    const std::string explain = "EXPLAIN QUERY PLAN " + sql;
    if (sqlite3_prepare_v2(raw.Handle(), explain.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        return {"cannot prepare: " + std::string(sqlite3_errmsg(raw.Handle()))};
    std::vector<std::string> steps;
    while (sqlite3_step(statement) == SQLITE_ROW)
        steps.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)));
    sqlite3_finalize(statement);
    return steps;
}

void ExpectIndexedPlans(TRawDatabase& raw) {
    for (const auto& lookup : store_lookup::All) {
        const auto steps = PlanOf(raw, lookup.SQL);
        ASSERT_FALSE(steps.empty()) << lookup.Name;
        for (const std::string& step : steps) {
            if (step.rfind("SCAN ", 0) == 0) {
                EXPECT_EQ(step, std::string("SCAN ") + (lookup.Scans ? lookup.Scans : "(none)"))
                    << lookup.Name;
            }
            EXPECT_EQ(step.find("TEMP B-TREE"), std::string::npos) << lookup.Name << ": " << step;
        }
        for (const char* index : lookup.Indexes) {
            if (!index) continue;
            const std::string used = *index ? std::string("INDEX ") + index + " (" : "INTEGER PRIMARY KEY";
            bool found = false;
            for (const std::string& step : steps)
                found = found || step.find(used) != std::string::npos;
            EXPECT_TRUE(found) << lookup.Name << " does not use " << used
                               << " in: " << ::testing::PrintToString(steps);
        }
    }
}

class StoreLookup : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string path = folder.File("lookups.mvdb");
};

TEST_F(StoreLookup, EveryLookupSearchesItsIndexWithoutScanOrSort) {
    { TNotesStore store(path); }
    TRawDatabase raw(path);
    ExpectIndexedPlans(raw);
}

// Thousands of topics in the default namespace, as a user who never makes namespaces has them:
// every one is found again by its title in any ASCII case after a reopen, accented neighbours stay
// apart, and the plans still search the indexes.
TEST_F(StoreLookup, ThousandsOfTopicsInOneNamespaceAreEachFoundAgain) {
    constexpr int count = 6000;
    auto title = [](int i) {
        std::string t = "Topic " + std::to_string(i);
        if (i % 3 == 1) t += " caf\xE9";
        if (i % 3 == 2) t += " caf\xE8";
        return t;
    };
    std::vector<int32_t> ids;
    {
        TNotesStore store(path);
        for (int i = 0; i < count; ++i) {
            bool created = true;
            ids.push_back(store.FindTopic("", title(i), created));
            ASSERT_TRUE(created) << title(i);
            // Topics of the size notes have, so that the file grows as a real one does.
            TStringStream content("{\\rtf1 " + title(i) + std::string(2000, 'w') + "}");
            store.SaveTopic(ids.back(), "", TTopicRect{}, content, title(i));
        }
        store.Commit();
    }
    TNotesStore store(path);
    for (int i = 0; i < count; ++i) {
        bool created = false;
        ASSERT_EQ(store.FindTopic("", UpperCase(title(i)), created), ids[i]) << title(i);
    }
    bool created = false;
    EXPECT_EQ(store.FindTopic("", "Topic 7 caf\xE8", created), -1); // 7 is "caf\xE9"
    EXPECT_EQ(store.FindTopics("", nullptr, "")->Count(), count);
    TRawDatabase raw(path);
    ExpectIndexedPlans(raw);
}

// A NUL in a name would be cut off wherever the name is read back; it is refused with a message
// that says so, and nothing is written: no row, no event.
class StoreNulNames : public StoreLookup {
protected:
    StoreNulNames() : store(path) {
        store.OnNewTopic = [this](const std::string& t, const std::string&) {
            events.push_back("topic " + t);
        };
        store.OnNewNamespace = [this](const std::string& t) { events.push_back("namespace " + t); };
        store.OnNewTag = [this](const std::string& t) { events.push_back("tag " + t); };
        home = Topic("", "Home");
        events.clear();
    }
    int32_t Topic(const std::string& ns, const std::string& title) {
        bool created = true;
        return store.FindTopic(ns, title, created);
    }
    std::string Counts() {
        auto all = store.FindTopics("*", nullptr, "");
        auto namespaces = store.ListNamespaces();
        auto tags = store.ListTags();
        return std::to_string(all ? all->Count() : 0) + " " +
               std::to_string(namespaces ? namespaces->Count() : 0) + " " +
               std::to_string(tags ? tags->Count() : 0);
    }
    std::string MessageOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const ESQLiteException& e) {
            return e.Message();
        }
        return "(nothing raised)";
    }

    TNotesStore store;
    std::vector<std::string> events;
    int32_t home = 0;
    const std::string nul = std::string("Lo\0st", 5);
};

TEST_F(StoreNulNames, AreRefusedBeforeAnythingIsWritten) {
    const std::string before = Counts();
    const std::string title = "The title \"Lo\\0st\" contains a NUL character, which names cannot hold";
    const std::string ns = "The namespace \"Lo\\0st\" contains a NUL character, which names cannot hold";
    const std::string tag = "The tag \"Lo\\0st\" contains a NUL character, which names cannot hold";
    EXPECT_EQ(MessageOf([&] { Topic("New space", nul); }), title);
    EXPECT_EQ(MessageOf([&] { Topic(nul, "New title"); }), ns);
    TStringStream content("{\\rtf1 text}");
    EXPECT_EQ(MessageOf([&] { store.SaveTopic(home, "New space", TTopicRect{}, content, nul); }), title);
    EXPECT_EQ(MessageOf([&] { store.SaveTopic(home, nul, TTopicRect{}, content, "Home"); }), ns);
    EXPECT_EQ(MessageOf([&] { store.GetNamespaceID(nul); }), ns);
    EXPECT_EQ(MessageOf([&] { store.GetTagID(nul); }), tag);
    EXPECT_EQ(MessageOf([&] { store.AttachTag(home, nul); }), tag);
    EXPECT_EQ(MessageOf([&] { store.DetachTag(home, nul); }), tag);
    store.GetTagID("fine");
    events.clear();
    EXPECT_EQ(MessageOf([&] { store.RenameTag("fine", nul); }), tag);
    EXPECT_EQ(MessageOf([&] { store.DeleteTag(nul); }), tag);
    TStringList tags;
    tags.Add(nul);
    EXPECT_EQ(MessageOf([&] { store.FindTopics("*", &tags, ""); }), tag);
    EXPECT_THAT(events, IsEmpty());
    EXPECT_THAT(Lines(store.ListTags()), ElementsAre("fine=1"));
    EXPECT_EQ(Counts(), "1 1 1");
    EXPECT_EQ(before, "1 1 0");
    TTopicRect rect;
    EXPECT_EQ(store.GetTopic(home, rect)->DataString(), ""); // the refused saves left it alone
}

} // namespace
