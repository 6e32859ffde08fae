// The viewer drawn into a DC it is handed: WM_PRINT with its child windows, and the kind of
// surface an off-screen picture is made for.
#pragma once

#include <functional>

#include "gui/Messages.h"

// Whether an off-screen picture for this DC can be made compatible with the DC itself (a
// display or memory DC); metafiles and printers take one compatible with the screen.
bool IsRasterSurface(HDC DC);

// Answers WM_PRINT for the window Wnd: Base draws the window itself (the message it gets has
// PRF_CHILDREN taken out), then, with PRF_CHILDREN, every visible child window is printed at its
// place, bottom of the z-order first. The picture thus does not depend on whether the system
// would walk the children.
void PrintWithChildren(HWND Wnd, TMessage& Message, const std::function<void(TMessage&)>& Base);
