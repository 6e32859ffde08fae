// The markup label.
#include "labels/MvHtControls.h"

#include <shellapi.h>

#include <vector>

#include "base/StrUtils.h"
#include "controls/MvGraphUtils.h"
#include "gui/GdiGuards.h"

using namespace mv::markup;

namespace {

void ShellOpen(const std::string& Link) {
    ShellExecuteA(nullptr, "open", Link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

TMarkupShellOpen& ShellOpener() {
    static TMarkupShellOpen Open = ShellOpen;
    return Open;
}

bool OpensWithShell(const std::string& Link) {
    return Link.find("://") != std::string::npos || UpperCase(Link).find("MAILTO:") != std::string::npos;
}

} // namespace

TMarkupShellOpen SetMarkupShellOpen(TMarkupShellOpen Open) {
    TMarkupShellOpen Previous = ShellOpener();
    ShellOpener() = Open ? std::move(Open) : TMarkupShellOpen(ShellOpen);
    return Previous;
}

// ---- TMarkupCanvas ----------------------------------------------------------

TMarkupFont TMarkupCanvas::Font() {
    return TMarkupFont{FCanvas.Font().Style(), FCanvas.Font().Color(), FCanvas.Font().Size()};
}

void TMarkupCanvas::SetFont(const TMarkupFont& Font) {
    TFont& F = FCanvas.Font();
    if (F.Style() != Font.Style) F.SetStyle(Font.Style);
    if (F.Color() != Font.Color) F.SetColor(Font.Color);
    if (F.Size() != Font.Size) F.SetSize(Font.Size);
}

void TMarkupCanvas::SetBrushColor(TMarkupColor Color) {
    FCanvas.Brush().SetColor(Color);
    FCanvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TMarkupCanvas::SetBrushClear(bool Clear) {
    FCanvas.Brush().SetStyle(Clear ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
}

void TMarkupCanvas::TextOut(int X, int Y, std::string_view Text) {
    // Each character goes where the measure puts it: the next piece of the line starts at this
    // piece's measured width, and a platform that draws a face narrower than it measures it
    // (Wine's Tahoma) would otherwise leave a gap after every piece ("SQLite , the").
    const std::string S(Text);
    FCanvas.TextOut(X, Y, std::string()); // the canvas's font, colours and background mode
    const int N = static_cast<int>(S.size());
    std::vector<INT> Advances(S.size());
    SIZE Size{};
    if (N == 0 || !GetTextExtentExPointA(FCanvas.Handle(), S.data(), N, 0, nullptr, Advances.data(), &Size)) {
        FCanvas.TextOut(X, Y, S);
        return;
    }
    for (int I = N - 1; I > 0; --I)
        Advances[static_cast<size_t>(I)] -= Advances[static_cast<size_t>(I - 1)];
    ExtTextOutA(FCanvas.Handle(), X, Y, 0, nullptr, S.data(), static_cast<UINT>(N), Advances.data());
}

int TMarkupCanvas::LineHeight() {
    return CanvasLineHeight(FCanvas);
}

void TMarkupCanvas::Line(int X1, int Y1, int X2, int Y2) {
    FCanvas.MoveTo(X1, Y1);
    FCanvas.LineTo(X2, Y2);
}

// ---- TMvCustomHTLabel -------------------------------------------------------

TMvCustomHTLabel::TMvCustomHTLabel(TComponent* AOwner) : TMvExCustomLabel(AOwner) {}

void TMvCustomHTLabel::Loaded() {
    TMvExCustomLabel::Loaded();
    AdjustBounds();
}

void TMvCustomHTLabel::FontChanged() {
    TMvExCustomLabel::FontChanged();
    AdjustBounds();
}

void TMvCustomHTLabel::AdjustBounds() {
    if (!AutoSize() || HasState(csLoading)) return;
    TWindowDC Screen(nullptr);
    TCanvas Measure;
    Measure.SetHandle(Screen.Get());
    Measure.Font().Assign(Font());
    Measure.Font().SetStyle(0);
    TMarkupCanvas C(Measure);
    const std::string Text = Caption();
    const int W = MarkupTextWidth(C, TMarkupRect{}, 0, Text);
    const int H = MarkupTextHeight(C, Text);
    Measure.SetHandle(nullptr);
    int NewLeft = Left();
    if (Alignment() == TAlignment::taRightJustify) NewLeft += Width() - W;
    SetBounds(NewLeft, Top(), W, H);
}

void TMvCustomHTLabel::PrepareCanvas() {
    TCanvas& C = Canvas();
    C.Font().Assign(Font());
    C.Font().SetStyle(0);
    C.Brush().SetColor(Color());
    C.Brush().SetStyle(Transparent() ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
}

TMarkupRect TMvCustomHTLabel::LayoutRect(TMarkupCanvas& Canvas) {
    const RECT Client = ClientRect();
    TMarkupRect R{Client.left, Client.top, Client.right, Client.bottom};
    if (Layout() != TTextLayout::tlTop) {
        const int H = MarkupTextHeight(Canvas, Caption());
        R.Top = Layout() == TTextLayout::tlCenter ? (R.Bottom - R.Top - H) / 2 : R.Bottom - H;
    }
    return R;
}

void TMvCustomHTLabel::Paint() {
    PrepareCanvas();
    TCanvas& C = Canvas();
    C.FillRect(ClientRect());
    // The background is filled: the pieces go on without a box of their own,
    // so that a piece never cuts off the overhang of a bold or italic one
    // before it. A font tag's BGCOLOR still gives its pieces a background.
    C.Brush().SetStyle(TBrushStyle::bsClear);
    TMarkupCanvas M(C);
    TMarkupRect R = LayoutRect(M);
    const std::string Text = Caption();
    if (Enabled()) {
        DrawMarkup(M, R, 0, Text);
        return;
    }
    // Embossed: a highlight copy one pixel down and right, the shadow on top.
    C.Brush().SetStyle(TBrushStyle::bsClear);
    TMarkupRect Shifted{R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1};
    C.Font().SetColor(clBtnHighlight);
    DrawMarkup(M, Shifted, mv::markup::odDisabled, Text);
    C.Font().SetColor(clBtnShadow);
    DrawMarkup(M, R, mv::markup::odDisabled, Text);
}

bool TMvCustomHTLabel::LinkAt(int X, int Y, std::string& LinkName) {
    if (!Parent() || !Parent()->HandleAllocated()) return false;
    PrepareCanvas();
    TMarkupCanvas M(Canvas());
    const bool OnLink = IsMouseOnMarkupLink(M, LayoutRect(M), Caption(), X, Y, LinkName);
    if (auto* Own = dynamic_cast<TControlCanvas*>(&Canvas())) Own->FreeHandle();
    return OnLink;
}

void TMvCustomHTLabel::MouseMove(TShiftState Shift, int X, int Y) {
    TMvExCustomLabel::MouseMove(Shift, X, Y);
    std::string Link;
    SetCursor(LinkAt(X, Y, Link) ? crHandPoint : crDefault);
}

void TMvCustomHTLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TMvExCustomLabel::MouseUp(Button, Shift, X, Y);
    std::string Link;
    if (!LinkAt(X, Y, Link)) return;
    if (OpensWithShell(Link)) ShellOpener()(Link);
    if (OnHyperLinkClick) OnHyperLinkClick(this, Link);
}

void TMvCustomHTLabel::MouseLeave(TControl* Control) {
    TMvExCustomLabel::MouseLeave(Control);
    Invalidate();
}
