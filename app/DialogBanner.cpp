// The dialog banner and the white frame of the small dialogs.
#include "app/DialogBanner.h"

#include "labels/MvHtControls.h"
#include "labels/MvPanel.h"
#include "gui/Forms.h"

TDialogBanner::TDialogBanner(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 307, 52);
}

void TDialogBanner::Paint() {
    TCanvas& C = Canvas();
    const RECT R = ClientRect();
    // A band shaded from deep teal on the left to a lighter teal on the right.
    const int Steps = 32;
    for (int I = 0; I < Steps; ++I) {
        const int L = R.left + (R.right - R.left) * I / Steps;
        const int Ri = R.left + (R.right - R.left) * (I + 1) / Steps;
        C.Brush().SetStyle(TBrushStyle::bsSolid);
        C.Brush().SetColor(static_cast<TColor>(RGB(20 + I * 2, 80 + I * 3, 96 + I * 3)));
        C.FillRect(RECT{L, R.top, Ri, R.bottom});
    }
    C.Brush().SetStyle(TBrushStyle::bsClear);
    C.Font().SetName("Tahoma");
    C.Font().SetSize(20);
    C.Font().SetStyle(fsBold);
    C.Font().SetColor(clWhite);
    C.TextOut(14, 8, "Miravelund");
    C.Font().SetSize(8);
    C.Font().SetStyle(0);
    C.TextOut(R.right - 90, R.bottom - 18, "notes manager");
}

TMvPanel* NewWhiteDialogPanel(TForm* Form, int Left, int Top, int Width, int Height) {
    auto* Panel = new TMvPanel(Form);
    Panel->SetParent(Form);
    Panel->SetBounds(Left, Top, Width, Height);
    Panel->SetColor(clWhite);
    Panel->SetHotColor(clWhite);
    Panel->SetBevelOuter(TBevelCut::bvLowered);
    Panel->SetMultiLine(false);
    auto* Banner = new TDialogBanner(Form);
    Banner->SetParent(Panel);
    Banner->SetBounds((Width - 307) / 2, 6, 307, 52);
    return Panel;
}

TMvHTLabel* NewMarkupLabel(TForm* Form, TMvPanel* Parent, int Left, int Top, const char* Caption) {
    auto* Label = new TMvHTLabel(Form);
    Label->SetParent(Parent);
    Label->SetLeft(Left);
    Label->SetTop(Top);
    Label->SetCaption(Caption);
    return Label;
}
