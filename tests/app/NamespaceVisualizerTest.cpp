// The note window's side panel on screen: a window with a few namespaces, saved as a picture,
// and the panel's columns following its width.
#include "app/Main.h"
#include "app/NamespaceVisualizer.h"
#include "app/Note.h"
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
