// Puts a form with a few controls on screen and saves what it shows as a BMP in the build tree.
#include "GuiTestSupport.h"

#include "gui/CheckLst.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"

#include <direct.h>

namespace {

class ScreenshotTest : public GuiTest {};

class Swatch : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override {
        TCanvas& c = Canvas();
        c.Brush().SetColor(clNavy);
        c.FillRect(ClientRect());
        c.Font().SetColor(clWhite);
        c.Font().SetStyle(fsBold);
        c.Brush().SetStyle(TBrushStyle::bsClear);
        c.TextOut(6, 4, "Custom painted");
    }
};

TEST_F(ScreenshotTest, FormOnScreenIsCapturedToABitmap) {
    TForm form(nullptr);
    form.SetCaption("Miravelund gui sample");
    form.SetBounds(40, 40, 360, 300);
    form.Font().SetName("Tahoma");
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetBounds(12, 12, 200, 16);
    label->SetCaption("A label drawn without a window");
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(12, 36, 200, 22);
    edit->SetText("An edit control");
    auto* swatch = new Swatch(&form);
    swatch->SetParent(&form);
    swatch->SetBounds(12, 68, 200, 40);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    button->SetBounds(230, 36, 90, 26);
    button->SetCaption("OK");
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetAlign(TAlign::alBottom);
    panel->SetHeight(30);
    panel->SetCaption("A panel aligned to the bottom");
    auto* checks = new TCheckListBox(&form);
    checks->SetParent(&form);
    checks->SetBounds(12, 116, 200, 80);
    checks->Items().SetCommaText("Clock,Calendar,\"Word count\"");
    checks->SetChecked(0, true);
    checks->SetItemEnabled(2, false);
    auto* combo = new TComboBox(&form);
    combo->SetParent(&form);
    combo->SetBounds(230, 116, 110, 21);
    combo->Items().SetCommaText("Default,work,home");
    combo->SetItemIndex(1);
    form.Show();
    form.Update();
    PumpUntil([] { return false; }, 300);

    RECT client = form.ClientRect();
    TBitmap shot(client.right, client.bottom);
    {
        TWindowDC dc(form.Handle());
        BitBlt(shot.Canvas().Handle(), 0, 0, client.right, client.bottom, dc.Get(), 0, 0, SRCCOPY);
    }
    // The swatch is where it was put, in its colour; the label's text is dark on the face colour.
    EXPECT_EQ(shot.Canvas().Pixel(14 + 190, 70), RGB(0, 0, 128));
    EXPECT_EQ(shot.Canvas().Pixel(300, 150), ColorToRGB(clBtnFace));
    bool labelInk = false;
    for (int x = 12; x < 200 && !labelInk; ++x)
        for (int y = 12; y < 28 && !labelInk; ++y)
            labelInk = shot.Canvas().Pixel(x, y) != ColorToRGB(clBtnFace);
    EXPECT_TRUE(labelInk);

    _mkdir(MV_GUI_OUTPUT_DIR);
    std::string path = std::string(MV_GUI_OUTPUT_DIR) + "/sample-form.bmp";
    shot.SaveToFile(path);
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
