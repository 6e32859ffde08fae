// The one window procedure: finds the control of a window and runs its WndProc, exceptions stopped here.
#pragma once

#include <windows.h>

#include <string>

class TObject;
class TWinControl;
struct TCreateParams;

// The control that owns a window, or nullptr for a window that is not ours.
TWinControl* FindControl(HWND wnd);

// Window procedure of every class the library registers. The control comes in
// through CREATESTRUCT::lpCreateParams at WM_NCCREATE and is kept in GWLP_USERDATA.
LRESULT CALLBACK MvWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Runs one message through a control. Every exception stops here and goes to
// the application's HandleException; the DC of WM_PRINT, WM_PRINTCLIENT and
// WM_ERASEBKGND is restored to its saved state whatever the handlers did.
LRESULT DispatchToControl(TWinControl* control, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Creates the window of a control: registers its own class when needed, or hooks
// a system class with SetWindowSubclass from the moment the window exists.
HWND CreateControlWindow(TWinControl* control, const TCreateParams& params);

// Binds a window to its control (GWLP_USERDATA, and the subclass for system classes).
void AttachWindow(TWinControl* control, HWND wnd, bool systemClass);
void DetachWindow(TWinControl* control);

// Hands the exception being handled to the application (defined with TApplication).
// Must be called from inside a catch block; never throws.
void HandleCurrentException(TObject* sender) noexcept;

// The control whose window CreateControlWindow is making right now, or nullptr.
TWinControl* ControlBeingCreated();

// The module instance that window classes are registered for.
HINSTANCE ModuleInstance();
