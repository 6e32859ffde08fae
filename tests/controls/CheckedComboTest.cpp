// The checked combo box: its text follows the checked items, the menu's Select all
// and Deselect all, the delimiter, the drop-down's size, and the 256-character limit.
#include "controls/MvCombobox.h"
#include "controls/MvLibException.h"
#include "gui/Application.h"
#include "gui/Menus.h"
#include "gui/Responder.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"
#include "tests/support/ScreenPixels.h"
#include "tests/support/Screens.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

class CheckedComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(60, 60, 360, 260);
        Combo = new TMvCheckedComboBox(Form.get());
        Combo->SetParent(Form.get());
        Combo->SetBounds(20, 20, 200, 24);
        Combo->OnChange = [this](TObject* Sender) {
            EXPECT_EQ(Sender, Combo);
            ++Changes;
        };
        Form->Show();
        mv::test::PumpUntilIdle();
    }
    void SetItems(const std::vector<std::string>& Items) {
        for (const std::string& S : Items)
            Combo->Items().Add(S);
    }
    // A click on item Index's check box, as the list reports it.
    void ClickCheck(int Index) {
        TMvCheckListBox& L = Combo->CheckList();
        L.SetItemIndex(Index);
        L.SetChecked(Index, !L.Checked(Index));
        L.OnClickCheck(&L);
    }

    std::unique_ptr<TForm> Form;
    TMvCheckedComboBox* Combo = nullptr;
    int Changes = 0;
};

TEST_F(CheckedComboTest, TextIsTheCheckedItemsInTheOrderChecked) {
    SetItems({"a", "b", "c"});
    Combo->SetItemChecked(0, true);
    Combo->SetItemChecked(1, true);
    EXPECT_EQ(Combo->Text(), "a,b");
    Combo->SetItemChecked(0, false);
    EXPECT_EQ(Combo->Text(), "b");
    Combo->SetItemChecked(0, true);
    Combo->SetItemChecked(2, true);
    EXPECT_EQ(Combo->Text(), "b,a,c");
    Combo->SetItemChecked(0, false);
    EXPECT_EQ(Combo->Text(), "b,c");
    EXPECT_EQ(Combo->CheckedCount(), 2);
    EXPECT_EQ(Changes, 6);
    EXPECT_TRUE(Combo->IsItemChecked(1));
    EXPECT_FALSE(Combo->IsItemChecked(0));
    // Indexes past the end are ignored.
    EXPECT_FALSE(Combo->IsItemChecked(3));
    Combo->SetItemChecked(7, true);
    EXPECT_EQ(Changes, 6);
    // No change, no notice.
    Combo->SetItemChecked(1, true);
    EXPECT_EQ(Changes, 6);
}

TEST_F(CheckedComboTest, EqualItemsShareOneTokenAndCaseCounts) {
    SetItems({"Work", "work", "Work"});
    Combo->SetItemChecked(0, true);
    Combo->SetItemChecked(2, true); // same text: nothing changes, the mark stays off
    EXPECT_EQ(Combo->Text(), "Work");
    EXPECT_FALSE(Combo->IsItemChecked(2));
    Combo->SetItemChecked(1, true);
    EXPECT_EQ(Combo->Text(), "Work,work");
    EXPECT_EQ(Combo->CheckedCount(), 2);
}

TEST_F(CheckedComboTest, ClicksInTheListChangeTheText) {
    SetItems({"a", "b", "c"});
    ClickCheck(0);
    ClickCheck(2);
    EXPECT_EQ(Combo->Text(), "a,c");
    ClickCheck(0);
    EXPECT_EQ(Combo->Text(), "c");
    EXPECT_EQ(Changes, 3);
}

TEST_F(CheckedComboTest, DelimiterChangeRebuildsTheText) {
    SetItems({"a", "b", "c"});
    Combo->SetItemChecked(1, true);
    Combo->SetItemChecked(0, true);
    EXPECT_EQ(Combo->Text(), "b,a");
    Combo->SetDelimiter(';');
    EXPECT_EQ(Combo->Text(), "a;b"); // list order
    Combo->SetItemChecked(2, true);
    EXPECT_EQ(Combo->Text(), "a;b;c");
    Combo->SetItemChecked(1, false);
    EXPECT_EQ(Combo->Text(), "a;c");
}

TEST_F(CheckedComboTest, SelectAllAndDeselectAllFromTheMenu) {
    SetItems({"one", "two", "three"});
    TDialogResponder Responder;
    int Choice = 0;
    POINT At{0, 0};
    Responder.Popup = [&](TPopupMenu& Menu, int X, int Y) {
        At = POINT{X, Y};
        Menu.Items().Items(Choice)->Click();
    };
    TDialogResponderScope Scope(Responder);
    Combo->OpenPopup(true);
    ASSERT_TRUE(Combo->PopupVisible());
    TMvCheckListBox& L = Combo->CheckList();
    // A keyboard request with no current item: the middle of the list.
    L.Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(L.Handle()), MAKELPARAM(-1, -1));
    EXPECT_EQ(Combo->Text(), "one,two,three");
    EXPECT_EQ(Combo->CheckedCount(), 3);
    const POINT Middle = L.ClientToScreen(POINT{L.Width() / 2, L.Height() / 2});
    EXPECT_EQ(At.x, Middle.x);
    EXPECT_EQ(At.y, Middle.y);
    // With a current item: below it.
    L.SetItemIndex(1);
    Choice = 1;
    L.Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(L.Handle()), MAKELPARAM(-1, -1));
    EXPECT_EQ(At.y, L.ClientToScreen(POINT{0, 2 * L.ItemHeight()}).y);
    EXPECT_EQ(Combo->Text(), "");
    EXPECT_EQ(Combo->CheckedCount(), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Combo->IsItemChecked(i));
    EXPECT_EQ(Changes, 2);
    EXPECT_TRUE(Combo->PopupVisible()); // the menu does not close the drop-down
}

TEST_F(CheckedComboTest, OnlyAddingIsLimitedAndAFullTextKeepsTheMark) {
    std::vector<std::string> Items;
    for (int i = 0; i < 30; ++i)
        Items.push_back("a-rather-long-item-" + std::to_string(100 + i));
    SetItems(Items);
    Combo->CheckAllItems();
    ASSERT_GT(Combo->Text().size(), 256u);
    // Removing past the 256th character works.
    Combo->SetItemChecked(29, false);
    EXPECT_EQ(Combo->Text().substr(Combo->Text().size() - 22), "a-rather-long-item-128");
    const std::string Before = Combo->Text();
    try {
        Combo->SetItemChecked(29, true);
        ADD_FAILURE() << "no exception";
    } catch (const EMvLibException& E) {
        EXPECT_STREQ(E.what(), "Too many items selected");
    }
    EXPECT_EQ(Combo->Text(), Before);
    EXPECT_FALSE(Combo->IsItemChecked(29));
    // A click that would overflow puts the mark back.
    EXPECT_THROW(ClickCheck(29), EMvLibException);
    EXPECT_FALSE(Combo->CheckList().Checked(29));
    EXPECT_EQ(Combo->Text(), Before);
}

TEST_F(CheckedComboTest, DropDownLinesAndSize) {
    Combo->SetDropDownLines(11);
    EXPECT_EQ(Combo->DropDownLines(), 6);
    Combo->SetDropDownLines(8);
    EXPECT_EQ(Combo->DropDownLines(), 8);
    std::vector<std::string> Items;
    for (int i = 0; i < 30; ++i)
        Items.push_back("item " + std::to_string(i));
    SetItems(Items);
    Combo->SetColumns(2);
    Combo->OpenPopup(true);
    EXPECT_EQ(Combo->DropDownLines(), 10);
    EXPECT_EQ(Combo->DropDown().Width(), Combo->Width());
    const int ItemHeight =
        static_cast<int>(SendMessageA(Combo->CheckList().Handle(), LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(Combo->DropDown().Height(), ItemHeight * 10 + 4);
    // Esc in the list closes without taking anything over.
    Combo->SetItemChecked(3, true);
    Combo->CheckList().Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Combo->PopupVisible());
    EXPECT_EQ(Combo->Text(), "item 3");
}

// With Columns the drop-down's list shows its items side by side; a click on the box of
// an item in the second column checks that item (the box is found in the item's own
// rectangle), and switching back to one column keeps the items and their marks.
TEST_F(CheckedComboTest, ColumnsPutTheItemsSideBySide) {
    std::vector<std::string> Items;
    for (int i = 0; i < 30; ++i)
        Items.push_back("item " + std::to_string(i));
    SetItems(Items);
    Combo->SetColumns(2);
    Combo->OpenPopup(true);
    mv::test::PumpUntilIdle();
    TMvCheckListBox& L = Combo->CheckList();
    EXPECT_NE(GetWindowLongA(L.Handle(), GWL_STYLE) & LBS_MULTICOLUMN, 0);
    const int ColumnWidth = L.ClientWidth() / 2;
    // The items run down the first column as far as it holds them, then on at the top
    // of the second.
    int Second = 1;
    while (Second < 30 && L.ItemRect(Second).left == 0)
        ++Second;
    ASSERT_GT(Second, 5);
    ASSERT_LT(Second, 15);
    const RECT First = L.ItemRect(0), Next = L.ItemRect(Second), Above = L.ItemRect(Second - 1);
    EXPECT_EQ(First.left, 0);
    EXPECT_EQ(First.right, ColumnWidth);
    EXPECT_EQ(Next.left, ColumnWidth);
    EXPECT_EQ(Next.top, First.top);
    EXPECT_GT(Above.top, First.top);
    const auto Click = [&L](const RECT& R, int DX) {
        const LPARAM At = MAKELPARAM(R.left + DX, (R.top + R.bottom) / 2);
        L.Perform(WM_LBUTTONDOWN, MK_LBUTTON, At);
        L.Perform(WM_LBUTTONUP, 0, At);
    };
    Click(Next, 5); // on the box
    EXPECT_TRUE(Combo->IsItemChecked(Second));
    EXPECT_FALSE(Combo->IsItemChecked(0));
    Click(L.ItemRect(Second + 1), L.CheckWidth() + 20); // on the text: selects only
    EXPECT_FALSE(Combo->IsItemChecked(Second + 1));
    EXPECT_EQ(Combo->Text(), "item " + std::to_string(Second));
    Form->SetCaption("Checked combo box, two columns");
    SaveScreen(Combo->DropDown().Handle(), "checked-combo-box-columns");
    Combo->ClosePopup(Combo, true);

    Combo->SetColumns(0);
    Combo->OpenPopup(true);
    EXPECT_EQ(GetWindowLongA(L.Handle(), GWL_STYLE) & LBS_MULTICOLUMN, 0);
    EXPECT_EQ(L.Count(), 30);
    EXPECT_TRUE(L.Checked(Second));
    EXPECT_EQ(L.ItemRect(Second).left, 0);
    Combo->ClosePopup(Combo, false);
}

TEST_F(CheckedComboTest, ItemsChangeClearsTheTextAndFocusSetsTheColour) {
    SetItems({"x", "y"});
    Combo->SetItemChecked(1, true);
    Combo->Items().Add("z");
    EXPECT_EQ(Combo->Text(), "");
    EXPECT_EQ(Combo->CheckList().Count(), 3);
    Combo->SetNoFocusColor(clBtnFace);
    EXPECT_EQ(Combo->Color(), clBtnFace);
    Combo->DoEnter();
    EXPECT_EQ(Combo->Color(), clWindow);
    Combo->DoExit();
    EXPECT_EQ(Combo->Color(), clBtnFace);
    Combo->Clear();
    EXPECT_EQ(Combo->Items().Count(), 0);
    EXPECT_EQ(Combo->CheckList().Count(), 0);
}

// The box shows the checked items' text; the drop-down ticks exactly the checked items.
TEST_F(CheckedComboTest, ScreenShowsTheTextAndTheTicks) {
    SetItems({"Home", "Work", "Wallet", "Recipes", "Travel"});
    Combo->SetItemChecked(1, true);
    Combo->SetItemChecked(2, true);
    Form->SetCaption("Checked combo box");
    Combo->OpenPopup(true);
    SaveSettledScreen(Form->Handle(), "checked-combo-box");
    SaveSettledScreen(Combo->DropDown().Handle(), "checked-combo-box-drop-down");
    int Width = 0, Height = 0;
    const std::vector<std::uint32_t> Box = CaptureClient(Combo->Handle(), Width, Height);
    EXPECT_GE(CountDark(Box, Width, RECT{0, 0, Width / 2, Height}), 20) << "\"Work,Wallet\" is drawn";
    TMvCheckListBox& L = Combo->CheckList();
    const std::vector<std::uint32_t> List = CaptureClient(L.Handle(), Width, Height);
    for (int I = 0; I < 5; ++I) {
        const RECT Item = L.ItemRect(I);
        const int Middle = (Item.top + Item.bottom) / 2;
        const int Tick = CountDark(List, Width, RECT{Item.left + 4, Middle - 3, Item.left + 11, Middle + 4});
        if (I == 1 || I == 2)
            EXPECT_GE(Tick, 8) << "item " << I << " is checked: its box shows a tick";
        else
            EXPECT_EQ(Tick, 0) << "item " << I << " is not checked: its box is empty";
        EXPECT_GE(CountDark(List, Width, RECT{Item.left + L.CheckWidth(), Item.top, Width, Item.bottom}), 10)
            << "item " << I << "'s text is drawn";
    }
    Combo->ClosePopup(Combo, false);
}

} // namespace
