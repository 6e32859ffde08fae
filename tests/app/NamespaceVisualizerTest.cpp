// The note window's side panel on screen: a window with a few namespaces, saved as a picture,
// and the panel's columns following its width.
#include "app/Main.h"
#include "app/NamespaceVisualizer.h"
#include "app/Note.h"
#include "gui/GraphicImages.h"
#include "store/NotesStore.h"
#include "tests/app/AppFixture.h"
#include "tests/app/PanelLinks.h"
#include "tests/support/ScreenWait.h"
#include "tests/support/Screens.h"

#include <gtest/gtest.h>

using mv::app::test::TAppFixture;

TEST(SidePanel, ScreenshotOfANoteWindowWithItsPanel) {
    TAppFixture App("panelshot");
    TfrmMain& Main = App.Start();
    for (const char* Address : {"work:plan", "work:budget & costs", "ideas:garden", ":Shopping"})
        Main.ShowTopic(Address, "");
    Main.ShowTopic("Home", "");
    TfrmNote* Home = NoteWindowsByNamespace.Find("");
    ASSERT_NE(Home, nullptr);
    Home->SetBounds(40, 40, 640, 420);
    Home->Visualizer()->SetWidth(230);
    Home->Visualizer()->Render();
    Home->Show();
    SetForegroundWindow(Home->Handle());
    ASSERT_TRUE(mv::test::WaitUntilShown(Home->Handle()));
    const std::string& Page = Home->Visualizer()->PageText();
    EXPECT_NE(Page.find("work:budget &amp; costs"), std::string::npos);
    EXPECT_GT(mv::app::test::PanelLinks(Home->Visualizer()->SectionList()).size(), 5u);
    SaveScreen(Home->Handle(), "note-window-side-panel");

    // Wider, the boxes go side by side.
    const int32_t Narrow = Home->Visualizer()->Columns;
    Home->Visualizer()->SetWidth(600);
    Home->Visualizer()->Render();
    EXPECT_GT(Home->Visualizer()->Columns, Narrow);
}

// Three namespaces in the panel at its first width: boxes that do not fit side by side go to the
// next row, so no box is cut off at the panel's right edge (there the window's own background
// shows, not a box's grey).
TEST(SidePanel, BoxesThatDoNotFitGoToTheNextRow) {
    TAppFixture App("panelrows");
    TfrmMain& Main = App.Start();
    Main.ShowTopic("", "ideas"); // beside Default and Help of a new database
    TfrmNote* Home = NoteWindowsByNamespace.Find("");
    ASSERT_NE(Home, nullptr);
    Home->SetBounds(40, 40, 560, 420);
    Home->Show();
    SetForegroundWindow(Home->Handle());
    TNamespaceVisualizer& Panel = *Home->Visualizer();
    ASSERT_EQ(Panel.Width(), 150);
    Panel.Render();
    ASSERT_TRUE(mv::test::WaitUntilShown(Home->Handle()));
    EXPECT_EQ(Panel.Namespaces(), (std::vector<std::string>{"Default", "Help", "ideas"}));
    EXPECT_LT(Panel.Columns, 3);
    SaveScreen(Home->Handle(), "note-window-side-panel-three-namespaces");

    TBitmap Shot;
    CaptureWindow(Panel.PaintPanel().Handle(), Shot);
    auto IsBoxGrey = [&Shot](int X, int Y) {
        const auto* Row = static_cast<const uint8_t*>(Shot.ScanLine(Y));
        const uint8_t B = Row[X * 3], G = Row[X * 3 + 1], R = Row[X * 3 + 2];
        return R == G && G == B && (R == 0xDD || R == 0xAA);
    };
    int Grey = 0, GreyAtTheEdge = 0;
    for (int Y = 0; Y < Shot.Height(); ++Y)
        for (int X = 0; X < Shot.Width(); ++X)
            if (IsBoxGrey(X, Y)) {
                ++Grey;
                if (X >= Shot.Width() - 3) ++GreyAtTheEdge;
            }
    EXPECT_GT(Grey, 3 * 40 * 20); // the three boxes are drawn
    EXPECT_EQ(GreyAtTheEdge, 0);
}

// A topic renamed or moved through the store leaves every open side panel that listed it and
// appears in those of its new namespace: its own namespace's window and the default one, which
// lists every namespace. No window asks for it: the store's rename event does it.
TEST(SidePanel, ARenameThroughTheStoreMovesTheTopicInEveryOpenPanel) {
    using Strings = std::vector<std::string>;
    TAppFixture App("panelrename");
    TfrmMain& Main = App.Start();
    for (const char* Address : {"work:plan", "work:budget", "ideas:garden", "Home"})
        Main.ShowTopic(Address, "");
    TfrmNote* Home = NoteWindowsByNamespace.Find("");
    TfrmNote* Work = NoteWindowsByNamespace.Find("work");
    TfrmNote* Ideas = NoteWindowsByNamespace.Find("ideas");
    ASSERT_TRUE(Home && Work && Ideas);
    ASSERT_EQ(Work->Visualizer()->Titles("work"), (Strings{"budget", "plan"}));
    TNotesStore& Store = *Main.NotesStore();
    bool Created = false;
    const int32_t Plan = Store.FindTopic("work", "plan", Created);
    ASSERT_GT(Plan, 0);

    auto Save = [&](const std::string& Namespace, const std::string& Title) {
        TStringStream Content("text");
        Store.SaveTopic(Plan, Namespace, TTopicRect{}, Content, Title);
    };
    Save("work", "Plan B");
    for (TfrmNote* Window : {Work, Home})
        EXPECT_EQ(Window->Visualizer()->Titles("work"), (Strings{"budget", "Plan B"})) << Window->Caption();

    Save("ideas", "Plan B");
    for (TfrmNote* Window : {Work, Home})
        EXPECT_EQ(Window->Visualizer()->Titles("work"), (Strings{"budget"})) << Window->Caption();
    for (TfrmNote* Window : {Ideas, Home})
        EXPECT_EQ(Window->Visualizer()->Titles("ideas"), (Strings{"garden", "Plan B"})) << Window->Caption();
    EXPECT_NE(Home->Visualizer()->PageText().find("ideas:Plan B"), std::string::npos);
    EXPECT_EQ(Work->Visualizer()->PageText().find("Plan B"), std::string::npos);
}
