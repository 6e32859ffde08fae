// The panel and the mouse-leave timer on real windows.
#include "labels/MvMouseTimer.h"
#include "labels/MvPanel.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui/Themes.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"
#include "tests/support/ScreenPixels.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 460, 300);
        Form->SetCaption("Panels");
    }
    void TearDown() override {
        Form.reset();
        EXPECT_EQ(MouseLeaveTimer().Control(), nullptr);
    }

    TMvPanel* NewPanel(int L, int T, int W, int H) {
        auto* P = new TMvPanel(Form.get());
        P->SetParent(Form.get());
        P->SetBounds(L, T, W, H);
        return P;
    }

    TButton* NewChild(TMvPanel* P, int W, int H) {
        auto* B = new TButton(Form.get());
        B->SetBounds(0, 0, W, H);
        B->SetParent(P);
        return B;
    }

    void ShowForm() {
        Form->Show();
        SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        ASSERT_TRUE(mv::test::WaitUntilShown(Form->Handle()));
    }

    static void CursorFarAway() { SetCursorPos(1270, 1010); }

    std::unique_ptr<TForm> Form;
};

TEST_F(PanelTest, HotColourUntilTheTimerSeesTheMouseGo) {
    TMvPanel* P = NewPanel(10, 10, 100, 60);
    P->SetColor(clWhite);
    P->SetHotColor(clYellow);
    ShowForm();
    P->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(P));
    EXPECT_EQ(P->Color(), clYellow);
    EXPECT_EQ(MouseLeaveTimer().Control(), P);
    EXPECT_TRUE(MouseLeaveTimer().Running());

    // The cursor leaves without the library noticing: the poll restores the colour.
    CursorFarAway();
    MouseLeaveTimer().TimerTick();
    EXPECT_EQ(P->Color(), clWhite);
    EXPECT_EQ(MouseLeaveTimer().Control(), nullptr);
    EXPECT_FALSE(MouseLeaveTimer().Running());
}

TEST_F(PanelTest, TimerRestoresTheColourOnItsOwn) {
    TMvPanel* P = NewPanel(10, 10, 100, 60);
    P->SetColor(clWhite);
    P->SetHotColor(clWhite);
    ShowForm();
    CursorFarAway();
    P->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(P));
    // Same colours: nothing to see, but the panel is watched until the mouse is gone.
    EXPECT_EQ(MouseLeaveTimer().Control(), P);
    EXPECT_TRUE(PumpUntil([] { return MouseLeaveTimer().Control() == nullptr; }, 2000));
    EXPECT_FALSE(P->MouseOver());
}

TEST_F(PanelTest, SecondHotPanelEndsTheFirst) {
    TMvPanel* A = NewPanel(10, 10, 100, 60);
    TMvPanel* B = NewPanel(120, 10, 100, 60);
    for (TMvPanel* P : {A, B}) {
        P->SetColor(clWhite);
        P->SetHotColor(clAqua);
    }
    ShowForm();
    A->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(A));
    B->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(B));
    EXPECT_EQ(A->Color(), clWhite);
    EXPECT_FALSE(A->MouseOver());
    EXPECT_EQ(B->Color(), clAqua);
    EXPECT_EQ(MouseLeaveTimer().Control(), B);
    // A watched panel that goes away is never touched again.
    delete B;
    EXPECT_EQ(MouseLeaveTimer().Control(), nullptr);
    MouseLeaveTimer().TimerTick();
}

TEST_F(PanelTest, AnyWatchedControlThatGoesIsDetached) {
    auto* Button = new TButton(Form.get());
    Button->SetParent(Form.get());
    MouseLeaveTimer().Attach(Button);
    EXPECT_EQ(MouseLeaveTimer().Control(), Button);
    delete Button;
    EXPECT_EQ(MouseLeaveTimer().Control(), nullptr);
    EXPECT_FALSE(MouseLeaveTimer().Running());
}

TEST_F(PanelTest, TransparentWithoutThemesOnly) {
    TMvPanel* P = NewPanel(10, 10, 100, 60);
    P->SetHotColor(clYellow);
    ShowForm();
    {
        const TThemeOverrideScope Classic(false);
        P->SetTransparent(true);
        P->RecreateWnd();
        EXPECT_TRUE(GetWindowLongA(P->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
        // A see-through panel shows no hot colour and needs no watch.
        P->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(P));
        EXPECT_NE(P->Color(), clYellow);
        EXPECT_EQ(MouseLeaveTimer().Control(), nullptr);
        P->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(P));
    }
    const TThemeOverrideScope Themed(true);
    P->RecreateWnd();
    EXPECT_FALSE(GetWindowLongA(P->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    P->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(P));
    EXPECT_EQ(P->Color(), clYellow);
    P->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(P));
    EXPECT_NE(P->Color(), clYellow);
}

TEST_F(PanelTest, ArrangeWrapsRowsInTabOrder) {
    struct Case {
        bool Wrap;
        POINT Third;
    } cases[] = {{true, POINT{4, 2 + 30 + 5}}, {false, POINT{4 + 80 + 3 + 60 + 3, 2}}};
    for (const Case& C : cases) {
        TMvPanel* P = NewPanel(10, 10, 180, 100);
        TMvArrangeSettings& S = P->ArrangeSettings();
        S.SetBorderLeft(4);
        S.SetBorderTop(2);
        S.SetDistanceHorizontal(3);
        S.SetDistanceVertical(5);
        S.SetWrapControls(C.Wrap);
        TButton* First = NewChild(P, 80, 30);
        TButton* Second = NewChild(P, 60, 20);
        TButton* Third = NewChild(P, 50, 25);
        S.SetAutoArrange(true);
        EXPECT_EQ(First->Left(), 4);
        EXPECT_EQ(First->Top(), 2);
        EXPECT_EQ(Second->Left(), 4 + 80 + 3);
        EXPECT_EQ(Second->Top(), 2);
        EXPECT_EQ(Third->Left(), C.Third.x) << C.Wrap;
        EXPECT_EQ(Third->Top(), C.Third.y) << C.Wrap;
        delete P;
    }
}

TEST_F(PanelTest, ArrangingTwiceGivesTheSameResult) {
    for (TMvAutoSizePanel Auto :
         {TMvAutoSizePanel::asWidth, TMvAutoSizePanel::asHeight, TMvAutoSizePanel::asBoth}) {
        TMvPanel* P = NewPanel(10, 10, 200, 120);
        P->ArrangeSettings().SetBorderLeft(10);
        P->ArrangeSettings().SetBorderTop(6);
        NewChild(P, 40, 20);
        NewChild(P, 40, 20);
        P->ArrangeSettings().SetAutoSize(Auto);
        P->ArrangeSettings().SetAutoArrange(true);
        const int W = P->Width(), H = P->Height();
        P->ArrangeChildren();
        P->ArrangeChildren();
        EXPECT_EQ(P->Width(), W) << int(Auto);
        EXPECT_EQ(P->Height(), H) << int(Auto);
        // The width is kept when the children fit in it.
        EXPECT_EQ(W, 200) << int(Auto);
        if (Auto != TMvAutoSizePanel::asWidth) {
            EXPECT_EQ(H, 6 + 6 + 20) << int(Auto);
        }
        delete P;
    }
}

TEST_F(PanelTest, ArrangeWidensToTheWidestChildOrNarrowsToMaxWidth) {
    TMvPanel* P = NewPanel(10, 10, 50, 100);
    P->ArrangeSettings().SetBorderLeft(5);
    NewChild(P, 120, 20);
    std::vector<int> Widths;
    P->OnChangedWidth = [&](TObject*, int W) { Widths.push_back(W); };
    P->ArrangeSettings().SetAutoArrange(true);
    EXPECT_EQ(P->Width(), 130);
    P->ArrangeSettings().SetMaxWidth(90);
    EXPECT_EQ(P->Width(), 90);
    EXPECT_EQ(Widths, (std::vector<int>{130, 90}));
}

TEST_F(PanelTest, ChildPanelSizeRearrangesItsParent) {
    TMvPanel* Outer = NewPanel(10, 10, 300, 100);
    auto* Inner = new TMvPanel(Form.get());
    Inner->SetBounds(0, 0, 50, 20);
    Inner->SetParent(Outer);
    TButton* After = NewChild(Outer, 30, 20);
    Outer->ArrangeSettings().SetAutoArrange(true);
    EXPECT_EQ(After->Left(), 50);
    Inner->SetWidth(80);
    EXPECT_EQ(After->Left(), 80);
    // With OnResizeParent assigned, the event replaces the re-arrangement.
    std::vector<int> Reported;
    Inner->OnResizeParent = [&](TObject*, int, int, int W, int) { Reported.push_back(W); };
    Inner->SetWidth(60);
    EXPECT_EQ(Reported, std::vector<int>{60});
    EXPECT_EQ(After->Left(), 80);
}

TEST_F(PanelTest, SizeGripResizesAndIgnoresTinySizes) {
    TMvPanel* P = NewPanel(10, 10, 100, 60);
    P->SetSizeable(true);
    ShowForm();
    const HWND Wnd = P->Handle();
    SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(95, 55));
    EXPECT_TRUE(P->Sizing());
    SendMessageA(Wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(115, 65));
    EXPECT_EQ(P->Width(), 120);
    EXPECT_EQ(P->Height(), 70);
    SendMessageA(Wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-10, 30));
    EXPECT_EQ(P->Width(), 120);
    SendMessageA(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(-10, 30));
    EXPECT_FALSE(P->Sizing());
    // Outside the 12-pixel corner a press does not size.
    SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 50));
    EXPECT_FALSE(P->Sizing());
    SendMessageA(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(100, 50));
}

// The grip's corner as drawn with the symbol font and by the system.
std::vector<std::uint32_t> GripPixels(TForm& Form, TMvPanel& P, int Marlett) {
    SetSizeGripMarlettOverride(Marlett);
    P.Invalidate();
    int W = 0, H = 0;
    const auto All = CaptureClient(Form.Handle(), W, H);
    std::vector<std::uint32_t> Corner;
    for (int Y = P.Top() + P.Height() - 24; Y < P.Top() + P.Height(); ++Y)
        for (int X = P.Left() + P.Width() - 24; X < P.Left() + P.Width(); ++X)
            Corner.push_back(All[static_cast<size_t>(Y) * W + X]);
    SetSizeGripMarlettOverride(-1);
    return Corner;
}

TEST_F(PanelTest, SizeGripWithMarlettOrDrawFrameControl) {
    const TThemeOverrideScope Classic(false);
    TMvPanel* P = NewPanel(20, 20, 160, 90);
    ShowForm();
    const auto Plain = GripPixels(*Form, *P, 1);
    P->SetSizeable(true);
    const auto WithFont = GripPixels(*Form, *P, 1);
    const auto BySystem = GripPixels(*Form, *P, 0);
    EXPECT_NE(WithFont, Plain);
    EXPECT_NE(BySystem, Plain);
    EXPECT_NE(WithFont, BySystem);
    SaveSettledScreen(Form->Handle(), "panel-size-grip");
}

TEST_F(PanelTest, OnPaintReplacesAllOfThePanelsPainting) {
    const TThemeOverrideScope Classic(false);
    TMvPanel* P = NewPanel(20, 20, 160, 60);
    P->SetCaption("Caption text");
    P->SetSizeable(true);
    P->SetColor(clWhite);
    ShowForm();
    int Calls = 0;
    P->OnPaint = [&](TObject* Sender) {
        ++Calls;
        auto* Self = static_cast<TMvPanel*>(Sender);
        Self->Canvas().Brush().SetColor(clGreen);
        Self->Canvas().FillRect(Self->ClientRect());
    };
    int W = 0, H = 0;
    const auto All = CaptureClient(Form->Handle(), W, H);
    EXPECT_GT(Calls, 0);
    int NotGreen = 0;
    for (int Y = P->Top(); Y < P->Top() + P->Height(); ++Y)
        for (int X = P->Left(); X < P->Left() + P->Width(); ++X)
            if (All[static_cast<size_t>(Y) * W + X] != 0x008000) ++NotGreen;
    EXPECT_EQ(NotGreen, 0);
}

TEST_F(PanelTest, CaptionOnOneLineOrWrapped) {
    TMvPanel* P = NewPanel(20, 20, 120, 80);
    P->SetColor(clWhite);
    P->SetCaption("Several words that need more than one line");
    ShowForm();
    auto InkRows = [&] {
        int W = 0, H = 0;
        const auto All = CaptureClient(Form->Handle(), W, H);
        int Rows = 0;
        for (int Y = P->Top() + 2; Y < P->Top() + P->Height() - 2; ++Y) {
            bool Ink = false;
            for (int X = P->Left() + 2; X < P->Left() + P->Width() - 2 && !Ink; ++X)
                Ink = All[static_cast<size_t>(Y) * W + X] != 0xFFFFFF;
            Rows += Ink;
        }
        return Rows;
    };
    const int Single = InkRows();
    P->SetMultiLine(true);
    const int Multi = InkRows();
    EXPECT_GT(Single, 0);
    EXPECT_GT(Multi, Single + 8);
    SaveSettledScreen(Form->Handle(), "panel-multiline-caption");
}

TEST_F(PanelTest, MovableAnswersCaptionInsideTheFrame) {
    TMvPanel* P = NewPanel(20, 20, 100, 60);
    P->SetMovable(true);
    ShowForm();
    std::vector<POINT> Asked;
    bool Allow = true;
    P->OnBeforeMove = [&](TObject*, int X, int Y, bool& A) {
        Asked.push_back(POINT{X, Y});
        A = Allow;
    };
    auto HitAt = [&](int X, int Y) {
        POINT S = P->ClientToScreen(POINT{X, Y});
        return SendMessageA(P->Handle(), WM_NCHITTEST, 0, MAKELPARAM(S.x, S.y));
    };
    EXPECT_EQ(HitAt(50, 30), HTCAPTION);
    EXPECT_TRUE(P->Moving());
    EXPECT_NE(HitAt(3, 30), HTCAPTION);
    EXPECT_NE(HitAt(50, 57), HTCAPTION);
    Allow = false;
    EXPECT_NE(HitAt(50, 30), HTCAPTION);
    ASSERT_EQ(Asked.size(), 2u);
    EXPECT_EQ(Asked[0].x, 50);
    int After = 0;
    P->OnAfterMove = [&](TObject*) { ++After; };
    SendMessageA(P->Handle(), WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(After, 1);
    EXPECT_FALSE(P->Moving());
}

} // namespace
