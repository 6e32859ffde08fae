// The HTML viewer under Wine: 32-bit scrolling, sizing, loading by reference and fragment, keys
// and wheel, mouse selection, link clicks and hovering, a viewer destroyed inside its own
// auto-scroll loop, pixels of a rendered page, and screenshots.
#include "htmlview/HtmlDisplay.h"

#include "base/StrUtils.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/GraphicImages.h"
#include "htmlview/HtmlForms.h"
#include "htmlview/HtmlTextSection.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenWait.h"
#include "tests/support/Screens.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

namespace {

// A picture that paints itself in one colour.
class TSolidPicture : public IHtmlPicture, public IGdiPicture {
public:
    TSolidPicture(int32_t w, int32_t h, COLORREF c) : w_(w), h_(h), c_(c) {}
    int32_t Width() const override { return w_; }
    int32_t Height() const override { return h_; }
    void DrawOn(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h) const override {
        TGdiObject<HBRUSH> brush(CreateSolidBrush(c_));
        RECT r{x, y, x + w, y + h};
        FillRect(dc, &r, brush.Get());
    }

private:
    int32_t w_, h_;
    COLORREF c_;
};

std::string Paragraphs(int n) {
    std::string s = "<html><body>";
    for (int i = 0; i < n; ++i)
        s += "<p>Paragraph " + std::to_string(i) + " of the long page</p>";
    return s + "</body></html>";
}

LPARAM Point(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

// The form a timer destroys, and how far its viewer had scrolled by then.
std::unique_ptr<TForm>* Doomed = nullptr;
int32_t DoomedScrolled = -1;
void CALLBACK DestroyDoomed(HWND, UINT, UINT_PTR, DWORD) {
    if (!Doomed) return;
    for (int i = 0; i < (*Doomed)->ControlCount(); ++i)
        if (auto* v = dynamic_cast<THtmlDisplay*>((*Doomed)->Controls(i))) DoomedScrolled = v->VScrollPos();
    Doomed->reset();
    Doomed = nullptr;
}

class HtmlDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(30, 30, 420, 320);
        Viewer = new THtmlDisplay(Form.get());
        Viewer->SetParent(Form.get());
        Viewer->SetBounds(0, 0, 400, 280);
        Viewer->SetDefBackground(0xFFFFFF);
        Viewer->SetDefFontColor(0);
        Viewer->SetDefFontName("Arial");
        Viewer->SetDefFontSize(10);
    }
    void TearDown() override {
        SetCursorPos(1200, 1000);
        if (GetCapture()) ReleaseCapture();
        Form.reset();
    }
    void ShowAndPaint() {
        Form->Show();
        SetForegroundWindow(Form->Handle());
        UpdateWindow(Form->Handle());
        ASSERT_TRUE(mv::test::WaitUntilShown(Form->Handle()));
    }
    HWND Panel() { return Viewer->PaintPanel().Handle(); }
    // Panel coordinates of the middle of the first character of the link to url (painted first).
    POINT LinkPoint(const std::string& url) {
        for (TFontObj* link : Viewer->SectionList().LinkList) {
            if (link->UrlTarget.URL() != url) continue;
            int32_t x = 0, y = 0;
            TGdiPainter measure(GetDC(nullptr), fonts_);
            if (Viewer->SectionList().CharIndexToPoint(measure, link->Section->StartCurs + link->Pos + 1, x,
                                                       y))
                return POINT{x + 2, y - Viewer->SectionList().ScrollOffset + 6};
        }
        ADD_FAILURE() << "no link to " << url;
        return POINT{0, 0};
    }
    void Click(POINT p) {
        SendMessageA(Panel(), WM_MOUSEMOVE, 0, Point(p.x, p.y));
        SendMessageA(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, Point(p.x, p.y));
        SendMessageA(Panel(), WM_LBUTTONUP, 0, Point(p.x, p.y));
    }
    int32_t MaxScroll() { return std::max(0, Viewer->DocumentHeight() - Viewer->PaintPanel().Height()); }
    SCROLLINFO BarInfo() {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        GetScrollInfo(Viewer->VScrollBar().Handle(), SB_CTL, &si);
        return si;
    }

    std::unique_ptr<TForm> Form;
    THtmlDisplay* Viewer = nullptr;
    THtmlFontCache fonts_;
};

TEST_F(HtmlDisplayTest, TallDocumentsScrollWithThirtyTwoBitRanges) {
    Viewer->LoadHtmlText(Paragraphs(3000), "tall");
    ShowAndPaint();
    ASSERT_GT(Viewer->DocumentHeight(), 70000);
    EXPECT_TRUE(Viewer->VScrollBar().Visible());
    EXPECT_EQ(BarInfo().nMax, Viewer->DocumentHeight());
    Viewer->ScrollTo(50000);
    EXPECT_EQ(Viewer->VScrollPos(), 50000);
    EXPECT_EQ(BarInfo().nPos, 50000);
    EXPECT_EQ(Viewer->SectionList().ScrollOffset, 50000);
    // The bar's own notifications: a line, a page, the bottom.
    SendMessageA(Viewer->Handle(), WM_VSCROLL, SB_LINEDOWN,
                 reinterpret_cast<LPARAM>(Viewer->VScrollBar().Handle()));
    EXPECT_EQ(Viewer->VScrollPos(), 50016);
    SendMessageA(Viewer->Handle(), WM_VSCROLL, SB_PAGEUP,
                 reinterpret_cast<LPARAM>(Viewer->VScrollBar().Handle()));
    EXPECT_EQ(Viewer->VScrollPos(), 50016 - Viewer->VScrollBar().LargeChange);
    SendMessageA(Viewer->Handle(), WM_VSCROLL, SB_BOTTOM,
                 reinterpret_cast<LPARAM>(Viewer->VScrollBar().Handle()));
    EXPECT_EQ(Viewer->VScrollPos(), MaxScroll());
    Viewer->ScrollTo(10000000);
    EXPECT_EQ(Viewer->VScrollPos(), MaxScroll());
}

TEST_F(HtmlDisplayTest, KeysWheelAndBarsClampToTheLastPage) {
    Viewer->LoadHtmlText(Paragraphs(60), "keys");
    ShowAndPaint();
    const int32_t last = MaxScroll();
    ASSERT_GT(last, 100);
    auto key = [&](WORD k) { SendMessageA(Viewer->Handle(), WM_KEYDOWN, k, 0); };
    key(VK_END);
    EXPECT_EQ(Viewer->VScrollPos(), last); // not the document height
    key(VK_DOWN);
    EXPECT_EQ(Viewer->VScrollPos(), last);
    key(VK_UP);
    EXPECT_EQ(Viewer->VScrollPos(), last - 16);
    key(VK_HOME);
    EXPECT_EQ(Viewer->VScrollPos(), 0);
    key(VK_NEXT);
    EXPECT_EQ(Viewer->VScrollPos(), Viewer->VScrollBar().LargeChange);
    // The wheel: 60 pixels a notch, never past the last page.
    key(VK_HOME);
    SendMessageA(Viewer->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(Viewer->VScrollPos(), 60);
    for (int i = 0; i < 200; ++i)
        SendMessageA(Viewer->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(Viewer->VScrollPos(), last);

    // A document shorter than the panel never scrolls.
    Viewer->LoadHtmlText("<p>short</p>", "short");
    key(VK_END);
    SendMessageA(Viewer->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(Viewer->VScrollPos(), 0);
    EXPECT_FALSE(Viewer->VScrollBar().Visible());
}

TEST_F(HtmlDisplayTest, TheBarsBringTheFocusToTheViewer) {
    Viewer->LoadHtmlText(Paragraphs(60), "focus");
    auto* other = new THtmlDisplay(Form.get());
    other->SetParent(Form.get());
    other->SetBounds(0, 282, 100, 20);
    ShowAndPaint();
    const HWND bar = Viewer->VScrollBar().Handle();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        other->SetFocus();
        ASSERT_EQ(GetFocus(), other->Handle());
        SendMessageA(Viewer->Handle(), WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar));
        EXPECT_EQ(GetFocus(), Viewer->Handle());
        // Held on the bar: it scrolls on, the focus stays.
        SendMessageA(Viewer->Handle(), WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar));
        EXPECT_EQ(GetFocus(), Viewer->Handle());
        EXPECT_EQ(Viewer->VScrollPos(), 32 * (round + 1));
    }
}

TEST_F(HtmlDisplayTest, AShortViewerStillPagesAndAnEmptyClipPaintsNothing) {
    Viewer->LoadHtmlText(Paragraphs(20), "short viewer");
    Viewer->SetBounds(0, 0, 200, 12);
    ShowAndPaint();
    EXPECT_GE(Viewer->VScrollBar().LargeChange, 1);
    SendMessageA(Viewer->Handle(), WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_GT(Viewer->VScrollPos(), 0);
    // The panel painted into a bitmap of fuchsia (clipped to nothing when EmptyClip): how many
    // pixels it drew over.
    auto PixelsPainted = [this](bool EmptyClip) {
        TBitmap Into(200, 12);
        Into.Canvas().Brush().SetColor(clFuchsia);
        Into.Canvas().FillRect(RECT{0, 0, 200, 12});
        if (EmptyClip) IntersectClipRect(Into.Canvas().Handle(), 0, 0, 0, 0);
        SendMessageA(Panel(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Into.Canvas().Handle()), PRF_CLIENT);
        SelectClipRgn(Into.Canvas().Handle(), nullptr);
        int Painted = 0;
        for (int Y = 0; Y < 12; ++Y)
            for (int X = 0; X < 200; ++X)
                Painted += Into.Canvas().Pixel(X, Y) != ColorToRGB(clFuchsia);
        return Painted;
    };
    EXPECT_GT(PixelsPainted(false), 200 * 12 / 2) << "twelve pixels high, the panel paints its document";
    EXPECT_EQ(PixelsPainted(true), 0) << "an empty clip paints nothing";
    // No height at all: painting is skipped, not an error.
    Viewer->SetBounds(0, 0, 200, 0);
    RedrawWindow(Panel(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_FALSE(GetUpdateRect(Panel(), nullptr, FALSE)) << "the paint was taken";
}

// Whatever size the viewer is given, down to nothing, its paint panel fills what the border and
// the visible bars leave, and never reaches past the viewer.
TEST_F(HtmlDisplayTest, ThePaintPanelFollowsTheViewersSize) {
    Viewer->LoadHtmlText(Paragraphs(20), "sizes");
    ShowAndPaint();
    const int S = GetSystemMetrics(SM_CXVSCROLL);
    for (THTMLBorderStyle Style : {THTMLBorderStyle::htFocused, THTMLBorderStyle::htNone}) {
        Viewer->SetBorderStyle(Style);
        const int b = Style == THTMLBorderStyle::htNone ? 0 : 1;
        for (SIZE Size : {SIZE{400, 280}, SIZE{200, 12}, SIZE{200, 0}, SIZE{0, 100}, SIZE{0, 0}, SIZE{5, 3},
                          SIZE{300, 250}}) {
            Viewer->SetBounds(0, 0, Size.cx, Size.cy);
            const std::string At =
                std::to_string(Size.cx) + "x" + std::to_string(Size.cy) + " border " + std::to_string(b);
            const int Bar = Viewer->VScrollBar().Visible() ? S : 0;
            const int HBar = Viewer->HScrollBar().Visible() ? S : 0;
            EXPECT_EQ(Viewer->PaintPanel().Width(), std::max(0, int(Size.cx) - 2 * b - Bar)) << At;
            EXPECT_EQ(Viewer->PaintPanel().Height(), std::max(0, int(Size.cy) - 2 * b - HBar)) << At;
            // The window itself, as the system placed it.
            RECT Panel{}, Outer{};
            GetWindowRect(this->Panel(), &Panel);
            GetWindowRect(Viewer->Handle(), &Outer);
            EXPECT_LE(Panel.right - Panel.left, std::max(0, int(Size.cx) - 2 * b)) << At;
            EXPECT_LE(Panel.bottom - Panel.top, std::max(0, int(Size.cy) - 2 * b)) << At;
            EXPECT_EQ(Panel.bottom - Panel.top, Viewer->PaintPanel().Height()) << At;
        }
    }
}

TEST_F(HtmlDisplayTest, ResizingKeepsThePosition) {
    Viewer->LoadHtmlText(Paragraphs(200), "size");
    ShowAndPaint();
    Viewer->ScrollTo(1500);
    const int32_t pos = Viewer->Position();
    Viewer->SetBounds(0, 0, 300, 250);
    mv::test::PumpUntilIdle();
    EXPECT_EQ(Viewer->Position(), pos);
    EXPECT_GT(Viewer->VScrollPos(), 1000);
    Viewer->SetBounds(0, 0, 390, 200);
    EXPECT_EQ(Viewer->Position(), pos);
    // Growing past the document goes to the top.
    Viewer->LoadHtmlText(Paragraphs(3), "size2");
    Viewer->SetBounds(0, 0, 390, 270);
    EXPECT_EQ(Viewer->VScrollPos(), 0);
}

// A table is one section of the document, here far taller than the 16 bits of a Position
// offset (the side panel's page is such a table); a resize must still keep the place inside it.
TEST_F(HtmlDisplayTest, ResizingKeepsThePlaceDeepInsideATallSection) {
    std::string page = "<html><body><table width=\"100%\"><tr><td valign=\"top\"><table><tr><td>";
    for (int i = 0; i < 6000; ++i)
        page += "<a href=\"x\">line " + std::to_string(i) + "</a><br>";
    Viewer->LoadHtmlText(page + "</td></tr></table></td></tr></table></body></html>", "tallsection");
    ShowAndPaint();
    ASSERT_GT(Viewer->DocumentHeight(), 90000);
    ASSERT_LT(Viewer->SectionList().Count(), 5);
    Viewer->ScrollTo(80000);
    ASSERT_EQ(Viewer->VScrollPos(), 80000);
    Viewer->SetBounds(0, 0, 300, 250);
    mv::test::PumpUntilIdle();
    EXPECT_EQ(Viewer->VScrollPos(), 80000);
    Viewer->SetBounds(0, 0, 390, 200);
    mv::test::PumpUntilIdle();
    EXPECT_EQ(Viewer->VScrollPos(), 80000);
}

TEST_F(HtmlDisplayTest, TheSameReferenceKeepsItsPlaceAndFragmentsFindAnchors) {
    const std::string page = Paragraphs(100) + "<a name=\"intro\">Intro here</a>" + Paragraphs(40);
    Viewer->LoadHtmlText(page, "doc");
    ShowAndPaint();
    Viewer->ScrollTo(700);
    Viewer->LoadHtmlText(page, "doc");
    EXPECT_EQ(Viewer->VScrollPos(), 700);
    // Another working folder changes nothing for a page handed over as text.
    char old[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, old);
    SetCurrentDirectoryA("C:\\");
    Viewer->LoadHtmlText(page, "doc");
    SetCurrentDirectoryA(old);
    EXPECT_EQ(Viewer->VScrollPos(), 700);
    Viewer->LoadHtmlText(page, "other");
    EXPECT_EQ(Viewer->VScrollPos(), 0);
    Viewer->LoadHtmlText(page, "other#Intro");
    EXPECT_GT(Viewer->VScrollPos(), 1000);
    ASSERT_GT(Viewer->Visited().Count(), 0);
    EXPECT_EQ(Viewer->Visited().Get(0), "other#Intro");
    EXPECT_FALSE(Viewer->PositionTo("#nowhere"));
}

TEST_F(HtmlDisplayTest, AClickedLinkIsReportedAndTheHostCanHandleIt) {
    Viewer->LoadHtmlText("<p>Go <a href=\"Default:Plan\">Plan</a> or <a href=\"#end\">down</a></p>" +
                             Paragraphs(80) + "<a name=\"end\">End</a>",
                         "links");
    Viewer->SetHistoryMaxCount(5);
    ShowAndPaint();
    std::vector<std::string> clicked;
    bool handle = true;
    Viewer->OnHotSpotClick = [&](TObject* Sender, const std::string& SRC, bool& Handled) {
        EXPECT_EQ(Sender, Viewer);
        clicked.push_back(SRC);
        Handled = handle;
    };
    Click(LinkPoint("Default:Plan"));
    EXPECT_EQ(clicked, (std::vector<std::string>{"Default:Plan"}));
    // Handled stops the default handling, fragments included.
    Click(LinkPoint("#end"));
    EXPECT_EQ(Viewer->VScrollPos(), 0);
    handle = false;
    Click(LinkPoint("#end"));
    EXPECT_GT(Viewer->VScrollPos(), 500);
    EXPECT_EQ(Viewer->History().Count(), 1);
    // A double click right after a link click selects nothing.
    Viewer->ScrollTo(0);
    mv::test::PumpUntilIdle();
    const POINT p = LinkPoint("#end");
    Click(p);
    Viewer->ScrollTo(0);
    SendMessageA(Panel(), WM_LBUTTONDBLCLK, MK_LBUTTON, Point(p.x, p.y));
    EXPECT_EQ(Viewer->SelText(), "");
}

TEST_F(HtmlDisplayTest, DraggingAndDoubleClickingSelectText) {
    Viewer->LoadHtmlText("<p>alpha beta gamma <a href=\"x.txt\">delta</a></p>", "select");
    ShowAndPaint();
    bool followed = false;
    Viewer->OnHotSpotClick = [&](TObject*, const std::string&, bool&) { followed = true; };
    TSectionList& doc = Viewer->SectionList();
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    TGdiPainter measure(GetDC(nullptr), fonts_);
    ASSERT_TRUE(doc.CharIndexToPoint(measure, 6, x0, y0));  // "beta"
    ASSERT_TRUE(doc.CharIndexToPoint(measure, 16, x1, y1)); // end of "gamma"
    SendMessageA(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, Point(x0 + 1, y0 + 6));
    SendMessageA(Panel(), WM_MOUSEMOVE, MK_LBUTTON, Point(x1 + 1, y1 + 6));
    SendMessageA(Panel(), WM_LBUTTONUP, 0, Point(x1 + 1, y1 + 6));
    EXPECT_EQ(Viewer->SelText().substr(0, 10), "beta gamma");
    EXPECT_FALSE(followed);

    // A drag released on a link only selects.
    const POINT link = LinkPoint("x.txt");
    SendMessageA(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, Point(x0 + 1, y0 + 6));
    SendMessageA(Panel(), WM_MOUSEMOVE, MK_LBUTTON, Point(link.x, link.y));
    SendMessageA(Panel(), WM_LBUTTONUP, 0, Point(link.x, link.y));
    EXPECT_FALSE(followed);
    EXPECT_NE(Viewer->SelText().find("beta"), std::string::npos);

    // A double click selects the word under the mouse.
    int32_t gx = 0, gy = 0;
    ASSERT_TRUE(doc.CharIndexToPoint(measure, 12, gx, gy)); // inside "gamma"
    SendMessageA(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, Point(gx + 1, gy + 6));
    SendMessageA(Panel(), WM_LBUTTONUP, 0, Point(gx + 1, gy + 6));
    SendMessageA(Panel(), WM_LBUTTONDBLCLK, MK_LBUTTON, Point(gx + 1, gy + 6));
    EXPECT_EQ(Viewer->SelText().substr(0, 5), "gamma");
    EXPECT_EQ(Viewer->SelLength(), 5);

    // With NoSelect nothing is selected.
    Viewer->SetNoSelect(true);
    SendMessageA(Panel(), WM_LBUTTONDBLCLK, MK_LBUTTON, Point(gx + 1, gy + 6));
    EXPECT_EQ(Viewer->SelText(), "");
}

TEST_F(HtmlDisplayTest, TheLinkUnderTheMouseIsTrackedAndForgottenWhenTheMouseLeaves) {
    Viewer->LoadHtmlText("<p>see <a href=\"Default:Plan\">Plan</a></p>", "hover");
    ShowAndPaint();
    std::vector<std::string> covered;
    Viewer->OnHotSpotCovered = [&](TObject*, const std::string& SRC) { covered.push_back(SRC); };
    const POINT p = LinkPoint("Default:Plan");
    POINT screen = p;
    ClientToScreen(Panel(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(Panel(), WM_MOUSEMOVE, 0, Point(p.x, p.y));
    EXPECT_EQ(covered, (std::vector<std::string>{"Default:Plan"}));
    EXPECT_EQ(Viewer->HoverURL(), "Default:Plan");
    EXPECT_TRUE(Viewer->HoverTimerRunning());
    // Straight out of the control: the timer notices within 200 ms.
    SetCursorPos(1200, 1000);
    EXPECT_TRUE(PumpUntil([&] { return covered.size() == 2; }, 1500));
    EXPECT_EQ(covered.back(), "");
    EXPECT_FALSE(Viewer->HoverTimerRunning());
}

TEST_F(HtmlDisplayTest, TheAutoScrollLoopSurvivesTheViewerGoing) {
    Viewer->LoadHtmlText(Paragraphs(100), "pan");
    ShowAndPaint();
    // Middle click starts panning; 100 pixels below the anchor scrolls continuously.
    SendMessageA(Panel(), WM_MBUTTONDOWN, MK_MBUTTON, Point(50, 20));
    SendMessageA(Panel(), WM_MBUTTONUP, 0, Point(50, 20));
    POINT screen{50, 140};
    ClientToScreen(Panel(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(Panel(), WM_MOUSEMOVE, 0, Point(50, 140));
    EXPECT_EQ(GetCapture(), Panel());
    // A timer that destroys the form while the loop pumps messages.
    Doomed = &Form;
    DoomedScrolled = -1;
    const UINT_PTR timer = SetTimer(nullptr, 0, 350, DestroyDoomed);
    EXPECT_TRUE(PumpUntil([] { return Doomed == nullptr; }, 3000));
    KillTimer(nullptr, timer);
    EXPECT_GT(DoomedScrolled, 0); // it did scroll meanwhile
    EXPECT_EQ(Form, nullptr);
    mv::test::PumpUntilIdle();
}

TEST_F(HtmlDisplayTest, PixelsOfARenderedPage) {
    Viewer->SectionList().GetImage = [](const std::string&, uint8_t&,
                                        bool&) -> std::shared_ptr<IHtmlPicture> {
        return std::make_shared<TSolidPicture>(40, 30, RGB(0, 200, 0));
    };
    Viewer->SetDefHotSpotColor(0xFF0000);
    Viewer->LoadHtmlText("<p><a href=\"x\"><b>LLLLLLLLLLLL</b></a></p>"
                         "<table border=\"3\" bordercolor=\"#FF0000\"><tr><td>cell</td></tr></table>"
                         "<p><img src=\"pic.gif\" width=\"40\" height=\"30\"></p>",
                         "pixels");
    ShowAndPaint();
    TBitmap shot;
    CaptureWindow(Panel(), shot);
    int blue = 0, red = 0, green = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            const COLORREF c = shot.Canvas().Pixel(x, y);
            blue += c == RGB(0, 0, 255);
            red += c == RGB(255, 0, 0);
            green += c == RGB(0, 200, 0);
        }
    EXPECT_GT(blue, 20) << "link colour";
    EXPECT_GT(red, 20) << "table border";
    EXPECT_GE(green, 40 * 30 - 10) << "picture";
    SaveScreen(Form->Handle(), "html-display-pixels");
}

TEST_F(HtmlDisplayTest, ScrolledPixelsAreThoseOfAFreshPaint) {
    // Scrolling moves the pixels still in view and paints the strip uncovered, into a bitmap
    // kept between paints: after every way of scrolling the panel shows what painting it whole
    // at that place shows (boxes with borders and a background across the strip's edges).
    std::string page = "<html><body><table border=\"3\" bordercolor=\"#AAAAAA\" bgcolor=\"#DDDDDD\" "
                       "cellspacing=\"0\" cellpadding=\"4\" width=\"100%\"><tr><td>";
    for (int i = 0; i < 150; ++i)
        page += "<nobr>\xBB <a href=\"t" + std::to_string(i) + "\">Topic " + std::to_string(i) +
                (i % 3 ? " about things" : "") + "</a></nobr><br>";
    page += "</td></tr></table>" + Paragraphs(20) + "</body></html>";
    Viewer->LoadHtmlText(page, "scrolled");
    ShowAndPaint();
    auto pixels = [&] {
        TBitmap shot;
        CaptureWindow(Panel(), shot);
        std::vector<COLORREF> out;
        for (int y = 0; y < shot.Height(); ++y)
            for (int x = 0; x < shot.Width(); ++x)
                out.push_back(shot.Canvas().Pixel(x, y));
        return out;
    };
    const HWND bar = Viewer->VScrollBar().Handle();
    const struct {
        const char* what;
        std::function<void()> scroll;
    } steps[] = {
        {"a line down",
         [&] { SendMessageA(Viewer->Handle(), WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar)); }},
        {"a page down",
         [&] { SendMessageA(Viewer->Handle(), WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(bar)); }},
        {"the page key", [&] { SendMessageA(Viewer->Handle(), WM_KEYDOWN, VK_NEXT, 0); }},
        {"the wheel down",
         [&] { SendMessageA(Viewer->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0); }},
        {"the wheel up", [&] { SendMessageA(Viewer->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0); }},
        {"a page up",
         [&] { SendMessageA(Viewer->Handle(), WM_VSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(bar)); }},
        {"a key up", [&] { SendMessageA(Viewer->Handle(), WM_KEYDOWN, VK_UP, 0); }},
        {"to the end", [&] { SendMessageA(Viewer->Handle(), WM_KEYDOWN, VK_END, 0); }},
    };
    int32_t last = Viewer->VScrollPos();
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.scroll();
        mv::test::PumpUntilIdle();
        EXPECT_NE(Viewer->VScrollPos(), last);
        last = Viewer->VScrollPos();
        const std::vector<COLORREF> scrolled = pixels();
        RedrawWindow(Panel(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        mv::test::PumpUntilIdle();
        const std::vector<COLORREF> fresh = pixels();
        ASSERT_EQ(scrolled.size(), fresh.size());
        size_t differ = 0;
        for (size_t i = 0; i < fresh.size(); ++i)
            differ += scrolled[i] != fresh[i];
        EXPECT_EQ(differ, 0u);
    }
    SaveScreen(Form->Handle(), "html-display-scrolled");
}

TEST_F(HtmlDisplayTest, LinkLinesKeepTheirColoursThroughScrolling) {
    // Link lines in a framed box as the side panel shows them: one hovered, one visited, bold
    // ones among plain ones, a selection across three lines, a rule and a picture. Each line's
    // colours are where the user sees them. Scrolled by lines and pages both ways, with the hover
    // moving (only its lines painted again) and the viewer resized in between, the panel shows
    // what a twin viewer painted whole at the same place shows.
    std::string page = "<html><body><table border=\"3\" bordercolor=\"#AAAAAA\" bgcolor=\"#DDDDDD\" "
                       "cellspacing=\"0\" cellpadding=\"4\" width=\"100%\"><tr><td>"
                       "<img src=\"pic.gif\" width=\"12\" height=\"10\"><br><hr>";
    for (int i = 0; i < 120; ++i) {
        const std::string title = "Topic " + std::to_string(i) + (i % 3 ? " about things" : "");
        page += "<nobr>\xBB <a href=\"t" + std::to_string(i) + "\">" +
                (i % 4 == 1 ? "<b>" + title + "</b>" : title) + "</a></nobr><br>";
    }
    page += "</td></tr></table></body></html>";
    auto link = [](THtmlDisplay& v, const std::string& url) -> TFontObj* {
        for (TFontObj* l : v.SectionList().LinkList)
            if (l->UrlTarget.URL() == url) return l;
        return nullptr;
    };
    auto show = [&](THtmlDisplay& v) {
        v.SectionList().GetImage = [](const std::string&, uint8_t&, bool&) -> std::shared_ptr<IHtmlPicture> {
            return std::make_shared<TSolidPicture>(12, 10, RGB(0, 200, 0));
        };
        v.SetDefHotSpotColor(0xFF0000);     // blue
        v.SetDefOverLinkColor(0x0000FF);    // red
        v.SetDefVisitedLinkColor(0x00A000); // green
        v.LoadHtmlText(page, "link lines");
        for (const char* url : {"t3", "t5", "t6", "t7", "t9"})
            ASSERT_NE(link(v, url), nullptr) << url;
        link(v, "t3")->SetVisited(true);
        link(v, "t5")->SetHover(true);
        v.SectionList().SelFrom = link(v, "t7")->Section->StartCurs;
        v.SectionList().SelTo = link(v, "t9")->Section->StartCurs + 4;
    };
    show(*Viewer);
    ASSERT_FALSE(HasFatalFailure());
    ShowAndPaint();
    RedrawWindow(Panel(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    // The twin, beside the form, always painted whole.
    auto twinForm = std::make_unique<TForm>(nullptr);
    twinForm->SetBounds(470, 30, 420, 320);
    auto* twin = new THtmlDisplay(twinForm.get());
    twin->SetParent(twinForm.get());
    twin->SetBounds(0, 0, 400, 280);
    twin->SetDefBackground(0xFFFFFF);
    twin->SetDefFontColor(0);
    twin->SetDefFontName("Arial");
    twin->SetDefFontSize(10);
    show(*twin);
    ASSERT_FALSE(HasFatalFailure());
    twinForm->Show();
    ASSERT_TRUE(mv::test::WaitUntilShown(twinForm->Handle()));
    mv::test::PumpUntilIdle();

    TBitmap shot;
    auto capture = [&](HWND panel) {
        CaptureWindow(panel, shot);
        std::vector<COLORREF> out;
        for (int y = 0; y < shot.Height(); ++y)
            for (int x = 0; x < shot.Width(); ++x)
                out.push_back(shot.Canvas().Pixel(x, y));
        return out;
    };
    const std::vector<COLORREF> first = capture(Panel());
    const int width = shot.Width();
    // Pixels of colour c in the band of the line of link url.
    auto inLine = [&](const std::vector<COLORREF>& px, const std::string& url, COLORREF c) {
        const POINT p = LinkPoint(url);
        int n = 0;
        for (int y = std::max(0, static_cast<int>(p.y) - 6); y < p.y + 7 && y < shot.Height(); ++y)
            for (int x = 0; x < width; ++x)
                n += px[static_cast<size_t>(y * width + x)] == c;
        return n;
    };
    const COLORREF blue = RGB(0, 0, 255), red = RGB(255, 0, 0), green = RGB(0, 0xA0, 0);
    EXPECT_GT(inLine(first, "t5", red), 20) << "the hovered link, its underline included";
    EXPECT_EQ(inLine(first, "t5", blue), 0);
    EXPECT_GT(inLine(first, "t3", green), 20) << "the visited link";
    EXPECT_EQ(inLine(first, "t3", blue), 0);
    for (const char* plain : {"t2", "t4", "t1"}) {
        SCOPED_TRACE(plain);
        EXPECT_GT(inLine(first, plain, blue), 20);
        EXPECT_EQ(inLine(first, plain, red) + inLine(first, plain, green), 0);
    }
    // Selected text is the background's colour on the link's: the line is mostly blue.
    EXPECT_GT(inLine(first, "t8", blue), 3 * inLine(first, "t4", blue));
    int box = 0, picture = 0;
    for (const COLORREF c : first) {
        box += c == RGB(0xDD, 0xDD, 0xDD);
        picture += c == RGB(0, 200, 0);
    }
    EXPECT_GT(box, static_cast<int>(first.size()) / 3) << "the box's background";
    EXPECT_EQ(picture, 12 * 10);

    const HWND bar = Viewer->VScrollBar().Handle();
    auto scroll = [&](int code) {
        return [&, code] { SendMessageA(Viewer->Handle(), WM_VSCROLL, code, reinterpret_cast<LPARAM>(bar)); };
    };
    // The hover moves a line down on both; on the viewer only the two lines are painted again.
    int hovered = 5;
    auto moveHover = [&] {
        const std::string from = "t" + std::to_string(hovered), to = "t" + std::to_string(hovered + 1);
        ++hovered;
        for (THtmlDisplay* v : {Viewer, twin}) {
            link(*v, from)->SetHover(false);
            link(*v, to)->SetHover(true);
        }
        // From the top of the one line to the bottom of the next (points are 6 pixels down).
        const RECT lines{0, LinkPoint(from).y - 7, Viewer->PaintPanel().Width(), LinkPoint(to).y + 14};
        InvalidateRect(Panel(), &lines, FALSE);
        UpdateWindow(Panel());
    };
    const struct {
        const char* what;
        std::function<void()> act;
    } steps[] = {{"a line down", scroll(SB_LINEDOWN)},
                 {"a page down", scroll(SB_PAGEDOWN)},
                 {"the hover moved", moveHover},
                 {"a line down", scroll(SB_LINEDOWN)},
                 {"a page up", scroll(SB_PAGEUP)},
                 {"the hover moved", moveHover},
                 {"a line up", scroll(SB_LINEUP)},
                 {"resized", [&] { Viewer->SetBounds(0, 0, 380, 260); }},
                 {"a page down", scroll(SB_PAGEDOWN)},
                 {"resized back", [&] { Viewer->SetBounds(0, 0, 400, 280); }},
                 {"a page up", scroll(SB_PAGEUP)},
                 {"to the top", [&] { SendMessageA(Viewer->Handle(), WM_KEYDOWN, VK_HOME, 0); }}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        mv::test::PumpUntilIdle();
        twin->SetBounds(0, 0, Viewer->Width(), Viewer->Height());
        twin->ScrollTo(Viewer->VScrollPos());
        ASSERT_EQ(twin->VScrollPos(), Viewer->VScrollPos());
        RedrawWindow(twin->PaintPanel().Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        mv::test::PumpUntilIdle();
        const std::vector<COLORREF> shown = capture(Panel()), whole = capture(twin->PaintPanel().Handle());
        ASSERT_EQ(shown.size(), whole.size());
        size_t differ = 0;
        for (size_t i = 0; i < whole.size(); ++i)
            differ += shown[i] != whole[i];
        EXPECT_EQ(differ, 0u);
    }
    EXPECT_EQ(Viewer->VScrollPos(), 0);
    SaveScreen(Form->Handle(), "html-display-link-lines");
}

TEST_F(HtmlDisplayTest, VisitedLinksAndHistoryKeepTheirLimits) {
    const std::string page = "<p><a href=\"#a\">to a</a> <a href=\"#b\">to b</a></p>" + Paragraphs(60) +
                             "<a name=\"a\">A</a>" + Paragraphs(60) + "<a name=\"b\">B</a>" + Paragraphs(30);
    Viewer->LoadHtmlText(page, "visits");
    ShowAndPaint();
    auto linkTo = [&](const std::string& url) -> TFontObj* {
        for (TFontObj* link : Viewer->SectionList().LinkList)
            if (link->UrlTarget.URL() == url) return link;
        return nullptr;
    };
    // The default history size keeps nothing; a fragment link still moves.
    Click(LinkPoint("#a"));
    EXPECT_GT(Viewer->VScrollPos(), 0);
    EXPECT_EQ(Viewer->History().Count(), 0);
    ASSERT_NE(linkTo("#a"), nullptr);
    EXPECT_TRUE(linkTo("#a")->Visited);
    EXPECT_EQ(Viewer->Visited().Get(0), "visits#a");

    // With room for one, a second visit pushes the first out of the list but unmarks nothing.
    Viewer->SetVisitedMaxCount(1);
    Viewer->ScrollTo(0);
    Click(LinkPoint("#b"));
    ASSERT_EQ(Viewer->Visited().Count(), 1);
    EXPECT_EQ(Viewer->Visited().Get(0), "visits#b");
    EXPECT_TRUE(linkTo("#a")->Visited);
    EXPECT_TRUE(linkTo("#b")->Visited);
    // 0 switches marking off and unmarks every link.
    Viewer->SetVisitedMaxCount(0);
    EXPECT_EQ(Viewer->Visited().Count(), 0);
    EXPECT_FALSE(linkTo("#a")->Visited);
    EXPECT_FALSE(linkTo("#b")->Visited);

    // History: entries up to the limit, the newest first; a smaller limit clears it.
    int changes = 0;
    Viewer->OnHistoryChange = [&](TObject*) { ++changes; };
    Viewer->SetHistoryMaxCount(2);
    for (const char* link : {"#a", "#b", "#a"}) {
        Viewer->ScrollTo(0);
        Click(LinkPoint(link));
    }
    EXPECT_EQ(Viewer->History().Count(), 2);
    EXPECT_EQ(changes, 3);
    Viewer->SetHistoryMaxCount(1);
    EXPECT_EQ(Viewer->History().Count(), 0);
    EXPECT_EQ(changes, 4);
}

TEST_F(HtmlDisplayTest, PicturesReportClicksAndFormsSubmitAfterTheClick) {
    Viewer->SectionList().GetImage = [](const std::string&, uint8_t&,
                                        bool&) -> std::shared_ptr<IHtmlPicture> {
        return std::make_shared<TSolidPicture>(40, 30, RGB(0, 0, 200));
    };
    Viewer->LoadHtmlText("<p><img src=\"a.gif\" width=\"40\" height=\"30\"></p>"
                         "<form action=\"go.cgi\" method=\"post\"><input name=\"q\" value=\"v\"></form>",
                         "pictures");
    ShowAndPaint();
    TObject* clicked = nullptr;
    int cx = -1, cy = -1, overs = 0;
    Viewer->OnImageClick = [&](TObject*, TObject* Obj, TMouseButton, TShiftState, int X, int Y) {
        clicked = Obj;
        cx = X;
        cy = Y;
    };
    Viewer->OnImageOver = [&](TObject*, TObject*, TShiftState, int, int) { ++overs; };
    TRightClickParameters right;
    Viewer->OnRightClick = [&](TObject*, const TRightClickParameters& P) { right = P; };
    // Find the picture on screen by its colour.
    TBitmap shot;
    CaptureWindow(Panel(), shot);
    int px = -1, py = -1;
    for (int y = 0; y < shot.Height() && px < 0; ++y)
        for (int x = 0; x < shot.Width(); ++x)
            if (shot.Canvas().Pixel(x, y) == RGB(0, 0, 200)) {
                px = x;
                py = y;
                break;
            }
    ASSERT_GE(px, 0) << "picture not drawn";
    SendMessageA(Panel(), WM_MOUSEMOVE, 0, Point(px + 5, py + 7));
    SendMessageA(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, Point(px + 5, py + 7));
    SendMessageA(Panel(), WM_LBUTTONUP, 0, Point(px + 5, py + 7));
    EXPECT_GT(overs, 0);
    ASSERT_NE(clicked, nullptr);
    EXPECT_EQ(cx, 5);
    EXPECT_EQ(cy, 7);
    SendMessageA(Panel(), WM_RBUTTONDOWN, MK_RBUTTON, Point(px + 3, py + 4));
    SendMessageA(Panel(), WM_RBUTTONUP, 0, Point(px + 3, py + 4));
    EXPECT_EQ(right.Image, clicked);
    EXPECT_EQ(right.ImageX, 3);

    // A submission reaches the host from a posted message, not inside the control's click.
    std::vector<std::string> submitted;
    Viewer->SetOnFormSubmit([&](TObject*, const std::string& Action, const std::string&, const std::string&,
                                const std::string& Method, const TStringList& Results) {
        submitted.push_back(Action + " " + Method + " " + Results.CommaText());
    });
    ASSERT_EQ(Viewer->SectionList().FormList.Count(), 1);
    Viewer->SectionList().FormList[0]->SubmitFormData("");
    EXPECT_TRUE(submitted.empty());
    EXPECT_TRUE(PumpUntil([&] { return !submitted.empty(); }, 1000));
    ASSERT_EQ(submitted.size(), 1u);
    EXPECT_EQ(submitted[0].substr(0, 7), "go.cgi ");
    EXPECT_NE(submitted[0].find("q=v"), std::string::npos);
    // Without a handler the form submits nothing.
    Viewer->SetOnFormSubmit(nullptr);
    EXPECT_FALSE(static_cast<bool>(Viewer->SectionList().SubmitForm));
}

TEST_F(HtmlDisplayTest, ShowsTheReleaseNotes) {
    Form->SetBounds(30, 30, 640, 480);
    Viewer->SetBounds(0, 0, 620, 440);
    Viewer->SetBorderStyle(THTMLBorderStyle::htSingle);
    Viewer->SetDefFontName("Times New Roman");
    Viewer->SetDefFontSize(12);
    Viewer->LoadDocumentFile(MV_RELEASE_NOTES, 0);
    Form->SetCaption("ReleaseNotes.html");
    ShowAndPaint();
    EXPECT_GT(Viewer->SectionList().Count(), 0);
    EXPECT_GT(Viewer->DocumentHeight(), 50);
    SaveScreen(Form->Handle(), "html-display-release-notes");
    EXPECT_THROW(Viewer->LoadDocumentFile("Z:\\no\\such\\file.htm", 0), EInOutError);
}

} // namespace
