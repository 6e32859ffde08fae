// The main road, end to end in the test process: start from the template,
// Home in a note window, editing, link following, history, tags, saving with
// checkpoints, closing and reopening windows, and quitting.
#include "app/Log.h"
#include "app/NamespaceVisualizer.h"
#include "app/Note.h"
#include "app/NoteBar.h"
#include "app/TopicViewer.h"
#include "htmlview/HtmlTextSection.h"
#include "gui/Timers.h"
#include "gui/ToolBar.h"
#include "store/NotesStore.h"
#include "store/SQLiteAccess.h"
#include "tests/app/AppFixture.h"
#include "tests/app/PanelLinks.h"

#include <gtest/gtest.h>
#include <richedit.h>

using namespace mv::app::test;
using Strings = std::vector<std::string>;

namespace {

TfrmNote* WindowOf(const std::string& Namespace) {
    return NoteWindowsByNamespace.Find(Namespace);
}

// Puts Text at the end of the editor as a new paragraph.
void Type(TTopicViewer& Editor, const std::string& Text) {
    Editor.SetSelStart(Editor.TextLength());
    Editor.SetSelLength(0);
    Editor.SetSelText(Text);
}

// Selects the first occurrence of Word and follows it, as a double-click on it does.
void FollowWord(TTopicViewer& Editor, const std::string& Word, int Extra = 0) {
    const std::string Text = Editor.TextInPositions();
    const auto At = Text.find(Word);
    ASSERT_NE(At, std::string::npos) << Word << " not in " << Text;
    Editor.SetSelStart(static_cast<int>(At));
    Editor.SetSelLength(static_cast<int>(Word.size()) + Extra);
    Editor.FollowLink(&Editor);
}

// Double-clicks the middle of the first occurrence of Word with the mouse messages Windows sends.
void DoubleClickWord(TTopicViewer& Editor, const std::string& Word) {
    const auto At = Editor.TextInPositions().find(Word);
    ASSERT_NE(At, std::string::npos) << Word;
    POINTL Where{};
    SendMessageA(Editor.Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&Where), At + Word.size() / 2);
    const LPARAM Point = MAKELPARAM(Where.x + 1, Where.y + 3);
    SendMessageA(Editor.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point);
    SendMessageA(Editor.Handle(), WM_LBUTTONUP, 0, Point);
    SendMessageA(Editor.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, Point);
    SendMessageA(Editor.Handle(), WM_LBUTTONUP, 0, Point);
}

CHARFORMAT2A FormatAt(TTopicViewer& Editor, int Start, int Length) {
    Editor.SetSelStart(Start);
    Editor.SetSelLength(Length);
    CHARFORMAT2A Format{};
    Format.cbSize = sizeof Format;
    SendMessageA(Editor.Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&Format));
    return Format;
}

Strings TagsOf(TNotesStore& Store, int32_t TopicID) {
    Strings Tags;
    if (auto List = Store.ListTopicTags(TopicID))
        for (int I = 0; I < List->Count(); ++I)
            Tags.push_back(List->Get(I));
    std::sort(Tags.begin(), Tags.end());
    return Tags;
}

// Clicks the side panel's link to Href with the mouse messages Windows sends.
void ClickPanelLink(TNamespaceVisualizer& Panel, const std::string& Href) {
    // Drawing the page places its lines; then the link's first character has a point.
    TPaintPanel& Surface = Panel.PaintPanel();
    {
        TMemoryDC DC(nullptr);
        TGdiObject<HBITMAP> Bitmap(
            CreateBitmap(std::max(Surface.Width(), 1), std::max(Surface.Height(), 1), 1, 32, nullptr));
        TSelectObject Select(DC.Get(), Bitmap.Get());
        Panel.DrawDocument(DC.Get(), RECT{0, 0, Surface.Width(), Surface.Height()});
    }
    THtmlFontCache Fonts;
    TWindowDC Screen(nullptr);
    TGdiPainter Measure(Screen.Get(), Fonts);
    for (const mv::app::test::TPanelLink& Link : mv::app::test::PanelLinks(Panel.SectionList())) {
        if (Link.Url != Href) continue;
        int32_t X = 0, Y = 0;
        ASSERT_TRUE(Panel.SectionList().CharIndexToPoint(Measure, Link.TextStart + 1, X, Y));
        const LPARAM Point = MAKELPARAM(X + 2, Y - Panel.SectionList().ScrollOffset + 5);
        SendMessageA(Surface.Handle(), WM_MOUSEMOVE, 0, Point);
        SendMessageA(Surface.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point);
        SendMessageA(Surface.Handle(), WM_LBUTTONUP, 0, Point);
        return;
    }
    ADD_FAILURE() << "no link to " << Href << " in " << Panel.PageText();
}

} // namespace

TEST(Road, StartShowsHomeFollowsLinksKeepsHistoryAndSavesEveryStep) {
    TAppFixture App("road");
    TfrmMain& Main = App.Start();
    ASSERT_TRUE(Main.Initialized());
    TfrmNote* Home = WindowOf("");
    ASSERT_NE(Home, nullptr);
    EXPECT_EQ(Home->Caption(), ":Home");
    EXPECT_TRUE(Home->Visible());
    EXPECT_FALSE(Home->aBackward->Enabled());
    EXPECT_FALSE(Home->aForward->Enabled());
    EXPECT_TRUE(Main.tCommit->Enabled());
    EXPECT_EQ(Main.tCommit->Interval(), 360000u);
    TTopicViewer& Editor = *Home->Editor();
    EXPECT_NE(Editor.TextInPositions().find("Welcome to Miravelund"), std::string::npos);
    EXPECT_NE(Editor.TextInPositions().find("This is your Home note."), std::string::npos);

    // Type a word and follow it: the new topic opens in the same window.
    Type(Editor, "\rSee Plan soon");
    FollowWord(Editor, "Plan", 1);
    EXPECT_EQ(Home->Caption(), ":Plan");
    EXPECT_EQ(Home->History().Entries(), (Strings{":Home", ":Plan"}));
    EXPECT_TRUE(Home->aBackward->Enabled());
    EXPECT_FALSE(Home->aForward->Enabled());
    EXPECT_EQ(Editor.TextInPositions(), "");
    // The navigation saved Home and committed: a second connection sees it.
    const std::string Saved = CommittedContent(App.Database(), "", "Home");
    EXPECT_NE(Saved.find("See "), std::string::npos) << Saved;
    EXPECT_NE(Saved.find(" soon"), std::string::npos) << Saved;

    // Back shows Home with the link marked pure blue, dotted underline.
    Home->aBackward->Execute();
    EXPECT_EQ(Home->Caption(), ":Home");
    EXPECT_FALSE(Home->aBackward->Enabled());
    EXPECT_TRUE(Home->aForward->Enabled());
    const auto At = static_cast<int>(Editor.TextInPositions().find("Plan soon"));
    CHARFORMAT2A Link = FormatAt(Editor, At, 4);
    EXPECT_TRUE(Link.dwMask & CFM_COLOR);
    EXPECT_EQ(Link.crTextColor, RGB(0, 0, 255));
    EXPECT_EQ(Link.bUnderlineType, CFU_UNDERLINEDOTTED);
    CHARFORMAT2A Plain = FormatAt(Editor, At + 5, 4);
    EXPECT_NE(Plain.crTextColor, RGB(0, 0, 255));

    Home->aForward->Execute();
    EXPECT_EQ(Home->Caption(), ":Plan");
    EXPECT_TRUE(Home->aBackward->Enabled());
    EXPECT_FALSE(Home->aForward->Enabled());

    // ns:title opens a second window for the namespace, whichever half is double-clicked.
    Type(Editor, "Ask work:todo today");
    DoubleClickWord(Editor, "todo");
    TfrmNote* Work = WindowOf("WORK");
    ASSERT_NE(Work, nullptr);
    EXPECT_NE(Work, Home);
    EXPECT_EQ(Work->Caption(), "work:todo");
    EXPECT_EQ(Main.OpenNoteWindows().size(), 2u);
    EXPECT_EQ(Home->Caption(), ":Plan");

    // A new topic reaches the side panels of its namespace and of the default namespace.
    EXPECT_EQ(Work->Visualizer()->Titles("work"), (Strings{"todo"}));
    const Strings DefaultSees = Home->Visualizer()->Titles("work");
    EXPECT_EQ(DefaultSees, (Strings{"todo"}));

    // Navigating from the middle of the history drops the entries after it.
    Main.ShowTopic("B", "");
    Main.ShowTopic("C", "");
    EXPECT_EQ(Home->History().Entries(), (Strings{":Home", ":Plan", ":B", ":C"}));
    Home->aBackward->Execute();
    Home->aBackward->Execute();
    EXPECT_EQ(Home->Caption(), ":Plan");
    Main.ShowTopic("D", "default");
    EXPECT_EQ(Home->History().Entries(), (Strings{":Home", ":Plan", ":D"}));
    EXPECT_EQ(Home->History().Index(), 2);
    EXPECT_FALSE(Home->aForward->Enabled());

    // Quit: every window saves, the checkpoint runs, and the log ends the session.
    SetForegroundWindow(Work->Handle());
    Work->Perform(WM_ACTIVATE, WA_ACTIVE, 0);
    App.Pump();
    EXPECT_EQ(ActiveNoteWindow, Work);
    // Quitting from the tray menu takes the focus away first; the window stays the one active last.
    Work->Perform(WM_ACTIVATE, WA_INACTIVE, 0);
    App.Pump();
    EXPECT_EQ(ActiveNoteWindow, Work);
    App.Quit();
    EXPECT_TRUE(App.Messages.empty()) << App.Messages.front();
    EXPECT_EQ(NoteWindowsByNamespace.Count(), 0u);
    const std::string Log = App.ReadFile("Miravelund.log");
    EXPECT_NE(Log.find("]>  Close ::D"), std::string::npos) << Log;
    EXPECT_NE(Log.find("]>  Close :work:todo"), std::string::npos) << Log;
    EXPECT_EQ(Log.substr(Log.find_last_not_of("\r\n") - 10, 11), "Session End");

    TNotesStore Store(App.Database());
    EXPECT_EQ(Store.Properties().Values("active.window"), "work:todo");
    bool Created = false;
    EXPECT_GE(Store.FindTopic("work", "todo", Created), 0);
    EXPECT_NE(CommittedContent(App.Database(), "", "Plan").find("work:todo"), std::string::npos);
}

TEST(Road, DotLinesBecomeTagsAndStayWholeInANarrowWindow) {
    TAppFixture App("tags");
    TfrmMain& Main = App.Start();
    TfrmNote* Home = WindowOf("");
    ASSERT_NE(Home, nullptr);
    TTopicViewer& Editor = *Home->Editor();
    Type(Editor, "\r.Work.Home\r");
    Home->aSave->Execute();
    TNotesStore& Store = *Main.NotesStore();
    EXPECT_EQ(TagsOf(Store, Editor.TopicID()), (Strings{"home", "welcome", "work"}));

    Editor.SetText("Home\r.work\r");
    Home->aSave->Execute();
    EXPECT_EQ(TagsOf(Store, Editor.TopicID()), (Strings{"work"}));
    bool Created = false;
    EXPECT_LT(Store.FindTag("home", Created), 0);

    // A dot-line far wider than the window wraps on screen but keeps every tag.
    Home->SetWidth(200);
    std::string Long = ".first";
    for (int I = 0; I < 30; ++I)
        Long += " word" + std::to_string(I);
    Long += " last";
    Editor.SetText("Home\r" + Long + "\r");
    App.Pump();
    ASSERT_GT(SendMessageA(Editor.Handle(), EM_GETLINECOUNT, 0, 0), 3);
    Home->aSave->Execute();
    const Strings Tags = TagsOf(Store, Editor.TopicID());
    EXPECT_EQ(Tags.size(), 32u);
    EXPECT_NE(std::find(Tags.begin(), Tags.end(), "last"), Tags.end());
}

TEST(Road, AClosedWindowReopensWithItsGeometryAndSplitter) {
    TAppFixture App("geometry");
    TfrmMain& Main = App.Start();
    TfrmNote* Work = Main.ShowTopic("work:todo", "");
    Work->SetBounds(110, 120, 520, 330);
    Work->Visualizer()->SetWidth(210);
    Work->Editor()->SetText("closing saves this");
    Work->Close();
    App.Pump();
    EXPECT_EQ(WindowOf("work"), nullptr);
    // Closing saved and committed.
    EXPECT_NE(CommittedContent(App.Database(), "work", "todo").find("closing saves this"), std::string::npos);
    EXPECT_EQ(Main.OpenNoteWindows().size(), 1u);

    TfrmNote* Again = Main.ShowTopic("todo", "work");
    ASSERT_NE(Again, nullptr);
    EXPECT_EQ(Again->Left(), 110);
    EXPECT_EQ(Again->Top(), 120);
    EXPECT_EQ(Again->Width(), 520);
    EXPECT_EQ(Again->Height(), 330);
    EXPECT_EQ(Again->Visualizer()->Width(), 210);
}

TEST(Road, ShowTopicReadsAddressesAndHideUnhideWalkTheWindows) {
    TAppFixture App("showtopic");
    TfrmMain& Main = App.Start();
    TfrmNote* Home = WindowOf("");
    EXPECT_EQ(Main.ShowTopic("Home", "default"), Home);
    EXPECT_EQ(Main.ShowTopic("DEFAULT:Home", ""), Home);
    EXPECT_EQ(Home->Caption(), ":Home");
    TfrmNote* Work = Main.ShowTopic("work:plan", "x");
    EXPECT_EQ(Work->Caption(), "work:plan");
    EXPECT_EQ(Main.ShowTopic("Other", "WoRk"), Work);
    EXPECT_EQ(Work->Caption(), "WoRk:Other");
    EXPECT_EQ(NoteWindowsByNamespace.Count(), 2u);

    // Hide and unhide: one of the two commands at a time owns Ctrl+H.
    Main.aHide->Execute();
    EXPECT_FALSE(Home->Visible());
    EXPECT_FALSE(Work->Visible());
    EXPECT_FALSE(Main.aHide->Enabled());
    EXPECT_TRUE(Main.aUnhide->Enabled());
    EXPECT_TRUE(Main.alActions->IsShortCut(ShortCut('H', ssCtrl)));
    EXPECT_TRUE(Home->Visible());
    EXPECT_TRUE(Work->Visible());
    EXPECT_TRUE(Main.aHide->Enabled());
    EXPECT_FALSE(Main.aUnhide->Visible());

    // A session end that was called off only logs (a real one is tried on
    // the whole program in ProcessTest), and only where the main window heard it.
    SendMessageA(Work->Handle(), WM_ENDSESSION, 0, 0);
    EXPECT_EQ(App.ReadFile("Miravelund.log").find("Got EM_ENDSESSION message, quitting"), std::string::npos);
    SendMessageA(Main.Handle(), WM_ENDSESSION, 0, 0);
    EXPECT_TRUE(Main.Initialized());
    EXPECT_NE(App.ReadFile("Miravelund.log").find("Got EM_ENDSESSION message, quitting"), std::string::npos);
}

TEST(Road, SidePanelListsTopicsAndItsLinksOpenThem) {
    TAppFixture App("panel");
    TfrmMain& Main = App.Start();
    TfrmNote* Home = WindowOf("");
    TNamespaceVisualizer& Panel = *Home->Visualizer();
    // The default window lists every namespace of the template.
    EXPECT_EQ(Panel.Titles("Default"), (Strings{"Home"}));
    EXPECT_EQ(Panel.Titles("Help"), (Strings{""}));

    Panel.AddEntry("Default", "beta");
    Panel.AddEntry("Default", "Beta");
    EXPECT_EQ(Panel.Titles("Default"), (Strings{"beta", "Home"}));
    Panel.RemoveEntry("Help", "");
    EXPECT_TRUE(Panel.Titles("Help").empty());
    Panel.Render();
    const std::string& Page = Panel.PageText();
    EXPECT_NE(Page.find("<a href=\"Default:\">[Root]</a>"), std::string::npos);
    EXPECT_NE(Page.find("<a href=\"Default:beta\">beta</nobr></a>"), std::string::npos);
    EXPECT_EQ(Page.find("Help"), std::string::npos);

    // A click on Default:beta opens beta of the default namespace in this window.
    ClickPanelLink(Panel, "Default:beta");
    EXPECT_EQ(Home->Caption(), ":beta");
    // A click on a namespace's [Root] opens its topic with the empty title.
    Main.ShowTopic("work:todo", "");
    TfrmNote* Work = WindowOf("work");
    ClickPanelLink(*Work->Visualizer(), "work:");
    EXPECT_EQ(Work->Caption(), "work:");
}

// Going to the note already shown, by the side panel's link or the tray's Home, adds no
// history: Back and Forward, buttons and all, are enabled only when they would show another note.
TEST(Road, GoingToTheShownNoteLeavesBackAndForwardAsTheyWere) {
    TAppFixture App("shownagain");
    TfrmMain& Main = App.Start();
    TfrmNote* Home = WindowOf("");
    ASSERT_NE(Home, nullptr);
    TToolBar& Bar = *Home->CommandBar()->tbManagers;
    auto Expect = [&](bool Back, bool Forward, const Strings& Entries) {
        EXPECT_EQ(Home->aBackward->Enabled(), Back);
        EXPECT_EQ(Home->aForward->Enabled(), Forward);
        EXPECT_EQ(TNoteCommandBar::ButtonOf(Bar, Home->aBackward)->Enabled(), Back);
        EXPECT_EQ(TNoteCommandBar::ButtonOf(Bar, Home->aForward)->Enabled(), Forward);
        EXPECT_EQ(Home->History().Entries(), Entries);
    };
    ClickPanelLink(*Home->Visualizer(), "Default:Home");
    EXPECT_EQ(Home->Caption(), ":Home");
    Expect(false, false, {":Home"});
    Main.aHome->Execute();
    Expect(false, false, {":Home"});

    Main.ShowTopic("A", "");
    Home->aBackward->Execute();
    Expect(false, true, {":Home", ":A"});
    ClickPanelLink(*Home->Visualizer(), "Default:Home");
    Main.aHome->Execute();
    Expect(false, true, {":Home", ":A"});
    Home->aForward->Execute();
    EXPECT_EQ(Home->Caption(), ":A");
    Expect(true, false, {":Home", ":A"});
}

// Titles and namespaces with mark-up characters show as text, and their links open them.
TEST(Road, SidePanelShowsMarkupAsTextAndOpensTheRightTopic) {
    TAppFixture App("panelmarkup");
    TfrmMain& Main = App.Start();
    const Strings Titles = {"<!--", "<script>", "a\"b", "x=y"};
    for (const auto& T : Titles)
        Main.ShowTopic("work:" + T, "");
    TfrmNote* Work = WindowOf("work");
    ASSERT_NE(Work, nullptr);
    TNamespaceVisualizer& Panel = *Work->Visualizer();
    EXPECT_EQ(Panel.PageText().find("<script>"), std::string::npos);
    for (const auto& T : Titles) {
        ClickPanelLink(Panel, "work:" + T);
        EXPECT_EQ(Work->Caption(), "work:" + T);
    }
}

// Store events reach the panel: a new topic appears as a link, a deleted one goes.
TEST(Road, SidePanelFollowsTheStoresEvents) {
    TAppFixture App("panelevents");
    TfrmMain& Main = App.Start();
    TfrmNote* Home = WindowOf("");
    TNamespaceVisualizer& Panel = *Home->Visualizer();
    const std::string Before = Panel.PageText();
    Main.ShowTopic("Brand new", "");
    EXPECT_EQ(Panel.Titles("Default"), (Strings{"Brand new", "Home"}));
    EXPECT_NE(Panel.PageText().find("Default:Brand new"), std::string::npos);
    EXPECT_GT(Panel.PageText().size(), Before.size());
    EXPECT_TRUE(mv::app::test::Links(Panel.SectionList(), "Default:Brand new"));
    Main.ShowTopic("Home", "");
    bool Created = false;
    const int32_t ID = Main.NotesStore()->FindTopic("", "Brand new", Created);
    ASSERT_FALSE(Created);
    Main.NotesStore()->DeleteTopic(ID);
    EXPECT_EQ(Panel.PageText().find("Default:Brand new"), std::string::npos);
}

// A namespace whose name begins with "!" makes its links commands.
TEST(Road, BangLinksRunCommands) {
    TAppFixture App("bang");
    TfrmMain& Main = App.Start();
    std::string Asked;
    App.Responder.InputQuery = [&](const std::string& Caption, const std::string& Prompt,
                                   std::string& Value) {
        Asked = Caption + "|" + Prompt;
        Value = "fresh";
        return true;
    };
    Main.ShowTopic("!bogus thing:", "");
    TfrmNote* Bogus = WindowOf("!bogus thing");
    ASSERT_NE(Bogus, nullptr);
    App.Messages.clear();
    ClickPanelLink(*Bogus->Visualizer(), "!bogus thing:");
    ASSERT_EQ(App.Messages.size(), 1u);
    EXPECT_EQ(App.Messages[0], "Invalid bang command: \"!bogus\"");
    EXPECT_EQ(Bogus->Caption(), "!bogus thing:");

    Main.ShowTopic("!NewNamespace x:", "");
    TfrmNote* Maker = WindowOf("!NewNamespace x");
    ASSERT_NE(Maker, nullptr);
    ClickPanelLink(*Maker->Visualizer(), "!NewNamespace x:");
    EXPECT_EQ(Asked, "New Namespace|Name of new namespace:");
    ASSERT_NE(WindowOf("fresh"), nullptr);
    EXPECT_EQ(WindowOf("fresh")->Caption(), "fresh:");
}

// The editor is kept from drawing while a navigation replaces its text; it must
// come back on the screen with the focus and show the new topic alone.
TEST(Road, ANavigatedEditorIsShownFocusedAndFullyRedrawn) {
    TAppFixture App("redraw");
    TfrmMain& Main = App.Start();
    TfrmNote& Home = *WindowOf("");
    TTopicViewer& Editor = *Home.Editor();
    SetForegroundWindow(Home.Handle());
    std::string Long;
    for (int I = 0; I < 60; ++I)
        Long += "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM\r";
    Editor.SetText(Long);
    App.Pump();
    Main.ShowTopic("Short", "");
    App.Pump();
    EXPECT_EQ(Editor.TopicFile(), "Short");
    EXPECT_TRUE(IsWindowVisible(Editor.Handle()));
    EXPECT_EQ(GetFocus(), Editor.Handle());
    RECT Pending{};
    EXPECT_FALSE(GetUpdateRect(Editor.Handle(), &Pending, FALSE)) << "nothing is left to paint";

    // Below the new topic's first line nothing of the long text is left.
    RECT Client{};
    GetClientRect(Editor.Handle(), &Client);
    HDC DC = GetDC(Editor.Handle());
    const COLORREF Background = GetPixel(DC, Client.right - 5, Client.bottom - 5);
    int Stale = 0;
    for (int Y = Client.bottom / 3; Y < Client.bottom - 4; Y += 3)
        for (int X = 4; X < Client.right - 24; X += 3)
            if (GetPixel(DC, X, Y) != Background) ++Stale;
    ReleaseDC(Editor.Handle(), DC);
    EXPECT_EQ(Stale, 0);

    Main.ShowTopic("Home", "");
    App.Pump();
    EXPECT_NE(Editor.TextInPositions().find("MMMM"), std::string::npos);
    EXPECT_EQ(GetFocus(), Editor.Handle());
}
