// The tray icon: what it sends to the shell (through a recorder, and once for
// real), and how the shell's callbacks become events.
#include "tray/LightTimer.h"
#include "tray/TrayIcon.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/Responder.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

using ::testing::ElementsAre;

namespace {

struct ShellCall {
    DWORD Message;
    NOTIFYICONDATAA Data;
};

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        Previous = SetShellNotifyIconFunc([this](DWORD Message, NOTIFYICONDATAA* Data) {
            Calls.push_back({Message, *Data});
            return ShellAnswer;
        });
    }
    void TearDown() override { SetShellNotifyIconFunc(Previous); }

    static void Send(TTrayIcon& Icon, UINT Event) {
        SendMessageA(TTrayIconHandler::Current()->Handle(), TrayNotifyMessage, Icon.IconId(), Event);
    }
    std::vector<DWORD> Messages() const {
        std::vector<DWORD> Result;
        for (const ShellCall& Call : Calls)
            Result.push_back(Call.Message);
        return Result;
    }
    void Record(TTrayIcon& Icon) {
        Icon.OnClick = [this](TObject*) { Events.push_back("click"); };
        Icon.OnMouseDown = [this](TObject*, TMouseButton B, TShiftState S, int, int) {
            Events.push_back(std::string("down") +
                             (B == TMouseButton::mbLeft    ? "L"
                              : B == TMouseButton::mbRight ? "R"
                                                           : "M") +
                             ((S & (ssLeft | ssRight | ssMiddle)) ? "+" : ""));
        };
        Icon.OnMouseUp = [this](TObject*, TMouseButton B, TShiftState, int, int) {
            Events.push_back(std::string("up") + (B == TMouseButton::mbLeft    ? "L"
                                                  : B == TMouseButton::mbRight ? "R"
                                                                               : "M"));
        };
    }

    TShellNotifyIconFunc Previous;
    std::vector<ShellCall> Calls;
    std::vector<std::string> Events;
    BOOL ShellAnswer = TRUE;
};

TEST_F(TrayIconTest, TheRecordSentToTheShell) {
    TTrayIcon Icon(nullptr);
    Icon.Icon().SetHandle(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    Calls.clear();
    Icon.SetIconVisible(true);
    ASSERT_EQ(Calls.size(), 1u);
    const NOTIFYICONDATAA& Data = Calls[0].Data;
    EXPECT_EQ(Calls[0].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(Data.cbSize, 488u);
    EXPECT_EQ(Data.hWnd, TTrayIconHandler::Current()->Handle());
    EXPECT_EQ(Data.uID, Icon.IconId());
    EXPECT_EQ(Data.uFlags, 7u);
    EXPECT_EQ(Data.uCallbackMessage, 0x800u);
    EXPECT_EQ(Data.hIcon, Icon.Icon().Handle());
    EXPECT_EQ(Data.uVersion, 0u);
    EXPECT_EQ(Data.szTip[0], '\0');

    struct TipCase {
        std::string Hint;
        bool ShowHint;
        std::string Tip;
    };
    const TipCase Tips[] = {
        {std::string(200, 'h'), true, std::string(127, 'h')},
        {"short", true, "short"},
        {"short", false, ""},
        {"", true, ""},
        {std::string(127, 'x'), true, std::string(127, 'x')},
    };
    for (const TipCase& Tip : Tips) {
        Calls.clear();
        Icon.SetShowHint(Tip.ShowHint);
        Icon.SetHint(Tip.Hint);
        ASSERT_FALSE(Calls.empty());
        const NOTIFYICONDATAA& Sent = Calls.back().Data;
        EXPECT_EQ(Calls.back().Message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(std::string(Sent.szTip), Tip.Tip);
        for (std::size_t I = Tip.Tip.size(); I < sizeof Sent.szTip; ++I)
            ASSERT_EQ(Sent.szTip[I], '\0')
                << "byte " << I << " of the tip for " << Tip.Hint.size() << " characters";
    }

    Calls.clear();
    Icon.SetBehavior(1);
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_SETVERSION});
    EXPECT_EQ(Calls[0].Data.uVersion, 3u);
}

TEST_F(TrayIconTest, ShowHideAndFailuresAreReportedAsResults) {
    auto Icon = std::make_unique<TTrayIcon>(nullptr);
    EXPECT_TRUE(Icon->ShowIcon());
    EXPECT_TRUE(Icon->IconVisible());
    ShellAnswer = FALSE;
    EXPECT_FALSE(Icon->ModifyIcon());
    EXPECT_FALSE(Icon->HideIcon());
    EXPECT_FALSE(Icon->IconVisible()) << "the field keeps its new value";
    ShellAnswer = TRUE;
    Icon->SetIconVisible(true);
    Calls.clear();
    Icon.reset();
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_DELETE});
}

TEST_F(TrayIconTest, OneSharedWindowWhileIconsExist) {
    ASSERT_EQ(TTrayIconHandler::Current(), nullptr);
    auto First = std::make_unique<TTrayIcon>(nullptr);
    auto Second = std::make_unique<TTrayIcon>(nullptr);
    HWND Window = TTrayIconHandler::Current()->Handle();
    EXPECT_EQ(TTrayIconHandler::Current()->RefCount(), 2);
    EXPECT_NE(First->IconId(), Second->IconId());
    First.reset();
    EXPECT_TRUE(IsWindow(Window));
    Second.reset();
    EXPECT_EQ(TTrayIconHandler::Current(), nullptr);
    EXPECT_FALSE(IsWindow(Window));
    TTrayIcon Third(nullptr);
    EXPECT_TRUE(IsWindow(TTrayIconHandler::Current()->Handle()));
}

TEST_F(TrayIconTest, TheSharedWindowAnswersShutdownMessagesItself) {
    TTrayIcon Icon(nullptr);
    HWND Window = TTrayIconHandler::Current()->Handle();
    EXPECT_EQ(SendMessageA(Window, WM_QUERYENDSESSION, 0, 0), 1);
    EXPECT_EQ(SendMessageA(Window, WM_CLOSE, 0, 0), 1);
    EXPECT_TRUE(IsWindow(Window)) << "WM_CLOSE does not destroy it";
}

TEST_F(TrayIconTest, ASingleClickWithoutDoubleClickHandlerComesAtButtonUp) {
    TTrayIcon Icon(nullptr);
    Record(Icon);
    Send(Icon, WM_LBUTTONDOWN);
    EXPECT_THAT(Events, ElementsAre("downL+"));
    Send(Icon, WM_LBUTTONUP);
    EXPECT_THAT(Events, ElementsAre("downL+", "click", "upL"));
}

TEST_F(TrayIconTest, WithADoubleClickHandlerTheClickWaitsForTheDoubleClickTime) {
    TTrayIcon Icon(nullptr);
    Record(Icon);
    int DoubleClicks = 0;
    Icon.OnDblClick = [&](TObject*) { ++DoubleClicks; };
    Send(Icon, WM_LBUTTONDOWN);
    Send(Icon, WM_LBUTTONUP);
    EXPECT_THAT(Events, ElementsAre("downL+", "upL"));
    EXPECT_EQ(Icon.ClickTimer().Interval(), GetDoubleClickTime());
    EXPECT_TRUE(PumpUntil([&] { return Events.size() == 3; }, 5000));
    EXPECT_THAT(Events, ElementsAre("downL+", "upL", "click"));

    // A double click fires DblClick and no Click at all.
    Events.clear();
    Send(Icon, WM_LBUTTONDOWN);
    Send(Icon, WM_LBUTTONUP);
    Send(Icon, WM_LBUTTONDBLCLK);
    Send(Icon, WM_LBUTTONUP);
    EXPECT_EQ(DoubleClicks, 1);
    PumpUntil([&] { return !Icon.ClickTimer().Enabled(); }, 5000);
    mv::test::PumpUntilIdle();
    EXPECT_THAT(Events, ElementsAre("downL+", "upL", "upL"));
}

TEST_F(TrayIconTest, ADoubleClickWithoutItsTimerDoesNotSwallowALaterClick) {
    TTrayIcon Icon(nullptr);
    Record(Icon);
    Send(Icon, WM_LBUTTONDOWN);
    Send(Icon, WM_LBUTTONUP);
    Send(Icon, WM_LBUTTONDBLCLK);
    Send(Icon, WM_LBUTTONUP);
    EXPECT_THAT(Events, ElementsAre("downL+", "click", "upL", "upL"));

    Events.clear();
    Icon.OnDblClick = [](TObject*) {};
    Send(Icon, WM_LBUTTONDOWN);
    Send(Icon, WM_LBUTTONUP);
    EXPECT_TRUE(PumpUntil([&] { return Events.size() == 3; }, 5000));
    EXPECT_THAT(Events, ElementsAre("downL+", "upL", "click"));
}

TEST_F(TrayIconTest, AnIconFreedByItsOwnEventStopsThere) {
    auto* Icon = new TTrayIcon(nullptr);
    Record(*Icon);
    Icon->OnClick = [&](TObject* Sender) {
        Events.push_back("click");
        delete static_cast<TTrayIcon*>(Sender);
    };
    UINT Id = Icon->IconId();
    Send(*Icon, WM_LBUTTONDOWN);
    Send(*Icon, WM_LBUTTONUP);
    EXPECT_THAT(Events, ElementsAre("downL+", "click")) << "no MouseUp from a freed icon";
    EXPECT_EQ(TTrayIconHandler::Current(), nullptr);

    TTrayIcon Other(nullptr);
    SendMessageA(TTrayIconHandler::Current()->Handle(), TrayNotifyMessage, Id, WM_LBUTTONUP);
    EXPECT_EQ(Events.size(), 2u);
}

TEST_F(TrayIconTest, ADisabledIconIgnoresTheMouseButNotBalloons) {
    TTrayIcon Icon(nullptr);
    Record(Icon);
    int Balloons = 0;
    Icon.OnBalloonHintShow = Icon.OnBalloonHintHide = Icon.OnBalloonHintTimeout =
        Icon.OnBalloonHintClick = [&](TObject* Sender) {
            EXPECT_EQ(Sender, &Icon);
            ++Balloons;
        };
    Icon.SetEnabled(false);
    for (UINT Event : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                       WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP})
        Send(Icon, Event);
    EXPECT_TRUE(Events.empty());
    for (UINT Event : {NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT, NIN_BALLOONUSERCLICK})
        Send(Icon, Event);
    EXPECT_EQ(Balloons, 4);
}

TEST_F(TrayIconTest, CallbacksForUnknownIdsAreIgnored) {
    TTrayIcon Icon(nullptr);
    Record(Icon);
    UINT GoneId = 0;
    {
        TTrayIcon Gone(nullptr);
        GoneId = Gone.IconId();
    }
    HWND Window = TTrayIconHandler::Current()->Handle();
    SendMessageA(Window, TrayNotifyMessage, GoneId, WM_LBUTTONDOWN);
    SendMessageA(Window, TrayNotifyMessage, 0x7FFFFFFF, WM_LBUTTONDOWN);
    EXPECT_TRUE(Events.empty());
    Send(Icon, WM_MBUTTONDOWN);
    Send(Icon, WM_MBUTTONUP);
    Send(Icon, WM_RBUTTONUP);
    EXPECT_THAT(Events, ElementsAre("downM+", "upM", "upR"));
}

TEST_F(TrayIconTest, TheRightButtonOpensThePopupMenu) {
    TPopupMenu Menu(nullptr);
    TTrayIcon Icon(nullptr);
    Record(Icon);
    int Popups = 0;
    TDialogResponder Responder;
    Responder.Popup = [&](TPopupMenu& Shown, int, int) {
        EXPECT_EQ(&Shown, &Menu);
        EXPECT_EQ(Shown.PopupComponent(), &Icon);
        ++Popups;
    };
    TDialogResponderScope Scope(Responder);
    Send(Icon, WM_RBUTTONDOWN);
    EXPECT_EQ(Popups, 0) << "no menu assigned";
    EXPECT_THAT(Events, ElementsAre("downR+"));
    Icon.SetPopupMenu(&Menu);
    Send(Icon, WM_RBUTTONDOWN);
    EXPECT_EQ(Popups, 1);
    Menu.SetAutoPopup(false);
    Send(Icon, WM_RBUTTONDOWN);
    EXPECT_EQ(Popups, 1);
}

TEST_F(TrayIconTest, ADoubleClickRunsTheFirstDefaultMenuItem) {
    TPopupMenu Menu(nullptr);
    std::vector<int> Clicked;
    for (int I = 0; I < 4; ++I) {
        auto* Item = new TMenuItem(&Menu);
        Item->SetDefault(I == 1 || I == 3);
        Item->OnClick = [&Clicked, I](TObject*) { Clicked.push_back(I); };
        Menu.Items().Add(Item);
    }
    TTrayIcon Icon(nullptr);
    Icon.SetPopupMenu(&Menu);
    Send(Icon, WM_LBUTTONDBLCLK);
    EXPECT_EQ(Clicked, std::vector<int>{1});
    Icon.LeftPopup = true;
    TDialogResponder Responder;
    TDialogResponderScope Scope(Responder);
    Send(Icon, WM_LBUTTONDBLCLK);
    EXPECT_EQ(Clicked, std::vector<int>{1});
}

TEST_F(TrayIconTest, APopupMenuThatGoesAwayIsForgotten) {
    TTrayIcon Icon(nullptr);
    auto Menu = std::make_unique<TPopupMenu>(nullptr);
    Icon.SetPopupMenu(Menu.get());
    Menu.reset();
    EXPECT_EQ(Icon.PopupMenu(), nullptr);
    Send(Icon, WM_RBUTTONDOWN);
}

class TrayIconListTest : public TrayIconTest {
protected:
    void SetUp() override {
        TrayIconTest::SetUp();
        for (LPCSTR Id : {IDI_APPLICATION, IDI_WARNING, IDI_ERROR}) {
            TIcon Source;
            Source.SetHandle(CopyIcon(LoadIconA(nullptr, Id)));
            List.AddIcon(Source);
        }
    }
    TImageList List{nullptr};
};

TEST_F(TrayIconListTest, TheIndexStaysWithinTheList) {
    TTrayIcon Icon(nullptr);
    Icon.SetIconIndex(5);
    EXPECT_EQ(Icon.IconIndex(), 0) << "no image list";
    Icon.SetIconList(&List);
    struct Case {
        int32_t Set;
        int32_t Index;
    };
    for (Case C : {Case{1, 1}, Case{2, 2}, Case{3, 2}, Case{100, 2}, Case{-1, 0}, Case{0, 0}}) {
        Icon.SetIconIndex(C.Set);
        EXPECT_EQ(Icon.IconIndex(), C.Index) << C.Set;
        EXPECT_FALSE(Icon.Icon().Empty());
    }

    TImageList Empty(nullptr);
    HICON Before = Icon.Icon().Handle();
    Icon.SetIconList(&Empty);
    Icon.SetIconIndex(1);
    EXPECT_EQ(Icon.IconIndex(), 0);
    EXPECT_EQ(Icon.Icon().Handle(), Before) << "an empty list leaves the icon alone";
}

TEST_F(TrayIconListTest, CyclingShowsEachIconInTurn) {
    TTrayIcon Icon(nullptr);
    std::vector<int> Reported;
    std::vector<int32_t> Shown;
    Icon.OnCycle = [&](TObject*, int Next) {
        Reported.push_back(Next);
        Shown.push_back(Icon.IconIndex());
    };
    Icon.SetIconList(&List);
    Icon.SetCycleInterval(10);
    Icon.SetCycleIcons(true);
    EXPECT_TRUE(PumpUntil([&] { return Reported.size() >= 4; }, 5000));
    Icon.SetCycleIcons(false);
    Reported.resize(4);
    Shown.resize(4);
    EXPECT_THAT(Reported, ElementsAre(1, 2, 0, 1));
    EXPECT_THAT(Shown, ElementsAre(0, 1, 2, 0));
}

TEST_F(TrayIconListTest, AnImageListThatGoesAwayIsForgotten) {
    TTrayIcon Icon(nullptr);
    auto Own = std::make_unique<TImageList>(nullptr);
    TIcon Source;
    Source.SetHandle(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    Own->AddIcon(Source);
    Icon.SetIconList(Own.get());
    Own.reset();
    EXPECT_EQ(Icon.IconList(), nullptr);
    EXPECT_EQ(Icon.IconIndex(), 0);
}

TEST_F(TrayIconTest, ANewTaskbarGetsTheVisibleIconsBack) {
    ASSERT_NE(TaskbarCreatedMessage(), 0u);
    ASSERT_NE(Application, nullptr);
    TTrayIcon Visible(nullptr);
    TTrayIcon Hidden(nullptr);
    Visible.SetIconVisible(true);
    Calls.clear();
    SendMessageA(Application->Handle(), TaskbarCreatedMessage(), 0, 0);
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(Calls[0].Data.uID, Visible.IconId());
}

TEST_F(TrayIconTest, LoadingAppliesTheSettingsAndAsksAboutTheMainForm) {
    TForm Owner(nullptr);
    TTrayIcon Icon(&Owner);
    bool Asked = false;
    Icon.OnStartup = [&](TObject* Sender, bool& ShowMainForm) {
        EXPECT_EQ(Sender, &Icon);
        Asked = true;
        ShowMainForm = false;
    };
    bool WasShown = Application->ShowMainForm();
    Icon.BeginLoading();
    Icon.SetBehavior(1);
    Calls.clear();
    Icon.EndLoading();
    EXPECT_TRUE(Asked);
    EXPECT_FALSE(Application->ShowMainForm());
    Application->SetShowMainForm(WasShown);
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_DELETE, NIM_SETVERSION}));
    EXPECT_EQ(Calls.back().Data.uVersion, 3u);
}

TEST_F(TrayIconTest, MinimizingTheOwnerCanSendItToTheTray) {
    TForm Owner(nullptr);
    TTrayIcon Icon(&Owner);
    HWND Window = Owner.Handle();
    int Minimized = 0;
    Icon.OnMinimizeToTray = [&](TObject*) { ++Minimized; };

    // Without MinimizeToTray the owner minimizes the usual way.
    Calls.clear();
    SendMessageA(Window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(Minimized, 0);
    EXPECT_TRUE(Calls.empty());
    ShowWindow(Window, SW_RESTORE);
    ShowWindow(Window, SW_HIDE);

    Icon.MinimizeToTray = true;
    EXPECT_EQ(SendMessageA(Window, WM_SYSCOMMAND, SC_MINIMIZE, 0), 1);
    EXPECT_EQ(Minimized, 1);
    EXPECT_FALSE(IsIconic(Window)) << "the message was not passed on";
    EXPECT_TRUE(Icon.IconVisible());
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_ADD});
}

TEST_F(TrayIconTest, TheApplicationWindowMinimizedGoesToTheTray) {
    TTrayIcon Icon(nullptr);
    Icon.MinimizeToTray = true;
    SendMessageA(Application->Handle(), WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_TRUE(Icon.IconVisible());
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_ADD});
}

TEST(TrayIconShell, ARealAddModifyDeleteSequence) {
    // The shell answers through its task bar window; a Wine session whose
    // desktop process belongs to another display has none.
    if (!FindWindowA("Shell_TrayWnd", nullptr)) GTEST_SKIP() << "no notification area in this session";
    TTrayIcon Icon(nullptr);
    Icon.Icon().SetHandle(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    EXPECT_TRUE(Icon.ShowIcon());
    Icon.SetHint("Miravelund test");
    EXPECT_TRUE(Icon.ModifyIcon());
    EXPECT_TRUE(Icon.HideIcon());
    EXPECT_FALSE(Icon.ModifyIcon()) << "an icon that is not in the tray cannot be changed";
}

} // namespace

namespace {

// The owner form's messages reach the icon through the form's own hook: the
// form keeps our one window procedure, and the hook goes with the icon.
TEST_F(TrayIconTest, TheOwnerKeepsItsWindowProcedureAndLosesTheHookWithTheIcon) {
    TForm Owner(nullptr);
    HWND Window = Owner.Handle();
    const LONG_PTR Procedure = GetWindowLongPtrA(Window, GWLP_WNDPROC);
    int Minimized = 0;
    {
        TTrayIcon Icon(&Owner);
        Icon.MinimizeToTray = true;
        Icon.OnMinimizeToTray = [&](TObject*) { ++Minimized; };
        EXPECT_EQ(GetWindowLongPtrA(Window, GWLP_WNDPROC), Procedure);
        EXPECT_TRUE(Owner.HasMessageHooks());
        EXPECT_EQ(SendMessageA(Window, WM_SYSCOMMAND, SC_MINIMIZE, 0), 1);
        EXPECT_EQ(Minimized, 1);
    }
    EXPECT_FALSE(Owner.HasMessageHooks());
    SendMessageA(Window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(Minimized, 1) << "a freed icon still heard its owner";
    EXPECT_TRUE(IsIconic(Window));
    ShowWindow(Window, SW_RESTORE);
    ShowWindow(Window, SW_HIDE);
}

// An owner freed first takes the icon with it, and with it the shared window.
TEST_F(TrayIconTest, AnOwnerFreedFirstFreesItsIconCleanly) {
    auto* Owner = new TForm(nullptr);
    Owner->HandleNeeded();
    auto* Icon = new TTrayIcon(Owner);
    Icon->SetIconVisible(true);
    ASSERT_NE(TTrayIconHandler::Current(), nullptr);
    Calls.clear();
    delete Owner;
    EXPECT_EQ(TTrayIconHandler::Current(), nullptr);
    EXPECT_EQ(Messages(), std::vector<DWORD>{NIM_DELETE});
}

} // namespace
