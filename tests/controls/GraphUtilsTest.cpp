// Drawing helpers and small Windows routines, checked pixel by pixel under Wine.
#include "controls/MvFragments.h"
#include "controls/MvGraphUtils.h"
#include "gui/Application.h"
#include "gui/CustomControl.h"
#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {

COLORREF At(TBitmap& b, int x, int y) {
    return b.Canvas().Pixel(x, y);
}

std::unique_ptr<TBitmap> Filled(int w, int h, TColor color) {
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas().Brush().SetColor(color);
    b->Canvas().FillRect(RECT{0, 0, w, h});
    return b;
}

// A white 8 x 8 picture with a black 2 x 2 square at (2, 2).
std::unique_ptr<TBitmap> SquarePicture() {
    auto b = Filled(8, 8, clWhite);
    b->Canvas().Brush().SetColor(clBlack);
    b->Canvas().FillRect(RECT{2, 2, 4, 4});
    return b;
}

TEST(GraphUtils, CheckerPatternAlternatesFromTheOrigin) {
    auto b = MakeCheckerPatternBitmap(clWhite, clBlack);
    ASSERT_EQ(b->Width(), 8);
    ASSERT_EQ(b->Height(), 8);
    EXPECT_EQ(At(*b, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(At(*b, 1, 0), RGB(255, 255, 255));
    EXPECT_EQ(At(*b, 0, 1), RGB(255, 255, 255));
    EXPECT_EQ(At(*b, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(At(*b, 7, 7), RGB(0, 0, 0));
    EXPECT_EQ(At(*b, 6, 7), RGB(255, 255, 255));
}

TEST(GraphUtils, TransparentDrawingLeavesTheBackgroundWhereTheKeyColourIs) {
    // Red border (the bottom-left pixel is red), blue inside.
    auto picture = Filled(6, 6, clRed);
    picture->Canvas().Brush().SetColor(clBlue);
    picture->Canvas().FillRect(RECT{1, 1, 5, 5});

    struct Case {
        TColor Key;
        COLORREF Border; // what (10, 10) shows afterwards
    } cases[] = {
        {clDefault, RGB(0, 255, 0)}, // bottom-left pixel: red is see-through
        {clRed, RGB(0, 255, 0)},
        {clNone, RGB(255, 0, 0)}, // every pixel copied
        {clBlue, RGB(255, 0, 0)}, // the inside is see-through, the border is not
    };
    for (const Case& c : cases) {
        auto dest = Filled(20, 20, clLime);
        DrawBitmapWithTransparency(dest->Canvas(), 10, 10, *picture, c.Key);
        EXPECT_EQ(At(*dest, 10, 10), c.Border) << std::hex << c.Key;
        EXPECT_EQ(At(*dest, 12, 12), c.Key == clBlue ? RGB(0, 255, 0) : RGB(0, 0, 255)) << std::hex << c.Key;
        EXPECT_EQ(At(*dest, 9, 9), RGB(0, 255, 0));
        EXPECT_EQ(At(*dest, 16, 16), RGB(0, 255, 0));
    }
}

TEST(GraphUtils, PartOfABitmapIsStretchedOntoTheDestination) {
    auto picture = Filled(4, 4, clWhite);
    picture->Canvas().Brush().SetColor(clNavy);
    picture->Canvas().FillRect(RECT{2, 0, 4, 4}); // right half navy
    auto dest = Filled(20, 20, clYellow);
    // The right half, stretched to 8 x 8 at (4, 4); white would be transparent anyway.
    DrawBitmapPartTransparent(dest->Canvas(), 4, 4, 8, 8, 2, 0, 2, 4, *picture, clWhite);
    EXPECT_EQ(At(*dest, 4, 4), RGB(0, 0, 128));
    EXPECT_EQ(At(*dest, 11, 11), RGB(0, 0, 128));
    EXPECT_EQ(At(*dest, 12, 12), RGB(255, 255, 0));
}

TEST(GraphUtils, MonochromeBitmapsAreTransparentInWhite) {
    TBitmap mono(4, 4, TPixelFormat::pf1bit);
    mono.Canvas().Brush().SetColor(clWhite);
    mono.Canvas().FillRect(RECT{0, 0, 4, 4});
    mono.Canvas().Brush().SetColor(clBlack);
    mono.Canvas().FillRect(RECT{0, 0, 2, 4});
    auto dest = Filled(8, 8, clRed);
    // The key colour given is ignored: white is the see-through colour.
    DrawBitmapWithTransparency(dest->Canvas(), 0, 0, mono, clBlack);
    EXPECT_EQ(At(*dest, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(At(*dest, 3, 0), RGB(255, 0, 0));
}

TEST(GraphUtils, EmbossShowsHighlightBelowRightAndShadowOnTheShape) {
    auto picture = SquarePicture();
    auto embossed = MakeEmbossedBitmap(*picture, clWhite);
    const COLORREF shadow = ColorToRGB(clBtnShadow), highlight = ColorToRGB(clBtnHighlight);
    ASSERT_NE(shadow, highlight);
    EXPECT_EQ(At(*embossed, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(At(*embossed, 2, 2), shadow);
    EXPECT_EQ(At(*embossed, 3, 3), shadow);
    EXPECT_EQ(At(*embossed, 4, 4), highlight);
    EXPECT_EQ(At(*embossed, 5, 5), RGB(255, 255, 255));
}

TEST(GraphUtils, DisabledBitmapDrawsTheOutlineColourAsShadowAndHighlight) {
    auto picture = SquarePicture();
    auto disabled = MakeDisabledBitmap(*picture, clBlack);
    EXPECT_EQ(At(*disabled, 0, 0), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(*disabled, 2, 2), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(*disabled, 4, 4), ColorToRGB(clBtnHighlight));

    auto noHighlight = MakeDisabledBitmapEx(*picture, clBlack, clYellow, clRed, clBlue, false);
    EXPECT_EQ(At(*noHighlight, 0, 0), RGB(255, 255, 0));
    EXPECT_EQ(At(*noHighlight, 3, 3), RGB(0, 0, 255));
    EXPECT_EQ(At(*noHighlight, 4, 4), RGB(255, 255, 0));
}

TEST(GraphUtils, DisabledImageListItemKeepsTheCanvasBrush) {
    TImageList images(nullptr, 8, 8);
    auto picture = SquarePicture();
    images.AddMasked(*picture, clWhite);
    auto dest = Filled(16, 16, clLime);
    dest->Canvas().Brush().SetColor(clPurple);
    DrawImageListItemDisabled(images, dest->Canvas(), 4, 4, 0, clRed, clBlue, true);
    EXPECT_EQ(dest->Canvas().Brush().Color(), clPurple);
    EXPECT_EQ(At(*dest, 6, 6), RGB(0, 0, 255)); // the square in the grey colour
    EXPECT_EQ(At(*dest, 8, 8), RGB(255, 0, 0)); // its highlight one pixel down and right
    EXPECT_EQ(At(*dest, 4, 4), RGB(0, 255, 0)); // transparent parts untouched
}

TEST(GraphUtils, PaletteRelativeColorAddsTheFlagToTheRgbValue) {
    EXPECT_EQ(PaletteRelativeColor(clRed), 0x020000FF);
    EXPECT_EQ(PaletteRelativeColor(clBtnFace), static_cast<TColor>(ColorToRGB(clBtnFace) | 0x02000000));
}

TEST(GraphUtils, FontCopyFollowsOnlyWhenAskedAndKeepsWhatIsPreserved) {
    TFont source;
    source.SetName("Arial");
    source.SetColor(clRed);
    source.SetStyle(fsBold);
    source.SetHeight(-20);
    struct Case {
        TMvTrackFontOptions Options;
        bool Name, Color, Style, Height;
    } cases[] = {
        {0, false, false, false, false},
        {hoPreserveColor | hoPreserveStyle, false, false, false, false}, // no hoFollowFont
        {hoFollowFont, true, true, true, true},
        {hoFollowFont | hoPreserveColor, true, false, true, true},
        {hoFollowFont | hoPreserveColor | hoPreserveStyle, true, false, false, true},
        {hoFollowFont | hoPreserveName | hoPreserveHeight, false, true, true, false},
    };
    for (const Case& c : cases) {
        TFont dest;
        dest.SetName("Tahoma");
        dest.SetColor(clBlue);
        dest.SetHeight(-11);
        CopyFontUnlessPreserved(dest, source, c.Options);
        EXPECT_EQ(dest.Name() == "Arial", c.Name) << c.Options;
        EXPECT_EQ(dest.Color() == clRed, c.Color) << c.Options;
        EXPECT_EQ(dest.Style() == fsBold, c.Style) << c.Options;
        EXPECT_EQ(dest.Height() == -20, c.Height) << c.Options;
    }
}

TEST(GraphUtils, CanvasLineHeightFollowsTheFont) {
    TBitmap b(4, 4);
    b.Canvas().Font().SetHeight(-12);
    const int small = CanvasLineHeight(b.Canvas());
    b.Canvas().Font().SetHeight(-30);
    const int large = CanvasLineHeight(b.Canvas());
    EXPECT_GE(small, 12);
    EXPECT_GE(large, 30);
    EXPECT_GT(large, small);
}

// ---- the image under a transparent control ----

class Block : public TGraphicControl {
public:
    Block(TComponent* owner, TColor color) : TGraphicControl(owner), color_(color) {}
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        Canvas().Brush().SetColor(color_);
        Canvas().FillRect(ClientRect());
    }

private:
    TColor color_;
};

TEST(GraphUtils, CopyParentImageShowsTheParentAndTheControlsBelowOnly) {
    Application->Initialize();
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    form.SetColor(clRed);
    auto* below = new Block(&form, clBlue);
    below->SetParent(&form);
    below->SetBounds(10, 10, 20, 20);
    auto* self = new Block(&form, clYellow);
    self->SetParent(&form);
    self->SetBounds(20, 20, 30, 30);
    auto* above = new Block(&form, clLime);
    above->SetParent(&form);
    above->SetBounds(40, 40, 20, 20);
    auto* apart = new Block(&form, clAqua);
    apart->SetParent(&form);
    apart->SetBounds(100, 100, 10, 10);
    form.HandleNeeded();

    TBitmap shot(30, 30);
    const int selfPaints = self->Paints, apartPaints = apart->Paints;
    CopyParentImage(self, shot.Canvas());
    EXPECT_EQ(At(shot, 0, 0), RGB(0, 0, 255));   // the block below, at (20, 20) of the form
    EXPECT_EQ(At(shot, 9, 9), RGB(0, 0, 255));   // its last pixel (29, 29)
    EXPECT_EQ(At(shot, 10, 10), RGB(255, 0, 0)); // the form's own colour
    EXPECT_EQ(At(shot, 25, 25), RGB(255, 0, 0)); // the block above is not drawn
    EXPECT_EQ(self->Paints, selfPaints);         // nor the control itself
    EXPECT_EQ(apart->Paints, apartPaints);       // nor one that does not overlap
    EXPECT_EQ(form.ControlState() & csPaintCopy, 0u);

    TBitmap untouched(4, 4);
    untouched.Canvas().Brush().SetColor(clWhite);
    untouched.Canvas().FillRect(RECT{0, 0, 4, 4});
    Block orphan(nullptr, clBlack);
    CopyParentImage(&orphan, untouched.Canvas());
    EXPECT_EQ(At(untouched, 0, 0), RGB(255, 255, 255));
}

// ---- small Windows routines ----

TEST(Fragments, RectSizes) {
    const RECT r{10, 20, 35, 60};
    EXPECT_EQ(RectWidth(r), 25);
    EXPECT_EQ(RectHeight(r), 40);
}

TEST(Fragments, KillMessageRemovesOneMessageAndNeverLosesAQuit) {
    Application->Initialize();
    TForm form(nullptr);
    HWND wnd = form.Handle();
    MSG m{};
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    // Nothing pending: nothing happens.
    KillMessage(wnd, WM_USER + 7);
    EXPECT_FALSE(PeekMessageA(&m, wnd, WM_USER + 7, WM_USER + 7, PM_NOREMOVE));

    PostMessageA(wnd, WM_USER + 7, 1, 0);
    PostMessageA(wnd, WM_USER + 7, 2, 0);
    KillMessage(wnd, WM_USER + 7);
    ASSERT_TRUE(PeekMessageA(&m, wnd, WM_USER + 7, WM_USER + 7, PM_REMOVE));
    EXPECT_EQ(m.wParam, 2u);

    PostQuitMessage(42);
    KillMessage(nullptr, WM_QUIT);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(m.wParam, 42u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(Fragments, DrawTextNeverWritesIntoTheString) {
    TBitmap b(40, 20);
    const std::string text = "A long caption that does not fit";
    const std::string before = text;
    RECT r{0, 0, 40, 20};
    DrawTextOnDC(b.Canvas().Handle(), text, -1, r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    EXPECT_EQ(text, before);

    char buffer[] = "Another long caption that does not fit";
    RECT r2{0, 0, 40, 20};
    const int height =
        DrawTextOnCanvas(b.Canvas(), buffer, -1, r2, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    EXPECT_STREQ(buffer, "Another long caption that does not fit");
    EXPECT_GT(height, 0);
}

TEST(Fragments, CallBitBltCopies) {
    auto src = Filled(4, 4, clMaroon);
    auto dst = Filled(4, 4, clWhite);
    EXPECT_TRUE(CallBitBlt(dst->Canvas().Handle(), 1, 1, 2, 2, src->Canvas().Handle(), 0, 0, SRCCOPY));
    EXPECT_EQ(At(*dst, 1, 1), RGB(128, 0, 0));
    EXPECT_EQ(At(*dst, 0, 0), RGB(255, 255, 255));
}

TEST(Fragments, UnloadModuleHandleFreesAndClears) {
    HMODULE none = nullptr;
    UnloadModuleHandle(none);
    EXPECT_EQ(none, nullptr);
    HMODULE shell = LoadLibraryA("shlwapi.dll");
    ASSERT_NE(shell, nullptr);
    HMODULE held = LoadLibraryA("shlwapi.dll"); // a second reference keeps it alive for the check
    UnloadModuleHandle(shell);
    EXPECT_EQ(shell, nullptr);
    EXPECT_NE(GetModuleHandleA("shlwapi.dll"), nullptr);
    FreeLibrary(held);
}

TEST(Fragments, SameGuidComparesAllBits) {
    const GUID a = {0x62A7A17D, 0x1E21, 0x427E, {0x86, 0x1D, 0xC9, 0x2F, 0xBB, 0x9B, 0x09, 0xA6}};
    GUID b = a;
    EXPECT_TRUE(SameGUID(a, b));
    b.Data4[7] = 0;
    EXPECT_FALSE(SameGUID(a, b));
    EXPECT_EQ(ToMvGUID(a).ToString(), "{62A7A17D-1E21-427E-861D-C92FBB9B09A6}");
}

// ---- the active window ----

TEST(GraphUtils, ActiveWindowInThisThreadOnlyForOurOwnWindows) {
    Application->Initialize();
    TForm form(nullptr);
    form.SetBounds(10, 10, 120, 80);
    form.Show();
    SetActiveWindow(form.Handle());
    EXPECT_TRUE(PumpUntil([] { return ActiveWindowInThisThread(); }, 2000));

    // Another thread's window takes the activation: ours is no longer active here.
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        HWND w = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 100, 60,
                                 nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(w);
        SetActiveWindow(w);
        SetEvent(ready);
        while (WaitForSingleObject(done, 10) == WAIT_TIMEOUT) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&m);
        }
        DestroyWindow(w);
    });
    WaitForSingleObject(ready, 3000);
    PumpUntil([] { return !ActiveWindowInThisThread(); }, 2000);
    const bool ours = ActiveWindowInThisThread();
    SetEvent(done);
    other.join();
    CloseHandle(ready);
    CloseHandle(done);
    EXPECT_FALSE(ours);
}

} // namespace
