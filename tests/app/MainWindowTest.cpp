// The main window's own services, in the test process: the tray icon's
// picture, where new note windows open, the log view over a long session, and
// the choice of the database file at start-up.
#include "app/Log.h"
#include "app/Note.h"
#include "app/Settings.h"
#include "app/TopicViewer.h"
#include "tray/TrayIcon.h"
#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "tests/app/AppFixture.h"
#include "tests/app/Screens.h"
#include "tests/support/ScreenWait.h"

#include <gtest/gtest.h>

using namespace mv::app::test;

namespace {

bool Contains(const std::vector<std::string>& Messages, const std::string& Part) {
    for (const std::string& M : Messages)
        if (M.find(Part) != std::string::npos) return true;
    return false;
}

void WriteBytes(const std::string& Path, const std::string& Bytes) {
    HANDLE F = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(F, INVALID_HANDLE_VALUE) << Path;
    DWORD Written = 0;
    WriteFile(F, Bytes.data(), static_cast<DWORD>(Bytes.size()), &Written, nullptr);
    CloseHandle(F);
}

// How many pixels of the picture differ from Background.
int Ink(const TPicture& Picture, uint32_t Background) {
    int N = 0;
    for (uint32_t P : Picture.Pixels)
        N += P != Background;
    return N;
}

// What the open menu showed, taken by a timer inside the menu's own loop, which it then ends.
TPicture MenuShot;
VOID CALLBACK CaptureOpenMenu(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    HWND Menu = FindWindowA("#32768", nullptr);
    RECT Rect{};
    if (Menu && IsWindowVisible(Menu) && GetWindowRect(Menu, &Rect)) MenuShot = CaptureScreen(Rect);
    EndMenu();
}

bool HasPicture(HMENU Menu, UINT Position) {
    MENUITEMINFOA Info{};
    Info.cbSize = sizeof Info;
    Info.fMask = MIIM_BITMAP;
    return GetMenuItemInfoA(Menu, Position, TRUE, &Info) && Info.hbmpItem;
}

} // namespace

// The tray menu as the user opens it: its commands, those with a picture showing it
// (screens/tray-menu.png).
TEST(MainWindow, TheTrayMenuShowsThePicturesOfItsCommands) {
    TAppFixture App("traymenu");
    TfrmMain& Main = App.Start();
    TPopupMenu* Menu = Main.TrayIcon()->PopupMenu();
    ASSERT_NE(Menu, nullptr);
    ASSERT_NE(Menu->Images(), nullptr);
    TMenuPictures Pictures(Menu->Images());
    HMENU Built = Menu->Items().BuildPopupMenu(&Pictures);
    char Text[64] = {};
    GetMenuStringA(Built, 1, Text, sizeof Text, MF_BYPOSITION);
    EXPECT_STREQ(Text, "&Find notes...");
    EXPECT_TRUE(HasPicture(Built, 1)) << "Find has a picture";
    EXPECT_FALSE(HasPicture(Built, 0)) << "Home has none";
    MenuShot = TPicture{};
    SetTimer(nullptr, 0, 300, CaptureOpenMenu);
    SetForegroundWindow(Application->Handle());
    TrackPopupMenu(Built, TPM_RETURNCMD | TPM_LEFTALIGN, 200, 200, 0, Application->Handle(), nullptr);
    DestroyMenu(Built);
    ASSERT_GT(MenuShot.Width, 0) << "the menu was not shown";
    EXPECT_TRUE(SaveScreen(MenuShot, "tray-menu"));
}

// The shell draws the icon it is handed; without one the tray slot is blank.
TEST(MainWindow, TheTrayIconIsARealSmallIconWithAMask) {
    TAppFixture App("trayicon");
    TfrmMain& Main = App.Start();
    ASSERT_TRUE(Main.Initialized());
    const NOTIFYICONDATAA& Data = Main.TrayIcon()->IconData();
    EXPECT_TRUE(Main.TrayIcon()->IconVisible());
    EXPECT_TRUE(Data.uFlags & NIF_ICON);
    ASSERT_NE(Data.hIcon, nullptr);
    ICONINFO Info{};
    ASSERT_TRUE(GetIconInfo(Data.hIcon, &Info));
    EXPECT_TRUE(Info.fIcon);
    EXPECT_NE(Info.hbmMask, nullptr);
    EXPECT_NE(Info.hbmColor, nullptr);
    BITMAP Colour{};
    GetObjectA(Info.hbmColor, sizeof Colour, &Colour);
    EXPECT_EQ(Colour.bmWidth, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(Colour.bmHeight, GetSystemMetrics(SM_CYSMICON));
    if (Info.hbmMask) DeleteObject(Info.hbmMask);
    if (Info.hbmColor) DeleteObject(Info.hbmColor);

    // Drawn over two different backgrounds, most of it is picture, and the
    // same picture both times where it is opaque.
    const int Size = GetSystemMetrics(SM_CXSMICON);
    const TPicture OnWhite = DrawIcon(Data.hIcon, Size, 0xFFFFFF);
    const TPicture OnGreen = DrawIcon(Data.hIcon, Size, 0x00FF00);
    EXPECT_GT(Ink(OnWhite, 0xFFFFFF), Size * Size / 4);
    EXPECT_GT(Ink(OnGreen, 0x00FF00), Size * Size / 4);
    EXPECT_TRUE(SaveScreen(OnWhite, "tray-icon"));
}

// A window without a stored rectangle opens in cascade from the one the user
// worked in; a stored rectangle still wins.
TEST(MainWindow, ANewNamespaceWindowOpensInCascadeUnlessItsTopicHasARectangle) {
    TAppFixture App("cascade");
    TfrmMain& Main = App.Start();
    TfrmNote* Home = NoteWindowsByNamespace.Find("");
    ASSERT_NE(Home, nullptr);
    Home->SetBounds(40, 50, 637, 379);
    Home->Perform(WM_ACTIVATE, WA_ACTIVE, 0);
    ASSERT_EQ(ActiveNoteWindow, Home);
    const int Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME);

    TfrmNote* Work = Main.ShowTopic("work:plan", "");
    EXPECT_EQ(Work->Left(), 40 + Step);
    EXPECT_EQ(Work->Top(), 50 + Step);
    // With no active window, the one opened last is the one to step from.
    ActiveNoteWindow = nullptr;
    TfrmNote* Play = Main.ShowTopic("play:ball", "");
    EXPECT_EQ(Play->Left(), Work->Left() + Step);
    EXPECT_EQ(Play->Top(), Work->Top() + Step);

    // Saved where the user put it, reopened there.
    Work->SetBounds(300, 200, 500, 300);
    Work->Close();
    App.Pump();
    Home->Perform(WM_ACTIVATE, WA_ACTIVE, 0);
    TfrmNote* Again = Main.ShowTopic("work:plan", "");
    EXPECT_EQ(Again->Left(), 300);
    EXPECT_EQ(Again->Top(), 200);
    EXPECT_EQ(Again->Width(), 500);
}

// Thousands of log lines later the view holds the newest ones, as many as its
// bound allows, in order, and adding one is as cheap as at the start.
TEST(MainWindow, TheLogViewKeepsTheNewestLinesWithinItsBound) {
    TAppFixture App("logview");
    TfrmMain& Main = App.Start();
    Main.aShowLog->Execute();
    ASSERT_NE(frmLog, nullptr);
    EXPECT_TRUE(frmLog->Visible());
    TMemo& Memo = *frmLog->mLog;
    ASSERT_TRUE(Memo.HandleAllocated());

    const int Records = 3000;
    for (int I = 0; I < Records; ++I)
        Main.Log("Record " + std::to_string(I) + std::string(40, '.') + "\r\nsecond half");
    const std::string Text = Memo.Text();
    EXPECT_LE(Text.size(), LogViewLimit + LogViewSlack);
    EXPECT_GE(Text.size(), LogViewLimit - 80);
    TStrings& Lines = Memo.Lines();
    const int Count = Lines.Count();
    ASSERT_GT(Count, 100);
    // One record per line (its line break became a blank), the newest last.
    EXPECT_EQ(Lines.Get(Count - 1), "Record 2999" + std::string(40, '.') + "  second half");
    for (int I = 0; I < Count; ++I)
        ASSERT_EQ(Lines.Get(I),
                  "Record " + std::to_string(Records - Count + I) + std::string(40, '.') + "  second half")
            << I;
    // A line longer than the log file keeps of a record (the finder lists every tag of a big
    // notebook on one) is cut as the file cuts it; the lines after it are whole.
    std::string Long;
    for (int I = 0; I < 100000; ++I)
        Long += (I ? "," : "") + std::string("tag") + std::to_string(I);
    Main.Log("ListOptions // " + Long);
    Main.Log("After the long line");
    const int After = Lines.Count();
    ASSERT_GE(After, 2);
    EXPECT_EQ(Lines.Get(After - 2), ("ListOptions // " + Long).substr(0, LogViewLineLimit - 3) + "...");
    EXPECT_EQ(Lines.Get(After - 1), "After the long line");
    // Hiding it clears the menu's check mark.
    frmLog->Hide();
    EXPECT_FALSE(Main.aShowLog->Checked());

    RECT Rect{};
    GetWindowRect(frmLog->Handle(), &Rect);
    frmLog->Show();
    frmLog->Update();
    ASSERT_TRUE(mv::test::WaitUntilShown(frmLog->Handle()));
    SaveScreen(CaptureScreen(Rect), "log");
}

// An empty database file is a missing one: the template goes over it.
TEST(MainWindow, AnEmptyDatabaseFileGetsTheTemplate) {
    TAppFixture App("emptydb");
    WriteBytes(App.Database(), "");
    TfrmMain& Main = App.Start();
    ASSERT_TRUE(Main.Initialized());
    EXPECT_NE(NoteWindowsByNamespace.Find("")->Editor()->Text().find("Welcome to Miravelund"),
              std::string::npos);
    EXPECT_NE(App.ReadFile("Miravelund.log")
                  .find("Database file is empty (0 bytes), copying Default.mvdb over it."),
              std::string::npos);
    App.Quit();
    EXPECT_NE(CommittedContent(App.Database(), "", "Home").find("Welcome to Miravelund"), std::string::npos);
}

// The program folder's file comes first, so the advice for it is to move it
// out of the way, not to edit the settings.
TEST(MainWindow, ARefusedProgramFolderDatabaseIsNamedWithTheWayOut) {
    TAppFixture App("refusedown");
    const std::string Own = App.Folder() + "\\Miravelund.mvdb";
    const std::string Junk = "my shopping list";
    WriteBytes(Own, Junk);
    TfrmMain& Main = App.Start();
    EXPECT_FALSE(Main.Initialized());
    EXPECT_TRUE(Contains(App.Messages, Own)) << (App.Messages.empty() ? "" : App.Messages.front());
    EXPECT_TRUE(Contains(App.Messages, "move or rename that file"));
    EXPECT_FALSE(Contains(App.Messages, "database="));
    EXPECT_EQ(App.ReadFile("Miravelund.mvdb"), Junk);
}
