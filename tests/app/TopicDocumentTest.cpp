// Loading and saving topics against a real notes store in a temporary file.
#include "app/TagEvents.h"
#include "app/TopicDocument.h"
#include "base/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

#include <sqlite3.h>

using namespace mv::app;

namespace {

// Plain text standing in for the editor control.
class TFakeText : public ITopicText {
public:
    std::string Text;
    bool FailSave = false;
    bool FailLoad = false;
    bool Dirty = false;   // as an editor's modified flag: set by the test
    int ContentSaves = 0; // RTF written out
    bool Modified() override { return Dirty; }
    void SetModified(bool Value) override { Dirty = Value; }
    void LoadContent(TStream& Content) override {
        if (FailLoad) throw EOutOfResources("Failed to Load Stream");
        Content.SetPosition(0);
        Text = static_cast<TStringStream&>(Content).DataString();
    }
    void SaveContent(TStream& Content) override {
        if (FailSave) throw EOutOfResources("Failed to Save Stream");
        ++ContentSaves;
        Content.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
    }
    void ClearContent() override { Text.clear(); }
    std::string PlainText() override { return Text; }
};

class TopicDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        FPath = (std::filesystem::temp_directory_path() /
                 ("mv_topicdoc_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".mvdb"))
                    .string();
        std::filesystem::remove(FPath);
        Store = std::make_unique<TNotesStore>(FPath);
        Services.Store = Store.get();
        Services.TagEvents = &Events;
        Services.Log = [this](const std::string& S) { Logged.push_back(S); };
    }
    void TearDown() override {
        Store.reset();
        std::filesystem::remove(FPath);
    }
    std::vector<std::string> TagsOf(int32_t ID) {
        std::vector<std::string> Tags;
        if (auto L = Store->ListTopicTags(ID))
            for (int I = 0; I < L->Count(); ++I)
                Tags.push_back(L->Get(I));
        std::sort(Tags.begin(), Tags.end());
        return Tags;
    }
    bool TagExists(const std::string& Title) {
        bool Created = false;
        return Store->FindTag(Title, Created) >= 0;
    }

    std::string FPath;
    std::unique_ptr<TNotesStore> Store;
    TTagEventTable Events;
    TTopicServices Services;
    std::vector<std::string> Logged;
    TFakeText Text;
    TObject Sender;
};

} // namespace

TEST_F(TopicDocumentTest, SavesAndReloadsContentRectangleAndMeta) {
    TTopicDocument Doc(Text, Services, &Sender);
    EXPECT_FALSE(Doc.Valid());
    Doc.SaveTopic("*", "*"); // nothing loaded: nothing saved
    EXPECT_TRUE(Logged.empty());

    Doc.LoadTopic("Plan", "work");
    EXPECT_TRUE(Doc.Valid());
    EXPECT_GT(Doc.TopicID(), 0);
    Text.Text = "First line\r\nsecond";
    Doc.WindowRect = {10, 20, 300, 200};
    Doc.Meta.SetValue("splitter_pos", "180");
    Doc.SaveTopic("*", "*");
    EXPECT_EQ(Logged, (std::vector<std::string>{"Save note: work Plan"}));

    TFakeText Other;
    TTopicDocument Again(Other, Services, &Sender);
    Again.LoadTopic("plan", "WORK"); // found without regard to case
    EXPECT_EQ(Again.TopicID(), Doc.TopicID());
    EXPECT_EQ(Other.Text, "First line\r\nsecond");
    EXPECT_EQ(Again.WindowRect.W, 300);
    EXPECT_EQ(Again.WindowRect.Y, 20);
    EXPECT_EQ(Again.Meta.Values("splitter_pos"), "180");
}

TEST_F(TopicDocumentTest, NewTopicStartsEmptyAndInheritsRectangleAndMeta) {
    TTopicDocument Doc(Text, Services, &Sender);
    Doc.LoadTopic("Home", "");
    Text.Text = "Home text";
    Doc.Meta.SetValue("splitter_pos", "200");
    Doc.SaveTopic("*", "*");
    Doc.LoadTopic("Fresh", "");
    EXPECT_EQ(Text.Text, "");
    EXPECT_EQ(Doc.Meta.Values("splitter_pos"), "200");
    Doc.SaveTopic("*", "*");
    auto MetaStream = Store->GetTopicMeta(Doc.TopicID());
    ASSERT_TRUE(MetaStream);
    EXPECT_NE(MetaStream->DataString().find("splitter_pos=200"), std::string::npos);
}

TEST_F(TopicDocumentTest, DotLinesBecomeTagsAndDroppedTagsGo) {
    TTopicDocument Doc(Text, Services, &Sender);
    Doc.LoadTopic("Home", "");
    Text.Text = "Home\r\n.Work.Home\r\n";
    Doc.SaveTopic("*", "*");
    EXPECT_EQ(TagsOf(Doc.TopicID()), (std::vector<std::string>{"home", "work"}));
    Text.Text = "Home\r\n.work\r\n";
    Doc.SaveTopic("*", "*");
    EXPECT_EQ(TagsOf(Doc.TopicID()), (std::vector<std::string>{"work"}));
    EXPECT_FALSE(TagExists("home"));
    auto Listed = Doc.ListTags();
    ASSERT_TRUE(Listed);
    EXPECT_EQ(Listed->Count(), 1);
}

TEST_F(TopicDocumentTest, LoadingRunsOnlyLoadHandlers) {
    int Loads = 0, Saves = 0;
    TObject* Seen = nullptr;
    Events.RegisterCommand(
        "clock", "loadtag",
        [&](TObject* S) {
            ++Loads;
            Seen = S;
        },
        nullptr);
    Events.RegisterCommand(
        "x", "loadtag", [&](TObject*) { ++Loads; }, nullptr);
    Events.RegisterCommand(
        "clock", "savetag", [&](TObject*) { ++Saves; }, nullptr);
    TTopicDocument Doc(Text, Services, &Sender);
    Doc.LoadTopic("T", "");
    Text.Text = ".clock\r\n.x\r\n.tagged";
    Doc.SaveTopic("*", "*");
    EXPECT_EQ(Saves, 1);
    EXPECT_EQ(TagsOf(Doc.TopicID()), (std::vector<std::string>{"tagged"}));
    Doc.LoadTopic("T", "");
    EXPECT_EQ(Loads, 2);
    EXPECT_EQ(Seen, &Sender);
    EXPECT_EQ(TagsOf(Doc.TopicID()), (std::vector<std::string>{"tagged"}));
}

TEST_F(TopicDocumentTest, RenameTakesEffectOnlyWhenTheSaveSucceeded) {
    TTopicDocument Doc(Text, Services, &Sender);
    Doc.LoadTopic("Draft", "work");
    Text.Text = "body";
    Text.FailSave = true;
    EXPECT_THROW(Doc.SaveTopic("Final", "done"), EOutOfResources);
    EXPECT_EQ(Doc.TopicFile(), "Draft");
    EXPECT_EQ(Doc.Namespace(), "work");

    Text.FailSave = false;
    Doc.SaveTopic("Final", "done");
    EXPECT_EQ(Doc.TopicFile(), "Final");
    EXPECT_EQ(Doc.Namespace(), "done");
    bool Created = false;
    EXPECT_EQ(Store->FindTopic("done", "Final", Created), Doc.TopicID());
}

namespace {

// Refuses every read of a topic's content, as a locked or damaged file refuses it.
int RefuseContent(void*, int Action, const char* Table, const char* Column, const char*, const char*) {
    return Action == SQLITE_READ && Table && Column && std::strcmp(Table, "topic") == 0 &&
                   std::strcmp(Column, "content") == 0
               ? SQLITE_DENY
               : SQLITE_OK;
}

std::string StoredText(TNotesStore& Store, const std::string& Title) {
    bool Created = false;
    TTopicRect Rect;
    auto Content = Store.GetTopic(Store.FindTopic("", Title, Created), Rect);
    return Content ? Content->DataString() : std::string("(none)");
}

} // namespace

TEST_F(TopicDocumentTest, ATopicThatFailsToLoadIsNeverTreatedAsShown) {
    TTopicDocument Doc(Text, Services, &Sender);
    Doc.LoadTopic("Other", "");
    Text.Text = "other text";
    Doc.SaveTopic("*", "*");
    Doc.LoadTopic("Home", "");
    Text.Text = "Home\r\n.urgent\r\n";
    Doc.SaveTopic("*", "*");
    const int32_t HomeID = Doc.TopicID();
    Doc.WindowRect = TTopicRect{1, 2, 300, 400};

    // The store refuses the read: the document stays on Home, text and all.
    sqlite3* Db = Store->Connection().Handle();
    sqlite3_set_authorizer(Db, RefuseContent, nullptr);
    EXPECT_THROW(Doc.LoadTopic("Other", ""), ESQLiteException);
    sqlite3_set_authorizer(Db, nullptr, nullptr);
    EXPECT_TRUE(Doc.Valid());
    EXPECT_EQ(Doc.TopicID(), HomeID);
    EXPECT_EQ(Doc.TopicFile(), "Home");
    EXPECT_EQ(Text.Text, "Home\r\n.urgent\r\n");
    EXPECT_EQ(Doc.WindowRect.W, 300);
    // Its next save writes Home's text, with Home's dot-line, under Home's id only.
    Text.Text = "Home\r\n.urgent\r\nedited\r\n";
    Doc.SaveTopic("*", "*");
    EXPECT_EQ(StoredText(*Store, "Home"), "Home\r\n.urgent\r\nedited\r\n");
    EXPECT_EQ(StoredText(*Store, "Other"), "other text");
    EXPECT_EQ(TagsOf(HomeID), std::vector<std::string>{"urgent"});

    // The editor fails to take the new text: the document shows no topic, and
    // a save then writes under neither id.
    Text.FailLoad = true;
    EXPECT_THROW(Doc.LoadTopic("Other", ""), EOutOfResources);
    Text.FailLoad = false;
    EXPECT_FALSE(Doc.Valid());
    Text.Text = "half loaded";
    Doc.SaveTopic("*", "*");
    EXPECT_EQ(StoredText(*Store, "Home"), "Home\r\n.urgent\r\nedited\r\n");
    EXPECT_EQ(StoredText(*Store, "Other"), "other text");
    // Loading the topic it showed makes it whole again.
    Doc.LoadTopic(Doc.TopicFile(), Doc.Namespace());
    EXPECT_TRUE(Doc.Valid());
    EXPECT_EQ(Doc.TopicID(), HomeID);
    EXPECT_EQ(Text.Text, "Home\r\n.urgent\r\nedited\r\n");
}

TEST_F(TopicDocumentTest, LeavingATopicAsLoadedWritesNothingButItsHandlersRun) {
    int Saves = 0;
    Events.RegisterCommand(
        "stamp", "savetag", [&](TObject*) { ++Saves; }, nullptr);
    TTopicDocument Doc(Text, Services, &Sender);
    // A handler that changes a meta value at every save.
    Events.RegisterCommand(
        "meta", "savetag", [&](TObject*) { Doc.Meta.SetValue("stamped", std::to_string(Saves)); }, nullptr);
    Doc.LoadTopic("Note", "");
    Text.Text = "Body\r\n.stamp\r\n";
    Doc.WindowRect = {1, 2, 300, 200};
    Doc.Meta.SetValue("splitter_pos", "150");
    Doc.SaveTopic("*", "*"); // a new topic is written
    ASSERT_EQ(Text.ContentSaves, 1);
    ASSERT_EQ(Saves, 1);

    auto Bump = [&](const char* Name) {
        Doc.Meta.SetValue(Name, std::to_string(std::stoi("0" + Doc.Meta.Values(Name)) + 1));
    };
    const struct {
        const char* What;
        std::function<void()> Change; // none: left as loaded
        bool Written;
    } Cases[] = {
        {"left as loaded", {}, false},
        {"saved again as it was", {}, false},
        {"formatting only (the editor's flag)", [&] { Text.Dirty = true; }, true},
        {"characters typed", [&] { Text.Text += "!"; }, true},
        {"a meta value", [&] { Bump("splitter_pos"); }, true},
        {"a meta value set to what it is",
         [&] { Doc.Meta.SetValue("splitter_pos", Doc.Meta.Values("splitter_pos")); }, false},
        {"the window moved", [&] { Doc.WindowRect.X += 5; }, true},
        {"a handler that changes a meta value", [&] { Text.Text += "\r\n.meta"; }, true},
        {"and again", {}, true},
        {"the line gone", [&] { Text.Text = "Body\r\n.stamp\r\n"; }, true},
        {"as it was again", {}, false},
    };
    for (bool Reload : {false, true}) {
        for (const auto& C : Cases) {
            SCOPED_TRACE(std::string(C.What) + (Reload ? ", after a load" : ""));
            if (Reload) Doc.LoadTopic("Note", "");
            const int ContentBefore = Text.ContentSaves, HandlersBefore = Saves;
            if (C.Change) C.Change();
            Logged.clear();
            Doc.SaveTopic("*", "*");
            EXPECT_EQ(Text.ContentSaves - ContentBefore, C.Written ? 1 : 0);
            EXPECT_EQ(Logged.empty(), !C.Written);
            EXPECT_EQ(Saves - HandlersBefore, 1); // the save handlers ran either way
        }
    }
    // What was written is what a load reads back.
    TFakeText Other;
    TTopicDocument Again(Other, Services, &Sender);
    Again.LoadTopic("Note", "");
    EXPECT_EQ(Other.Text, Text.Text);
    EXPECT_EQ(Again.WindowRect.X, 11);
    EXPECT_EQ(Again.Meta.Values("splitter_pos"), "152");
    // A rename always writes.
    const int ContentBefore = Text.ContentSaves;
    Doc.SaveTopic("Renamed", "");
    EXPECT_EQ(Text.ContentSaves, ContentBefore + 1);
}
