// The markup label on real windows: auto-size, painting of links, the hover
// and click handling, the disabled look.
#include "labels/MvHtControls.h"
#include "gui/Forms.h"
#include "gui/GdiGuards.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"
#include "tests/support/ScreenPixels.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class HtLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(30, 30, 420, 240);
        Form->SetCaption("Markup label");
        Form->SetColor(clWhite);
        Label = new TMvHTLabel(Form.get());
        Label->SetParent(Form.get());
        Label->SetBounds(10, 10, 50, 20);
    }

    void ShowForm() {
        Form->Show();
        SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        ASSERT_TRUE(mv::test::WaitUntilShown(Form->Handle()));
    }

    // Measures like the label does: the screen DC with the label's font.
    static int Measure(TMvHTLabel& L, bool Height) {
        TWindowDC Screen(nullptr);
        TCanvas C;
        C.SetHandle(Screen.Get());
        C.Font().Assign(L.Font());
        TMarkupCanvas M(C);
        const int V = Height ? mv::markup::MarkupTextHeight(M, L.Caption())
                             : mv::markup::MarkupTextWidth(M, {}, 0, L.Caption());
        C.SetHandle(nullptr);
        return V;
    }

    void Click(int X, int Y) {
        const LPARAM P = MAKELPARAM(Label->Left() + X, Label->Top() + Y);
        SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, P);
        SendMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, P);
        SendMessageA(Form->Handle(), WM_LBUTTONUP, 0, P);
    }

    std::unique_ptr<TForm> Form;
    TMvHTLabel* Label = nullptr;
};

int CountColor(const std::vector<std::uint32_t>& Pixels, int W, const RECT& R, std::uint32_t Rgb) {
    int N = 0;
    for (int Y = R.top; Y < R.bottom; ++Y)
        for (int X = R.left; X < R.right; ++X)
            if (Pixels[static_cast<size_t>(Y) * W + X] == Rgb) ++N;
    return N;
}

constexpr std::uint32_t kBlue = 0x0000FF, kRed = 0xFF0000; // as 0x00RRGGBB

TEST_F(HtLabelTest, AutoSizeFollowsTheMarkup) {
    Label->SetCaption("<b>Hello</b> world");
    const int W1 = Label->Width();
    EXPECT_EQ(W1, Measure(*Label, false));
    EXPECT_GT(W1, 40);
    Label->SetCaption("<b>Hello</b> world<br>and a <i>second</i>, longer line");
    EXPECT_GT(Label->Width(), W1);
    TEXTMETRICA Tm{};
    {
        TWindowDC Screen(nullptr);
        TSelectObject F(Screen.Get(), Label->Font().Handle());
        GetTextMetricsA(Screen.Get(), &Tm);
    }
    EXPECT_EQ(Label->Height(), 2 * Tm.tmHeight + 1);
    // A bigger font makes a bigger label.
    const int H = Label->Height();
    Label->Font().SetSize(16);
    EXPECT_GT(Label->Height(), H);
    // Without auto-size the bounds stay.
    Label->SetAutoSize(false);
    Label->SetBounds(10, 10, 30, 12);
    Label->SetCaption("a much longer caption than before");
    EXPECT_EQ(Label->Width(), 30);
}

TEST_F(HtLabelTest, RightJustifiedLabelKeepsItsRightEdge) {
    Label->SetAlignment(TAlignment::taRightJustify);
    Label->SetCaption("short");
    const int Right = Label->Left() + Label->Width();
    Label->SetCaption("a <b>considerably</b> longer caption");
    EXPECT_EQ(Label->Left() + Label->Width(), Right);
    EXPECT_LT(Label->Left(), 10);
}

TEST_F(HtLabelTest, LinkAtTheCornerIsPaintedBlueNotHovered) {
    Label->SetCaption("<a href=\"credits\">Credits and thanks</a>");
    ShowForm();
    int W = 0, H = 0;
    const auto Pixels = CaptureClient(Form->Handle(), W, H);
    const RECT R = Label->BoundsRect();
    EXPECT_GT(CountColor(Pixels, W, R, kBlue), 10);
    EXPECT_EQ(CountColor(Pixels, W, R, kRed), 0);
    SaveSettledScreen(Form->Handle(), "markup-label-link");
}

TEST_F(HtLabelTest, HoverShowsTheHandAndClicksReportTheLink) {
    Label->SetCaption("See <a href=\"credits\">credits</a> or <a href=\"http://x.example/\">web</a>");
    ShowForm();
    std::vector<std::string> Opened, Reported;
    TMarkupShellOpen Previous = SetMarkupShellOpen([&](const std::string& L) { Opened.push_back(L); });
    Label->OnHyperLinkClick = [&](TObject* Sender, const std::string& L) {
        EXPECT_EQ(Sender, Label);
        Reported.push_back(L);
    };
    TWindowDC Screen(nullptr);
    TCanvas C;
    C.SetHandle(Screen.Get());
    C.Font().Assign(Label->Font());
    const int SeeW = C.TextWidth("See ");
    const int CreditsW = C.TextWidth("credits");
    const int OrW = C.TextWidth(" or ");
    C.SetHandle(nullptr);

    SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(Label->Left() + 1, Label->Top() + 3));
    EXPECT_EQ(Label->Cursor(), crDefault);
    SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(Label->Left() + SeeW + 3, Label->Top() + 3));
    EXPECT_EQ(Label->Cursor(), crHandPoint);

    Click(SeeW + 3, 3);
    Click(SeeW + CreditsW + OrW + 3, 3);
    Click(1, 3);
    SetMarkupShellOpen(Previous);
    EXPECT_EQ(Reported, (std::vector<std::string>{"credits", "http://x.example/"}));
    // Only the web link goes to the shell.
    EXPECT_EQ(Opened, (std::vector<std::string>{"http://x.example/"}));
}

TEST_F(HtLabelTest, HoveredLinkIsRedUntilTheMouseLeaves) {
    Label->SetCaption("<a href=\"credits\">Credits and thanks</a>");
    ShowForm();
    const RECT R = Label->BoundsRect();
    int W = 0, H = 0;
    SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(Label->Left() + 3, Label->Top() + 3));
    auto Pixels = CaptureClientAsShown(Form->Handle(), W, H);
    EXPECT_GT(CountColor(Pixels, W, R, kRed), 10);
    Label->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(Label));
    Pixels = CaptureClientAsShown(Form->Handle(), W, H);
    EXPECT_EQ(CountColor(Pixels, W, R, kRed), 0);
    EXPECT_GT(CountColor(Pixels, W, R, kBlue), 10);
}

TEST_F(HtLabelTest, DisabledLabelIsEmbossedWithoutLinkColours) {
    Label->SetCaption("<b>Disabled</b> <a href=\"x\">link</a>");
    Label->SetEnabled(false);
    ShowForm();
    int W = 0, H = 0;
    const auto Pixels = CaptureClient(Form->Handle(), W, H);
    RECT R = Label->BoundsRect();
    R.right = std::min<LONG>(R.right + 1, W);
    R.bottom = std::min<LONG>(R.bottom + 1, H);
    const COLORREF Shadow = ColorToRGB(clBtnShadow);
    const std::uint32_t ShadowRgb = (GetRValue(Shadow) << 16) | (GetGValue(Shadow) << 8) | GetBValue(Shadow);
    EXPECT_GT(CountColor(Pixels, W, R, ShadowRgb), 10);
    EXPECT_EQ(CountColor(Pixels, W, R, kBlue), 0);
    SaveSettledScreen(Form->Handle(), "markup-label-disabled");
}

} // namespace
