// The note window's side panel on screen: a window with a few namespaces, saved as a picture,
// and the panel's columns following its width.
#include "app/Main.h"
#include "app/NamespaceVisualizer.h"
#include "app/Note.h"
#include "gui/GraphicImages.h"
#include "tests/app/AppFixture.h"
#include "tests/components/MessagePump.h"
#include "tests/components/Screens.h"

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
    PumpFor(300);
    const std::string& Page = Home->Visualizer()->PageText();
    EXPECT_NE(Page.find("work:budget &amp; costs"), std::string::npos);
    EXPECT_GT(Home->Visualizer()->SectionList().LinkList.size(), 5u);
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
    PumpFor(300);
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
