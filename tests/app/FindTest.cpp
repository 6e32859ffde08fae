// The finder end to end in the test process: the real main window and store, the
// filter combos driven as a user would (with the dialog responder for menus).
#include "app/Find.h"
#include "app/NamespaceVisualizer.h"
#include "app/Note.h"
#include "app/TopicDocument.h"
#include "controls/MvCombobox.h"
#include "gui/ExtCtrls.h"
#include "gui/GraphicImages.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "store/NotesStore.h"
#include "store/StoreLists.h"
#include "tests/app/AppFixture.h"
#include "tests/app/PanelLinks.h"
#include "tests/app/UserInput.h"
#include "tests/support/Screens.h"
#include "tests/support/ScreenWait.h"

#include "htmlview/HtmlTextSection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace mv::app::test;
using Strings = std::vector<std::string>;

namespace {

bool PumpUntilVisible(HWND Window) {
    for (int Try = 0; Try < 40 && !IsWindowVisible(Window); ++Try)
        SettleInput(25);
    return IsWindowVisible(Window) != FALSE;
}

class FindTest : public ::testing::Test {
protected:
    void SetUp() override {
        Fixture = std::make_unique<TAppFixture>("find");
        Fixture->Start();
        Store = Fixture->Main().NotesStore();
        ASSERT_NE(Store, nullptr);
    }
    void TearDown() override {
        delete Find;
        Find = nullptr;
        Fixture.reset();
    }
    // A topic with the given tags.
    void Topic(const std::string& Namespace, const std::string& Title, const Strings& Tags = {}) {
        bool Created = true;
        const int32_t ID = Store->FindTopic(Namespace, Title, Created);
        for (const std::string& T : Tags)
            Store->AttachTag(ID, T);
    }
    TfrmFind& Open() {
        Find = new TfrmFind(Application, Fixture->Main().TopicServices());
        return *Find;
    }
    static int IndexOf(TMvCheckedComboBox* Combo, const std::string& Item) {
        for (int i = 0; i < Combo->Items().Count(); ++i)
            if (Combo->Items().Get(i) == Item) return i;
        return -1;
    }
    // Ticks an item as its drop-down list does: the list opens by its button (the finder lists
    // its tags only then), the item's mark is set, and the list closes.
    static void Check(TMvCheckedComboBox* Combo, const std::string& Item) {
        Combo->ButtonClick();
        const int i = IndexOf(Combo, Item);
        if (i >= 0) Combo->SetItemChecked(i, true);
        Combo->ClosePopup(Combo, true);
        ASSERT_GE(i, 0) << Item;
    }
    // Every namespace shown, with its titles: "Ns: a b c" (the empty title shows as [Root]).
    Strings Shown() {
        Strings Lines;
        for (const auto& Namespace : Find->Visualizer->Namespaces()) {
            std::string Line = Namespace + ":";
            for (const auto& Title : Find->Visualizer->Titles(Namespace))
                Line += " " + (Title.empty() ? std::string("[Root]") : Title);
            Lines.push_back(Line);
        }
        return Lines;
    }

    std::unique_ptr<TAppFixture> Fixture;
    TNotesStore* Store = nullptr;
    TfrmFind* Find = nullptr;
};

TEST_F(FindTest, AnEmptyFilterTurnsAllOnAndListsEveryTopic) {
    Topic("", "Shopping");
    Topic("Work", "Report", {"urgent"});
    Topic("Work", "Minutes");
    TfrmFind& F = Open();
    EXPECT_EQ(F.Caption(), "Find Notes");
    EXPECT_EQ(F.cbNamespaces->Items().Get(0), "Default");
    F.aFilter->Execute();
    EXPECT_TRUE(F.aAllNamespaces->Checked());
    EXPECT_TRUE(F.aAllTags->Checked());
    EXPECT_TRUE(F.CheckBox1->Checked());
    EXPECT_EQ(F.cbNamespaces->Text(), "All");
    EXPECT_FALSE(F.cbNamespaces->Enabled());
    EXPECT_EQ(F.Visualizer->Titles("Default"), (Strings{"Home", "Shopping"}));
    EXPECT_EQ(F.Visualizer->Titles("Work"), (Strings{"Minutes", "Report"}));
    // The list is a window-coloured page in the main window's font, scrolling only down.
    EXPECT_EQ(F.Visualizer->DefFontName(), Fixture->Main().Font().Name());
    EXPECT_EQ(F.Visualizer->DefFontSize(), Fixture->Main().Font().Size());
    EXPECT_EQ(F.Visualizer->DefBackground(), clWindow);
    EXPECT_EQ(F.Visualizer->DefFontColor(), clWindowText);
    EXPECT_EQ(F.Visualizer->ScrollBars(), THvScrollStyle::ssVertical);
    EXPECT_EQ(F.Visualizer->BorderStyle(), THTMLBorderStyle::htNone);
    // Checking Default never makes a namespace of that name.
    std::unique_ptr<TStringList> Namespaces = Store->ListNamespaces();
    for (int i = 0; Namespaces && i < Namespaces->Count(); ++i)
        EXPECT_NE(Namespaces->Get(i).rfind("Default=", 0), 0u);
}

TEST_F(FindTest, NamesHoldingAllAreNamesAndOnlyTheirTopicsShow) {
    Topic("Wallet", "Receipts", {"small"});
    Topic("Wallet", "Cards");
    Topic("Work", "Report", {"small"});
    TfrmFind& F = Open();
    Check(F.cbNamespaces, "Wallet");
    EXPECT_EQ(F.cbNamespaces->Text(), "Wallet"); // not turned into All
    Check(F.cbTags, "small");
    EXPECT_EQ(F.cbTags->Text(), "small");
    F.aFilter->Execute();
    EXPECT_FALSE(F.aAllNamespaces->Checked());
    EXPECT_FALSE(F.aAllTags->Checked());
    EXPECT_EQ(Shown(), (Strings{"Wallet: Receipts"}));
    // The word itself does turn the text to All.
    F.cbTags->SetText("all");
    F.cbTags->OnChange(F.cbTags);
    EXPECT_EQ(F.cbTags->Text(), "All");
}

TEST_F(FindTest, ATagCalledAllIsATagWhileTheAllBoxIsOff) {
    Topic("Work", "Tagged", {"All"});
    Topic("Work", "Plain", {"other"});
    TfrmFind& F = Open();
    Check(F.cbNamespaces, "Work");
    Check(F.cbTags, "All");
    F.aFilter->Execute();
    EXPECT_FALSE(F.aAllTags->Checked());
    EXPECT_EQ(Shown(), (Strings{"Work: Tagged"}));
    F.ReapplyFilterState(); // as an activation does
    EXPECT_TRUE(F.cbTags->IsItemChecked(IndexOf(F.cbTags, "All")));
    EXPECT_EQ(Shown(), (Strings{"Work: Tagged"}));
}

TEST_F(FindTest, SelectAllThenDeselectAllFromTheComboMenu) {
    Topic("A", "a1");
    Topic("B", "b1");
    TfrmFind& F = Open();
    int Choice = 0;
    Fixture->Responder.Popup = [&](TPopupMenu& Menu, int, int) { Menu.Items().Items(Choice)->Click(); };
    TMvCheckListBox& List = F.cbNamespaces->CheckList();
    F.cbNamespaces->OpenPopup(true);
    List.Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List.Handle()), MAKELPARAM(-1, -1));
    // The template database brings its Help namespace along.
    EXPECT_EQ(F.cbNamespaces->Text(), "Default,A,B,Help");
    F.cbNamespaces->ClosePopup(F.cbNamespaces, true);
    F.aFilter->Execute();
    EXPECT_EQ(Shown(), (Strings{"A: a1", "B: b1", "Default: Home", "Help: [Root]"}));
    Choice = 1;
    F.cbNamespaces->OpenPopup(true);
    List.Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List.Handle()), MAKELPARAM(-1, -1));
    F.cbNamespaces->ClosePopup(F.cbNamespaces, true);
    EXPECT_EQ(F.cbNamespaces->Text(), "");
    F.aFilter->Execute(); // nothing checked: every namespace again
    EXPECT_TRUE(F.aAllNamespaces->Checked());
    EXPECT_EQ(Shown().size(), 4u);
}

TEST_F(FindTest, TagsFilterAFewHundredTopics) {
    // 300 topics in three namespaces; topic i carries tag t(i mod 5) and, when i
    // is a multiple of 7, the tag "seven" as well.
    const Strings Spaces{"Alpha", "Beta", "Gamma"};
    std::set<std::string> Expected;
    for (int i = 0; i < 300; ++i) {
        const std::string Ns = Spaces[static_cast<size_t>(i % 3)], Title = "topic " + std::to_string(i);
        Strings Tags{"t" + std::to_string(i % 5)};
        if (i % 7 == 0) Tags.push_back("seven");
        Topic(Ns, Title, Tags);
        if (Ns == "Beta" && (i % 5 == 2 || i % 7 == 0)) Expected.insert(Title);
    }
    TfrmFind& F = Open();
    Check(F.cbNamespaces, "Beta");
    Check(F.cbTags, "t2");
    Check(F.cbTags, "seven");
    F.aFilter->Execute();
    const Strings Titles = F.Visualizer->Titles("Beta");
    EXPECT_EQ(std::set<std::string>(Titles.begin(), Titles.end()), Expected);
    EXPECT_EQ(Titles.size(), Expected.size()); // a topic with both tags is listed once
    EXPECT_TRUE(F.Visualizer->Titles("Alpha").empty());

    F.SetBounds(100, 80, 520, 600);
    F.Show();
    ASSERT_TRUE(mv::test::WaitUntilShown(F.Handle()));
    SaveScreen(F.Handle(), "finder");
    F.Hide();
}

// Over all namespaces the result comes from one search and is grouped here: each topic in
// its namespace's box, the empty namespace's in "Default", a topic with both tags once, and
// with "All" tags the untagged topics too.
TEST_F(FindTest, TagsOverAllNamespacesAreGroupedByNamespace) {
    const Strings Spaces{"", "Alpha", "Beta", "Gamma", "Delta"};
    std::map<std::string, std::set<std::string>> Tagged, Every;
    // What the database holds already, from a search per namespace.
    if (auto Namespaces = Store->ListNamespaces())
        for (int n = 0; n < Namespaces->Count(); ++n) {
            const std::string Ns = ListLineTitle(Namespaces->Get(n));
            if (auto Titles = Store->FindTopics(Ns, nullptr, ""))
                for (int i = 0; i < Titles->Count(); ++i)
                    Every[Ns.empty() ? "Default" : Ns].insert(ListLineTitle(Titles->Get(i)));
        }
    for (int i = 0; i < 200; ++i) {
        const std::string Ns = Spaces[static_cast<size_t>(i % 5)], Title = "topic " + std::to_string(i);
        Strings Tags;
        if (i % 3 == 0) Tags.push_back("red");
        if (i % 4 == 0) Tags.push_back("blue");
        if (i % 11 == 0) Tags.push_back("green");
        Topic(Ns, Title, Tags);
        const std::string Box = Ns.empty() ? "Default" : Ns;
        Every[Box].insert(Title);
        if (i % 3 == 0 || i % 11 == 0) Tagged[Box].insert(Title);
    }
    const auto Grouped = [this] {
        std::map<std::string, std::set<std::string>> Boxes;
        for (const auto& Namespace : Find->Visualizer->Namespaces()) {
            const Strings Titles = Find->Visualizer->Titles(Namespace);
            Boxes[Namespace].insert(Titles.begin(), Titles.end());
            EXPECT_EQ(Boxes[Namespace].size(), Titles.size()) << Namespace;
        }
        return Boxes;
    };
    TfrmFind& F = Open();
    F.aAllNamespaces->Execute();
    Check(F.cbTags, "red");
    Check(F.cbTags, "green");
    F.aFilter->Execute();
    EXPECT_EQ(Grouped(), Tagged);
    F.aAllTags->Execute();
    F.aFilter->Execute();
    EXPECT_EQ(Grouped(), Every);
    // Back to the tags: what they do not carry leaves the list, boxes emptied go.
    F.aAllTags->Execute();
    F.aFilter->Execute();
    EXPECT_EQ(Grouped(), Tagged);
    // The same search again shows the same page.
    const std::string Page = F.Visualizer->PageText();
    F.aFilter->Execute();
    EXPECT_EQ(F.Visualizer->PageText(), Page);
    EXPECT_EQ(Grouped(), Tagged);
    bool Created = false;
    EXPECT_EQ(Store->FindNamespace("Default", Created), -1); // the box's name is no namespace
}

TEST_F(FindTest, TheFilterAndPlaceAreRememberedAfterARestart) {
    Topic("Home", "Chores", {"weekly"});
    Topic("Work", "Report", {"weekly"});
    Topic("Homework", "Essay");
    {
        TfrmFind& F = Open();
        Check(F.cbNamespaces, "Work");
        Check(F.cbNamespaces, "Homework");
        F.aAllTags->Execute();
        F.SetBounds(33, 44, 500, 400);
        F.SaveFindState();
        // Saving leaves "All" off and the earlier text in place.
        EXPECT_FALSE(F.aAllTags->Checked());
        EXPECT_EQ(Store->Properties().Values("list.tags.all"), "True");
        EXPECT_EQ(Store->Properties().Values("list.namespaces"), "Work,Homework");
        delete Find;
        Find = nullptr;
    }
    Store->Commit();
    Fixture->Quit();
    Fixture->Start();
    Store = Fixture->Main().NotesStore();
    TfrmFind& F = Open();
    EXPECT_EQ(F.Left(), 33);
    EXPECT_EQ(F.Top(), 44);
    EXPECT_EQ(F.Width(), 500);
    // Whole names: Homework does not bring Home and Work back, and the reverse.
    EXPECT_TRUE(F.cbNamespaces->IsItemChecked(IndexOf(F.cbNamespaces, "Work")));
    EXPECT_TRUE(F.cbNamespaces->IsItemChecked(IndexOf(F.cbNamespaces, "Homework")));
    EXPECT_FALSE(F.cbNamespaces->IsItemChecked(IndexOf(F.cbNamespaces, "Home")));
    EXPECT_TRUE(F.aAllTags->Checked());
    F.aFilter->Execute();
    EXPECT_EQ(Shown(), (Strings{"Homework: Essay", "Work: Report"}));
}

TEST_F(FindTest, AFullComboStopsReCheckingAndIsLogged) {
    std::string Names;
    for (int i = 0; i < 30; ++i) {
        const std::string Tag = "a-rather-long-tag-name-" + std::to_string(100 + i);
        Topic("", "topic " + std::to_string(i), {Tag});
        Names += (Names.empty() ? "" : ",") + Tag;
    }
    TfrmFind& F = Open();
    EXPECT_NO_THROW(F.CheckItemsFromText("", Names));
    int Checked = 0;
    for (int i = 0; i < F.cbTags->Items().Count(); ++i)
        Checked += F.cbTags->IsItemChecked(i) ? 1 : 0;
    EXPECT_GT(Checked, 0);
    EXPECT_LT(Checked, 30);
    EXPECT_LT(F.cbTags->Text().size(), 256u);
    // Activation runs the same steps; it neither throws nor loops.
    F.ReapplyFilterState();
}

TEST_F(FindTest, SwitchingToAnotherProgramSavesNothing) {
    TfrmFind& F = Open();
    F.HandleNeeded();
    HWND Foreign = GetDesktopWindow();
    DWORD Process = 0;
    GetWindowThreadProcessId(Foreign, &Process);
    if (Process == GetCurrentProcessId()) GTEST_SKIP() << "no window of another process to switch to";
    Store->Properties().SetValue("list.l", "untouched");
    SendMessageA(F.Handle(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(Foreign));
    EXPECT_EQ(Store->Properties().Values("list.l"), "untouched");
    SendMessageA(F.Handle(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(Fixture->Main().Handle()));
    EXPECT_EQ(Store->Properties().Values("list.l"), std::to_string(F.Left()));
}

TEST_F(FindTest, ALinkOpensItsTopic) {
    Topic("Work", "Report");
    TfrmFind& F = Open();
    F.aFilter->Execute();
    // The page links the topic; a click on it reaches the finder's handler.
    ASSERT_TRUE(mv::app::test::Links(F.Visualizer->SectionList(), "Work:Report"));
    bool Handled = false;
    F.Visualizer->OnHotSpotClick(F.Visualizer, "Work:Report", Handled);
    EXPECT_TRUE(Handled);
    Fixture->Pump();
    ASSERT_NE(NoteWindowsByNamespace.Find("Work"), nullptr);
}

} // namespace

namespace {

// The finder on screen and in front, "All" namespaces on, as a user meets it.
TfrmFind& ShowInFront(TfrmFind& F) {
    F.SetBounds(100, 80, 460, 420);
    F.Show();
    EXPECT_TRUE(BringToFront(F.Handle()));
    SettleInput(200);
    return F;
}

} // namespace

// A user opens the tag combo's drop-down with the mouse and ticks a tag: the list is part of
// the finder, so "All" namespaces stays on, and Find lists that tag's notes in every namespace.
TEST_F(FindTest, TickingATagInTheDropDownKeepsAllNamespaces) {
    Topic("", "Shopping", {"urgent"});
    Topic("Work", "Report", {"urgent"});
    Topic("Work", "Minutes");
    TfrmFind& F = ShowInFront(Open());
    F.aFilter->Execute(); // an empty filter: "All" on both
    ASSERT_TRUE(F.aAllNamespaces->Checked());
    F.aAllTags->Execute(); // "All" tags off: the tag combo takes ticks
    ASSERT_TRUE(F.cbTags->Enabled());
    ClickAt(F.cbTags->Handle(), F.cbTags->Width() - 8, F.cbTags->Height() / 2); // its drop button
    TMvCheckListBox& List = F.cbTags->CheckList();
    ASSERT_TRUE(PumpUntilVisible(List.Handle()));
    const int Item = IndexOf(F.cbTags, "urgent");
    ASSERT_GE(Item, 0);
    RECT R{};
    SendMessageA(List.Handle(), LB_GETITEMRECT, static_cast<WPARAM>(Item), reinterpret_cast<LPARAM>(&R));
    ClickAt(List.Handle(), R.left + 7, (R.top + R.bottom) / 2); // its check box
    SettleInput(150);
    EXPECT_TRUE(F.cbTags->IsItemChecked(Item));
    EXPECT_TRUE(F.aAllNamespaces->Checked());
    EXPECT_EQ(F.cbNamespaces->Text(), "All");
    // A click back in the finder closes the list; Find lists the tag everywhere.
    ClickAt(F.pnlFilter->Handle(), 4, 4);
    SettleInput(150);
    EXPECT_FALSE(IsWindowVisible(List.Handle()));
    EXPECT_EQ(F.cbTags->Text(), "urgent");
    ClickAt(F.BitBtn1->Handle(), 10, 10);
    SettleInput(150);
    EXPECT_TRUE(F.aAllNamespaces->Checked());
    EXPECT_EQ(Shown(), (Strings{"Default: Shopping", "Work: Report"}));
    F.Hide();
}

// Escape in the tag box, as a user presses it: the filter panel keeps every control on screen,
// and so it does when the finder opens again.
TEST_F(FindTest, EscapeInTheTagBoxKeepsTheFilterPanel) {
    Topic("Work", "Report", {"urgent"});
    TfrmFind& F = ShowInFront(Open());
    F.aFilter->Execute();
    F.aAllTags->Execute();
    ClickAt(F.cbTags->Handle(), 10, F.cbTags->Height() / 2);
    ASSERT_EQ(GetFocus(), F.cbTags->Handle()) << FocusClass();
    const std::vector<TControl*> Controls{F.cbNamespaces, F.cbTags, F.CheckBox1, F.CheckBox2, F.BitBtn1};
    // Each control's pixels on screen, to compare with what it showed before the keys.
    auto Pixels = [&](TControl* C) {
        TBitmap Shot;
        const HWND W = dynamic_cast<TWinControl*>(C)->Handle();
        CaptureWindow(W, Shot);
        std::vector<uint8_t> Bytes;
        for (int Y = 0; Y < Shot.Height(); ++Y) {
            const auto* Row = static_cast<const uint8_t*>(Shot.ScanLine(Y));
            Bytes.insert(Bytes.end(), Row, Row + Shot.Width() * 3);
        }
        return Bytes;
    };
    std::vector<std::vector<uint8_t>> Before;
    for (TControl* C : Controls)
        Before.push_back(Pixels(C));
    auto AllShown = [&] {
        bool Shown = IsWindowVisible(F.pnlFilter->Handle()) && F.pnlFilter->Height() == 129;
        for (size_t I = 0; I < Controls.size(); ++I) {
            const std::vector<uint8_t> Now = Pixels(Controls[I]);
            size_t Changed = Now.size() == Before[I].size() ? 0 : Now.size();
            for (size_t K = 0; K < Now.size() && Changed < Now.size(); K += 3)
                if (Now[K] != Before[I][K] || Now[K + 1] != Before[I][K + 1] ||
                    Now[K + 2] != Before[I][K + 2])
                    ++Changed;
            // A caret or a focus mark may come and go; a control that is gone changes everywhere.
            EXPECT_LT(Changed * 3 * 10, Now.size()) << "control " << I;
            Shown = Shown && IsWindowVisible(dynamic_cast<TWinControl*>(Controls[I])->Handle()) &&
                    Changed * 3 * 10 < Now.size();
        }
        return Shown;
    };
    for (int Press = 0; Press < 2; ++Press) {
        PressKey(VK_ESCAPE);
        SettleInput(150);
        if (Press == 0) SaveScreen(F.Handle(), "finder-after-escape");
        EXPECT_TRUE(AllShown()) << Press;
    }
    // With its list open: Escape closes the list only.
    ClickAt(F.cbTags->Handle(), F.cbTags->Width() - 8, F.cbTags->Height() / 2);
    EXPECT_TRUE(PumpUntilVisible(F.cbTags->CheckList().Handle()));
    PressKey(VK_ESCAPE);
    SettleInput(150);
    EXPECT_TRUE(AllShown());
    PressKey(VK_ESCAPE);
    SettleInput(150);
    EXPECT_TRUE(AllShown());
    F.Close();
    SettleInput(100);
    ShowInFront(F);
    EXPECT_TRUE(AllShown());
    F.Hide();
}

// A tag that exists but that no note carries, ticked and searched: an empty list, no message,
// and none of the previous results left on screen.
TEST_F(FindTest, ATagNoNoteCarriesFindsNothing) {
    Topic("Work", "Report", {"urgent"});
    Store->GetTagID("lonely");
    TfrmFind& F = Open();
    F.aFilter->Execute();
    ASSERT_FALSE(Shown().empty());
    F.aAllTags->Execute();
    Check(F.cbTags, "lonely");
    Fixture->Messages.clear();
    F.aFilter->Execute();
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(Fixture->Messages.empty());
    EXPECT_EQ(F.Visualizer->PageText().find("Report"), std::string::npos);
}

// Whichever way a search changes the list (most of it going, a few lines going, many coming to a
// few, nothing changing), the list shows what the store finds, and its page is the page the same
// search writes into an empty list.
TEST_F(FindTest, EverySearchShowsWhatTheStoreFindsAsAnEmptyListWouldShowIt) {
    const Strings Spaces{"", "Alpha", "Beta"};
    for (int i = 0; i < 240; ++i) {
        Strings Tags;
        if (i % 2 == 0) Tags.push_back("even");
        if (i % 40 == 0) Tags.push_back("rare");
        if (i % 40 == 1) Tags.push_back("other");
        Topic(Spaces[static_cast<size_t>(i % 3)], "topic " + std::to_string(i), Tags);
    }
    TfrmFind& F = Open();
    F.aFilter->Execute(); // everything
    const auto Expected = [this](const Strings& Tags) {
        TStringList List;
        for (const auto& T : Tags)
            List.Add(T);
        std::map<std::string, std::set<std::string>> Boxes;
        for (const TPlacedTopic& T : Store->FindTopicsWithNamespaces(Tags.empty() ? nullptr : &List))
            Boxes[T.NameSpace.empty() ? "Default" : T.NameSpace].insert(T.Title);
        return Boxes;
    };
    const auto Listed = [this] {
        std::map<std::string, std::set<std::string>> Boxes;
        for (const auto& Namespace : Find->Visualizer->Namespaces()) {
            const Strings Titles = Find->Visualizer->Titles(Namespace);
            Boxes[Namespace].insert(Titles.begin(), Titles.end());
        }
        return Boxes;
    };
    // All, then one tag (most lines go), All again (many come to a few), a tag that keeps half, two
    // tags (a few come), the same again (nothing changes), one of them (a few go), the other (most
    // go), the first (many come, the few shown go), and All.
    const std::vector<Strings> Searches = {{"rare"},          {},       {"even"},  {"even", "other"},
                                           {"even", "other"}, {"even"}, {"other"}, {"even"},
                                           {"rare", "other"}, {}};
    for (const Strings& Tags : Searches) {
        const bool All = F.aAllTags->Checked();
        if (Tags.empty() != All) F.aAllTags->Execute();
        if (!Tags.empty()) {
            F.cbTags->ButtonClick();
            for (int i = 0; i < F.cbTags->Items().Count(); ++i) {
                const std::string Item = F.cbTags->Items().Get(i);
                F.cbTags->SetItemChecked(i, std::find(Tags.begin(), Tags.end(), Item) != Tags.end());
            }
            F.cbTags->ClosePopup(F.cbTags, true);
        }
        F.aFilter->Execute();
        const std::string What = ::testing::PrintToString(Tags);
        EXPECT_EQ(Listed(), Expected(Tags)) << What;
        const std::string Page = F.Visualizer->PageText();
        F.Visualizer->Clear();
        F.aFilter->Execute();
        EXPECT_EQ(F.Visualizer->PageText(), Page) << What;
    }
}

namespace {

// The titles of the store's tags, in the order the store lists them.
Strings StoreTags(TNotesStore& Store) {
    Strings Titles;
    if (auto Tags = Store.ListTags())
        for (int i = 0; i < Tags->Count(); ++i)
            Titles.push_back(ListLineTitle(Tags->Get(i)));
    return Titles;
}

Strings ItemsOf(TMvCheckedComboBox* Combo) {
    Strings Items;
    for (int i = 0; i < Combo->Items().Count(); ++i)
        Items.push_back(Combo->Items().Get(i));
    return Items;
}

} // namespace

// The tag combo is read from the store when its list first drops down, by a click on its button
// or by its key, and lists every tag then; an activation reads it again only when the store's
// tags changed, and either way the ticks follow the combo's text as before.
TEST_F(FindTest, TheTagsAreListedWhenTheListFirstDropsDownAndAgainOnlyWhenTheyChanged) {
    Topic("Work", "Report", {"gamma", "Alpha"});
    Topic("", "Shopping", {"beta"});
    Store->GetTagID("lonely");
    Strings Log;
    mv::app::TTopicServices Services = Fixture->Main().TopicServices();
    Services.Log = [&Log](const std::string& Line) { Log.push_back(Line); };
    auto Listings = [&Log] {
        return std::count_if(Log.begin(), Log.end(),
                             [](const std::string& L) { return L.rfind("ListTags", 0) == 0; });
    };
    Find = new TfrmFind(Application, Services);
    TfrmFind& F = ShowInFront(*Find);
    F.ReapplyFilterState(); // as the activation does: "All" on, nothing read
    EXPECT_FALSE(F.TagsListed());
    EXPECT_EQ(F.cbTags->Items().Count(), 0);
    F.aAllTags->Execute();
    // Into the box, and its key (Alt+Down) drops the list; the drop button does the same (the
    // drop-down tests above click it).
    ClickAt(F.cbTags->Handle(), 10, F.cbTags->Height() / 2);
    ASSERT_EQ(GetFocus(), F.cbTags->Handle()) << FocusClass();
    EXPECT_FALSE(F.TagsListed());
    PressKey(VK_DOWN, false, false, true);
    TMvCheckListBox& List = F.cbTags->CheckList();
    ASSERT_TRUE(PumpUntilVisible(List.Handle()));
    SaveScreen(F.Handle(), "finder-tags-dropped");
    EXPECT_EQ(ItemsOf(F.cbTags), StoreTags(*Store));
    EXPECT_EQ(List.Count(), F.cbTags->Items().Count());
    EXPECT_EQ(Listings(), 1);
    // A tick by the space bar on the selected item, as the keyboard gives it.
    const int Gamma = IndexOf(F.cbTags, "gamma");
    ASSERT_GE(Gamma, 0);
    List.SetItemIndex(Gamma);
    PressKey(VK_SPACE);
    SettleInput(150);
    EXPECT_TRUE(F.cbTags->IsItemChecked(Gamma));
    PressKey(VK_ESCAPE);
    SettleInput(150);
    EXPECT_FALSE(IsWindowVisible(List.Handle()));
    EXPECT_EQ(F.cbTags->Text(), "gamma");
    F.aFilter->Execute();
    EXPECT_EQ(Shown(), (Strings{"Work: Report"}));

    // Activations with the same tags: nothing read, the same items, the same tick.
    for (int Round = 0; Round < 2; ++Round) {
        F.ReapplyFilterState();
        EXPECT_EQ(Listings(), 1);
        EXPECT_EQ(ItemsOf(F.cbTags), StoreTags(*Store));
        EXPECT_EQ(F.cbTags->Text(), "gamma");
        for (int i = 0; i < F.cbTags->Items().Count(); ++i)
            EXPECT_EQ(F.cbTags->IsItemChecked(i), i == Gamma) << i;
        EXPECT_EQ(Shown(), (Strings{"Work: Report"}));
    }
    // A new tag, a renamed one and a removed one are read at the next activation; the text
    // ticks what it still names.
    Topic("", "List", {"delta", "gamma"});
    Store->RenameTag("beta", "Beta two");
    Store->DeleteTag("lonely");
    F.ReapplyFilterState();
    EXPECT_EQ(Listings(), 2);
    EXPECT_EQ(ItemsOf(F.cbTags), StoreTags(*Store));
    EXPECT_NE(IndexOf(F.cbTags, "delta"), -1);
    EXPECT_NE(IndexOf(F.cbTags, "Beta two"), -1);
    EXPECT_EQ(IndexOf(F.cbTags, "lonely"), -1);
    EXPECT_TRUE(F.cbTags->IsItemChecked(IndexOf(F.cbTags, "gamma")));
    EXPECT_EQ(Shown(), (Strings{"Default: List", "Work: Report"}));
    // A tag dropped by its last note going: read again.
    bool Created = false;
    Store->DetachTag(Store->FindTopic("", "List", Created), "delta");
    F.ReapplyFilterState();
    EXPECT_EQ(Listings(), 3);
    EXPECT_EQ(IndexOf(F.cbTags, "delta"), -1);
    F.Hide();
    delete Find; // before the services it was given
    Find = nullptr;
}
