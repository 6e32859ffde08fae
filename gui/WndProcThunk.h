// The one window procedure: finds the control of a window and runs its WndProc, exceptions stopped here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TObject;
class TWinControl;
struct TCreateParams;

// The control that owns a window, or nullptr for a window that is not ours.
TWinControl* FindControl(HWND wnd);

// Window procedure of every class the library registers. Every window the
// library makes belongs to a TWinControl (forms, controls, and also the hidden
// application and utility windows). The control comes in through
// CREATESTRUCT::lpCreateParams at WM_NCCREATE and is kept in GWLP_USERDATA.
LRESULT CALLBACK MvWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Runs one message through a control: WM_ENDSESSION first runs the
// application's session end; then the control's message hooks, and its
// WndProc unless a hook took the message. Every exception stops here and goes
// to the application's HandleException; the DC of WM_PRINT, WM_PRINTCLIENT and
// WM_ERASEBKGND is restored to its saved state whatever the handlers did. At
// WM_NCDESTROY the control lets go of its window.
LRESULT DispatchToControl(TWinControl* control, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Creates the window of a control: registers its own class (with MvWndProc)
// when needed; a window of a system class gets MvWndProc as its window
// procedure (GWLP_WNDPROC) from a WH_CBT hook the moment it exists, so that its
// very first messages already reach the control. A child window takes its id
// from ChildIds(), the only place ids come from.
HWND CreateControlWindow(TWinControl* control, const TCreateParams& params);

// Binds a window to its control (GWLP_USERDATA; for a system class also
// MvWndProc in place of the class's procedure, which the control keeps and
// calls for what it does not handle). DetachWindow undoes it.
void AttachWindow(TWinControl* control, HWND wnd, bool systemClass);
void DetachWindow(TWinControl* control);

// The ids of child windows: each live child window has its own, so a
// notification or WM_MEASUREITEM by id names one control. Ids come in turn
// from First to Last, and one is handed out again only once it is free.
class TChildIdPool {
public:
    TChildIdPool(UINT first, UINT last);
    // A free id, or 0 when all are taken.
    UINT Take();
    void Give(UINT id);
    bool Taken(UINT id) const { return id >= first_ && id <= last_ && taken_[id - first_]; }

private:
    UINT first_, last_, next_;
    std::vector<bool> taken_;
};

// The pool the library's child windows take their ids from.
TChildIdPool& ChildIds();

// Hands the exception being handled to the application (defined with TApplication).
// Must be called from inside a catch block; never throws.
void HandleCurrentException(TObject* sender) noexcept;

// A top-level window of ours heard WM_ENDSESSION (ending = its WParam): runs
// the application's session end before the window answers (defined with
// TApplication). Never throws.
void NotifyEndSession(HWND wnd, WPARAM ending) noexcept;

// The control whose window CreateControlWindow is making right now, or nullptr.
TWinControl* ControlBeingCreated();

// The module instance that window classes are registered for.
HINSTANCE ModuleInstance();
