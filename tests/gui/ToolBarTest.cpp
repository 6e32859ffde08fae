// Tool bars and tool buttons: layout, the link to actions, drop-down menus;
// actions' change listeners, groups and second shortcuts; image lists from a
// bitmap resource.
#include "GuiTestSupport.h"

#include "gui/Application.h"
#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/Responder.h"
#include "gui/GdiGuards.h"
#include "gui/ToolBar.h"

#include "tests/support/ScreenPixels.h"

#include <algorithm>
#include <vector>

namespace {

class ToolBarTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 300, 100);
        Bar = new TToolBar(Form.get());
        Bar->SetParent(Form.get());
        Actions = new TActionList(Form.get());
    }

    TToolButton* AddButton(TAction* Action, TToolButtonStyle Style = TToolButtonStyle::tbsButton) {
        auto* Button = new TToolButton(Form.get());
        Button->SetStyle(Style);
        Button->SetParent(Bar);
        if (Action) Button->SetAction(Action);
        return Button;
    }

    TAction* NewAction(const std::string& Caption, int* Runs) {
        auto* Action = new TAction(Actions);
        Action->SetActionList(Actions);
        Action->SetCaption(Caption);
        Action->OnExecute = [Runs](TObject*) { ++*Runs; };
        return Action;
    }

    static void Click(TControl* Control, int X, int Y) {
        Control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
        Control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
    }

    std::unique_ptr<TForm> Form;
    TToolBar* Bar = nullptr;
    TActionList* Actions = nullptr;
};

TEST_F(ToolBarTest, ButtonsLineUpFromTheLeftAndSkipHiddenOnes) {
    int Runs = 0;
    TToolButton* A = AddButton(NewAction("&A", &Runs));
    TToolButton* Line = AddButton(nullptr, TToolButtonStyle::tbsSeparator);
    TToolButton* B = AddButton(NewAction("&B", &Runs), TToolButtonStyle::tbsDropDown);
    TToolButton* C = AddButton(NewAction("&C", &Runs));
    Bar->SetAutoSize(true);
    EXPECT_EQ(A->Left(), 0);
    EXPECT_EQ(Line->Left(), 23);
    EXPECT_EQ(Line->Width(), 8);
    EXPECT_EQ(B->Left(), 31);
    EXPECT_EQ(B->Width(), 23 + TToolButton::DropDownWidth);
    EXPECT_EQ(C->Left(), 31 + 35);
    EXPECT_EQ(Bar->Width(), 31 + 35 + 23);
    EXPECT_EQ(Bar->ButtonCount(), 4);
    // A hidden action hides its button; the rest close up.
    B->Action()->SetVisible(false);
    EXPECT_FALSE(B->Visible());
    EXPECT_EQ(C->Left(), 31);
    EXPECT_EQ(Bar->Width(), 31 + 23);
    // A freed button leaves the bar.
    delete A;
    EXPECT_EQ(Bar->ButtonCount(), 3);
    EXPECT_EQ(Line->Left(), 0);
}

TEST_F(ToolBarTest, ButtonsFollowTheirActionAndRunIt) {
    int Runs = 0;
    TAction* Action = NewAction("&Save", &Runs);
    Action->SetHint("Save it.");
    Action->SetImageIndex(3);
    TToolButton* Button = AddButton(Action);
    EXPECT_EQ(Button->Caption(), "&Save");
    EXPECT_EQ(Button->Hint(), "Save it.");
    EXPECT_EQ(Button->ImageIndex(), 3);
    Click(Button, 5, 5);
    EXPECT_EQ(Runs, 1);
    Action->SetChecked(true);
    EXPECT_TRUE(Button->Down());
    Action->SetHint("Save everything.");
    EXPECT_EQ(Button->Hint(), "Save everything.");
    Action->SetEnabled(false);
    EXPECT_FALSE(Button->Enabled());
    Action->Execute(); // a disabled action runs nothing
    EXPECT_EQ(Runs, 1);
    // The action goes first: the button forgets it and stays usable.
    delete Action;
    EXPECT_EQ(Button->Action(), nullptr);
    Click(Button, 5, 5);
    EXPECT_EQ(Runs, 1);
}

TEST_F(ToolBarTest, DropDownArrowOpensTheMenuAndTheFaceRunsTheAction) {
    int Runs = 0, Chosen = 0;
    TToolButton* Button = AddButton(NewAction("&List", &Runs), TToolButtonStyle::tbsDropDown);
    auto* Menu = new TPopupMenu(Form.get());
    auto* Item = new TMenuItem(Menu);
    Item->SetCaption("&Numbered");
    Item->OnClick = [&Chosen](TObject*) { ++Chosen; };
    Menu->Items().Add(Item);
    Button->SetDropdownMenu(Menu);
    Form->Show();
    POINT Where{};
    TDialogResponder Responder;
    Responder.Popup = [&Where](TPopupMenu& Shown, int X, int Y) {
        Where = POINT{X, Y};
        Shown.Items().Items(0)->Click();
    };
    TDialogResponderScope Scope(Responder);
    Click(Button, Button->Width() - 3, 5);
    EXPECT_EQ(Chosen, 1);
    EXPECT_EQ(Runs, 0);
    // The menu opens under the button's left edge.
    const POINT Expected = Bar->ClientToScreen(POINT{Button->Left(), Button->Top() + Button->Height()});
    EXPECT_EQ(Where.x, Expected.x);
    EXPECT_EQ(Where.y, Expected.y);
    Click(Button, 3, 5);
    EXPECT_EQ(Runs, 1);
    EXPECT_EQ(Chosen, 1);
    // A menu freed first is forgotten.
    delete Menu;
    EXPECT_EQ(Button->DropdownMenu(), nullptr);
    EXPECT_FALSE(Button->CheckMenuDropdown());
}

TEST_F(ToolBarTest, CheckedActionsOfAGroupExcludeEachOther) {
    int Runs = 0;
    TAction* Edit = NewAction("&Edit", &Runs);
    TAction* File = NewAction("&File", &Runs);
    TAction* Other = NewAction("&Other", &Runs);
    Edit->SetGroupIndex(1);
    File->SetGroupIndex(1);
    Edit->SetChecked(true);
    Other->SetChecked(true);
    File->SetChecked(true);
    EXPECT_FALSE(Edit->Checked());
    EXPECT_TRUE(File->Checked());
    EXPECT_TRUE(Other->Checked()); // no group: untouched
    // Listeners hear every change once and can leave.
    int Heard = 0;
    int Key = 0;
    Edit->AddChangeListener(&Key, [&Heard] { ++Heard; });
    Edit->SetChecked(true); // unchecks File
    Edit->SetChecked(true); // no change
    EXPECT_EQ(Heard, 1);
    EXPECT_FALSE(File->Checked());
    Edit->RemoveChangeListener(&Key);
    Edit->SetCaption("E&dit");
    EXPECT_EQ(Heard, 1);
}

TEST_F(ToolBarTest, SecondShortcutsRunTheActionToo) {
    int Runs = 0;
    TAction* Normal = NewAction("&Normal", &Runs);
    Normal->SetShortCut(ShortCut(VK_LEFT, ssAlt));
    Normal->SecondaryShortCuts().push_back(ShortCut(VK_RIGHT, ssAlt));
    EXPECT_TRUE(Actions->IsShortCut(ShortCut(VK_LEFT, ssAlt)));
    EXPECT_TRUE(Actions->IsShortCut(ShortCut(VK_RIGHT, ssAlt)));
    EXPECT_FALSE(Actions->IsShortCut(ShortCut(VK_UP, ssAlt)));
    EXPECT_FALSE(Actions->IsShortCut(0));
    EXPECT_EQ(Runs, 2);
}

TEST_F(ToolBarTest, AltWithTheMarkedLetterClicksAButtonThatShowsItsCaption) {
    int News = 0, Deletes = 0, Bolds = 0, Hidden = 0;
    AddButton(NewAction("&New Tag", &News));
    TToolButton* Delete = AddButton(NewAction("&Delete Tag", &Deletes));
    TToolButton* Gone = AddButton(NewAction("&Hidden", &Hidden));
    Gone->Action()->SetVisible(false);
    // A picture button: its caption is not on screen, so its letter is not its own.
    auto* Images = new TImageList(Form.get());
    TBitmap Picture;
    Picture.SetSize(16, 16);
    ASSERT_EQ(Images->Add(Picture), 0);
    Bar->SetImages(Images);
    TAction* Bold = NewAction("&Bold", &Bolds);
    Bold->SetImageIndex(0);
    AddButton(Bold);
    Form->Show();
    auto Press = [&](char Letter) {
        PostMessageA(Form->Handle(), WM_SYSCHAR, static_cast<WPARAM>(Letter), 0x20000000);
        Application->ProcessMessages();
    };
    Press('n');
    Press('D');
    Press('b');
    Press('h');
    EXPECT_EQ(News, 1);
    EXPECT_EQ(Deletes, 1);
    EXPECT_EQ(Bolds, 0) << "a picture button does not take its caption's letter";
    EXPECT_EQ(Hidden, 0) << "nor does a hidden button";
    Delete->Action()->SetEnabled(false);
    Press('d');
    EXPECT_EQ(Deletes, 1) << "nor a disabled one";
}

TEST_F(ToolBarTest, TheMouseOverAButtonShowsItsActionsHint) {
    int Runs = 0;
    TToolButton* First = AddButton(NewAction("&One", &Runs));
    TToolButton* Second = AddButton(NewAction("&Two", &Runs));
    Second->Action()->SetHint("The second one.|Longer text");
    Bar->SetShowHint(true);
    Form->Show();
    PumpUntil([] { return false; }, 50);
    const POINT Over = Bar->ClientToScreen(POINT{Second->Left() + 5, 5});
    Application->MouseIdleAt(Over);
    EXPECT_EQ(Application->MouseControl(), Second);
    ASSERT_TRUE(Application->ActivateHintFor(Second));
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_EQ(Application->HintWindow()->Caption(), "The second one.");
    Application->CancelHint();
    // A button without a hint shows none.
    EXPECT_FALSE(Application->ActivateHintFor(First));
    Application->MouseIdleAt(POINT{0, 0});
}

// Quick clicks of the real mouse on a tool button each run its action: the
// second click of a double click too, and a third one after it.
TEST_F(ToolBarTest, QuickClicksOnAButtonEachRunItsAction) {
    int Runs = 0;
    TToolButton* Button = AddButton(NewAction("&Bigger", &Runs));
    Form->Show();
    SetForegroundWindow(Form->Handle());
    PumpUntil([] { return false; }, 100);
    const POINT On = Bar->ClientToScreen(POINT{Button->Left() + 5, Button->Top() + 5});
    for (int Click = 1; Click <= 3; ++Click) {
        if (Click > 1) Sleep(250); // the pace of the user's clicks, within the double-click time
        MouseClick(On);
        EXPECT_EQ(Runs, Click);
    }
}

// Rows of ink (dark pixels) in a picture: the number of text lines and the
// rightmost inked column.
struct TInk {
    int Lines = 0, Right = -1;
};
TInk InkOf(const std::vector<std::uint32_t>& Pixels, int W, int H) {
    TInk Ink;
    bool InLine = false;
    for (int Y = 0; Y < H; ++Y) {
        bool RowInk = false;
        for (int X = 0; X < W; ++X) {
            const std::uint32_t P = Pixels[static_cast<size_t>(Y) * W + X];
            if (((P >> 16) & 0xFF) < 128 && ((P >> 8) & 0xFF) < 128 && (P & 0xFF) < 128) {
                RowInk = true;
                Ink.Right = std::max(Ink.Right, X);
            }
        }
        Ink.Lines += RowInk && !InLine;
        InLine = RowInk;
    }
    return Ink;
}

// A hint shows its whole text: the window shows as many lines, reaching as
// far right, as the same text drawn in the hint's font at the widest hint.
TEST_F(ToolBarTest, AHintWindowShowsItsWholeText) {
    int Runs = 0;
    TToolButton* Button = AddButton(NewAction("&One", &Runs));
    Bar->SetShowHint(true);
    Form->Show();
    bool Saved = false;
    for (const char* Text : {"Decrease indent of the line or selection.",
                             "Create a new note in this namespace", "Rename the selected tag.",
                             "A hint long enough to need more than one line in the widest hint window that "
                             "the application shows, so it wraps onto a second line and a third one too."}) {
        Button->Action()->SetHint(Text);
        ASSERT_TRUE(Application->ActivateHintFor(Button));
        THintWindow* Hint = Application->HintWindow();
        int W = 0, H = 0;
        const std::vector<std::uint32_t> Pixels = CaptureClient(Hint->Handle(), W, H);
        const TInk Shown = InkOf(Pixels, W, H);
        if (!Saved) Saved = !SaveSettledScreen(Hint->Handle(), "gui-hint").empty();

        TBitmap Reference(400, 100, TPixelFormat::pf32bit);
        Reference.Canvas().Brush().SetColor(clWhite);
        Reference.Canvas().FillRect(RECT{0, 0, 400, 100});
        Reference.Canvas().Font().Assign(Hint->Font());
        RECT Box{0, 0, 300, 100};
        Reference.Canvas().DrawText(Text, Box, DT_WORDBREAK | DT_NOPREFIX);
        const auto* Bits = static_cast<const std::uint32_t*>(Reference.ScanLine(0));
        const TInk Wanted = InkOf(std::vector<std::uint32_t>(Bits, Bits + 400 * 100), 400, 100);
        EXPECT_EQ(Shown.Lines, Wanted.Lines) << Text;
        EXPECT_EQ(Shown.Right, Wanted.Right + 2) << Text; // after the hint's margin
    }
    Application->CancelHint();
}

TEST_F(ToolBarTest, ImageListsAddNothingFromAMissingBitmapResource) {
    TImageList Images(nullptr);
    EXPECT_EQ(Images.AddFromResource(nullptr, "NO_SUCH_BITMAP", clFuchsia), 0);
    EXPECT_EQ(Images.Count(), 0);
}

} // namespace
