// Theme routines of the controls.
#include "controls/MvThemes.h"

#include "gui/GdiGuards.h"
#include "gui/WinControl.h"

namespace {

bool SameColor(TColor A, TColor B) {
    return A == B || ColorToRGB(A) == ColorToRGB(B);
}

} // namespace

TThemeServices& GetThemeServices() {
    return ThemeServices();
}

void IncludeThemeStyle(TControl* Control, unsigned Style) {
    if (!Control) return;
    Control->SetControlStyle(Control->ControlStyle() | (Style & csMvThemeStyleMask));
}

unsigned GetThemeStyle(TControl* Control) {
    return Control ? Control->ControlStyle() & csMvThemeStyleMask : 0;
}

void PerformEraseBackground(TControl* Control, HDC DC, POINT Offset, const RECT* ClipRect) {
    if (!Control || !Control->Parent() || !DC) return;
    TSavedDC Saved(DC); // the window origin and the clip region come back
    if (ClipRect) {
        // The clip region is in device units: place the rectangle before the origin moves.
        POINT Corners[2] = {{ClipRect->left, ClipRect->top}, {ClipRect->right, ClipRect->bottom}};
        LPtoDP(DC, Corners, 2);
        TGdiObject<HRGN> Rgn(CreateRectRgn(Corners[0].x, Corners[0].y, Corners[1].x, Corners[1].y));
        SelectClipRgn(DC, Rgn.Get());
    }
    if (Offset.x != 0 || Offset.y != 0) OffsetWindowOrgEx(DC, Offset.x, Offset.y, nullptr);
    Control->Parent()->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
}

void PerformEraseBackgroundAtControl(TControl* Control, HDC DC, const RECT* ClipRect) {
    if (!Control) return;
    PerformEraseBackground(Control, DC, POINT{Control->Left(), Control->Top()}, ClipRect);
}

void DrawThemedBackground(TControl* Control, TCanvas& Canvas, const RECT& Rect, bool NeedsParentBackground,
                          TColor Color) {
    bool Match = false;
    if (Control && !Control->HasState(csDesigning) && Control->Parent())
        Match = SameColor(Color, Control->Parent()->Color());
    if (Match && GetThemeServices().ThemesEnabled() &&
        (!NeedsParentBackground || (Control->ControlStyle() & csMvParentBackground))) {
        auto* Windowed = dynamic_cast<TWinControl*>(Control);
        if (Windowed && !Windowed->DoubleBuffered())
            GetThemeServices().DrawParentBackground(Windowed->Handle(), Canvas.Handle(), &Rect);
        else
            PerformEraseBackgroundAtControl(Control, Canvas.Handle(), &Rect);
        return;
    }
    const TColor Old = Canvas.Brush().Color();
    if (Old != Color) Canvas.Brush().SetColor(Color);
    Canvas.FillRect(Rect);
    if (Old != Color) Canvas.Brush().SetColor(Old);
}

void DrawThemedBackgroundBrush(TControl* Control, TCanvas& Canvas, const RECT& Rect,
                               bool NeedsParentBackground) {
    DrawThemedBackground(Control, Canvas, Rect, NeedsParentBackground, Canvas.Brush().Color());
}
