// Mouse enter/leave tracking and mouse routing/capture for windowless controls.
#include "GuiTestSupport.h"

#include "gui/StdCtrls.h"

#include <memory>
#include <vector>

namespace {

// Logs the enter/leave notifications it receives.
template <typename Base> class Tracker : public Base {
public:
    Tracker(TComponent* owner, std::vector<std::string>& log, std::string tag)
        : Base(owner), log_(log), tag_(std::move(tag)) {}
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_MOUSEENTER) log_.push_back("enter " + tag_);
        if (m.Msg == CM_MOUSELEAVE) log_.push_back("leave " + tag_);
        Base::WndProc(m);
    }

private:
    std::vector<std::string>& log_;
    std::string tag_;
};

class MouseTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(TFormBorderStyle::bsNone);
        form->SetBounds(100, 100, 300, 200);
        form->Show();
        Application->ProcessMessages();
    }
    void TearDown() override {
        form.reset();
        Application->MouseIdleAt(POINT{-5000, -5000});
    }
    POINT At(TControl* c, int x, int y) { return c->ClientToScreen(POINT{x, y}); }
    std::unique_ptr<TForm> form;
};

TEST_F(MouseTest, EnterAndLeaveForWindowedAndWindowlessControls) {
    std::vector<std::string> log;
    auto* panel = new Tracker<TCustomControl>(form.get(), log, "panel");
    panel->SetBounds(0, 0, 150, 200);
    panel->SetParent(form.get());
    auto* label = new Tracker<TGraphicControl>(form.get(), log, "label");
    label->SetBounds(200, 20, 60, 20);
    label->SetParent(form.get());

    Application->MouseIdleAt(At(panel, 10, 10));
    Application->MouseIdleAt(At(panel, 20, 20)); // same control: nothing new
    Application->MouseIdleAt(At(form.get(), 210, 25));
    Application->MouseIdleAt(At(form.get(), 280, 150)); // the bare form
    EXPECT_EQ(log, (std::vector<std::string>{"enter panel", "leave panel", "enter label", "leave label"}));
    EXPECT_EQ(Application->MouseControl(), form.get());
}

TEST_F(MouseTest, DestroyedControlUnderTheMouseIsForgotten) {
    std::vector<std::string> log;
    auto* label = new Tracker<TGraphicControl>(form.get(), log, "label");
    label->SetBounds(10, 10, 60, 20);
    label->SetParent(form.get());
    Application->MouseIdleAt(At(form.get(), 15, 15));
    ASSERT_EQ(Application->MouseControl(), label);
    delete label;
    EXPECT_EQ(Application->MouseControl(), nullptr);
    Application->MouseIdleAt(At(form.get(), 200, 150)); // must not touch the dead label
    EXPECT_EQ(Application->MouseControl(), form.get());
}

class Clickable : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::vector<POINT> moves;
    void MouseMove(TShiftState shift, int x, int y) override {
        moves.push_back(POINT{x, y});
        TGraphicControl::MouseMove(shift, x, y);
    }
};

TEST_F(MouseTest, WindowlessControlGetsMouseInputAndCapture) {
    auto* c = new Clickable(form.get());
    c->SetBounds(50, 40, 80, 30);
    c->SetParent(form.get());
    int clicks = 0;
    POINT down{};
    c->OnClick = [&](TObject*) { ++clicks; };
    c->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { down = POINT{x, y}; };
    HWND wnd = form->Handle();

    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 45));
    EXPECT_EQ(down.x, 5); // child coordinates
    EXPECT_EQ(down.y, 5);
    EXPECT_EQ(GetCaptureControl(), c);
    EXPECT_EQ(GetCapture(), wnd);
    // While captured, moves far outside still reach it, in its coordinates.
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(250, 150));
    ASSERT_FALSE(c->moves.empty());
    EXPECT_EQ(c->moves.back().x, 200);
    EXPECT_EQ(c->moves.back().y, 110);
    // Releasing outside: no click, capture gone.
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(250, 150));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    // Down and up inside: one click.
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 50));
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(61, 51));
    EXPECT_EQ(clicks, 1);
}

TEST_F(MouseTest, DisabledOrHiddenWindowlessControlsDoNotGetTheMouse) {
    auto* c = new Clickable(form.get());
    c->SetBounds(50, 40, 80, 30);
    c->SetParent(form.get());
    int downs = 0;
    c->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    c->SetEnabled(false);
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 45));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(55, 45));
    c->SetEnabled(true);
    c->SetVisible(false);
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 45));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(55, 45));
    EXPECT_EQ(downs, 0);
}

// A system scroll bar runs its own loop while its button is down and sees the
// button go up inside it: a click on its track must leave the mouse free, so
// the next click goes to the control under it.
TEST_F(MouseTest, AClickOnASystemScrollBarsTrackLetsGoOfTheMouse) {
    class SystemBar : public TWinControl {
    public:
        using TWinControl::TWinControl;
        int scrolls = 0;

    protected:
        void CreateParams(TCreateParams& params) override {
            TWinControl::CreateParams(params);
            CreateSubClass(params, "SCROLLBAR");
            params.Style |= SBS_VERT;
        }
        void WndProc(TMessage& m) override {
            if (m.Msg == CN_VSCROLL) {
                if (LOWORD(m.WParam) == SB_PAGEDOWN) ++scrolls;
                return;
            }
            TWinControl::WndProc(m);
        }
    };
    auto* bar = new SystemBar(form.get());
    bar->SetBounds(270, 0, 20, 200);
    bar->SetParent(form.get());
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 1000, 100, 0, 0};
    SetScrollInfo(bar->Handle(), SB_CTL, &info, TRUE);
    auto* edit = new TEdit(form.get());
    edit->SetBounds(10, 10, 200, 24);
    edit->SetParent(form.get());
    auto* other = new TEdit(form.get());
    other->SetBounds(10, 60, 200, 24);
    other->SetParent(form.get());
    SetForegroundWindow(form->Handle());
    other->SetFocus();
    PumpUntil([] { return false; }, 100);

    MouseClick(At(bar, 10, 150)); // the track below the thumb
    EXPECT_EQ(bar->scrolls, 1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    MouseClick(At(edit, 20, 10));
    EXPECT_EQ(GetFocus(), edit->Handle()) << "the click went to the edit";
    EXPECT_EQ(bar->scrolls, 1) << "and not to the scroll bar";
}

TEST_F(MouseTest, HintShowsAfterThePauseAndGoesWhenTheMouseLeaves) {
    auto* c = new TCustomControl(form.get());
    c->SetBounds(10, 10, 80, 40);
    c->SetParent(form.get());
    c->SetHint("Save|Save all notes");
    c->SetShowHint(true);
    auto* plain = new TCustomControl(form.get());
    plain->SetBounds(150, 10, 80, 40);
    plain->SetParent(form.get());
    Application->SetHintPause(20);
    Application->MouseIdleAt(At(c, 5, 5));
    ASSERT_TRUE(PumpUntil([] { return Application->HintWindow() && Application->HintWindow()->IsShown(); }));
    EXPECT_EQ(Application->HintWindow()->Text(), "Save");
    Application->MouseIdleAt(At(plain, 5, 5));
    EXPECT_FALSE(Application->HintWindow()->IsShown());
    Application->SetHintPause(500);
}

TEST_F(MouseTest, HintColourComesFromTheApplicationAndCmHintShowCanChangeIt) {
    class Hinted : public TGraphicControl {
    public:
        using TGraphicControl::TGraphicControl;
        TColor forced = clNone;
        void WndProc(TMessage& m) override {
            if (m.Msg == CM_HINTSHOW && forced != clNone)
                reinterpret_cast<THintInfo*>(m.LParam)->HintColor = forced;
            TGraphicControl::WndProc(m);
        }
    };
    auto* c = new Hinted(form.get());
    c->SetBounds(10, 10, 50, 20);
    c->SetParent(form.get());
    c->SetHint("Tip|Long help");
    c->SetShowHint(true);
    Application->SetHintColor(clYellow);
    ASSERT_TRUE(Application->ActivateHintFor(c));
    EXPECT_EQ(Application->HintWindow()->Color(), clYellow);
    EXPECT_EQ(Application->HintWindow()->Text(), "Tip");
    EXPECT_TRUE(Application->HintWindow()->IsShown());
    c->forced = clLime;
    ASSERT_TRUE(Application->ActivateHintFor(c));
    EXPECT_EQ(Application->HintWindow()->Color(), clLime);
    Application->CancelHint();
    EXPECT_FALSE(Application->HintWindow()->IsShown());
    Application->SetHintColor(clInfoBk);
}

} // namespace
