// The combo edit: its button, keys, the drop-down's place on the monitor, closing
// with and without accepting, and what a disabled edit draws.
#include "controls/MvToolEdit.h"
#include "gui/Application.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"
#include "tests/support/Screens.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <shldisp.h>

namespace {

class TTestPopup : public TMvPopupWindow {
public:
    explicit TTestPopup(TMvCustomComboEdit* Owner) : TMvPopupWindow(Owner) { SetBounds(0, 0, 220, 90); }
    std::string Value = "picked";
    std::string Written;
    std::string GetValue() override { return Value; }
    void SetValue(const std::string& V) override { Written = V; }
};

class TTestComboEdit : public TMvCustomComboEdit {
public:
    explicit TTestComboEdit(TComponent* Owner) : TMvCustomComboEdit(Owner) {
        ThePopup = new TTestPopup(this);
        SetPopupWindow(ThePopup);
    }
    TTestPopup* ThePopup;
    using TMvCustomComboEdit::AdjustEditRectRight;
    int StandardIndex = -1;
    int StandardImageIndex() override { return StandardIndex; }
};

constexpr LPARAM kAltDown = LPARAM{1} << 29;

class ComboEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 360, 160);
        Edit = new TTestComboEdit(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(20, 20, 160, 21);
        Edit->SetText("start");
        Form->Show();
        mv::test::PumpUntilIdle();
    }
    void Key(WORD K, LPARAM Data = 0) {
        Edit->Perform(Data & kAltDown ? WM_SYSKEYDOWN : WM_KEYDOWN, K, Data);
    }
    RECT PopupRect() {
        RECT R{};
        GetWindowRect(Edit->ThePopup->Handle(), &R);
        return R;
    }
    RECT EditRect() {
        RECT R{};
        GetWindowRect(Edit->Handle(), &R);
        return R;
    }

    std::unique_ptr<TForm> Form;
    TTestComboEdit* Edit = nullptr;
};

TEST_F(ComboEditTest, AltDownOpensEscapeCancelsEnterAccepts) {
    Key(VK_DOWN, kAltDown);
    ASSERT_TRUE(Edit->PopupVisible());
    EXPECT_TRUE(IsWindowVisible(Edit->ThePopup->Handle()));
    EXPECT_EQ(Edit->ThePopup->Written, "start"); // the drop-down is given the current text
    // Below the edit, right edges aligned.
    EXPECT_EQ(PopupRect().top, EditRect().bottom);
    EXPECT_EQ(PopupRect().right, EditRect().right);

    Key(VK_ESCAPE);
    EXPECT_FALSE(Edit->PopupVisible());
    EXPECT_FALSE(IsWindowVisible(Edit->ThePopup->Handle()));
    EXPECT_EQ(Edit->Text(), "start");

    Key(VK_DOWN, kAltDown);
    ASSERT_TRUE(Edit->PopupVisible());
    Key(VK_RETURN);
    EXPECT_FALSE(Edit->PopupVisible());
    EXPECT_EQ(Edit->Text(), "picked");
    EXPECT_TRUE(Edit->Modified());
}

TEST_F(ComboEditTest, NoChangeNoticesWhileTheDropDownIsOpen) {
    int changes = 0;
    Edit->OnChange = [&](TObject*) { ++changes; };
    Edit->Perform(WM_CHAR, 'x', 0);
    EXPECT_EQ(changes, 1);
    Edit->OpenPopup(true);
    Edit->Perform(WM_CHAR, 'y', 0);
    EXPECT_EQ(changes, 1);
    Edit->ClosePopup(Edit, false);
    Edit->Perform(WM_CHAR, 'z', 0);
    EXPECT_EQ(changes, 2);
    // A value taken over from the drop-down is a change too.
    Edit->OpenPopup(true);
    Edit->ClosePopup(Edit, true);
    EXPECT_EQ(Edit->Text(), "picked");
    EXPECT_EQ(changes, 3);
}

TEST_F(ComboEditTest, TheDropDownStaysOnTheMonitor) {
    MONITORINFO Info{};
    Info.cbSize = sizeof Info;
    GetMonitorInfoA(MonitorFromWindow(Form->Handle(), MONITOR_DEFAULTTONEAREST), &Info);
    const RECT Mon = Info.rcMonitor;
    // Near the bottom: it opens above the edit.
    Form->SetBounds(100, Mon.bottom - 80, 360, 70);
    mv::test::PumpUntilIdle();
    Edit->OpenPopup(true);
    EXPECT_EQ(PopupRect().bottom, EditRect().top);
    Edit->ClosePopup(Edit, false);
    // Near the left edge with right edges aligned: the shift is undone.
    Form->SetBounds(Mon.left - 10, 100, 360, 160);
    mv::test::PumpUntilIdle();
    Edit->OpenPopup(true);
    EXPECT_GE(PopupRect().left, Mon.left);
    EXPECT_EQ(PopupRect().left, std::max(EditRect().left, Mon.left));
    Edit->ClosePopup(Edit, false);
    // Left edges aligned near the right edge: it moves left to stay on the monitor.
    Edit->SetPopupAlign(1);
    Form->SetBounds(Mon.right - 200, 100, 360, 160);
    mv::test::PumpUntilIdle();
    Edit->OpenPopup(true);
    EXPECT_EQ(PopupRect().right, std::min(EditRect().right, Mon.right));
    EXPECT_LE(PopupRect().right, Mon.right);
    Edit->ClosePopup(Edit, false);
}

TEST_F(ComboEditTest, ButtonOpensAndTheClickThatClosesDoesNotReopen) {
    int clicks = 0;
    Edit->OnButtonClick = [&](TObject*) { ++clicks; };
    TMvEditButton& B = Edit->Button();
    B.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    B.Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(clicks, 1);
    ASSERT_TRUE(Edit->PopupVisible());
    B.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_FALSE(Edit->PopupVisible());
    EXPECT_EQ(Edit->Text(), "picked"); // closed accepting
    B.Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_FALSE(Edit->PopupVisible());
    EXPECT_EQ(clicks, 1);
}

TEST_F(ComboEditTest, ReadOnlyEditsOpenOnlyWhenAllowed) {
    Edit->SetEditReadOnly(true);
    EXPECT_TRUE(Edit->ReadOnly());
    Edit->OpenPopup(true);
    EXPECT_FALSE(Edit->PopupVisible());
    // The button does nothing either, unless it works while read-only.
    Edit->Button().Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    Edit->Button().Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_FALSE(Edit->PopupVisible());
    Edit->SetAlwaysShowPopup(true);
    Edit->SetAlwaysEnableButton(true);
    Edit->Button().Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    Edit->Button().Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(Edit->PopupVisible());
    // Accepting does not write into a read-only edit.
    Key(VK_RETURN);
    EXPECT_EQ(Edit->Text(), "start");

    Edit->SetEditReadOnly(false);
    Edit->SetDirectInput(false);
    EXPECT_TRUE(Edit->ReadOnly());
    Edit->SetDirectInput(true);
    EXPECT_FALSE(Edit->ReadOnly());
}

TEST_F(ComboEditTest, ClosingLaterGoesThroughTheQueue) {
    Edit->OpenPopup(true);
    Edit->ClosePopupLater(true);
    EXPECT_TRUE(Edit->PopupVisible());
    PumpUntil([&] { return !Edit->PopupVisible(); }, 1000);
    EXPECT_FALSE(Edit->PopupVisible());
    EXPECT_EQ(Edit->Text(), "picked");
}

TEST_F(ComboEditTest, EditRectangleLeavesRoomForTheButton) {
    RECT R{};
    SendMessageA(Edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
    // The text stops short of the button (the edit keeps a margin of its own inside).
    EXPECT_LE(R.right, Edit->ClientWidth() - Edit->ButtonWidth() - 2);
    EXPECT_GE(R.right, Edit->ClientWidth() - Edit->ButtonWidth() - 2 - 8);
    EXPECT_EQ(Edit->ButtonContainer().Left(), Edit->ClientWidth() - Edit->ButtonWidth());
    const LONG shownRight = R.right;
    const int width = Edit->ButtonWidth();

    Edit->SetButtonWidth(1); // hidden, width kept for later
    EXPECT_FALSE(Edit->ButtonVisible());
    SendMessageA(Edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
    EXPECT_EQ(R.right - shownRight, width);
    Edit->SetButtonVisible(true);
    EXPECT_EQ(Edit->ButtonWidth(), 21);

    Edit->SetGlyphKind(gkDropDown);
    EXPECT_EQ(Edit->ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));
    // Alt+Down does nothing without a button.
    Edit->SetButtonVisible(false);
    Key(VK_DOWN, kAltDown);
    EXPECT_FALSE(Edit->PopupVisible());
}

TEST_F(ComboEditTest, EditsOfOneGroupClearEachOther) {
    auto* Other = new TTestComboEdit(Form.get());
    Other->SetName("Other");
    Edit->SetName("First");
    Other->SetParent(Form.get());
    Other->SetBounds(20, 60, 160, 21);
    Other->SetText("other text");
    Key('A'); // no group: nothing cleared
    EXPECT_EQ(Other->Text(), "other text");
    Edit->SetGroupIndex(4);
    Other->SetGroupIndex(4);
    Key('A');
    EXPECT_EQ(Other->Text(), "");
    EXPECT_EQ(Edit->Text(), "start");
}

TEST_F(ComboEditTest, DisabledEditPaintsItsOwnColours) {
    Edit->SetDisabledColor(clYellow);
    Edit->SetGlyphKind(gkDropDown);
    Edit->SetEnabled(false);
    Form->SetCaption("Combo edit");
    auto* Enabled = new TTestComboEdit(Form.get());
    Enabled->SetParent(Form.get());
    Enabled->SetBounds(20, 60, 160, 21);
    Enabled->SetGlyphKind(gkEllipsis);
    Enabled->SetText("enabled, ellipsis button");
    Edit->Invalidate();
    TBitmap Shot(1, 1);
    CaptureWindow(Edit->Handle(), Shot);
    EXPECT_EQ(Shot.Canvas().Pixel(Shot.Width() - 30, Shot.Height() / 2), RGB(255, 255, 0));
    SaveScreen(Form->Handle(), "combo-edit");
}

// gkDefault takes its picture from the one image list all combo edits share (14 x 12),
// at the index the class names; other kinds let go of it.
TEST_F(ComboEditTest, TheDefaultGlyphComesFromTheSharedImages) {
    auto* Other = new TTestComboEdit(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(20, 60, 160, 21);
    TImageList* Shared = Edit->StandardImages();
    ASSERT_NE(Shared, nullptr);
    EXPECT_EQ(Other->StandardImages(), Shared);
    EXPECT_EQ(Shared->Width(), 14);
    EXPECT_EQ(Shared->Height(), 12);
    TBitmap Red(14, 12);
    Red.Canvas().Brush().SetColor(clRed);
    Red.Canvas().FillRect(RECT{0, 0, 14, 12});
    Edit->StandardIndex = Shared->AddMasked(Red, clFuchsia);
    Edit->SetGlyphKind(gkDefault);
    Other->SetGlyphKind(gkDefault); // its class names no picture
    EXPECT_EQ(Edit->Button().Images(), Shared);
    EXPECT_EQ(Edit->Button().ImageIndex(), Edit->StandardIndex);
    EXPECT_EQ(Other->Button().ImageIndex(), -1);
    const auto Middle = [](TMvEditButton& B) {
        TBitmap Shot(B.Width(), B.Height());
        B.Perform(WM_PAINT, reinterpret_cast<WPARAM>(Shot.Canvas().Handle()), 0);
        return Shot.Canvas().Pixel(B.Width() / 2, B.Height() / 2);
    };
    EXPECT_EQ(Middle(Edit->Button()), RGB(255, 0, 0));
    EXPECT_NE(Middle(Other->Button()), RGB(255, 0, 0));
    Edit->SetGlyphKind(gkEllipsis);
    EXPECT_EQ(Edit->Button().Images(), nullptr);
    EXPECT_NE(Middle(Edit->Button()), RGB(255, 0, 0));
    Shared->Delete(Edit->StandardIndex);
}

// The shell's object completes what is typed from the edit's list; switched off, the
// edit takes the keys alone.
TEST_F(ComboEditTest, AutoCompleteOffersTheListWhileTyping) {
    EXPECT_EQ(Edit->AutoCompleteOptions(), acoAutoComplete);
    Edit->AutoCompleteList().Add("banana");
    Edit->AutoCompleteList().Add("apricot");
    Edit->SetAutoCompleteOptions(acoAutoComplete | acoAutoAppend);
    ASSERT_TRUE(Edit->AutoCompleteBound());
    Edit->SetText("");
    Edit->SetFocus();
    SendMessageA(Edit->Handle(), WM_CHAR, 'b', 1);
    PumpUntil([&] { return Edit->Text() == "banana"; }, 2000);
    EXPECT_EQ(Edit->Text(), "banana");
    DWORD From = 0, To = 0;
    SendMessageA(Edit->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&From), reinterpret_cast<LPARAM>(&To));
    EXPECT_EQ(From, 1u); // the appended part is selected, so typing on replaces it
    EXPECT_EQ(To, 6u);

    Edit->SetAutoCompleteOptions(acoAutoAppend);
    EXPECT_FALSE(Edit->AutoCompleteBound());
    Edit->SetText("");
    SendMessageA(Edit->Handle(), WM_CHAR, 'a', 1);
    mv::test::PumpUntilIdle();
    EXPECT_EQ(Edit->Text(), "a");
    EXPECT_EQ(MvAutoCompleteFlags(acoAutoComplete), 0u);
    EXPECT_EQ(MvAutoCompleteFlags(acoAutoSuggest | acoAutoAppend | acoUseTab),
              static_cast<DWORD>(ACO_AUTOSUGGEST | ACO_AUTOAPPEND | ACO_USETAB));
}

// An action drives the edit: its state, hint, shortcut and picture, and a button click runs it.
TEST_F(ComboEditTest, AnActionDrivesTheEditAndItsButton) {
    TActionList List(Form.get());
    TImageList Images(Form.get(), 16, 16);
    List.SetImages(&Images);
    auto* Act = new TAction(Form.get());
    Act->SetActionList(&List);
    int Runs = 0;
    Act->OnExecute = [&Runs](TObject*) { ++Runs; };
    Act->SetHint("Pick a value");
    Act->SetShortCut(scCtrl | VK_F4);
    Act->SetImageIndex(2);
    Edit->SetAction(Act);
    EXPECT_EQ(Edit->Hint(), "Pick a value");
    EXPECT_EQ(Edit->ButtonKey(), scCtrl | VK_F4);
    EXPECT_EQ(Edit->Button().Images(), &Images);
    EXPECT_EQ(Edit->Button().ImageIndex(), 2);
    Edit->ButtonClick();
    EXPECT_EQ(Runs, 1);
    EXPECT_TRUE(Edit->PopupVisible()); // the drop-down still opens after it
    Edit->ClosePopup(Edit, false);
    Act->SetEnabled(false);
    EXPECT_FALSE(Edit->Enabled());
    Edit->ButtonClick();
    EXPECT_EQ(Runs, 1); // a disabled action does not run
    Act->SetEnabled(true);
    Act->SetVisible(false);
    EXPECT_TRUE(Edit->Enabled());
    EXPECT_FALSE(Edit->Visible());
    Act->SetVisible(true);
    delete Act; // the edit forgets it
    EXPECT_EQ(Edit->Action(), nullptr);
    Edit->ButtonClick();
    EXPECT_EQ(Runs, 1);
    Edit->ClosePopup(Edit, false);
}

// A disabled edit paints its text itself, where its alignment puts it.
TEST_F(ComboEditTest, DisabledTextFollowsTheAlignment) {
    Edit->SetDisabledColor(clYellow);
    Edit->SetDisabledTextColor(clBlack);
    Edit->SetText("WWW");
    Edit->SetEnabled(false);
    const struct {
        TAlignment Alignment;
        double From, To; // the text's part of the edit rectangle's width
    } Cases[] = {{TAlignment::taLeftJustify, 0.0, 0.4},
                 {TAlignment::taCenter, 0.25, 0.75},
                 {TAlignment::taRightJustify, 0.6, 1.0}};
    for (const auto& C : Cases) {
        Edit->SetAlignment(C.Alignment);
        EXPECT_EQ(Edit->Alignment(), C.Alignment);
        Edit->Invalidate();
        RECT R{};
        SendMessageA(Edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
        TBitmap Shot(1, 1);
        CaptureWindow(Edit->Handle(), Shot);
        // The client area starts inside the border.
        POINT Origin{0, 0};
        ClientToScreen(Edit->Handle(), &Origin);
        RECT Window{};
        GetWindowRect(Edit->Handle(), &Window);
        const int DX = Origin.x - Window.left, DY = Origin.y - Window.top;
        int Left = R.right, Right = R.left;
        for (int X = R.left; X < R.right; ++X)
            for (int Y = R.top; Y < R.bottom; ++Y)
                if (Shot.Canvas().Pixel(X + DX, Y + DY) == RGB(0, 0, 0)) {
                    Left = std::min<int>(Left, X);
                    Right = std::max<int>(Right, X);
                }
        const double W = R.right - R.left;
        ASSERT_LT(Left, Right) << static_cast<int>(C.Alignment);
        EXPECT_GE((Left - R.left) / W, C.From) << static_cast<int>(C.Alignment);
        EXPECT_LE((Right - R.left) / W, C.To) << static_cast<int>(C.Alignment);
    }
    EXPECT_EQ(GetWindowLongA(Edit->Handle(), GWL_STYLE) & ES_RIGHT, ES_RIGHT);
}

} // namespace
