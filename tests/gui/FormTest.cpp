// Forms: showing, closing, modal results (responder and real loop), timers.
#include "GuiTestSupport.h"

#include "gui/StdCtrls.h"
#include "gui/Timers.h"

#include <memory>

namespace {

class FormTest : public GuiTest {};

TEST_F(FormTest, ShowModalReturnsTheModalResultThroughTheResponder) {
    TForm dialog(nullptr);
    auto* ok = new TButton(&dialog);
    ok->SetParent(&dialog);
    ok->SetModalResult(mrOk);
    int shownModal = 0;
    TDialogResponder responder;
    responder.ShowModal = [&](TForm& form) {
        ++shownModal;
        EXPECT_TRUE(form.HandleAllocated());
        EXPECT_TRUE(form.Modal());
        SendMessageA(ok->Handle(), BM_CLICK, 0, 0); // a user pressing OK
        return 0;
    };
    TDialogResponderScope scope(responder);
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(shownModal, 1);
    EXPECT_FALSE(dialog.Modal());
    responder.ShowModal = nullptr;
    EXPECT_EQ(dialog.ShowModal(), mrCancel); // nobody answers: cancelled, never blocks
}

TEST_F(FormTest, RealModalLoopEndsWhenModalResultIsSet) {
    TForm dialog(nullptr);
    dialog.SetBounds(10, 10, 200, 100);
    TForm other(nullptr);
    other.Show();
    TTimer timer(nullptr);
    timer.SetInterval(30);
    int ticks = 0;
    bool otherDisabledDuringLoop = false;
    timer.SetOnTimer([&](TObject*) {
        ++ticks;
        otherDisabledDuringLoop = !IsWindowEnabled(other.Handle());
        dialog.SetModalResult(mrYes);
    });
    EXPECT_EQ(dialog.ShowModal(), mrYes);
    timer.SetEnabled(false);
    EXPECT_GE(ticks, 1);
    EXPECT_TRUE(otherDisabledDuringLoop);
    EXPECT_TRUE(IsWindowEnabled(other.Handle()));
    EXPECT_FALSE(dialog.Visible());
}

TEST_F(FormTest, CloseQueryAndCloseActionDecideWhatCloseDoes) {
    TForm form(nullptr);
    form.Show();
    bool allow = false;
    TCloseAction chosen = TCloseAction::caHide;
    int closes = 0;
    form.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
    form.OnClose = [&](TObject*, TCloseAction& action) {
        ++closes;
        action = chosen;
    };
    form.Close();
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(form.Visible());
    allow = true;
    chosen = TCloseAction::caNone;
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(form.Visible());
    chosen = TCloseAction::caHide;
    form.Close();
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
}

TEST_F(FormTest, CaFreeReleasesTheFormAfterPendingMessages) {
    auto* form = new TForm(nullptr);
    bool destroyed = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    form->OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caFree; };
    form->Show();
    HWND wnd = form->Handle();
    form->Close();
    EXPECT_FALSE(destroyed); // still alive inside the handler that closed it
    EXPECT_TRUE(PumpUntil([&] { return destroyed; }));
    EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(FormTest, ShowHideEventsAndScreenBookkeeping) {
    auto form = std::make_unique<TForm>(nullptr);
    int shows = 0, hides = 0;
    form->OnShow = [&](TObject*) { ++shows; };
    form->OnHide = [&](TObject*) { ++hides; };
    bool listed = false;
    for (int i = 0; i < Screen->FormCount(); ++i)
        listed = listed || Screen->Forms(i) == form.get();
    EXPECT_TRUE(listed);
    form->Show();
    form->Show();
    form->Hide();
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(hides, 1);
    int count = Screen->FormCount();
    form.reset();
    EXPECT_EQ(Screen->FormCount(), count - 1);
}

TEST_F(FormTest, PositionScreenCenterCentresOnTheWorkArea) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    form.SetPosition(TPosition::poScreenCenter);
    form.Show();
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_NEAR(form.Left(), area.left + (area.right - area.left - 200) / 2, 1);
    EXPECT_NEAR(form.Top(), area.top + (area.bottom - area.top - 100) / 2, 1);
}

TEST_F(FormTest, TimerFiresOnlyWhileEnabledWithIntervalAndHandler) {
    TTimer timer(nullptr);
    EXPECT_FALSE(timer.Running()); // no handler yet
    int ticks = 0;
    timer.SetInterval(20);
    timer.SetOnTimer([&](TObject* s) {
        EXPECT_EQ(s, &timer);
        ++ticks;
    });
    EXPECT_TRUE(timer.Running());
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));
    timer.SetEnabled(false);
    int stopped = ticks;
    // Time must pass here: that no tick comes within several intervals is the point.
    Sleep(60);
    Application->ProcessMessages();
    EXPECT_EQ(ticks, stopped);
    timer.SetEnabled(true);
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
}

TEST_F(FormTest, TimerHandlerMayFreeItsTimer) {
    auto* timer = new TTimer(nullptr);
    bool fired = false;
    timer->SetInterval(10);
    timer->SetOnTimer([&](TObject* s) {
        fired = true;
        delete static_cast<TTimer*>(s);
    });
    EXPECT_TRUE(PumpUntil([&] { return fired; }));
    Application->ProcessMessages();
}

TEST_F(FormTest, ExceptionFromATimerHandlerIsHandled) {
    TTimer timer(nullptr);
    int handled = 0;
    Application->OnException = [&](TObject*, const std::exception&) { ++handled; };
    timer.SetInterval(10);
    timer.SetOnTimer([&](TObject*) {
        timer.SetEnabled(false);
        throw Exception("tick failed");
    });
    EXPECT_TRUE(PumpUntil([&] { return handled == 1; }));
}

TEST_F(FormTest, DeletingTheActiveControlClearsItBeforeFocusMovesOn) {
    TForm form(nullptr);
    auto* panel = new TCustomControl(&form);
    panel->SetParent(&form);
    auto* inner = new TEdit(&form);
    inner->SetParent(panel);
    auto* other = new TEdit(&form);
    other->SetParent(&form);
    form.FocusChanged(inner);
    ASSERT_EQ(form.ActiveControl(), inner);
    delete panel; // takes the active control with it
    EXPECT_EQ(form.ActiveControl(), nullptr);
    int enters = 0;
    other->OnEnter = [&](TObject*) { ++enters; };
    SendMessageA(other->Handle(), WM_SETFOCUS, 0, 0); // must not touch the dead edit
    EXPECT_EQ(form.ActiveControl(), other);
    EXPECT_EQ(enters, 1);
}

TEST_F(FormTest, TabMovesFocusAndEnterExitFire) {
    TForm form(nullptr);
    auto* a = new TEdit(&form);
    a->SetParent(&form);
    auto* b = new TEdit(&form);
    b->SetParent(&form);
    b->SetTop(30);
    std::vector<std::string> log;
    a->OnExit = [&](TObject*) { log.push_back("exit a"); };
    b->OnEnter = [&](TObject*) { log.push_back("enter b"); };
    form.Show();
    SetForegroundWindow(form.Handle());
    a->SetFocus();
    Application->ProcessMessages();
    ASSERT_TRUE(a->Focused());
    form.SelectNext(a, true);
    Application->ProcessMessages();
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(form.ActiveControl(), b);
    EXPECT_EQ(log, (std::vector<std::string>{"exit a", "enter b"}));
}

} // namespace

namespace {

// Runs the loop of a private application object, so the shared one is never terminated.
class ApplicationSwap {
public:
    ApplicationSwap() : saved_(Application) { Application = &local; }
    ~ApplicationSwap() { Application = saved_; }
    TApplication local;

private:
    TApplication* saved_;
};

TEST_F(FormTest, ClosingTheMainFormEndsRun) {
    ApplicationSwap swap;
    auto* main = Application->CreateForm<TForm>();
    EXPECT_EQ(Application->MainForm(), main);
    int created = 0;
    main->OnShow = [&](TObject*) {
        ++created;
        PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
    };
    Application->Run();
    EXPECT_EQ(created, 1);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(main->Visible());
    Application->Finalize();
    EXPECT_EQ(Application->MainForm(), nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

TEST_F(FormTest, ExceptionsInsideRunAreHandledAndTheLoopGoesOn) {
    ApplicationSwap swap;
    auto* main = Application->CreateForm<TForm>();
    std::vector<std::string> errors;
    Application->OnException = [&](TObject*, const std::exception& e) { errors.push_back(e.what()); };
    TTimer* timer = new TTimer(main);
    int ticks = 0;
    timer->SetInterval(10);
    timer->SetOnTimer([&](TObject*) {
        if (++ticks == 1) throw Exception("first tick");
        timer->SetEnabled(false);
        main->Close();
    });
    Application->Run();
    EXPECT_EQ(errors, std::vector<std::string>{"first tick"});
    EXPECT_EQ(ticks, 2);
    Application->Finalize();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

} // namespace
