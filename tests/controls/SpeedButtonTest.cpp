// The speed button: groups, presses and releases, the drop-down menu, repeat
// clicks, accelerators, glyph strips, and what it draws in each state.
#include "controls/MvSpeedButton.h"
#include "gui/ActnList.h"
#include "gui/Application.h"
#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/Responder.h"
#include "gui/Themes.h"
#include "gui/Timers.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"
#include "tests/support/ScreenPixels.h"
#include "tests/support/Screens.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

class TTestSpeedButton : public TMvImageSpeedButton {
public:
    using TMvImageSpeedButton::TMvImageSpeedButton;
    int Clicks = 0;
    void Click() override {
        ++Clicks;
        TMvImageSpeedButton::Click();
    }
};

class SpeedButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(30, 30, 420, 260);
        Form->HandleNeeded();
    }
    TTestSpeedButton* Make(int Left, int Top, int Width = 60, int Height = 28) {
        auto* b = new TTestSpeedButton(Form.get());
        b->SetParent(Form.get());
        b->SetBounds(Left, Top, Width, Height);
        return b;
    }
    static void Press(TControl* b, int X = 5, int Y = 5) {
        b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
    }
    static void Move(TControl* b, int X, int Y) { b->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(X, Y)); }
    static void Lift(TControl* b, int X = 5, int Y = 5) { b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y)); }
    static void ClickAt(TControl* b, int X = 5, int Y = 5) {
        Press(b, X, Y);
        Lift(b, X, Y);
    }
    // What the button paints, on its own bitmap.
    static std::unique_ptr<TBitmap> Render(TControl* b) {
        auto shot = std::make_unique<TBitmap>(b->Width(), b->Height());
        b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot->Canvas().Handle()), 0);
        return shot;
    }
    // A 16 x 16 red glyph whose bottom-left pixel is the transparent fuchsia.
    static std::unique_ptr<TBitmap> RedGlyph(int Width = 16) {
        auto g = std::make_unique<TBitmap>(Width, 16);
        g->Canvas().Brush().SetColor(clRed);
        g->Canvas().FillRect(RECT{0, 0, Width, 16});
        g->Canvas().SetPixel(0, 15, clFuchsia);
        return g;
    }

    std::unique_ptr<TForm> Form;
};

TEST_F(SpeedButtonTest, WithoutAGroupItNeverStaysDown) {
    auto* b = Make(10, 10);
    b->SetDown(true);
    EXPECT_FALSE(b->Down());
    ClickAt(b);
    EXPECT_EQ(b->Clicks, 1);
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(b->State(), rbsUp);
}

TEST_F(SpeedButtonTest, GroupedButtonsRaiseEachOther) {
    auto* a = Make(10, 10);
    auto* b = Make(80, 10);
    auto* c = Make(150, 10);
    for (auto* x : {a, b, c})
        x->SetGroupIndex(1);
    a->SetDown(true);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(a->State(), rbsExclusive);

    ClickAt(b);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(a->State(), rbsUp);
    EXPECT_FALSE(c->Down());

    // Clicking the down one again leaves it down...
    ClickAt(b);
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(b->Clicks, 2);
    // ...unless all may be up; the others of the group learn the setting.
    b->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp());
    ClickAt(b);
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(a->Down());
}

TEST_F(SpeedButtonTest, AReleaseOutsideGivesNoClick) {
    auto* b = Make(10, 10, 60, 28);
    struct Case {
        int X, Y;
        bool Click;
    } cases[] = {
        {0, 0, true},   {59, 27, true}, {60, 5, false}, {5, 28, false}, // the row at the height is outside
        {-1, 5, false}, {5, -1, false},
    };
    for (const Case& c : cases) {
        const int before = b->Clicks;
        Press(b);
        Move(b, c.X, c.Y);
        EXPECT_EQ(b->State(), c.Click ? rbsDown : rbsUp) << c.X << "," << c.Y;
        Lift(b, c.X, c.Y);
        EXPECT_EQ(b->Clicks - before, c.Click ? 1 : 0) << c.X << "," << c.Y;
    }
}

TEST_F(SpeedButtonTest, DropDownMenuOpensBelowTheLeftEdgeAndClicksNothing) {
    auto* b = Make(40, 50, 60, 28);
    auto* menu = new TPopupMenu(Form.get());
    auto* item = new TMenuItem(menu);
    item->SetCaption("First");
    menu->Items().Add(item);
    b->SetDropDownMenu(menu);
    b->SetAllowTimer(true);
    POINT at{0, 0};
    int popups = 0;
    TDialogResponder responder;
    responder.Popup = [&](TPopupMenu& m, int x, int y) {
        EXPECT_EQ(&m, menu);
        EXPECT_EQ(m.PopupComponent(), b);
        EXPECT_TRUE(b->MenuTracking());
        at = POINT{x, y};
        ++popups;
        // The click that closes the menu lands on the button.
        PostMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(45, 55));
    };
    TDialogResponderScope scope(responder);
    Press(b);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(at.x, b->ClientToScreen(POINT{-1, 28}).x);
    EXPECT_EQ(at.y, b->ClientToScreen(POINT{-1, 28}).y);
    EXPECT_EQ(b->Clicks, 0);
    EXPECT_FALSE(b->Dragging());
    EXPECT_FALSE(b->MenuTracking());
    MSG m{};
    EXPECT_FALSE(PeekMessageA(&m, Form->Handle(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));
    // No repeat clicks after the menu: nobody is holding the button.
    EXPECT_TRUE(b->RepeatTimer() == nullptr || !b->RepeatTimer()->Enabled());
    // Time must pass here: that no click comes in it is the point.
    PumpFor(150);
    EXPECT_EQ(b->Clicks, 0);

    b->SetMenuPosition(TMvDropDownMenuPos::dmpRight);
    EXPECT_EQ(b->DropDownPoint().x, 60);
    EXPECT_EQ(b->DropDownPoint().y, -1);
    delete menu; // freed menus are forgotten
    EXPECT_EQ(b->DropDownMenu(), nullptr);
}

TEST_F(SpeedButtonTest, HeldButtonRepeatsWhileThePointerIsOverIt) {
    auto* b = Make(10, 10);
    b->SetAllowTimer(true);
    b->SetInitPause(60);
    b->SetRepeatInterval(20);
    Press(b);
    ASSERT_NE(b->RepeatTimer(), nullptr);
    EXPECT_EQ(b->RepeatTimer()->Interval(), 60u);
    PumpUntil([&] { return b->Clicks >= 3; }, 5000);
    const int held = b->Clicks;
    EXPECT_GE(held, 3);
    EXPECT_EQ(b->RepeatTimer()->Interval(), 20u);
    Move(b, 100, 100); // off the button: the clicks pause
    // Time must pass here (several repeat intervals): that no click comes in it is the point.
    PumpFor(120);
    EXPECT_EQ(b->Clicks, held);
    Move(b, 5, 5);
    PumpUntil([&] { return b->Clicks > held; }, 5000);
    EXPECT_GT(b->Clicks, held);
    const int before = b->Clicks;
    Lift(b);
    EXPECT_EQ(b->Clicks, before + 1); // the release clicks once more
    // Time must pass here: that no click comes after the release is the point.
    PumpFor(100);
    EXPECT_EQ(b->Clicks, before + 1);
    b->SetAllowTimer(false);
    EXPECT_EQ(b->RepeatTimer(), nullptr);
}

TEST_F(SpeedButtonTest, AltAndTheAcceleratorClick) {
    auto* b = Make(10, 10);
    b->SetCaption("&Save");
    EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'S', KeyDataFromShift(ssAlt)), 1);
    EXPECT_EQ(b->Clicks, 1);
    EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'S', 0), 0);
    EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'X', KeyDataFromShift(ssAlt)), 0);
    EXPECT_EQ(b->Clicks, 1);
    b->SetEnabled(false);
    EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'S', KeyDataFromShift(ssAlt)), 0);
}

TEST_F(SpeedButtonTest, GlyphStripsCountTheirImages) {
    auto* b = Make(10, 10);
    struct Case {
        int Width, Expected;
    } cases[] = {{64, 4}, {96, 1}, {16, 1}, {80, 5}, {40, 5}}; // 40 x 16 is no strip: the count stays
    for (const Case& c : cases) {
        b->ButtonGlyph().SetGlyph(*RedGlyph(c.Width));
        EXPECT_EQ(b->ButtonGlyph().NumGlyphs(), c.Expected) << c.Width;
        EXPECT_EQ(b->ButtonGlyph().TransparentColor(), clFuchsia);
    }
}

TEST_F(SpeedButtonTest, ModalResultGoesToTheForm) {
    auto* b = Make(10, 10);
    b->SetModalResult(mrOk);
    ClickAt(b);
    EXPECT_EQ(Form->ModalResult(), mrOk);
}

// ---- pixels (classic look) ----

TEST_F(SpeedButtonTest, FramesOfPressedHotAndFlatButtons) {
    TThemeOverrideScope classic(false);
    auto* b = Make(10, 10, 40, 30);
    const COLORREF face = ColorToRGB(clBtnFace), frame = ColorToRGB(clWindowFrame);
    auto shade = [&](int d) {
        auto ch = [d](int v) { return std::clamp(v + d, 0, 255); };
        return RGB(ch(GetRValue(face)), ch(GetGValue(face)), ch(GetBValue(face)));
    };
    auto up = Render(b);
    EXPECT_EQ(up->Canvas().Pixel(0, 0), shade(64));
    EXPECT_EQ(up->Canvas().Pixel(39, 29), frame);
    EXPECT_EQ(up->Canvas().Pixel(38, 28), shade(-64));

    Press(b);
    auto pressed = Render(b);
    EXPECT_EQ(pressed->Canvas().Pixel(0, 0), frame);
    EXPECT_EQ(pressed->Canvas().Pixel(1, 1), shade(-64));
    EXPECT_EQ(pressed->Canvas().Pixel(39, 29), shade(64));
    Lift(b, 100, 100);

    b->SetFlat(true);
    b->Perform(CM_MOUSELEAVE, 0, 0);
    auto inactive = Render(b);
    EXPECT_EQ(inactive->Canvas().Pixel(0, 0), face); // no frame until hovered
    EXPECT_EQ(inactive->Canvas().Pixel(39, 29), face);
    b->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(b->MouseOver());
    auto hot = Render(b);
    EXPECT_EQ(hot->Canvas().Pixel(0, 0), shade(64));
    EXPECT_EQ(hot->Canvas().Pixel(39, 29), shade(-64));
}

TEST_F(SpeedButtonTest, ADownButtonShowsTheCheckerFace) {
    TThemeOverrideScope classic(false);
    auto* b = Make(10, 10, 40, 30);
    b->SetGroupIndex(3);
    b->SetDown(true);
    auto shot = Render(b);
    const COLORREF face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
    const COLORREF p1 = shot->Canvas().Pixel(20, 15), p2 = shot->Canvas().Pixel(21, 15);
    EXPECT_NE(p1, p2);
    EXPECT_TRUE((p1 == face && p2 == light) || (p1 == light && p2 == face));
}

TEST_F(SpeedButtonTest, FlatButtonGreysItsGlyphUntilHovered) {
    TThemeOverrideScope classic(false);
    auto* b = Make(10, 10, 40, 30);
    b->ButtonGlyph().SetGlyph(*RedGlyph());
    b->SetFlat(true);
    const int cx = 20, cy = 7 + 8; // glyph on top: margin centres it
    auto grey = Render(b);
    const int level = (77 * 255) / 256;
    EXPECT_EQ(grey->Canvas().Pixel(cx, cy), RGB(level, level, level));
    b->Perform(CM_MOUSEENTER, 0, 0);
    auto hot = Render(b);
    EXPECT_EQ(hot->Canvas().Pixel(cx, cy), RGB(255, 0, 0));
    b->Perform(CM_MOUSELEAVE, 0, 0);
    b->SetGrayedInactive(false);
    auto plain = Render(b);
    EXPECT_EQ(plain->Canvas().Pixel(cx, cy), RGB(255, 0, 0));
    // The fuchsia corner is see-through.
    EXPECT_EQ(plain->Canvas().Pixel(12, 7 + 15), ColorToRGB(clBtnFace));
}

TEST_F(SpeedButtonTest, GlyphListsAreSharedByButtonsOfOneGlyphSize) {
    auto* a = Make(10, 10);
    auto* b = Make(80, 10);
    a->ButtonGlyph().SetGlyph(*RedGlyph());
    b->ButtonGlyph().SetGlyph(*RedGlyph());
    Render(a);
    Render(b);
    ASSERT_NE(a->ButtonGlyph().GlyphList(), nullptr);
    EXPECT_EQ(a->ButtonGlyph().GlyphList(), b->ButtonGlyph().GlyphList());
    const int used = a->ButtonGlyph().GlyphList()->Count();
    b->ButtonGlyph().ClearStateImages();
    EXPECT_EQ(a->ButtonGlyph().GlyphList()->Count(), used - 1);
}

// Buttons that share an image list each repaint when it changes (the list's own OnChange
// still fires), stop once they let it go, and neither a freed list nor a freed button
// leaves a dangling registration behind.
TEST_F(SpeedButtonTest, AChangeOfTheImageListRepaintsEveryButtonUsingIt) {
    Form->Show();
    mv::test::PumpUntilIdle();
    auto* a = Make(10, 10);
    auto* b = Make(80, 10);
    auto* other = Make(150, 10);
    auto images = std::make_unique<TImageList>(nullptr, 16, 16);
    int ListChanges = 0;
    images->OnChange = [&ListChanges](TObject*) { ++ListChanges; };
    a->SetImages(images.get());
    b->SetImages(images.get());
    a->SetImageIndex(0);
    b->SetImageIndex(0);
    const auto Invalid = [this](TControl* Button) {
        RECT Update{};
        const RECT Bounds = Button->BoundsRect();
        RECT Both{};
        return GetUpdateRect(Form->Handle(), &Update, FALSE) && IntersectRect(&Both, &Update, &Bounds);
    };
    const auto Change = [&] {
        ValidateRect(Form->Handle(), nullptr);
        images->AddMasked(*RedGlyph(), clFuchsia);
    };
    Change();
    EXPECT_TRUE(Invalid(a));
    EXPECT_TRUE(Invalid(b));
    EXPECT_FALSE(Invalid(other));
    EXPECT_EQ(ListChanges, 1);

    b->SetImages(nullptr);
    Change();
    EXPECT_TRUE(Invalid(a));
    EXPECT_FALSE(Invalid(b));
    delete a; // its link leaves the list
    Change();
    EXPECT_EQ(ListChanges, 3);

    b->SetImages(images.get());
    images.reset(); // the button forgets the list and its link is cleared
    EXPECT_EQ(b->Images(), nullptr);
    b->Invalidate();
    UpdateWindow(Form->Handle()); // paints without the list
    TImageList Later(nullptr, 16, 16);
    b->SetImages(&Later);
    ValidateRect(Form->Handle(), nullptr);
    Later.AddMasked(*RedGlyph(), clFuchsia);
    EXPECT_TRUE(Invalid(b));
    b->SetImages(nullptr);
}

// An action drives the button; Checked, GroupIndex and ImageIndex only while the button
// still agrees with the action's last values, so a value set on the button itself stays.
TEST_F(SpeedButtonTest, AnActionDrivesTheButtonWhileTheyAgree) {
    auto* b = Make(10, 10);
    b->SetAllowAllUp(true);
    TActionList List(Form.get());
    TImageList Images(Form.get(), 16, 16);
    List.SetImages(&Images);
    auto* Act = new TAction(Form.get());
    Act->SetActionList(&List);
    Act->SetCaption("&Bold");
    Act->SetHint("Bold text");
    Act->SetGroupIndex(4);
    Act->SetImageIndex(3);
    int Runs = 0;
    Act->OnExecute = [&Runs](TObject*) { ++Runs; };
    b->SetAction(Act);
    EXPECT_EQ(b->Caption(), "&Bold");
    EXPECT_EQ(b->Hint(), "Bold text");
    EXPECT_EQ(b->GroupIndex(), 4);
    EXPECT_EQ(b->Images(), &Images);
    EXPECT_EQ(b->ImageIndex(), 3);
    Act->SetChecked(true);
    EXPECT_TRUE(b->Down());
    Act->SetChecked(false);
    EXPECT_FALSE(b->Down());
    b->SetImageIndex(5); // the button's own choice
    Act->SetImageIndex(4);
    EXPECT_EQ(b->ImageIndex(), 5);
    b->SetImageIndex(4);
    Act->SetImageIndex(6); // agreeing again: it follows
    EXPECT_EQ(b->ImageIndex(), 6);
    Act->SetEnabled(false);
    EXPECT_FALSE(b->Enabled());
    Act->SetEnabled(true);
    ClickAt(b);
    EXPECT_EQ(Runs, 1);
    EXPECT_EQ(b->Clicks, 1);
    delete Act;
    EXPECT_EQ(b->Action(), nullptr);
    ClickAt(b);
    EXPECT_EQ(Runs, 1);
    EXPECT_EQ(b->Clicks, 2);
}

TEST_F(SpeedButtonTest, ScreenshotOfEveryState) {
    TThemeOverrideScope classic(false);
    Form->SetCaption("Speed buttons");
    TImageList images(nullptr, 16, 16);
    TBitmap green(16, 16);
    green.Canvas().Brush().SetColor(clGreen);
    green.Canvas().FillRect(RECT{0, 0, 16, 16});
    green.Canvas().Brush().SetColor(clWhite);
    green.Canvas().FillRect(RECT{4, 4, 12, 12});
    images.AddMasked(green, clWhite);
    const char* captions[] = {"Normal", "Hot", "Pressed", "Disabled", "Flat", "Flat hot", "Down", "Menu"};
    TTestSpeedButton* buttons[8];
    for (int i = 0; i < 8; ++i) {
        buttons[i] = Make(10 + (i % 4) * 100, 10 + (i / 4) * 60, 90, 50);
        buttons[i]->SetCaption(captions[i]);
        buttons[i]->SetImages(&images);
        buttons[i]->SetImageIndex(0);
    }
    buttons[1]->SetHotTrack(true);
    buttons[1]->Perform(CM_MOUSEENTER, 0, 0);
    Press(buttons[2]);
    buttons[3]->SetEnabled(false);
    buttons[4]->SetFlat(true);
    buttons[5]->SetFlat(true);
    buttons[5]->Perform(CM_MOUSEENTER, 0, 0);
    buttons[6]->SetGroupIndex(1);
    buttons[6]->SetDown(true);
    auto* menu = new TPopupMenu(Form.get());
    buttons[7]->SetDropDownMenu(menu);
    buttons[7]->SetLayout(TButtonLayout::blGlyphLeft);
    Form->Show();
    SaveSettledScreen(Form->Handle(), "speed-buttons");
    int Width = 0, Height = 0;
    const std::vector<std::uint32_t> Pixels = CaptureClient(Form->Handle(), Width, Height);
    auto At = [&](int I, int X, int Y) {
        return Pixels[static_cast<size_t>(buttons[I]->Top() + Y) * Width + buttons[I]->Left() + X];
    };
    auto Rgb = [](TColor C) {
        const COLORREF R = ColorToRGB(C);
        return static_cast<std::uint32_t>(GetRValue(R) << 16 | GetGValue(R) << 8 | GetBValue(R));
    };
    auto Inside = [&](int I) {
        return RECT{buttons[I]->Left() + 3, buttons[I]->Top() + 3, buttons[I]->Left() + 87,
                    buttons[I]->Top() + 47};
    };
    auto Green = [&](int I) {
        return CountPixels(Pixels, Width, Inside(I), [](std::uint32_t P) { return P == 0x008000; });
    };
    auto Black = [&](int I) {
        return CountPixels(Pixels, Width, Inside(I), [](std::uint32_t P) { return P == 0; });
    };
    for (int I = 0; I < 8; ++I) {
        // Every enabled button shows its caption in black; the disabled one shows none.
        if (I == 3)
            EXPECT_EQ(Black(I), 0) << captions[I] << ": a disabled caption is greyed";
        else
            EXPECT_GE(Black(I), 15) << captions[I] << ": its caption is drawn";
        // The glyph is green but on the resting flat button (grey) and the disabled one (dimmed).
        if (I == 4)
            EXPECT_EQ(Green(I), 0) << captions[I] << ": the glyph is greyed";
        else if (I == 3)
            EXPECT_LT(Green(I), Green(0) * 3 / 4) << captions[I] << ": the glyph is dimmed";
        else
            EXPECT_GE(Green(I), 40) << captions[I] << ": its glyph is drawn";
    }
    const std::uint32_t Light = Rgb(clBtnHighlight), Frame = Rgb(clWindowFrame), Face = Rgb(clBtnFace);
    EXPECT_EQ(At(0, 0, 0), Light) << "a raised button is lit at the top left";
    EXPECT_EQ(At(0, 89, 49), Frame) << "and framed at the bottom right";
    EXPECT_EQ(At(2, 0, 0), Frame) << "a pressed button is sunk: framed at the top left";
    EXPECT_NE(At(2, 89, 49), Frame);
    EXPECT_EQ(At(4, 0, 0), Face) << "a resting flat button has no frame";
    EXPECT_EQ(At(5, 0, 0), Light) << "a hot flat button is raised";
    EXPECT_NE(At(6, 30, 40), At(6, 31, 40)) << "a down button shows the checker face";
    // The drop-down button's arrow sits in its right part, right of the caption.
    EXPECT_GE(CountPixels(Pixels, Width,
                          RECT{buttons[7]->Left() + 70, buttons[7]->Top() + 3, buttons[7]->Left() + 87,
                               buttons[7]->Top() + 47},
                          [](std::uint32_t P) { return P == 0; }),
              3);
    Lift(buttons[2], 200, 200);
}

} // namespace
