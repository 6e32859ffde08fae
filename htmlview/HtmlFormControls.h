// The windows of a document's form controls: edits, buttons, check boxes, radio buttons (each
// on a panel of its own), list and combo boxes and memos, children of the viewer's paint panel.
#pragma once

#include <memory>

#include "gui/WinControl.h"
#include "htmlview/HtmlForms.h"

// The face and size of button captions; the document measures buttons with the same font.
inline constexpr const char* hvButtonFontName = "Tahoma";
inline constexpr int hvButtonFontSize = 8;

// Makes the window for one control on the paint panel, created at Top -400 and hidden until
// the document draws its placeholder. The peer owns the window (and a radio button's panel,
// which holds the button), so it goes with the control object.
std::unique_ptr<IFormControlPeer> MakeFormControlWindow(TFormControlObj& control, TWinControl& paintPanel);

// The control that takes the focus and the clicks (a radio button, not its panel); for tests.
TWinControl* FormControlWindow(const TFormControlObj& control);

// Expires when the control's window goes (with the control): lets a deferred event find out
// whether its control still exists. Empty for a control without a window.
std::weak_ptr<void> FormControlLife(const TFormControlObj& control);
