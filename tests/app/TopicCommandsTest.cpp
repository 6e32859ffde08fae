// New, delete, rename and move of topics, and the tag manager, driven on the
// real windows; the store is checked afterwards.
#include "app/NamespaceVisualizer.h"
#include "app/Note.h"
#include "app/Rename.h"
#include "app/TagManager.h"
#include "app/TopicViewer.h"
#include "gui/ListBoxes.h"
#include "gui/StdCtrls.h"
#include "store/NotesStore.h"
#include "store/StoreLists.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ScreenShots.h"
#include "tests/app/UserInput.h"
#include "tests/support/ScreenWait.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace mv::app::test;
using Strings = std::vector<std::string>;

namespace {

class TopicCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        App.Start();
        Main = &App.Main();
        Store = Main->NotesStore();
        Home = NoteWindowsByNamespace.Find("");
        ASSERT_NE(Home, nullptr);
        // Confirmations are answered with Answer; every text is recorded.
        App.Responder.MessageBox = [this](const std::string& Text, const std::string&, UINT) {
            App.Messages.push_back(Text);
            return Answer;
        };
        App.Responder.InputQuery = [this](const std::string& Caption, const std::string& Prompt,
                                          std::string& Value) {
            Asked.push_back(Caption + "|" + Prompt + "|" + Value);
            if (Answers.empty()) return false;
            Value = Answers.front();
            Answers.erase(Answers.begin());
            return true;
        };
    }

    // The id of a topic, or -1 when the store has none at that address.
    int32_t TopicID(const std::string& Namespace, const std::string& Title) {
        if (auto List = Store->FindTopics(Namespace, nullptr, ""))
            for (int I = 0; I < List->Count(); ++I)
                if (ListLineTitle(List->Get(I)) == Title) return ListLineID(List->Get(I));
        return -1;
    }

    Strings Tags() {
        Strings Result;
        if (auto List = Store->ListTags())
            for (int I = 0; I < List->Count(); ++I)
                Result.push_back(ListLineTitle(List->Get(I)));
        std::sort(Result.begin(), Result.end());
        return Result;
    }

    // Runs Rename / Move on Window's topic, answering the window with Namespace and Title.
    void RenameTo(TfrmNote* Window, const std::string& Namespace, const std::string& Title) {
        App.OnShowModal = [&](TForm& Form) {
            auto& Rename = dynamic_cast<TfrmRename&>(Form);
            Rename.cbNamespace->SetText(Namespace);
            Rename.eTopicFile->SetText(Title);
            return int(mrOk);
        };
        Window->aNoteRename->Execute();
        App.OnShowModal = nullptr;
    }

    TAppFixture App{"topics"};
    TfrmMain* Main = nullptr;
    TNotesStore* Store = nullptr;
    TfrmNote* Home = nullptr;
    int Answer = IDYES;
    Strings Answers;
    Strings Asked;
};

TEST_F(TopicCommandsTest, NewNoteAsksForALetterAndDigitNameInTheWindowsNamespace) {
    Answers = {"  Ideas2 "};
    Home->aNewNote->Execute();
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0], "New Topic|Name of new topic in Default:|");
    EXPECT_EQ(Home->Editor()->TopicFile(), "Ideas2");
    EXPECT_GE(TopicID("", "Ideas2"), 0);

    Answers = {"two words"};
    Home->aNewNote->Execute();
    ASSERT_EQ(App.Messages.size(), 1u);
    EXPECT_EQ(App.Messages[0],
              "Sorry, that name contains invalid characters. Only letters and numbers are allowed.");
    EXPECT_EQ(TopicID("", "two words"), -1);
    Answers = {"   "};
    Home->aNewNote->Execute();
    EXPECT_EQ(App.Messages.size(), 1u);

    TfrmNote* Work = Main->ShowTopic("work:plan", "");
    Answers = {"Later"};
    Work->aNewNote->Execute();
    EXPECT_EQ(Asked.back(), "New Topic|Name of new topic in work:|");
    EXPECT_GE(TopicID("work", "Later"), 0);
    EXPECT_EQ(Work->Editor()->TopicFile(), "Later");
}

TEST_F(TopicCommandsTest, DeleteRefusesHomeAndAsksFirst) {
    Home->aNoteDelete->Execute();
    EXPECT_EQ(App.Messages, Strings{"You can't delete the Home topic."});
    Main->ShowTopic("Gone", "");
    App.Messages.clear();
    Answer = IDNO;
    Home->aNoteDelete->Execute();
    EXPECT_EQ(App.Messages, Strings{"Are you sure you want to delete Gone?\r\nThis cannot be undone."});
    EXPECT_GE(TopicID("", "Gone"), 0);
}

TEST_F(TopicCommandsTest, DeleteWithHistoryGoesBackAndDisablesForward) {
    Main->ShowTopic("First", "");
    Main->ShowTopic("Gone", "");
    Home->aBackward->Execute();
    Home->aForward->Execute(); // Forward was enabled, now at the end again
    const int32_t GoneID = Home->Editor()->TopicID();
    Home->aNoteDelete->Execute();
    EXPECT_EQ(Home->Editor()->TopicFile(), "First");
    EXPECT_FALSE(Home->aForward->Enabled());
    EXPECT_EQ(TopicID("", "Gone"), -1);
    EXPECT_NE(GoneID, Home->Editor()->TopicID());
    const Strings Listed = Home->Visualizer()->Titles("Default");
    EXPECT_EQ(std::find(Listed.begin(), Listed.end(), "Gone"), Listed.end());
    EXPECT_NE(std::find(Listed.begin(), Listed.end(), "First"), Listed.end());
}

TEST_F(TopicCommandsTest, DeleteNeverRemovesTheTopicShownAfterGoingBack) {
    // The history holds the same topic under two spellings of its title.
    Main->ShowTopic("Plan", "");
    Main->ShowTopic("plan", "");
    ASSERT_EQ(Home->HistoryIndex(), 2);
    Home->aNoteDelete->Execute();
    // Both entries named the deleted topic: the window went back past them to Home.
    EXPECT_EQ(TopicID("", "Plan"), -1);
    ASSERT_NE(Home->Editor(), nullptr);
    EXPECT_EQ(Home->Editor()->TopicFile(), "Home");
    EXPECT_GE(TopicID("", "Home"), 0);
}

TEST_F(TopicCommandsTest, DeletingTheOnlyTopicOfAWindowClosesItWithoutSavingAgain) {
    TfrmNote* Work = Main->ShowTopic("work:solo", "");
    ASSERT_EQ(Work->HistoryIndex(), 0);
    Work->aNoteDelete->Execute();
    App.Pump();
    EXPECT_EQ(NoteWindowsByNamespace.Find("work"), nullptr);
    EXPECT_EQ(TopicID("work", "solo"), -1);
    EXPECT_EQ(CommittedContent(App.Database(), "work", "solo"), "");
    // Home's panel no longer lists it.
    const Strings Titles = Home->Visualizer()->Titles("work");
    EXPECT_EQ(std::find(Titles.begin(), Titles.end(), "solo"), Titles.end());
}

TEST_F(TopicCommandsTest, RenameKeepsTheTopicAndMovesItAcrossNamespaceWindows) {
    TfrmNote* Work = Main->ShowTopic("work:plan", "");
    Work->Editor()->SetSelText("moving text");
    const int32_t ID = Work->Editor()->TopicID();
    Main->ShowTopic("work:other", "");
    Main->ShowTopic("work:plan", "");
    ASSERT_GT(Work->HistoryIndex(), 0);

    // Only the case of the title: a change, the same topic.
    RenameTo(Work, "work", "Plan");
    EXPECT_EQ(TopicID("work", "Plan"), ID);
    EXPECT_EQ(Work->Editor()->TopicFile(), "Plan");

    // To another namespace: the old window goes back, the new one shows it, both panels follow.
    RenameTo(Work, "archive", "Plan");
    TfrmNote* Archive = NoteWindowsByNamespace.Find("archive");
    ASSERT_NE(Archive, nullptr);
    EXPECT_EQ(Archive->Editor()->TopicFile(), "Plan");
    EXPECT_EQ(Archive->Editor()->TopicID(), ID);
    EXPECT_EQ(TopicID("archive", "Plan"), ID);
    EXPECT_EQ(TopicID("work", "Plan"), -1);
    EXPECT_NE(Work->Editor()->TopicID(), ID);
    EXPECT_NE(CommittedContent(App.Database(), "archive", "Plan").find("moving text"), std::string::npos);
    const Strings WorkTitles = Work->Visualizer()->Titles("work");
    EXPECT_EQ(std::find(WorkTitles.begin(), WorkTitles.end(), "Plan"), WorkTitles.end());
    const Strings HomeArchive = Home->Visualizer()->Titles("archive");
    EXPECT_NE(std::find(HomeArchive.begin(), HomeArchive.end(), "Plan"), HomeArchive.end());

    // "Default" moves it to the empty namespace.
    RenameTo(Archive, "Default", "Plan");
    EXPECT_EQ(TopicID("", "Plan"), ID);
}

TEST_F(TopicCommandsTest, MovingFromAWindowWithoutHistoryClosesIt) {
    TfrmNote* Work = Main->ShowTopic("work:only", "");
    ASSERT_EQ(Work->HistoryIndex(), 0);
    RenameTo(Work, "elsewhere", "only");
    App.Pump();
    EXPECT_EQ(NoteWindowsByNamespace.Find("work"), nullptr);
    TfrmNote* Elsewhere = NoteWindowsByNamespace.Find("elsewhere");
    ASSERT_NE(Elsewhere, nullptr);
    EXPECT_EQ(Elsewhere->Editor()->TopicFile(), "only");
    int Editors = 0;
    for (TfrmNote* Window : Main->OpenNoteWindows())
        if (Window->Editor() && Window->Editor()->TopicFile() == "only") ++Editors;
    EXPECT_EQ(Editors, 1);
}

TEST_F(TopicCommandsTest, RenameRefusesBadAddressesAndChangesNothing) {
    TfrmNote* Work = Main->ShowTopic("work:taken", "");
    Main->ShowTopic("work:mine", "");
    const int32_t Mine = Work->Editor()->TopicID();
    struct Case {
        const char* Namespace;
        const char* Title;
        const char* Message;
    };
    const Case Cases[] = {
        {"work", "a:b", "A title or a namespace cannot contain ':'."},
        {"wo:rk", "mine2", "A title or a namespace cannot contain ':'."},
        {"work", "TAKEN", "There is already a note called \"TAKEN\" in the namespace \"work\"."},
        {"work", "  ", "Please give the note a title."},
    };
    for (const Case& C : Cases) {
        App.Messages.clear();
        RenameTo(Work, C.Namespace, C.Title);
        EXPECT_EQ(App.Messages, Strings{C.Message}) << C.Title;
        EXPECT_EQ(TopicID("work", "mine"), Mine) << C.Title;
        EXPECT_EQ(Work->Editor()->TopicFile(), "mine") << C.Title;
    }
    // Home stays where it is; Cancel changes nothing either.
    App.Messages.clear();
    Home->aNoteRename->Execute();
    EXPECT_EQ(App.Messages, Strings{"You can't rename Home."});
    App.OnShowModal = [](TForm& Form) {
        dynamic_cast<TfrmRename&>(Form).eTopicFile->SetText("changed");
        return int(mrCancel);
    };
    Work->aNoteRename->Execute();
    EXPECT_EQ(TopicID("work", "mine"), Mine);
}

TEST_F(TopicCommandsTest, RenameWindowListsTheNamespacesAndIsSavedAsAScreen) {
    Main->ShowTopic("work:plan", "");
    TfrmNote* Work = NoteWindowsByNamespace.Find("work");
    Strings Items;
    App.OnShowModal = [&Items](TForm& Form) {
        auto& Rename = dynamic_cast<TfrmRename&>(Form);
        Rename.Show();
        EXPECT_TRUE(mv::test::WaitUntilShown(Rename.Handle()));
        for (int I = 0; I < Rename.cbNamespace->Items().Count(); ++I)
            Items.push_back(Rename.cbNamespace->Items().Get(I));
        EXPECT_EQ(Rename.cbNamespace->Text(), "work");
        EXPECT_EQ(Rename.eTopicFile->Text(), "plan");
        SaveWindowPng(Rename.Handle(), "TfrmRename");
        Rename.Hide();
        return int(mrCancel);
    };
    Work->aNoteRename->Execute();
    ASSERT_FALSE(Items.empty());
    EXPECT_EQ(Items[0], "Default");
    EXPECT_NE(std::find(Items.begin(), Items.end(), "work"), Items.end());
}

// The panel's new-namespace link refuses a name with ':' as Rename does, and makes the others.
TEST_F(TopicCommandsTest, NewNamespaceLinkRefusesAColon) {
    TNamespaceVisualizer& Panel = *Home->Visualizer();
    bool Handled = false;
    const Strings Before = Panel.Namespaces();
    for (const char* Name : {"plans:june", ":x", "y:"}) {
        App.Messages.clear();
        Answers = {Name};
        Panel.OnHotSpotClick(&Panel, "!newnamespace", Handled);
        EXPECT_TRUE(Handled);
        EXPECT_EQ(App.Messages, Strings{"A title or a namespace cannot contain ':'."}) << Name;
    }
    EXPECT_EQ(NoteWindowsByNamespace.Find("plans"), nullptr);
    EXPECT_EQ(TopicID("plans", "june"), -1);
    EXPECT_EQ(TopicID("", "x"), -1);
    EXPECT_EQ(Panel.Namespaces(), Before);
    App.Messages.clear();
    Answers = {"plans"};
    Panel.OnHotSpotClick(&Panel, "!newnamespace", Handled);
    EXPECT_TRUE(App.Messages.empty());
    EXPECT_NE(NoteWindowsByNamespace.Find("plans"), nullptr);
    EXPECT_GE(TopicID("plans", ""), 0);
}

// F2 and typing, as a user does it: the Title box has the focus with its text selected, so the
// typed name replaces the title and the namespace stays; each time the window opens.
TEST_F(TopicCommandsTest, RenameWindowOpensWithTheTitleSelectedForTyping) {
    TfrmNote* Work = Main->ShowTopic("work:plan", "");
    ASSERT_TRUE(BringToFront(Work->Handle()));
    for (const char* Typed : {"budget", "costs"}) {
        SCOPED_TRACE(Typed);
        App.OnShowModal = [&](TForm& Form) {
            auto& Rename = dynamic_cast<TfrmRename&>(Form);
            // What ShowModal does with the window, then the user's keys.
            Rename.Show();
            EXPECT_TRUE(BringToFront(Rename.Handle()));
            EXPECT_EQ(GetFocus(), Rename.eTopicFile->Handle()) << FocusClass();
            TypeText(Typed);
            EXPECT_EQ(Rename.cbNamespace->Text(), "work");
            EXPECT_EQ(Rename.eTopicFile->Text(), Typed);
            Rename.Hide();
            return int(mrOk);
        };
        PressKey(VK_F2);
        SettleInput();
        EXPECT_EQ(NoteWindowsByNamespace.Find("work")->Editor()->TopicFile(), Typed);
        EXPECT_GE(TopicID("work", Typed), 0);
    }
    App.OnShowModal = nullptr;
}

// The tag manager's rename, merge and delete reach the dot-lines of every note carrying the tag,
// open or stored, in one commit; opening and leaving a note afterwards brings no old tag back.
TEST_F(TopicCommandsTest, TagManagerChangesTheWordOnTheDotLinesOfEveryNote) {
    TfrmTagManager& Manager = *frmTagManager;
    auto Write = [&](const std::string& Address, const std::string& Text) {
        TfrmNote* Window = Main->ShowTopic(Address, "");
        Window->Editor()->SetSelStart(0);
        Window->Editor()->SetSelLength(-1);
        Window->Editor()->SetSelText(Text);
        Window->aSave->Execute();
        return Window;
    };
    auto TagsOf = [&](TfrmNote* Window) {
        Strings Result;
        if (auto List = Store->ListTopicTags(Window->Editor()->TopicID()))
            for (int I = 0; I < List->Count(); ++I)
                Result.push_back(List->Get(I));
        std::sort(Result.begin(), Result.end());
        return Result;
    };
    auto Select = [&Manager](const std::string& Name) {
        Manager.RefreshTagList();
        for (int I = 0; I < Manager.lbTags->Count(); ++I)
            Manager.lbTags->SetSelected(I, Manager.lbTags->Items().Get(I) == Name);
    };
    // An open note, and a stored one that no window shows (its window went on to another).
    TfrmNote* Open = Write("work:open", "Plan\r.old todo\rold words stay .old");
    TfrmNote* Ideas = Write("ideas:stored", "Intro\r.x OLD");
    Main->ShowTopic("ideas:other", "");
    ASSERT_EQ(Ideas->Editor()->TopicFile(), "other");
    Main->CommitStore();
    Manager.Show();

    Select("old");
    Answers = {"fresh"};
    Manager.aRenameTag->Execute();
    EXPECT_EQ(Open->Editor()->TextInPositions(), "Plan\r.fresh todo\rold words stay .old");
    EXPECT_EQ(TagsOf(Open), (Strings{"fresh", "todo"}));
    // Committed: a second connection reads the stored note's new dot-line.
    const std::string Stored = CommittedContent(App.Database(), "ideas", "stored");
    EXPECT_NE(Stored.find(".x fresh"), std::string::npos) << Stored;
    EXPECT_EQ(Stored.find("OLD"), std::string::npos);
    EXPECT_NE(CommittedContent(App.Database(), "work", "open").find(".fresh todo"), std::string::npos);
    // Opening the stored note and leaving it again attaches no old tag.
    Main->ShowTopic("ideas:stored", "");
    EXPECT_EQ(Ideas->Editor()->TextInPositions(), "Intro\r.x fresh");
    Main->ShowTopic("ideas:other", "");
    const Strings AfterRename = Tags();
    EXPECT_EQ(std::count(AfterRename.begin(), AfterRename.end(), "old"), 0);
    EXPECT_EQ(std::count(AfterRename.begin(), AfterRename.end(), "OLD"), 0);

    // A merge into a tag the open note lists already: one copy of the word stays.
    Select("fresh");
    Answers = {"todo"};
    Manager.aRenameTag->Execute();
    EXPECT_EQ(Open->Editor()->TextInPositions(), "Plan\r.todo\rold words stay .old");
    EXPECT_EQ(TagsOf(Open), Strings{"todo"});
    EXPECT_NE(CommittedContent(App.Database(), "ideas", "stored").find(".x todo"), std::string::npos);

    // Delete: the word goes, and a line left without tags with it; the rest of the text stays.
    Select("todo");
    Answer = IDYES;
    Manager.aDeleteTag->Execute();
    EXPECT_EQ(Open->Editor()->TextInPositions(), "Plan\rold words stay .old");
    EXPECT_TRUE(TagsOf(Open).empty());
    const std::string Deleted = CommittedContent(App.Database(), "ideas", "stored");
    EXPECT_NE(Deleted.find(".x"), std::string::npos);
    EXPECT_EQ(Deleted.find("todo"), std::string::npos);
    const Strings AfterDelete = Tags();
    EXPECT_EQ(std::count(AfterDelete.begin(), AfterDelete.end(), "todo"), 0);
    Manager.Hide();
}

TEST_F(TopicCommandsTest, TagManagerCreatesRenamesAndDeletesTags) {
    ASSERT_NE(frmTagManager, nullptr);
    TfrmTagManager& Manager = *frmTagManager;
    // A topic carrying the tag "old" through its dot-line.
    TfrmNote* Work = Main->ShowTopic("work:tagged", "");
    Work->Editor()->SetSelText("text\r\n.old");
    Work->aSave->Execute();
    const int32_t Tagged = Work->Editor()->TopicID();

    Manager.Show();
    App.Pump();
    Answers = {"100%_a\\b", "b_c"};
    Manager.aNewTag->Execute();
    Manager.aNewTag->Execute();
    Answers = {};
    Manager.aNewTag->Execute(); // cancelled: nothing made
    EXPECT_EQ(Asked[0], "New Tag|Enter the name of the new tag:|");
    Strings Listed;
    for (int I = 0; I < Manager.lbTags->Count(); ++I)
        Listed.push_back(Manager.lbTags->Items().Get(I));
    EXPECT_NE(std::find(Listed.begin(), Listed.end(), "100%_a\\b"), Listed.end());
    EXPECT_NE(std::find(Listed.begin(), Listed.end(), "old"), Listed.end());
    SaveWindowPng(Manager.Handle(), "TfrmTagManager");

    // Rename "old": the topic's link follows the tag.
    auto SelectOnly = [&Manager](const Strings& Names) {
        for (int I = 0; I < Manager.lbTags->Count(); ++I)
            Manager.lbTags->SetSelected(
                I, std::find(Names.begin(), Names.end(), Manager.lbTags->Items().Get(I)) != Names.end());
    };
    SelectOnly({"old"});
    Asked.clear();
    Answers = {"new"};
    Manager.aRenameTag->Execute();
    EXPECT_EQ(Asked, Strings{"Rename Tag|Enter a new name for \"old|old"});
    auto TopicTags = Store->ListTopicTags(Tagged);
    ASSERT_TRUE(TopicTags);
    EXPECT_EQ(TopicTags->Get(0), "new");

    // Two selected, the first prompt cancelled: nothing renamed, no message.
    SelectOnly({"b_c", "new"});
    Answers = {};
    App.Messages.clear();
    Manager.aRenameTag->Execute();
    EXPECT_TRUE(App.Messages.empty());
    const Strings AfterCancel = Tags();
    EXPECT_NE(std::find(AfterCancel.begin(), AfterCancel.end(), "b_c"), AfterCancel.end());
    EXPECT_NE(std::find(AfterCancel.begin(), AfterCancel.end(), "new"), AfterCancel.end());
    // Nothing selected.
    SelectOnly({});
    Manager.aRenameTag->Execute();
    EXPECT_EQ(App.Messages, Strings{"You didn't select any tags to rename."});

    // Delete two, literally by name: "b_c" must not take "bXc" with it.
    Answers = {"bXc"};
    Manager.aNewTag->Execute();
    {
        const Strings All = Tags();
        std::string Joined;
        for (auto& T : All)
            Joined += T + ",";
        ASSERT_NE(std::find(All.begin(), All.end(), "bXc"), All.end()) << Joined;
    }
    SelectOnly({"100%_a\\b", "b_c"});
    App.Messages.clear();
    Answer = IDNO;
    Manager.aDeleteTag->Execute();
    EXPECT_EQ(App.Messages, Strings{"Are you sure you want to delete these tags?\r\r100%_a\\b\rb_c\r"});
    const Strings Kept = Tags();
    EXPECT_NE(std::find(Kept.begin(), Kept.end(), "b_c"), Kept.end());
    Answer = IDYES;
    SelectOnly({"100%_a\\b", "b_c"});
    Manager.aDeleteTag->Execute();
    const Strings Left = Tags();
    EXPECT_EQ(std::find(Left.begin(), Left.end(), "b_c"), Left.end());
    EXPECT_EQ(std::find(Left.begin(), Left.end(), "100%_a\\b"), Left.end());
    EXPECT_NE(std::find(Left.begin(), Left.end(), "bXc"), Left.end());
    EXPECT_NE(std::find(Left.begin(), Left.end(), "new"), Left.end());
    // Nothing selected: no question at all.
    SelectOnly({});
    App.Messages.clear();
    Manager.aDeleteTag->Execute();
    EXPECT_TRUE(App.Messages.empty());
    Manager.Hide();
}

} // namespace
