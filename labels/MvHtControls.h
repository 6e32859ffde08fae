// TMvHTLabel: a label whose caption is the small mark-up of the markup
// renderer. It sizes itself to the text, shows a hand over links, opens web
// and mail links with the shell and reports every clicked link.
#pragma once

#include "labels/MvMarkup.h"
#include "controls/MvExStdCtrls.h"

#include <functional>
#include <string>

using THyperLinkClick = std::function<void(TObject* Sender, const std::string& LinkName)>;

// The markup renderer's canvas over a GDI canvas of the class library.
class TMarkupCanvas : public mv::markup::IMarkupCanvas {
public:
    explicit TMarkupCanvas(TCanvas& Canvas) : FCanvas(Canvas) {}
    mv::markup::TMarkupFont Font() override;
    void SetFont(const mv::markup::TMarkupFont& Font) override;
    mv::markup::TMarkupColor BrushColor() override { return FCanvas.Brush().Color(); }
    void SetBrushColor(mv::markup::TMarkupColor Color) override;
    bool BrushClear() override { return FCanvas.Brush().Style() == TBrushStyle::bsClear; }
    void SetBrushClear(bool Clear) override;
    mv::markup::TMarkupColor PenColor() override { return FCanvas.Pen().Color(); }
    void SetPenColor(mv::markup::TMarkupColor Color) override { FCanvas.Pen().SetColor(Color); }
    int PenWidth() override { return FCanvas.Pen().Width(); }
    void SetPenWidth(int Width) override { FCanvas.Pen().SetWidth(Width); }
    int TextWidth(std::string_view Text) override { return FCanvas.TextWidth(std::string(Text)); }
    int LineHeight() override;
    void TextOut(int X, int Y, std::string_view Text) override;
    void Line(int X1, int Y1, int X2, int Y2) override;

private:
    TCanvas& FCanvas;
};

// The routine that opens web and mail links (ShellExecute "open"); tests
// replace it. Returns the previous one.
using TMarkupShellOpen = std::function<void(const std::string& Link)>;
TMarkupShellOpen SetMarkupShellOpen(TMarkupShellOpen Open);

class TMvCustomHTLabel : public TMvExCustomLabel {
public:
    explicit TMvCustomHTLabel(TComponent* AOwner);

    THyperLinkClick OnHyperLinkClick;

protected:
    void Loaded() override;
    void Paint() override;
    void AdjustBounds() override;
    void FontChanged() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Repaints, so that a link drawn hovered does not stay red once the mouse is gone.
    void MouseLeave(TControl* Control) override;

private:
    // The client rectangle moved by the layout, as Paint and the mouse use it.
    mv::markup::TMarkupRect LayoutRect(TMarkupCanvas& Canvas);
    // Puts the label's font, colour and brush on the canvas.
    void PrepareCanvas();
    bool LinkAt(int X, int Y, std::string& LinkName);
};

class TMvHTLabel : public TMvCustomHTLabel {
public:
    using TMvCustomHTLabel::TMvCustomHTLabel;
};
