// Theme routines of the controls: background painting that follows the parent's
// themed background, the theme-related control-style bits, and the parent erase.
//
// Around WM_PRINT and WM_PRINTCLIENT every windowed control of the process keeps
// the caller's DC unchanged: the library's window procedure saves and restores
// the DC for those messages, and the base-class layer does it again in its own
// window procedure, so no separate wrapper is installed.
#pragma once

#include "gui/Canvas.h"
#include "gui/Control.h"
#include "gui/Themes.h"

#include <windows.h>

// Control-style bits: the theme paints the border / the control shows its
// parent's background.
constexpr unsigned csMvThemedBorder = 0x20000;
constexpr unsigned csMvParentBackground = 0x40000;
constexpr unsigned csMvThemeStyleMask = 0x60000;

TThemeServices& GetThemeServices();
void IncludeThemeStyle(TControl* Control, unsigned Style);
unsigned GetThemeStyle(TControl* Control);

// Fills Rect with Color, or, when Color is the parent's colour and themes are
// on, paints the parent's background there instead (only for controls with the
// parent-background bit when NeedsParentBackground).
void DrawThemedBackground(TControl* Control, TCanvas& Canvas, const RECT& Rect, bool NeedsParentBackground,
                          TColor Color);
void DrawThemedBackgroundBrush(TControl* Control, TCanvas& Canvas, const RECT& Rect,
                               bool NeedsParentBackground);

// Makes the control's parent erase its background into DC, shifted by Offset
// (the control's place in the parent) and clipped to ClipRect when given. The
// DC's origin and clip region are as before afterwards.
void PerformEraseBackground(TControl* Control, HDC DC, POINT Offset, const RECT* ClipRect);
void PerformEraseBackgroundAtControl(TControl* Control, HDC DC, const RECT* ClipRect);
