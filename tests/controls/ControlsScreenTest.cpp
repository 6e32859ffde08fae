// One form with every periphery control in its states, saved as a screenshot, with a
// few pixel checks that the states really look different.
#include "controls/MvCheckListBox.h"
#include "controls/MvCombobox.h"
#include "controls/MvSpeedButton.h"
#include "gui/Application.h"
#include "gui/StdCtrls.h"
#include "gui/Themes.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"
#include "tests/support/Screens.h"

#include <gtest/gtest.h>

namespace {

TLabel* Caption(TForm& Form, int X, int Y, const char* Text) {
    auto* L = new TLabel(&Form);
    L->SetParent(&Form);
    L->SetBounds(X, Y, 150, 16);
    L->SetCaption(Text);
    return L;
}

TEST(ControlsScreen, EveryControlInItsStates) {
    TThemeOverrideScope Classic(false);
    Application->Initialize();
    TForm Form(nullptr);
    Form.SetCaption("Periphery controls");
    Form.SetBounds(20, 20, 640, 420);

    // Check list boxes: normal, hot-tracked before and after the mouse comes, disabled.
    const char* ListCaptions[] = {"normal", "hot track, outside", "hot track, over", "disabled"};
    TMvCheckListBox* Lists[4];
    for (int i = 0; i < 4; ++i) {
        Caption(Form, 10 + i * 155, 10, ListCaptions[i]);
        Lists[i] = new TMvCheckListBox(&Form);
        Lists[i]->SetParent(&Form);
        Lists[i]->SetBounds(10 + i * 155, 28, 145, 80);
        Lists[i]->Items().SetCommaText("Home,Work,\"A much longer item name\"");
        Lists[i]->SetChecked(1, true);
    }
    Lists[1]->SetHotTrack(true);
    Lists[2]->SetHotTrack(true);
    Lists[2]->HandleNeeded();
    Lists[2]->Perform(CM_MOUSEENTER, 0, 0);
    Lists[3]->SetEnabled(false);

    // Checked combo boxes: normal, focused with its drop-down open, disabled.
    const char* ComboCaptions[] = {"checked combo", "drop-down open", "disabled"};
    TMvCheckedComboBox* Combos[3];
    for (int i = 0; i < 3; ++i) {
        Caption(Form, 10 + i * 205, 125, ComboCaptions[i]);
        Combos[i] = new TMvCheckedComboBox(&Form);
        Combos[i]->SetParent(&Form);
        Combos[i]->SetBounds(10 + i * 205, 143, 195, 24);
        Combos[i]->Items().SetCommaText("Home,Work,Wallet");
        Combos[i]->SetItemChecked(0, true);
        Combos[i]->SetItemChecked(2, true);
    }
    Combos[2]->SetEnabled(false);

    // Speed buttons: normal, hot, pressed, disabled; flat ones below.
    const char* ButtonCaptions[] = {"Normal", "Hot", "Pressed", "Disabled"};
    TMvImageSpeedButton* Buttons[8];
    for (int i = 0; i < 8; ++i) {
        Buttons[i] = new TMvImageSpeedButton(&Form);
        Buttons[i]->SetParent(&Form);
        Buttons[i]->SetBounds(10 + (i % 4) * 100, 290 + (i / 4) * 40, 90, 32);
        Buttons[i]->SetCaption(std::string(i >= 4 ? "Flat " : "") + ButtonCaptions[i % 4]);
        Buttons[i]->SetFlat(i >= 4);
        Buttons[i]->SetHotTrack(true);
    }
    for (int i : {1, 5})
        Buttons[i]->Perform(CM_MOUSEENTER, 0, 0);
    for (int i : {2, 6})
        Buttons[i]->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Buttons[3]->SetEnabled(false);
    Buttons[7]->SetEnabled(false);

    Form.Show();
    Combos[1]->SetFocus();
    Combos[1]->OpenPopup(true);
    mv::test::PumpUntilIdle();

    // The hot list has its 3-D edge, the outside one is flat; the drop-down shows.
    EXPECT_TRUE(GetWindowLongPtrA(Lists[2]->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(GetWindowLongPtrA(Lists[1]->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(IsWindowVisible(Combos[1]->DropDown().Handle()));
    // A flat button is drawn without a frame until it is hot.
    TBitmap Flat(90, 32), FlatHot(90, 32);
    Buttons[4]->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Flat.Canvas().Handle()), 0);
    Buttons[5]->Perform(WM_PAINT, reinterpret_cast<WPARAM>(FlatHot.Canvas().Handle()), 0);
    EXPECT_NE(Flat.Canvas().Pixel(0, 0), FlatHot.Canvas().Pixel(0, 0));

    SaveScreen(Form.Handle(), "controls");
    SaveScreen(Combos[1]->DropDown().Handle(), "controls-drop-down");
    Combos[1]->ClosePopup(Combos[1], false);
    for (int i : {2, 6})
        Buttons[i]->Perform(WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
}

} // namespace
