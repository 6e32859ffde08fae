// The check list box: its horizontal extent follows the widest item, the hot-track
// border, selection helpers and scroll events.
#include "controls/MvCheckListBox.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenPixels.h"
#include "tests/support/Screens.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

class CheckListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(20, 20, 300, 200);
        List = new TMvCheckListBox(Form.get());
        List->SetParent(Form.get());
        List->SetBounds(10, 10, 150, 120);
    }
    int Extent() { return static_cast<int>(SendMessageA(List->Handle(), LB_GETHORIZONTALEXTENT, 0, 0)); }
    int Measure(const std::string& Text) { return List->Canvas().TextWidth(Text + " "); }
    bool Has(DWORD Style) { return (GetWindowLongPtrA(List->Handle(), GWL_STYLE) & Style) != 0; }
    bool ClientEdge() { return (GetWindowLongPtrA(List->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; }

    std::unique_ptr<TForm> Form;
    TMvCheckListBox* List = nullptr;
};

TEST_F(CheckListBoxTest, ExtentFollowsTheWidestItem) {
    List->HandleNeeded();
    EXPECT_EQ(List->MaxWidth(), 0);
    List->Items().Add("Calendar");
    EXPECT_EQ(List->MaxWidth(), Measure("Calendar"));
    EXPECT_EQ(Extent(), List->MaxWidth());

    List->Items().Add("A much longer item than the others");
    List->Items().Add("Clock");
    List->Items().Add("Somewhat long item");
    const int widest = Measure("A much longer item than the others");
    EXPECT_EQ(List->MaxWidth(), widest);
    EXPECT_EQ(Extent(), widest);

    List->Items().Delete(2); // "Clock": not the widest
    EXPECT_EQ(List->MaxWidth(), widest);
    List->Items().Delete(1); // the widest: the next widest takes over
    EXPECT_EQ(List->MaxWidth(), Measure("Somewhat long item"));
    EXPECT_EQ(Extent(), Measure("Somewhat long item"));

    List->Items().Clear();
    EXPECT_EQ(List->MaxWidth(), 0);
    EXPECT_EQ(Extent(), 0);
}

TEST_F(CheckListBoxTest, ItemsAddedBeforeTheWindowAreMeasuredWhenItComes) {
    List->Items().SetCommaText("one,two,\"three and four\"");
    EXPECT_EQ(List->MaxWidth(), 0);
    List->HandleNeeded();
    EXPECT_EQ(List->MaxWidth(), Measure("three and four"));
    EXPECT_EQ(Extent(), List->MaxWidth());
}

TEST_F(CheckListBoxTest, BadDeleteIndexAndListsWithoutStringsMeasureNothing) {
    List->Items().SetCommaText("alpha,beta");
    List->HandleNeeded();
    const int before = List->MaxWidth();
    // An index past the end: nothing is read, the extent stays.
    List->Perform(LB_DELETESTRING, 7, 0);
    EXPECT_EQ(List->MaxWidth(), before);
    EXPECT_EQ(SendMessageA(List->Handle(), LB_GETCOUNT, 0, 0), 2);

    // Without LBS_HASSTRINGS the LParam is item data, never read as text.
    HWND wnd = List->Handle();
    SetWindowLongPtrA(wnd, GWL_STYLE,
                      GetWindowLongPtrA(wnd, GWL_STYLE) & ~static_cast<LONG_PTR>(LBS_HASSTRINGS));
    List->Perform(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a far wider item than alpha and beta"));
    EXPECT_EQ(List->MaxWidth(), before);
}

TEST_F(CheckListBoxTest, HorizontalScrollBarCanBeLeftOutAndSwitchedOn) {
    const std::string wide = "an entry far wider than the one hundred and fifty pixels of the list";
    List->SetHorScrollbar(false);
    List->Items().Add(wide);
    List->Items().Add("b");
    List->HandleNeeded();
    EXPECT_FALSE(Has(WS_HSCROLL));
    EXPECT_EQ(Extent(), 0);
    List->SetHorScrollbar(true);
    EXPECT_EQ(Extent(), Measure(wide));

    // By default the bar is there and shows as soon as an item is wider than the list.
    auto* Other = new TMvCheckListBox(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(10, 140, 150, 50);
    Other->Items().Add(wide);
    Other->HandleNeeded();
    EXPECT_TRUE((GetWindowLongPtrA(Other->Handle(), GWL_STYLE) & WS_HSCROLL) != 0);
}

TEST_F(CheckListBoxTest, DeleteSelectedAndSelectAll) {
    List->Items().SetCommaText("a,b,c");
    List->HandleNeeded();
    List->DeleteSelected(); // nothing selected
    EXPECT_EQ(List->Count(), 3);
    List->SetItemIndex(0);
    List->DeleteSelected();
    EXPECT_EQ(List->Items().CommaText(), "b,c");
    EXPECT_EQ(List->ItemIndex(), 0);
    List->SetItemIndex(1);
    List->DeleteSelected();
    EXPECT_EQ(List->Items().CommaText(), "b");
    EXPECT_EQ(List->ItemIndex(), 0);
    List->SelectAll(); // single-select: unchanged
    EXPECT_EQ(List->ItemIndex(), 0);

    auto* Multi = new TMvCheckListBox(Form.get());
    Multi->SetParent(Form.get());
    Multi->SetMultiSelect(true);
    Multi->Items().SetCommaText("a,b,c,d");
    Multi->HandleNeeded();
    Multi->SelectAll();
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Multi->Selected(i)) << i;
    Multi->SetSelected(0, false);
    Multi->SetSelected(2, false);
    Multi->DeleteSelected();
    EXPECT_EQ(Multi->Items().CommaText(), "a,c");
}

TEST_F(CheckListBoxTest, HotTrackIsFlatUntilTheMouseIsOver) {
    List->HandleNeeded();
    EXPECT_TRUE(ClientEdge());
    std::vector<std::string> events;
    List->OnMouseEnter = [&](TObject*) { events.push_back("enter"); };
    List->OnMouseLeave = [&](TObject*) { events.push_back("leave"); };
    List->SetHotTrack(true);
    EXPECT_FALSE(List->Ctl3D());
    EXPECT_FALSE(ClientEdge());
    List->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(List->Ctl3D());
    EXPECT_TRUE(ClientEdge());
    List->Perform(CM_MOUSEENTER, 0, 0); // already over: nothing more
    List->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(List->Ctl3D());
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
    List->SetHotTrack(false); // leaves the border as it is
    EXPECT_FALSE(List->Ctl3D());
}

TEST_F(CheckListBoxTest, ScrollEventsFireAlsoWhenAScrollEnds) {
    List->Items().SetCommaText("\"a very very long item that needs scrolling sideways\",b");
    List->HandleNeeded();
    int horizontal = 0, vertical = 0;
    List->OnHorizontalScroll = [&](TObject* Sender) {
        EXPECT_EQ(Sender, List);
        ++horizontal;
    };
    List->OnVerticalScroll = [&](TObject*) { ++vertical; };
    SendMessageA(List->Handle(), WM_HSCROLL, SB_LINERIGHT, 0);
    SendMessageA(List->Handle(), WM_HSCROLL, SB_ENDSCROLL, 0);
    SendMessageA(List->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(horizontal, 2);
    EXPECT_EQ(vertical, 1);
}

// The screen shows a tick in the boxes of the checked items only, and every item's text.
TEST_F(CheckListBoxTest, ScreenShowsTheTicksAndTheTexts) {
    List->Items().SetCommaText("Clock,Calendar,\"Word count with a long name that scrolls\",Notes");
    List->SetChecked(1, true);
    List->SetChecked(2, true);
    Form->SetCaption("Check list box");
    Form->Show();
    SaveSettledScreen(Form->Handle(), "check-list-box");
    int Width = 0, Height = 0;
    const std::vector<std::uint32_t> Pixels = CaptureClient(List->Handle(), Width, Height);
    for (int I = 0; I < 4; ++I) {
        const RECT Item = List->ItemRect(I);
        const int Middle = (Item.top + Item.bottom) / 2;
        // Inside the 13-pixel box, clear of its frame: the tick or nothing.
        const int Tick =
            CountDark(Pixels, Width, RECT{Item.left + 4, Middle - 3, Item.left + 11, Middle + 4});
        if (List->Checked(I))
            EXPECT_GE(Tick, 8) << "item " << I << " is checked: its box shows a tick";
        else
            EXPECT_EQ(Tick, 0) << "item " << I << " is not checked: its box is empty";
        EXPECT_GE(
            CountDark(Pixels, Width, RECT{Item.left + List->CheckWidth(), Item.top, Width, Item.bottom}), 10)
            << "item " << I << "'s text is drawn beside its box";
    }
}

} // namespace
