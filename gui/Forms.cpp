// TForm and TScreen.
#include "gui/Forms.h"

#include "gui/WndProcThunk.h"

#include "base/Exceptions.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Modal loops running (nested ones count each). A form released while one
// runs is freed only once the outermost loop has ended: the loop may have been
// entered from that very form (a button of it opened the dialog), and its
// objects must still exist when the loop returns into them. This happens when
// the program quits while a modal dialog is open.
int modalLoops = 0;
std::vector<HWND> releasedDuringModal;

// Disables the other top-level windows of the thread while a modal form runs
// and enables them again afterwards (also when the loop throws).
class TWindowDisabler {
public:
    explicit TWindowDisabler(HWND except) : except_(except) {
        EnumThreadWindows(GetCurrentThreadId(), &TWindowDisabler::Collect, reinterpret_cast<LPARAM>(this));
        for (HWND w : disabled_)
            EnableWindow(w, FALSE);
    }
    ~TWindowDisabler() {
        for (HWND w : disabled_) {
            if (IsWindow(w)) EnableWindow(w, TRUE);
        }
    }
    TWindowDisabler(const TWindowDisabler&) = delete;
    TWindowDisabler& operator=(const TWindowDisabler&) = delete;

private:
    static BOOL CALLBACK Collect(HWND wnd, LPARAM self) {
        // Called from user32: nothing may be thrown through it.
        auto* d = reinterpret_cast<TWindowDisabler*>(self);
        try {
            if (wnd != d->except_ && IsWindowVisible(wnd) && IsWindowEnabled(wnd))
                d->disabled_.push_back(wnd);
        } catch (...) {
            return FALSE;
        }
        return TRUE;
    }
    HWND except_;
    std::vector<HWND> disabled_;
};

} // namespace

TForm::TForm(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    if (Screen) Screen->AddForm(this);
}

TForm::~TForm() {
    // OnDestroy may fail; a destructor must not.
    try {
        DoDestroy();
    } catch (...) {
        HandleCurrentException(this);
    }
    if (Screen) Screen->RemoveForm(this);
    if (Application) Application->FormDestroyed(this);
}

void TForm::DoCreate() {
    if (created_) return;
    created_ = true;
    if (OnCreate) OnCreate(this);
}

void TForm::DoDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (OnDestroy) OnDestroy(this);
}

void TForm::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WinClassName = "MvForm";
    params.WindowClass.style = CS_DBLCLKS;
    params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    params.ExStyle = 0;
    switch (borderStyle_) {
    case TFormBorderStyle::bsNone:
        params.Style |= WS_POPUP;
        break;
    case TFormBorderStyle::bsSingle:
        params.Style |= WS_CAPTION | WS_BORDER;
        break;
    case TFormBorderStyle::bsSizeable:
        params.Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case TFormBorderStyle::bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case TFormBorderStyle::bsToolWindow:
        params.Style |= WS_CAPTION | WS_BORDER;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case TFormBorderStyle::bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_THICKFRAME;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (borderStyle_ != TFormBorderStyle::bsNone) {
        if (borderIcons_ & biSystemMenu) params.Style |= WS_SYSMENU;
        if (borderStyle_ != TFormBorderStyle::bsDialog) {
            if (borderIcons_ & biMinimize) params.Style |= WS_MINIMIZEBOX;
            if (borderIcons_ & biMaximize) params.Style |= WS_MAXIMIZEBOX;
        }
    }
    if (formStyle_ == TFormStyle::fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
    if (!Enabled()) params.Style |= WS_DISABLED;
    params.Caption = TextField();
    params.WndParent = ParentWindow() ? ParentWindow() : (Application ? Application->Handle() : nullptr);
}

void TForm::CreateWnd() {
    TCustomControl::CreateWnd();
    if (formStyle_ == TFormStyle::fsStayOnTop)
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
    if (icons == borderIcons_) return;
    borderIcons_ = icons;
    RecreateWnd();
}

void TForm::SetFormStyle(TFormStyle style) {
    if (style == formStyle_) return;
    formStyle_ = style;
    if (HandleAllocated())
        SetWindowPos(Handle(), style == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::SetWindowState(TWindowState state) {
    windowState_ = state;
    if (HandleAllocated() && IsWindowVisible(Handle())) {
        int cmd = state == TWindowState::wsMinimized   ? SW_SHOWMINIMIZED
                  : state == TWindowState::wsMaximized ? SW_SHOWMAXIMIZED
                                                       : SW_SHOWNORMAL;
        ShowWindow(Handle(), cmd);
    }
}

void TForm::ApplyPosition() {
    if (positioned_) return;
    positioned_ = true;
    TForm* center = nullptr;
    switch (position_) {
    case TPosition::poScreenCenter:
        break;
    case TPosition::poMainFormCenter:
        center = Application ? Application->MainForm() : nullptr;
        break;
    case TPosition::poOwnerFormCenter:
        center = dynamic_cast<TForm*>(Owner());
        break;
    default:
        return;
    }
    RECT area{};
    if (center && center != this && center->HandleAllocated() && IsWindowVisible(center->Handle())) {
        area = center->BoundsRect();
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    SetBounds(area.left + ((area.right - area.left) - Width()) / 2,
              area.top + ((area.bottom - area.top) - Height()) / 2, Width(), Height());
}

void TForm::SetVisible(bool value) {
    if (value == Visible()) {
        if (value && HandleAllocated() && !IsWindowVisible(Handle())) ShowWindow(Handle(), SW_SHOW);
        return;
    }
    if (value) {
        HandleNeeded();
        ApplyPosition();
        TControl::SetVisible(true);
        DoShow();
        int cmd = windowState_ == TWindowState::wsMinimized   ? SW_SHOWMINIMIZED
                  : windowState_ == TWindowState::wsMaximized ? SW_SHOWMAXIMIZED
                                                              : SW_SHOWNORMAL;
        ShowWindow(Handle(), cmd);
        Realign();
        if (activeControl_ && activeControl_->CanFocus()) ::SetFocus(activeControl_->Handle());
    } else {
        DoHide();
        TControl::SetVisible(false);
        if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    }
}

bool TForm::Showing() const {
    return Visible() && const_cast<TForm*>(this)->HandleAllocated() &&
           IsWindowVisible(const_cast<TForm*>(this)->Handle());
}

void TForm::Show() {
    SetVisible(true);
    // A form that is already the foreground window is on top and active;
    // raising it again is a round trip to the window manager for nothing.
    if (HandleAllocated() && GetForegroundWindow() != Handle()) {
        BringWindowToTop(Handle());
    }
}

void TForm::Hide() {
    SetVisible(false);
}

void TForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TForm::DoHide() {
    if (OnHide) OnHide(this);
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

void TForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caNone) return;
    if (Application && Application->MainForm() == this) {
        Hide();
        Application->Terminate();
        return;
    }
    switch (action) {
    case TCloseAction::caHide:
        Hide();
        break;
    case TCloseAction::caMinimize:
        SetWindowState(TWindowState::wsMinimized);
        break;
    case TCloseAction::caFree:
        Release();
        break;
    default:
        break;
    }
}

void TForm::CloseModal() {
    if (!CloseQuery()) {
        modalResult_ = mrNone;
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caNone) modalResult_ = mrNone;
}

int TForm::ShowModal() {
    if (modal_ || Visible()) throw EInvalidOperation("Cannot make a visible window modal");
    modalResult_ = mrNone;
    if (TDialogResponder* responder = DialogResponder()) {
        HandleNeeded();
        modal_ = true;
        int result = mrNone;
        try {
            result = responder->ShowModal ? responder->ShowModal(*this) : mrCancel;
        } catch (...) {
            modal_ = false;
            throw;
        }
        modal_ = false;
        if (result == mrNone) result = modalResult_;
        if (result == mrNone) result = mrCancel;
        modalResult_ = result;
        return result;
    }
    if (GetCapture()) SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    HWND previousActive = GetActiveWindow();
    HandleNeeded();
    modal_ = true;
    struct ModalFlag {
        bool& flag;
        ~ModalFlag() {
            flag = false;
            if (--modalLoops > 0) return;
            for (HWND released : std::exchange(releasedDuringModal, {}))
                if (IsWindow(released)) PostMessageA(released, CM_RELEASE, 0, 0);
        }
    } modalFlag{modal_};
    ++modalLoops;
    {
        TWindowDisabler disabler(Handle());
        Show();
        SetActiveWindow(Handle());
        while (true) {
            Application->HandleMessage();
            if (Application->Terminated()) modalResult_ = mrCancel;
            if (modalResult_ != mrNone) {
                CloseModal();
                if (modalResult_ != mrNone || Application->Terminated()) break;
            }
        }
    }
    Hide();
    if (previousActive && previousActive != Handle() && IsWindow(previousActive))
        SetActiveWindow(previousActive);
    return modalResult_ == mrNone ? mrCancel : modalResult_;
}

void TForm::Release() {
    if (HandleAllocated())
        PostMessageA(Handle(), CM_RELEASE, 0, 0);
    else
        delete this;
}

void TForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_) return;
    if (control && !ContainsControl(control)) throw EInvalidOperation("Invalid active control");
    if (active_ && control && control->CanFocus()) {
        ::SetFocus(control->Handle()); // WM_SETFOCUS reaches FocusChanged
        return;
    }
    activeControl_ = control;
}

void TForm::FocusChanged(TWinControl* control) {
    if (control == activeControl_) return;
    TWinControl* previous = activeControl_;
    activeControl_ = control;
    if (previous) previous->DoExit();
    if (activeControl_ == control && control) control->DoEnter();
    BroadcastFocusChanged(this, control);
}

void TForm::BroadcastFocusChanged(TWinControl* root, TWinControl* control) {
    for (int i = 0; i < root->ControlCount(); ++i) {
        TControl* c = root->Controls(i);
        c->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
        if (auto* wc = dynamic_cast<TWinControl*>(c)) BroadcastFocusChanged(wc, control);
    }
}

void TForm::ControlRemoved(TControl* control) {
    // Pointers only: the control may be half destroyed already (its destructor is
    // what removes it), so no virtual call and no dynamic_cast on it.
    for (TControl* c = activeControl_; c; c = c->Parent()) {
        if (c == control) {
            activeControl_ = nullptr;
            return;
        }
    }
}

void TForm::SelectNext(TWinControl* current, bool forward) {
    TWinControl* next = FindNextControl(current, forward, true);
    if (next) next->SetFocus();
}

void TForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TForm::Paint() {
    if (OnPaint) OnPaint(this);
}

void TForm::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case WM_ACTIVATE:
        DefaultHandler(m);
        if (LOWORD(m.WParam) != WA_INACTIVE) {
            active_ = true;
            if (Screen) Screen->SetActiveForm(this);
            Activate();
            if (activeControl_ && activeControl_->HandleAllocated() && activeControl_->CanFocus()) {
                ::SetFocus(activeControl_->Handle());
            } else if (!activeControl_) {
                // The first tab stop takes the focus when nobody had it yet.
                if (TWinControl* first = FindNextControl(nullptr, true, true)) ::SetFocus(first->Handle());
            }
        } else {
            active_ = false;
            Deactivate();
        }
        return;
    case WM_SETFOCUS:
        if (activeControl_ && activeControl_ != this && activeControl_->HandleAllocated() &&
            activeControl_->CanFocus()) {
            ::SetFocus(activeControl_->Handle());
            return;
        }
        break;
    case CM_RELEASE:
        if (modalLoops > 0) {
            releasedDuringModal.push_back(Handle());
            return;
        }
        delete this;
        return;
    case WM_SIZE:
        DefaultHandler(m);
        if (m.WParam == SIZE_MINIMIZED)
            windowState_ = TWindowState::wsMinimized;
        else if (m.WParam == SIZE_MAXIMIZED)
            windowState_ = TWindowState::wsMaximized;
        else if (m.WParam == SIZE_RESTORED)
            windowState_ = TWindowState::wsNormal;
        return;
    case WM_SHOWWINDOW:
        // Hidden by the system (e.g. the owner was minimised): keep Visible as it was.
        break;
    default:
        break;
    }
    TCustomControl::WndProc(m);
}

// ---- TScreen ----------------------------------------------------------------

TScreen* Screen = new TScreen();

TScreen::TScreen() : TComponent(nullptr) {}
TScreen::~TScreen() = default;

void TScreen::AddForm(TForm* form) {
    if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (activeForm_ == form) activeForm_ = nullptr;
}

void TScreen::SetActiveForm(TForm* form) {
    activeForm_ = form;
    if (form) {
        // The most recently active form first, as the window manager orders them.
        RemoveForm(form);
        forms_.insert(forms_.begin(), form);
        activeForm_ = form;
    }
}

void TScreen::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    POINT p{};
    GetCursorPos(&p);
    if (cursor == crDefault) {
        // Let the window under the mouse choose again.
        SetCursorPos(p.x, p.y);
    } else {
        ::SetCursor(CursorHandle(cursor));
    }
}

namespace {

int CALLBACK CollectFont(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM list) {
    // Called from gdi32: nothing may be thrown through it.
    auto* fonts = reinterpret_cast<std::vector<std::string>*>(list);
    try {
        std::string name = lf->lfFaceName;
        if (!name.empty() && name[0] != '@') fonts->push_back(name);
    } catch (...) {
        return 0;
    }
    return 1;
}

} // namespace

const std::vector<std::string>& TScreen::Fonts() {
    if (fonts_.empty()) {
        TWindowDC dc(nullptr);
        LOGFONTA lf{};
        lf.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExA(dc.Get(), &lf, CollectFont, reinterpret_cast<LPARAM>(&fonts_), 0);
        std::sort(fonts_.begin(), fonts_.end());
        fonts_.erase(std::unique(fonts_.begin(), fonts_.end()), fonts_.end());
    }
    return fonts_;
}
