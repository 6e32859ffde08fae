// Theme routines: the parent erase honours either offset coordinate and puts the
// DC back; the themed background follows the parent's colour and the style bits.
#include "controls/MvExControls.h"
#include "controls/MvThemes.h"

#include "tests/support/TestForm.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A parent that records where its erase lands in the DC it is handed.
class TRecordingParent : public TCustomControl {
public:
    explicit TRecordingParent(TComponent* Owner) : TCustomControl(Owner) {}
    std::vector<POINT> Origins;
    std::vector<int> ClipKinds;
    HDC Watch = nullptr; // only erases into this DC count (the window erases itself too)
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_ERASEBKGND && reinterpret_cast<HDC>(M.WParam) == Watch) {
            const HDC DC = reinterpret_cast<HDC>(M.WParam);
            POINT O{};
            GetWindowOrgEx(DC, &O);
            Origins.push_back(O);
            RECT Box{};
            ClipKinds.push_back(GetClipBox(DC, &Box));
            HBRUSH B = CreateSolidBrush(RGB(10, 20, 30));
            RECT All{-1000, -1000, 1000, 1000};
            FillRect(DC, &All, B);
            DeleteObject(B);
            M.Result = 1;
            return;
        }
        TCustomControl::WndProc(M);
    }
};

struct TMemCanvas {
    TWindowDC Screen{nullptr};
    TMemoryDC Mem{Screen.Get()};
    TGdiObject<HBITMAP> Bmp{CreateCompatibleBitmap(Screen.Get(), 40, 40)};
    TSelectObject Sel{Mem.Get(), Bmp.Get()};
};

class ThemesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Parent = new TRecordingParent(FHolder.Owner());
        Parent->SetParent(&FHolder.Form());
        Parent->SetBounds(0, 0, 200, 100);
        Parent->SetColor(clBtnFace);
    }
    TTestFormHolder FHolder;
    TRecordingParent* Parent = nullptr;
};

} // namespace

TEST_F(ThemesTest, ParentEraseShiftsByEitherOffsetAndRestoresTheDC) {
    TMemCanvas C;
    Parent->Watch = C.Mem.Get();
    auto* Child = new TMvExGraphicControl(FHolder.Owner());
    Child->SetParent(Parent);
    Child->SetBounds(7, 0, 20, 20); // only X is non-zero
    PerformEraseBackgroundAtControl(Child, C.Mem.Get(), nullptr);
    ASSERT_EQ(Parent->Origins.size(), 1u);
    EXPECT_EQ(Parent->Origins[0].x, 7);
    EXPECT_EQ(Parent->Origins[0].y, 0);

    Child->SetBounds(0, 9, 20, 20); // only Y
    PerformEraseBackgroundAtControl(Child, C.Mem.Get(), nullptr);
    EXPECT_EQ(Parent->Origins[1].y, 9);

    POINT After{};
    GetWindowOrgEx(C.Mem.Get(), &After);
    EXPECT_EQ(After.x, 0);
    EXPECT_EQ(After.y, 0);
    HRGN Probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(C.Mem.Get(), Probe), 0); // no clip region was left behind
    DeleteObject(Probe);
}

TEST_F(ThemesTest, ClipRectangleLimitsTheEraseOnly) {
    TMemCanvas C;
    Parent->Watch = C.Mem.Get();
    auto* Child = new TMvExGraphicControl(FHolder.Owner());
    Child->SetParent(Parent);
    Child->SetBounds(3, 4, 20, 20);
    SetPixel(C.Mem.Get(), 30, 30, RGB(255, 255, 255));
    RECT Clip{0, 0, 10, 10};
    PerformEraseBackgroundAtControl(Child, C.Mem.Get(), &Clip);
    EXPECT_EQ(GetPixel(C.Mem.Get(), 5, 5), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(C.Mem.Get(), 30, 30), RGB(255, 255, 255)); // outside the clip: untouched
    HRGN Probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(C.Mem.Get(), Probe), 0);
    DeleteObject(Probe);
}

TEST_F(ThemesTest, WithoutAParentNothingIsErased) {
    TMemCanvas C;
    Parent->Watch = C.Mem.Get();
    TMvExGraphicControl Orphan(nullptr);
    PerformEraseBackgroundAtControl(&Orphan, C.Mem.Get(), nullptr);
    EXPECT_TRUE(Parent->Origins.empty());
}

TEST_F(ThemesTest, ThemedBackgroundFollowsColourThemeAndStyle) {
    TMemCanvas C;
    Parent->Watch = C.Mem.Get();
    TCanvas Canvas;
    Canvas.SetHandle(C.Mem.Get());
    auto* Child = new TMvExGraphicControl(FHolder.Owner());
    Child->SetParent(Parent);
    Child->SetBounds(2, 2, 20, 20);
    const RECT R{0, 0, 10, 10};
    {
        TThemeOverrideScope Themed(true);
        // A different colour is always a plain fill.
        DrawThemedBackground(Child, Canvas, R, false, clRed);
        EXPECT_EQ(GetPixel(C.Mem.Get(), 1, 1), RGB(255, 0, 0));
        EXPECT_TRUE(Parent->Origins.empty());
        // The parent's colour with themes on: the parent paints.
        DrawThemedBackground(Child, Canvas, R, false, clBtnFace);
        EXPECT_EQ(Parent->Origins.size(), 1u);
        // Needing the parent background without the style bit: a fill again.
        DrawThemedBackground(Child, Canvas, R, true, clBtnFace);
        EXPECT_EQ(Parent->Origins.size(), 1u);
        IncludeThemeStyle(Child, csMvParentBackground);
        EXPECT_EQ(GetThemeStyle(Child), csMvParentBackground);
        DrawThemedBackground(Child, Canvas, R, true, clBtnFace);
        EXPECT_EQ(Parent->Origins.size(), 2u);
    }
    {
        TThemeOverrideScope Classic(false);
        DrawThemedBackground(Child, Canvas, R, false, clBtnFace);
        EXPECT_EQ(Parent->Origins.size(), 2u);
        EXPECT_EQ(GetPixel(C.Mem.Get(), 1, 1), ColorToRGB(clBtnFace));
    }
    const TColor Before = Canvas.Brush().Color();
    DrawThemedBackground(Child, Canvas, R, false, clLime);
    EXPECT_EQ(Canvas.Brush().Color(), Before); // the brush colour is put back
    Canvas.SetHandle(nullptr);
}
