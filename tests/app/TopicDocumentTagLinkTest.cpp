// Tag links through the topic document over a real store: a dot-line's tag stays linked however
// often the topic is saved, also when another topic carries an accented neighbour of it.
#include "app/TagEvents.h"
#include "app/TopicDocument.h"
#include "tests/store/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace mv::app;

namespace {

class TPlainText : public ITopicText {
public:
    std::string Text;
    void LoadContent(TStream& Content) override { Text = static_cast<TStringStream&>(Content).DataString(); }
    void SaveContent(TStream& Content) override {
        Content.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
    }
    void ClearContent() override { Text.clear(); }
    std::string PlainText() override { return Text; }
};

class TopicDocumentTagLinks : public ::testing::Test {
protected:
    TopicDocumentTagLinks() : Store(Folder.File("tags.mvdb")) {
        Services.Store = &Store;
        Services.TagEvents = &Events;
    }
    std::vector<std::string> TagsOf(int32_t ID) {
        std::vector<std::string> Tags;
        if (auto L = Store.ListTopicTags(ID))
            for (int I = 0; I < L->Count(); ++I)
                Tags.push_back(L->Get(I));
        std::sort(Tags.begin(), Tags.end());
        return Tags;
    }
    // Loads the topic, gives it the text and saves it; returns its id.
    int32_t Write(const std::string& Title, const std::string& Text) {
        TPlainText Editor;
        TTopicDocument Doc(Editor, Services, &Sender);
        Doc.LoadTopic(Title, "");
        Editor.Text = Text;
        Doc.SaveTopic("*", "*");
        return Doc.TopicID();
    }

    TTempFolder Folder;
    TNotesStore Store;
    TTagEventTable Events;
    TTopicServices Services;
    TObject Sender;
};

TEST_F(TopicDocumentTagLinks, AnAccentedNeighbourNeverTakesTheLink) {
    const int32_t Other = Write("Other", "Dessert\r\n.caf\xE8\r\n");
    TPlainText Editor;
    TTopicDocument Doc(Editor, Services, &Sender);
    Doc.LoadTopic("Menu", "");
    Editor.Text = "Coffee\r\n.caf\xE9 .f\xFCr\r\n";
    for (int Save = 1; Save <= 4; ++Save) {
        Doc.SaveTopic("*", "*");
        EXPECT_EQ(TagsOf(Doc.TopicID()), (std::vector<std::string>{"caf\xE9", "f\xFCr"})) << "save " << Save;
        EXPECT_EQ(TagsOf(Other), (std::vector<std::string>{"caf\xE8"})) << "save " << Save;
    }
    Write("Third", ".f\xE4r\r\n");
    Doc.SaveTopic("*", "*");
    EXPECT_EQ(TagsOf(Doc.TopicID()), (std::vector<std::string>{"caf\xE9", "f\xFCr"}));
}

TEST_F(TopicDocumentTagLinks, ATagOfOtherAsciiCaseIsTheSameTagOnEverySave) {
    Store.GetTagID("Todo"); // made in the tag manager
    TPlainText Editor;
    TTopicDocument Doc(Editor, Services, &Sender);
    Doc.LoadTopic("List", "");
    Editor.Text = ".todo\r\n";
    for (int Save = 1; Save <= 3; ++Save) {
        Doc.SaveTopic("*", "*");
        EXPECT_EQ(TagsOf(Doc.TopicID()), (std::vector<std::string>{"Todo"})) << "save " << Save;
    }
    Editor.Text = "done\r\n";
    Doc.SaveTopic("*", "*");
    EXPECT_TRUE(TagsOf(Doc.TopicID()).empty());
    EXPECT_EQ(Store.ListTags(), nullptr); // no topic carries it any more
}

} // namespace
