// Fonts share cached handles; canvases give a foreign DC back as they found it; bitmaps and metafiles.
#include "GuiTestSupport.h"

#include "gui/Graphics.h"
#include "gui/ImgList.h"
#include "gui/Themes.h"

#include <memory>

namespace {

TEST(FontCache, EqualFontsShareOneHandleUntilTheLastGoes) {
    size_t before = TFont::CachedHandleCount();
    HFONT shared = nullptr;
    {
        auto a = std::make_unique<TFont>();
        auto b = std::make_unique<TFont>();
        a->SetName("Arial");
        a->SetSize(13);
        a->SetStyle(fsBold);
        b->SetName("Arial");
        b->SetSize(13);
        b->SetStyle(fsBold);
        b->SetColor(clRed); // colour is not part of the HFONT
        shared = a->Handle();
        EXPECT_EQ(b->Handle(), shared);
        EXPECT_EQ(TFont::CachedHandleCount(), before + 1);
        b->SetStyle(fsBold | fsItalic);
        EXPECT_NE(b->Handle(), shared);
        a.reset();
        EXPECT_EQ(GetObjectType(shared), 0u); // b no longer uses it: freed with a
    }
    EXPECT_EQ(TFont::CachedHandleCount(), before);
}

TEST(FontCache, HandleIsDeletedWhenNoFontUsesIt) {
    HFONT h = nullptr;
    {
        TFont f;
        f.SetName("Courier New");
        f.SetSize(17);
        h = f.Handle();
        EXPECT_NE(GetObjectType(h), 0u);
    }
    EXPECT_EQ(GetObjectType(h), 0u);
}

TEST(FontCache, SizeAndHeightConvertThroughPixelsPerInch) {
    TFont f;
    f.SetPixelsPerInch(96);
    f.SetSize(8);
    EXPECT_EQ(f.Height(), -11);
    f.SetHeight(-16);
    EXPECT_EQ(f.Size(), 12);
    LOGFONTA lf = f.LogFont();
    EXPECT_EQ(lf.lfHeight, -16);
}

TEST(FontCache, LongFaceNamesAreCutToThirtyOneBytes) {
    TFont f;
    f.SetName(std::string(40, 'x'));
    LOGFONTA lf = f.LogFont();
    EXPECT_EQ(std::string(lf.lfFaceName), std::string(31, 'x'));
}

TEST(FontCache, SetHandleTakesTheForeignDescription) {
    LOGFONTA lf{};
    lf.lfHeight = -20;
    lf.lfWeight = FW_BOLD;
    lf.lfUnderline = 1;
    strcpy(lf.lfFaceName, "Times New Roman");
    TGdiObject<HFONT> foreign(CreateFontIndirectA(&lf));
    TFont f;
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.SetHandle(foreign.Get());
    EXPECT_EQ(f.Name(), "Times New Roman");
    EXPECT_EQ(f.Height(), -20);
    EXPECT_EQ(f.Style(), fsBold | fsUnderline);
    EXPECT_NE(f.Handle(), foreign.Get());
    EXPECT_EQ(changes, 1);
}

TEST(Colors, SystemAndSpecialColoursResolve) {
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
    EXPECT_EQ(ColorToRGB(clDefault), GetSysColor(COLOR_WINDOW));
    EXPECT_TRUE(IsSystemColor(clWindowText));
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_EQ(clNone, 0x1FFFFFFF);
    EXPECT_EQ(clDefault, 0x20000000);
}

TEST(Canvas, DetachingAForeignDcPutsItsObjectsBack) {
    TMemoryDC mem(nullptr);
    TWindowDC screen(nullptr);
    TGdiObject<HBITMAP> bmp(CreateCompatibleBitmap(screen.Get(), 20, 20));
    TSelectObject sel(mem.Get(), bmp.Get());
    HGDIOBJ font = GetCurrentObject(mem.Get(), OBJ_FONT);
    HGDIOBJ brush = GetCurrentObject(mem.Get(), OBJ_BRUSH);
    HGDIOBJ pen = GetCurrentObject(mem.Get(), OBJ_PEN);
    {
        TCanvas canvas;
        canvas.SetHandle(mem.Get());
        canvas.Brush().SetColor(clRed);
        canvas.Pen().SetColor(clBlue);
        canvas.Rectangle(0, 0, 10, 10);
        canvas.TextOut(0, 0, "x");
        canvas.Brush().SetColor(clLime); // re-selected while attached
        canvas.FillRect(RECT{0, 0, 5, 5});
        EXPECT_EQ(GetPixel(mem.Get(), 1, 1), RGB(0, 255, 0));
        EXPECT_NE(GetCurrentObject(mem.Get(), OBJ_BRUSH), brush);
        canvas.SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(mem.Get(), OBJ_FONT), font);
        EXPECT_EQ(GetCurrentObject(mem.Get(), OBJ_BRUSH), brush);
        EXPECT_EQ(GetCurrentObject(mem.Get(), OBJ_PEN), pen);
    }
}

TEST(Canvas, ChangingAFontOrBrushInUseSwapsItBeforeTheOldHandleIsFreed) {
    TMemoryDC mem(nullptr);
    TCanvas canvas;
    canvas.SetHandle(mem.Get());
    canvas.Font().SetName("Arial");
    canvas.Font().SetSize(23);
    canvas.TextOut(0, 0, "x");
    canvas.FillRect(RECT{0, 0, 1, 1});
    canvas.Rectangle(0, 0, 2, 2);
    HGDIOBJ oldFont = GetCurrentObject(mem.Get(), OBJ_FONT);
    HGDIOBJ oldBrush = GetCurrentObject(mem.Get(), OBJ_BRUSH);
    HGDIOBJ oldPen = GetCurrentObject(mem.Get(), OBJ_PEN);
    ASSERT_EQ(oldFont, canvas.Font().Handle());
    canvas.Font().SetStyle(fsItalic);
    canvas.Brush().SetColor(clYellow);
    canvas.Pen().SetWidth(3);
    EXPECT_EQ(GetCurrentObject(mem.Get(), OBJ_FONT), canvas.Font().Handle());
    EXPECT_EQ(GetCurrentObject(mem.Get(), OBJ_BRUSH), canvas.Brush().Handle());
    EXPECT_EQ(GetCurrentObject(mem.Get(), OBJ_PEN), canvas.Pen().Handle());
    // Nothing selected any more, so the old objects are really gone.
    EXPECT_EQ(GetObjectType(oldFont), 0u);
    EXPECT_EQ(GetObjectType(oldBrush), 0u);
    EXPECT_EQ(GetObjectType(oldPen), 0u);
    canvas.SetHandle(nullptr);
}

TEST(Canvas, WithoutADcDrawingRaises) {
    TCanvas canvas;
    EXPECT_THROW(canvas.FillRect(RECT{0, 0, 1, 1}), EInvalidOperation);
}

TEST(Bitmap, DibSectionDrawsReadsAndKeepsPixelsAcrossResize) {
    TBitmap b(8, 4);
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    b.Canvas().Brush().SetColor(clBlue);
    b.Canvas().FillRect(RECT{0, 0, 8, 4});
    auto* row = static_cast<unsigned char*>(b.ScanLine(3));
    EXPECT_EQ(row[0], 255); // B G R
    EXPECT_EQ(row[2], 0);
    b.SetSize(16, 16);
    EXPECT_EQ(b.Canvas().Pixel(2, 2), RGB(0, 0, 255));
    EXPECT_THROW(b.ScanLine(16), EInvalidOperation);
    TBitmap copy;
    copy.Assign(b);
    EXPECT_EQ(copy.Width(), 16);
    EXPECT_EQ(copy.Canvas().Pixel(1, 1), RGB(0, 0, 255));
    EXPECT_NE(copy.Handle(), b.Handle());
}

TEST(Bitmap, SavesAndLoadsBmpFiles) {
    TBitmap b(5, 3);
    b.Canvas().Brush().SetColor(clRed);
    b.Canvas().FillRect(RECT{0, 0, 5, 3});
    b.Canvas().SetPixel(4, 2, clLime);
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "mv_gui_test.bmp";
    b.SaveToFile(path);
    TBitmap loaded;
    loaded.LoadFromFile(path);
    DeleteFileA(path.c_str());
    EXPECT_EQ(loaded.Width(), 5);
    EXPECT_EQ(loaded.Height(), 3);
    EXPECT_EQ(loaded.Canvas().Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(loaded.Canvas().Pixel(4, 2), RGB(0, 255, 0));
}

TEST(Metafile, RecordsAndPlaysBack) {
    TMetafile mf;
    {
        TWindowDC screen(nullptr);
        TMetafileCanvas mc(mf, screen.Get());
        mc.Brush().SetColor(clRed);
        mc.FillRect(RECT{0, 0, 40, 20});
    }
    ASSERT_FALSE(mf.Empty());
    TBitmap target(40, 20);
    target.Canvas().Brush().SetColor(clWhite);
    target.Canvas().FillRect(RECT{0, 0, 40, 20});
    target.Canvas().StretchDraw(RECT{0, 0, 40, 20}, mf);
    EXPECT_EQ(target.Canvas().Pixel(20, 10), RGB(255, 0, 0));
}

TEST(ImageList, AddsMaskedImagesAndHandsOutIcons) {
    TImageList list(nullptr, 16, 16);
    TBitmap b(16, 16);
    b.Canvas().Brush().SetColor(clFuchsia);
    b.Canvas().FillRect(RECT{0, 0, 16, 16});
    b.Canvas().Brush().SetColor(clNavy);
    b.Canvas().FillRect(RECT{4, 4, 12, 12});
    EXPECT_EQ(list.AddMasked(b, clFuchsia), 0);
    EXPECT_EQ(list.Add(b), 1);
    EXPECT_EQ(list.Count(), 2);
    TIcon icon;
    list.GetIcon(0, icon);
    EXPECT_FALSE(icon.Empty());
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_THROW(list.GetIcon(5, icon), EInvalidOperation);
}

TEST(Themes, OverrideSwitchesBetweenThemedAndClassicDrawing) {
    TBitmap b(30, 30);
    TThemedElementDetails button;
    button.ClassList = L"BUTTON";
    button.Part = 1; // BP_PUSHBUTTON
    button.State = 1;
    {
        TThemeOverrideScope classic(false);
        EXPECT_FALSE(ThemeServices().ThemesEnabled());
        int before = ThemeServices().ClassicDraws();
        EXPECT_FALSE(ThemeServices().DrawElement(b.Canvas().Handle(), button, RECT{0, 0, 30, 30}));
        EXPECT_EQ(ThemeServices().ClassicDraws(), before + 1);
    }
    {
        TThemeOverrideScope themed(true);
        EXPECT_TRUE(ThemeServices().ThemesEnabled());
        int themedBefore = ThemeServices().ThemedDraws();
        int classicBefore = ThemeServices().ClassicDraws();
        bool drewThemed = ThemeServices().DrawElement(b.Canvas().Handle(), button, RECT{0, 0, 30, 30});
        // With no theme loaded (plain Wine) the themed path falls back to classic.
        EXPECT_EQ(ThemeServices().ThemedDraws(), themedBefore + (drewThemed ? 1 : 0));
        EXPECT_EQ(ThemeServices().ClassicDraws(), classicBefore + (drewThemed ? 0 : 1));
    }
    EXPECT_EQ(ThemeServices().ThemesEnabled(), ThemeServices().ThemesAvailable());
}

class ParentPaintTest : public GuiTest {};

TEST_F(ParentPaintTest, ClassicParentBackgroundLetsTheParentPaintShifted) {
    class Painter : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;
        int erases = 0;
        void WndProc(TMessage& m) override {
            if (m.Msg == WM_ERASEBKGND) ++erases;
            TCustomControl::WndProc(m);
        }
    };
    TForm form(nullptr);
    auto* parent = new Painter(&form);
    parent->SetBounds(0, 0, 100, 100);
    parent->SetParent(&form);
    parent->SetColor(clRed);
    auto* child = new TCustomControl(&form);
    child->SetBounds(10, 10, 20, 20);
    child->SetParent(parent);
    TBitmap b(20, 20);
    TThemeOverrideScope classic(false);
    ThemeServices().DrawParentBackground(child->Handle(), b.Canvas().Handle(), nullptr);
    EXPECT_EQ(parent->erases, 1);
    EXPECT_EQ(b.Canvas().Pixel(5, 5), RGB(255, 0, 0));
}

} // namespace
