// Form controls of a page shown by the HTML viewer under Wine: real child windows of the paint
// panel that take typing and clicks, submit the right pairs (also on Enter), keep radio groups,
// follow scrolling, bring a focused control into view, and a picture button's click point.
#include "htmlview/HtmlDisplay.h"

#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/GraphicImages.h"
#include "htmlview/HtmlFormControls.h"
#include "htmlview/HtmlForms.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"
#include "tests/support/Screens.h"

#include <gtest/gtest.h>

namespace {

class TBluePicture : public IHtmlPicture, public IGdiPicture {
public:
    int32_t Width() const override { return 40; }
    int32_t Height() const override { return 30; }
    void DrawOn(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h) const override {
        TGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(0, 0, 200)));
        RECT r{x, y, x + w, y + h};
        FillRect(dc, &r, brush.Get());
    }
};

LPARAM Point(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

const char* const OrderPage = "<html><body><h3>Order</h3><form action=\"order.cgi\" method=post>"
                              "<p>Name <input name=who value=\"\" size=16> "
                              "Secret <input type=password name=pin size=6></p>"
                              "<p>Size <input type=radio name=size value=S checked> small "
                              "<input type=radio name=size value=L> large "
                              "<input type=checkbox name=gift onclick=\"wrap it\"> gift</p>"
                              "<p>Colour <select name=colour><option>red<option value=g>green</select> "
                              "Extras <select name=extra multiple size=3><option>nuts<option selected>cream"
                              "<option>jam</select></p>"
                              "<p><textarea name=note rows=2 cols=20>first\nsecond</textarea></p>"
                              "<p><input type=submit name=go value=Order> <input type=reset></p>"
                              "</form></body></html>";

class HtmlDisplayFormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 520, 360);
        Viewer = new THtmlDisplay(Form.get());
        Viewer->SetParent(Form.get());
        Viewer->SetBounds(0, 0, 500, 320);
        Viewer->SetDefBackground(0xFFFFFF);
        Viewer->SetDefFontColor(0);
        Viewer->SetDefFontName("Arial");
        Viewer->SetDefFontSize(10);
        Viewer->SetOnFormSubmit([this](TObject* Sender, const std::string& Action, const std::string&,
                                       const std::string&, const std::string& Method, const TStringList& R) {
            EXPECT_EQ(Sender, Viewer);
            std::vector<std::string> pairs;
            for (int i = 0; i < R.Count(); ++i)
                pairs.push_back(R.Get(i));
            Submitted.push_back(pairs);
            LastAction = Action + " " + Method;
        });
    }
    void TearDown() override {
        SetCursorPos(1200, 1000);
        Form.reset();
    }
    void ShowAndPaint() {
        Form->Show();
        SetForegroundWindow(Form->Handle());
        UpdateWindow(Form->Handle());
        ASSERT_TRUE(mv::test::WaitUntilShown(Form->Handle()));
    }
    TFormControlObj* Named(const std::string& name, int nth = 0) {
        for (TFormControlObj* c : Viewer->SectionList().FormControlList)
            if (c->Name == name && nth-- == 0) return c;
        ADD_FAILURE() << "no control " << name;
        return nullptr;
    }
    HWND Window(const std::string& name, int nth = 0) {
        TFormControlObj* c = Named(name, nth);
        TWinControl* w = c ? FormControlWindow(*c) : nullptr;
        return w ? w->Handle() : nullptr;
    }
    // The window's rectangle in paint-panel coordinates.
    RECT InPanel(HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, Viewer->PaintPanel().Handle(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    bool OnScreen(HWND w) {
        const RECT r = InPanel(w);
        return IsWindowVisible(w) && r.right > 0 && r.left < Viewer->PaintPanel().Width() && r.bottom > 0 &&
               r.top < Viewer->PaintPanel().Height();
    }
    void Type(HWND w, const std::string& text) {
        for (char c : text)
            SendMessageA(w, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    bool WaitForSubmissions(size_t n) {
        return PumpUntil([&] { return Submitted.size() >= n; }, 2000);
    }

    std::unique_ptr<TForm> Form;
    THtmlDisplay* Viewer = nullptr;
    std::vector<std::vector<std::string>> Submitted;
    std::string LastAction;
};

TEST_F(HtmlDisplayFormsTest, TypedValuesAndChoicesAreSubmittedFromTheButton) {
    Viewer->LoadHtmlText(OrderPage, "order");
    ShowAndPaint();
    SaveScreen(Form->Handle(), "html-display-form");

    // Every control with a window is a visible child of the paint panel where the page put it.
    for (TFormControlObj* c : Viewer->SectionList().FormControlList) {
        TWinControl* w = FormControlWindow(*c);
        ASSERT_NE(w, nullptr) << c->Name;
        EXPECT_TRUE(OnScreen(w->Handle())) << c->Name;
        EXPECT_TRUE(IsChild(Viewer->PaintPanel().Handle(), w->Handle())) << c->Name;
        EXPECT_EQ(InPanel(w->Handle()).left, c->Left) << c->Name;
    }
    // The initial values are in the windows.
    char text[64] = {};
    GetWindowTextA(Window("note"), text, sizeof text);
    EXPECT_STREQ(text, "first\r\nsecond");
    EXPECT_EQ(SendMessageA(Window("size", 0), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(Window("extra"), LB_GETSEL, 1, 0), 1);
    // The drop-down list keeps room for its items although the page moved its window.
    RECT closed{}, dropped{};
    GetWindowRect(Window("colour"), &closed);
    SendMessageA(Window("colour"), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_GE(dropped.bottom - closed.bottom, 2 * 12);

    Type(Window("who"), "Ann");
    Type(Window("pin"), "42");
    SendMessageA(Window("size", 1), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(Window("size", 0), BM_GETCHECK, 0, 0), BST_UNCHECKED); // one of a group
    SendMessageA(Window("gift"), BM_CLICK, 0, 0);
    SendMessageA(Window("colour"), CB_SETCURSEL, 1, 0);
    SendMessageA(Window("extra"), LB_SETSEL, TRUE, 2);
    SetWindowTextA(Window("note"), "one\r\ntwo");

    SendMessageA(Window("go"), BM_CLICK, 0, 0);
    EXPECT_TRUE(Submitted.empty()); // the host hears of it from a posted message
    ASSERT_TRUE(WaitForSubmissions(1));
    EXPECT_EQ(LastAction, "order.cgi post");
    EXPECT_EQ(Submitted[0],
              (std::vector<std::string>{"who=Ann", "pin=42", "size=L", "gift=on", "colour=g", "extra=cream",
                                        "extra=jam", "note=one\r\ntwo", "go=Order"}));

    // Reset puts the page's values back into the windows.
    for (TFormControlObj* c : Viewer->SectionList().FormControlList)
        if (c->Kind == FormControlKind::Reset) SendMessageA(FormControlWindow(*c)->Handle(), BM_CLICK, 0, 0);
    GetWindowTextA(Window("who"), text, sizeof text);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(SendMessageA(Window("size", 0), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(Window("size", 1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(Window("gift"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(Window("extra"), LB_GETSEL, 2, 0), 0);
    mv::test::PumpUntilIdle();
    EXPECT_EQ(Submitted.size(), 1u); // resetting submits nothing
}

TEST_F(HtmlDisplayFormsTest, EnterInATextInputSubmitsAndClicksReachTheHost) {
    Viewer->LoadHtmlText(OrderPage, "order");
    ShowAndPaint();
    std::vector<std::string> clicks;
    Viewer->OnObjectClick = [&](TObject* Sender, TObject* Obj, const std::string& OnClick) {
        EXPECT_EQ(Sender, Viewer);
        clicks.push_back(static_cast<TFormControlObj*>(Obj)->Name + ":" + OnClick);
    };
    SendMessageA(Window("gift"), BM_CLICK, 0, 0);
    EXPECT_TRUE(clicks.empty()); // reported after the control's own click handling
    ASSERT_TRUE(PumpUntil([&] { return !clicks.empty(); }, 1000));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], "gift:wrap it");
    // A click into a text input or a list is reported too, with the control's (empty) ONCLICK.
    SendMessageA(Window("who"), WM_LBUTTONDOWN, MK_LBUTTON, Point(3, 3));
    SendMessageA(Window("who"), WM_LBUTTONUP, 0, Point(3, 3));
    ASSERT_TRUE(PumpUntil([&] { return clicks.size() == 2; }, 1000));
    EXPECT_EQ(clicks[1], "who:");

    Type(Window("who"), "Bo");
    SendMessageA(Window("who"), WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(WaitForSubmissions(1));
    EXPECT_EQ(Submitted[0], (std::vector<std::string>{"who=Bo", "pin=", "size=S", "gift=on", "colour=red",
                                                      "extra=cream", "note=first\r\nsecond"}));
    // Enter in the text area is a new line, not a submission.
    SendMessageA(Window("note"), WM_KEYDOWN, VK_RETURN, 1);
    mv::test::PumpUntilIdle();
    EXPECT_EQ(Submitted.size(), 1u);
}

TEST_F(HtmlDisplayFormsTest, AHostMayLoadAnotherPageWhenAControlIsClicked) {
    Viewer->LoadHtmlText(OrderPage, "order");
    ShowAndPaint();
    int clicks = 0;
    Viewer->OnObjectClick = [&](TObject*, TObject*, const std::string& OnClick) {
        ++clicks;
        EXPECT_EQ(OnClick, "wrap it");
        Viewer->LoadHtmlText("<p>Thank you</p>", "thanks");
    };
    SendMessageA(Window("gift"), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return clicks > 0; }, 1000));
    EXPECT_EQ(Viewer->CurrentFile(), "thanks");
    EXPECT_TRUE(Viewer->SectionList().FormControlList.empty());
    // A click whose page went before the report is not reported.
    Viewer->LoadHtmlText(OrderPage, "order");
    ShowAndPaint();
    SendMessageA(Window("gift"), BM_CLICK, 0, 0);
    Viewer->LoadHtmlText("<p>gone</p>", "gone");
    mv::test::PumpUntilIdle();
    EXPECT_EQ(clicks, 1);
}

TEST_F(HtmlDisplayFormsTest, ASecondSubmissionReplacesThePendingOne) {
    Viewer->LoadHtmlText("<form><input name=q value=1></form>", "one");
    ShowAndPaint();
    ThtmlForm& form = *Viewer->SectionList().FormList[0];
    form.SubmitFormData("first=1");
    form.SubmitFormData("second=2");
    ASSERT_TRUE(WaitForSubmissions(1));
    mv::test::PumpUntilIdle();
    ASSERT_EQ(Submitted.size(), 1u);
    EXPECT_EQ(Submitted[0], (std::vector<std::string>{"q=1", "second=2"}));
}

TEST_F(HtmlDisplayFormsTest, ScrollingMovesControlsAndHidesThoseOutOfView) {
    std::string page = "<form><p><input name=top value=t>";
    for (int i = 0; i < 60; ++i)
        page += "<p>Line " + std::to_string(i) + " of a long form";
    page += "<p><input name=bottom value=b></form>";
    Viewer->LoadHtmlText(page, "long");
    ShowAndPaint();
    HWND top = Window("top"), bottom = Window("bottom");
    EXPECT_TRUE(OnScreen(top));
    EXPECT_FALSE(IsWindowVisible(bottom));
    const int topAt = InPanel(top).top;

    Viewer->ScrollTo(10);
    UpdateWindow(Viewer->PaintPanel().Handle());
    EXPECT_TRUE(IsWindowVisible(top));
    EXPECT_EQ(InPanel(top).top, topAt - 10); // moved with the page

    Viewer->ScrollTo(Viewer->DocumentHeight());
    UpdateWindow(Viewer->PaintPanel().Handle());
    EXPECT_FALSE(IsWindowVisible(top));
    EXPECT_TRUE(OnScreen(bottom));
    EXPECT_EQ(InPanel(bottom).top, Named("bottom")->Top);
    SaveScreen(Form->Handle(), "html-display-form-scrolled");
}

TEST_F(HtmlDisplayFormsTest, AFocusedControlIsScrolledIntoViewAndTheOthersStayReachable) {
    std::string page = "<form><p><input name=top value=t>";
    for (int i = 0; i < 60; ++i)
        page += "<p>Line " + std::to_string(i) + " of a long form";
    page += "<p><input name=bottom value=b></form>";
    Viewer->LoadHtmlText(page, "long");
    ShowAndPaint();
    HWND top = Window("top"), bottom = Window("bottom");
    ASSERT_EQ(Viewer->VScrollPos(), 0);

    SetFocus(bottom);
    mv::test::PumpUntilIdle();
    EXPECT_EQ(GetFocus(), bottom);
    // The view moved so the control's line is in it, and the paint placed the window there.
    const int32_t y = Named("bottom")->YValue;
    EXPECT_GT(Viewer->VScrollPos(), 0);
    EXPECT_GE(y, Viewer->VScrollPos());
    EXPECT_LE(y, Viewer->VScrollPos() + Viewer->PaintPanel().Height());
    EXPECT_TRUE(OnScreen(bottom));
    // The control now out of view waits far left, shown, so the focus can go back to it.
    EXPECT_TRUE(IsWindowVisible(top));
    EXPECT_EQ(InPanel(top).left, hvOffScreenLeft);

    // Back to the first control: the view follows again.
    SetFocus(top);
    mv::test::PumpUntilIdle();
    EXPECT_EQ(Viewer->VScrollPos(), 0);
    EXPECT_TRUE(OnScreen(top));
    EXPECT_EQ(InPanel(bottom).left, hvOffScreenLeft);

    // The focus leaves the page's controls: the parked control is hidden.
    Viewer->SetFocus();
    mv::test::PumpUntilIdle();
    EXPECT_FALSE(IsWindowVisible(bottom));
    EXPECT_TRUE(OnScreen(top));
}

TEST_F(HtmlDisplayFormsTest, TabReachesAControlOutOfViewAndBringsItIn) {
    std::string page = "<form><p><input name=top value=t>";
    for (int i = 0; i < 60; ++i)
        page += "<p>Line " + std::to_string(i) + " of a long form";
    page += "<p><input type=checkbox name=bottom></form>";
    Viewer->LoadHtmlText(page, "long");
    ShowAndPaint();
    HWND top = Window("top"), bottom = Window("bottom");
    SetFocus(top);
    mv::test::PumpUntilIdle();
    // The box below the view is parked far left while the focus is in the page's controls, so
    // the application's Tab handling finds it as the next tab stop.
    EXPECT_TRUE(IsWindowVisible(bottom));
    PostMessageA(top, WM_KEYDOWN, VK_TAB, 1);
    PostMessageA(top, WM_KEYUP, VK_TAB, 0xC0000001);
    const DWORD start = GetTickCount();
    while (GetFocus() != bottom && GetTickCount() - start < 1000)
        Application->ProcessMessages();
    EXPECT_EQ(GetFocus(), bottom);
    mv::test::PumpUntilIdle();
    EXPECT_GT(Viewer->VScrollPos(), 0);
    EXPECT_TRUE(OnScreen(bottom));
}

TEST_F(HtmlDisplayFormsTest, APictureButtonStoresItsPointOnlyOnAClick) {
    Viewer->SectionList().GetImage = [](const std::string&, uint8_t&,
                                        bool&) -> std::shared_ptr<IHtmlPicture> {
        return std::make_shared<TBluePicture>();
    };
    Viewer->LoadHtmlText("<form action=map.cgi><input name=q value=v> "
                         "<input type=image name=map src=map.gif></form>",
                         "map");
    ShowAndPaint();
    TBitmap shot;
    CaptureWindow(Viewer->PaintPanel().Handle(), shot);
    int px = -1, py = -1;
    for (int y = 0; y < shot.Height() && px < 0; ++y)
        for (int x = 0; x < shot.Width(); ++x)
            if (shot.Canvas().Pixel(x, y) == RGB(0, 0, 200)) {
                px = x;
                py = y;
                break;
            }
    ASSERT_GE(px, 0) << "picture button not drawn";
    HWND panel = Viewer->PaintPanel().Handle();
    TFormControlObj* map = Named("map");
    // Hovering over it stores nothing, and a submission from elsewhere sends no point.
    for (int d = 0; d < 10; ++d)
        SendMessageA(panel, WM_MOUSEMOVE, 0, Point(px + d, py + d));
    EXPECT_EQ(map->XPos, -1);
    SendMessageA(Window("q"), WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(WaitForSubmissions(1));
    EXPECT_EQ(Submitted[0], (std::vector<std::string>{"q=v"}));
    // A click submits the point inside the picture, once.
    SendMessageA(panel, WM_MOUSEMOVE, 0, Point(px + 3, py + 4));
    SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, Point(px + 3, py + 4));
    SendMessageA(panel, WM_LBUTTONUP, 0, Point(px + 3, py + 4));
    ASSERT_TRUE(WaitForSubmissions(2));
    EXPECT_EQ(Submitted[1], (std::vector<std::string>{"q=v", "map.x=3", "map.y=4"}));
    SendMessageA(Window("q"), WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(WaitForSubmissions(3));
    EXPECT_EQ(Submitted[2], (std::vector<std::string>{"q=v"}));
}

TEST_F(HtmlDisplayFormsTest, ANewFixedPitchFaceReachesTheWindowsThatShowIt) {
    Viewer->LoadHtmlText(OrderPage, "order");
    ShowAndPaint();
    Viewer->SetDefPreFontName("Liberation Mono");
    for (const char* name : {"who", "colour", "extra", "note"})
        EXPECT_EQ(FormControlWindow(*Named(name))->Font().Name(), "Liberation Mono") << name;
    EXPECT_NE(FormControlWindow(*Named("go"))->Font().Name(), "Liberation Mono");
}

TEST_F(HtmlDisplayFormsTest, ANewPageFreesTheOldPagesWindows) {
    Viewer->LoadHtmlText(OrderPage, "order");
    ShowAndPaint();
    const int before = Viewer->PaintPanel().ControlCount();
    EXPECT_GE(before, 9);
    HWND who = Window("who");
    Viewer->LoadHtmlText("<p>no form here", "plain");
    mv::test::PumpUntilIdle();
    EXPECT_EQ(Viewer->PaintPanel().ControlCount(), 0);
    EXPECT_FALSE(IsWindow(who));
}

} // namespace
