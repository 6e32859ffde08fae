// The library's standard controls: lists, check lists, the single-line mask edit, memos, panels, splitters.
#include "GuiTestSupport.h"

#include "gui/CheckLst.h"
#include "gui/ExtCtrls.h"
#include "gui/Mask.h"
#include "gui/StdCtrls.h"

#include <memory>

namespace {

class ControlsTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(30, 30, 400, 300);
    }
    void TearDown() override { form.reset(); }
    template <typename T> T* Add(int left, int top, int width, int height) {
        auto* c = new T(form.get());
        c->SetBounds(left, top, width, height);
        c->SetParent(form.get());
        return c;
    }
    std::unique_ptr<TForm> form;
};

TEST_F(ControlsTest, ListBoxItemsAndSelectionSurviveRecreation) {
    auto* list = Add<TListBox>(10, 10, 150, 120);
    list->Items().Add("beta");
    list->Items().Add("alpha");
    list->Items().AddObject("gamma", list);
    list->SetItemIndex(1);
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 3);
    list->SetStyle(TListBoxStyle::lbOwnerDrawFixed); // re-creates the window
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->Items().GetObject(2), list);
    list->Items().Delete(0);
    char text[32] = {};
    SendMessageA(list->Handle(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "alpha");
}

TEST_F(ControlsTest, SortedListInsertsInOrder) {
    auto* list = Add<TListBox>(10, 10, 150, 120);
    list->SetSorted(true);
    for (const char* s : {"pear", "Apple", "fig"})
        list->Items().Add(s);
    EXPECT_EQ(list->Items().CommaText(), "Apple,fig,pear");
    char text[32] = {};
    SendMessageA(list->Handle(), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "fig");
}

TEST_F(ControlsTest, ListBoxSelectionChangeIsAClick) {
    auto* list = Add<TListBox>(10, 10, 150, 120);
    list->Items().SetCommaText("a,b,c");
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    list->SetItemIndex(0);
    POINT p{5, list->ItemRect(2).top + 2};
    SendMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageA(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, OwnerDrawnItemsAreDrawnThroughTheControl) {
    auto* list = Add<TListBox>(10, 10, 150, 120);
    list->SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    list->SetItemHeight(20);
    list->Items().SetCommaText("one,two");
    std::vector<int> drawn;
    list->OnDrawItem = [&](TWinControl* c, int index, RECT rect, TOwnerDrawState) {
        EXPECT_EQ(c, list);
        EXPECT_EQ(rect.bottom - rect.top, 20);
        drawn.push_back(index);
    };
    form->Show();
    list->Repaint();
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 0), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
}

TEST_F(ControlsTest, CheckListBoxTogglesOnTheCheckColumnOnly) {
    auto* list = Add<TCheckListBox>(10, 10, 150, 120);
    list->Items().SetCommaText("first,second,third");
    list->SetItemEnabled(2, false);
    int checks = 0;
    list->OnClickCheck = [&](TObject*) { ++checks; };
    auto clickAt = [&](int index, int x) {
        RECT r = list->ItemRect(index);
        SendMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, r.top + 2));
        SendMessageA(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, r.top + 2));
    };
    clickAt(0, 4);
    EXPECT_TRUE(list->Checked(0));
    clickAt(0, 80); // on the text: selects, does not toggle
    EXPECT_TRUE(list->Checked(0));
    EXPECT_EQ(list->ItemIndex(), 0);
    clickAt(2, 4); // disabled item
    EXPECT_FALSE(list->Checked(2));
    list->SetAllowGrayed(true);
    list->ToggleClickCheck(0);
    EXPECT_EQ(list->State(0), TCheckBoxState::cbGrayed);
    list->ToggleClickCheck(0);
    EXPECT_EQ(list->State(0), TCheckBoxState::cbUnchecked);
    EXPECT_EQ(checks, 3);
    // Space toggles the current item.
    list->SetItemIndex(1);
    SendMessageA(list->Handle(), WM_CHAR, ' ', 0);
    EXPECT_TRUE(list->Checked(1));
    // The states survive re-creation and follow their items.
    list->RecreateWnd();
    list->Items().Insert(0, "new");
    EXPECT_FALSE(list->Checked(0));
    EXPECT_TRUE(list->Checked(2));
    EXPECT_FALSE(list->ItemEnabled(3));
}

TEST_F(ControlsTest, ComboBoxKeepsItemsAndSelectionAcrossRecreation) {
    auto* combo = Add<TComboBox>(10, 10, 150, 21);
    combo->Items().SetCommaText("red,green,blue");
    combo->SetItemIndex(2);
    EXPECT_EQ(combo->Text(), "blue");
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 3);
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    // A selection made in the list, as the user does it.
    SendMessageA(combo->Handle(), CB_SETCURSEL, 0, 0);
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo->Handle()));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST_F(ControlsTest, MaskEditIsOneLineButTakesAFormattingRectangle) {
    auto* edit = Add<TMaskEdit>(10, 10, 150, 24);
    LONG style = GetWindowLongA(edit->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    // The edit adds its margins to the rectangle it is given; both requests move with it.
    edit->SetEditRect(RECT{3, 2, 100, 18});
    RECT first = edit->EditRect();
    edit->SetEditRect(RECT{13, 2, 90, 18});
    RECT second = edit->EditRect();
    EXPECT_EQ(second.left - first.left, 10);
    EXPECT_EQ(first.right - second.right, 10);
    edit->SetText("one\r\ntwo");
    EXPECT_EQ(edit->Text(), "one");
    SendMessageA(edit->Handle(), WM_CHAR, '\r', 0);
    SendMessageA(edit->Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(edit->Text().find('\r'), std::string::npos);
    LRESULT code = SendMessageA(edit->Handle(), WM_GETDLGCODE, 0, 0);
    EXPECT_FALSE(code & DLGC_WANTALLKEYS);
}

TEST_F(ControlsTest, MemoLinesReadAndWriteTheWindowText) {
    auto* memo = Add<TMemo>(10, 10, 200, 100);
    memo->Lines().Add("first");
    memo->Lines().Add("second");
    EXPECT_EQ(memo->Text(), "first\r\nsecond");
    memo->Lines().Insert(1, "middle");
    EXPECT_EQ(memo->Lines().Count(), 3);
    EXPECT_EQ(memo->Lines().Get(1), "middle");
    memo->Lines().Delete(0);
    EXPECT_EQ(memo->Text(), "middle\r\nsecond");
    memo->SetScrollBars(TScrollStyle::ssVertical); // re-creation keeps the text
    EXPECT_EQ(memo->Lines().Count(), 2);
    EXPECT_TRUE(GetWindowLongA(memo->Handle(), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ControlsTest, PanelAlignsChildrenInsideItsFrame) {
    auto* panel = Add<TPanel>(0, 0, 200, 100);
    panel->SetBevelOuter(TBevelCut::bvRaised);
    panel->SetBevelInner(TBevelCut::bvLowered);
    panel->SetBorderWidth(2);
    auto* child = new TCustomControl(form.get());
    child->SetAlign(TAlign::alClient);
    child->SetParent(panel);
    int frame = 1 + 1 + 2;
    EXPECT_EQ(child->Left(), frame);
    EXPECT_EQ(child->Top(), frame);
    EXPECT_EQ(child->Width(), 200 - 2 * frame);
}

TEST_F(ControlsTest, SplitterDragResizesTheControlBeforeIt) {
    form->HandleNeeded();
    form->SetClientSize(400, 200);
    auto* side = new TCustomControl(form.get());
    side->SetWidth(100);
    side->SetAlign(TAlign::alLeft);
    side->SetParent(form.get());
    auto* splitter = new TSplitter(form.get());
    splitter->SetLeft(150); // after the side panel
    splitter->SetParent(form.get());
    auto* rest = new TCustomControl(form.get());
    rest->SetAlign(TAlign::alClient);
    rest->SetParent(form.get());
    ASSERT_EQ(splitter->Left(), 100);
    ASSERT_EQ(splitter->FindResizeControl(), side);
    int moved = 0;
    splitter->OnMoved = [&](TObject*) { ++moved; };
    HWND wnd = form->Handle();
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(101, 50));
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(141, 50));
    EXPECT_EQ(side->Width(), 140);
    EXPECT_EQ(rest->Left(), 143);
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-300, 50)); // clamped to MinSize
    EXPECT_EQ(side->Width(), splitter->MinSize());
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1000, 50)); // leaves MinSize for the rest
    EXPECT_EQ(side->Width(), 400 - 3 - splitter->MinSize());
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(1000, 50));
    EXPECT_EQ(moved, 1);
}

TEST_F(ControlsTest, CheckBoxCyclesThroughItsStatesAndKeepsThemAcrossRecreation) {
    auto* box = Add<TCheckBox>(10, 10, 150, 20);
    box->SetCaption("Option");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    SendMessageA(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    box->SetAllowGrayed(true);
    SendMessageA(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(box->State(), TCheckBoxState::cbGrayed);
    SendMessageA(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(box->State(), TCheckBoxState::cbUnchecked);
    EXPECT_EQ(clicks, 3);
    box->SetChecked(true);
    box->RecreateWnd();
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(box->Caption(), "Option");
}

TEST_F(ControlsTest, RadioButtonsOfOneParentExcludeEachOther) {
    auto* a = Add<TRadioButton>(10, 10, 150, 20);
    auto* b = Add<TRadioButton>(10, 30, 150, 20);
    auto* panel = Add<TPanel>(10, 60, 150, 60);
    auto* elsewhere = new TRadioButton(form.get());
    elsewhere->SetParent(panel);
    a->SetChecked(true);
    elsewhere->SetChecked(true);
    SendMessageA(b->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_EQ(SendMessageA(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(elsewhere->Checked()); // another parent, another group
}

} // namespace
