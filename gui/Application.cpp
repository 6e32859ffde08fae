// TApplication: message loop, idle work, exceptions, hints, shortcuts; THintWindow.
#include "gui/Application.h"

#include "gui/ActnList.h"
#include "gui/WndProcThunk.h"

#include "base/Exceptions.h"

#include <algorithm>
#include <commctrl.h>
#include <ole2.h>
#include <utility>

namespace {

constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;
constexpr const char* kAppClass = "MvApplication";

} // namespace

// A control of its own class, so its messages come through MvWndProc and
// DispatchToControl like every window's: the hooks of HookMainWindow first,
// then WindowProc.
class TApplication::TWindow final : public TWinControl {
public:
    explicit TWindow(TApplication& app) : TWinControl(nullptr), app_(app) {}
    void WndProc(TMessage& m) override { app_.WindowProc(m); }

protected:
    void CreateParams(TCreateParams& params) override {
        params = TCreateParams{};
        params.Caption = app_.title_;
        params.Style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
        params.X = GetSystemMetrics(SM_CXSCREEN) / 2;
        params.Y = GetSystemMetrics(SM_CYSCREEN) / 2;
        params.WindowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
        params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        params.WinClassName = kAppClass;
    }

private:
    TApplication& app_;
};

TApplication* Application = new TApplication();

void HandleCurrentException(TObject* sender) noexcept {
    if (Application) Application->HandleException(sender);
}

void NotifyEndSession(HWND wnd, WPARAM ending) noexcept {
    if (Application) Application->EndSession(wnd, ending != 0);
}

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
    Finalize();
    if (oleInitialized_) OleUninitialize();
}

void TApplication::Initialize() {
    if (initialized_) return;
    initialized_ = true;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
}

void TApplication::Finalize() {
    CancelHint();
    hintWindow_.reset();
    DestroyComponents();
    mainForm_ = nullptr;
    // The window goes, its object and hooks stay: Handle() makes a new one.
    if (window_) window_->DestroyHandle();
}

// ---- the application window ---------------------------------------------------

TApplication::TWindow& TApplication::Window() {
    if (!window_) window_ = std::make_unique<TWindow>(*this);
    return *window_;
}

HWND TApplication::Handle() {
    return Window().Handle();
}

bool TApplication::HandleAllocated() const {
    return window_ && window_->HandleAllocated();
}

void TApplication::WindowProc(TMessage& m) {
    switch (m.Msg) {
    case WM_TIMER:
        if (m.WParam == kHintShowTimer) {
            KillTimer(Handle(), kHintShowTimer);
            HintTimerExpired();
        } else if (m.WParam == kHintHideTimer) {
            CancelHint();
        }
        return;
    case WM_CLOSE:
        if (mainForm_) mainForm_->Close();
        return;
    case WM_ACTIVATEAPP:
        if (m.WParam) {
            if (OnActivate) OnActivate(this);
        } else {
            CancelHint();
            if (OnDeactivate) OnDeactivate(this);
        }
        break;
    case WM_ENDSESSION:
        // DispatchToControl has run the session end already.
        return;
    default:
        break;
    }
    window_->DefaultHandler(m);
}

int TApplication::HookMainWindow(TWindowHook hook) {
    return Window().AddMessageHook(std::move(hook));
}

void TApplication::UnhookMainWindow(int cookie) {
    if (window_) window_->RemoveMessageHook(cookie);
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (HandleAllocated()) SetWindowTextA(Handle(), title.c_str());
}

std::string TApplication::ExeName() const {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

void TApplication::Run() {
    Initialize();
    Handle();
    if (mainForm_ && showMainForm_) mainForm_->Show();
    while (!terminated_) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    }
}

void TApplication::EndSession(HWND window, bool ending) {
    if (ending) {
        if (sessionEnding_) return;
        sessionEnding_ = true;
    }
    try {
        if (OnEndSession) OnEndSession(window, ending);
    } catch (...) {
        HandleException(this);
    }
    if (ending) Terminate();
}

void TApplication::Terminate() {
    if (!terminated_) PostQuitMessage(0);
    terminated_ = true;
    // A menu open at this moment (the tray menu at the end of the session, say) runs a loop of
    // its own that takes the quit message and waits for a click nobody makes: close it, so that
    // the loop of Run gets control back and ends.
    EndMenu();
}

bool TApplication::ProcessMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    if (IsRepeatOrReleaseOfUsedAlt(msg)) return true;
    if (!IsKeyMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    } else if (GetKeyState(VK_MENU) < 0) {
        altKeyTaken_ = true;
    }
    return true;
}

// The default window procedure starts the window menu's loop when Alt is let go and it saw no
// other key since Alt went down, or since Alt last repeated. A key with Alt that the program took
// before translation never reaches it, and Wine then took every key after it into a menu loop
// nobody sees. An Alt used for a key is no Alt pressed alone: neither its release is passed on,
// whether it comes as WM_SYSKEYUP (Alt was the last key pressed) or as WM_KEYUP (Alt let go
// before the key), nor its repeats, which would leave the default window procedure waiting for a
// release it never gets, and the next Alt pressed alone would open no menu.
bool TApplication::IsRepeatOrReleaseOfUsedAlt(const MSG& msg) {
    if (msg.wParam != VK_MENU) return false;
    const bool repeat = (msg.lParam & (1 << 30)) != 0;
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!repeat) altKeyTaken_ = false;
        return altKeyTaken_;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return std::exchange(altKeyTaken_, false);
    default:
        return false;
    }
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) {
        DoIdle();
        if (!terminated_) WaitMessage();
    }
}

void TApplication::DoIdle() {
    POINT p{};
    if (GetCursorPos(&p)) MouseIdleAt(p);
    UpdateActions();
    bool done = true;
    if (OnIdle) OnIdle(this, done);
}

// ---- keyboard ---------------------------------------------------------------

namespace {

// Offers a dialog character to every control of a tree, depth first, until one takes it.
bool DialogCharToTree(TWinControl* root, TMessage& m) {
    for (int i = 0; i < root->ControlCount(); ++i) {
        TControl* c = root->Controls(i);
        c->WndProc(m);
        if (m.Result != 0) return true;
        if (auto* wc = dynamic_cast<TWinControl*>(c); wc && DialogCharToTree(wc, m)) return true;
    }
    return false;
}

} // namespace

bool TApplication::IsKeyMsg(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_SYSCHAR) return false;
    TWinControl* focused = FindControl(msg.hwnd);
    HWND wnd = msg.hwnd;
    while (!focused && wnd) {
        wnd = GetParent(wnd);
        focused = FindControl(wnd);
    }
    if (msg.message == WM_SYSCHAR) {
        // Alt+letter: the control whose caption marks that letter with '&'.
        TForm* form = focused ? GetParentForm(focused) : nullptr;
        if (!form) return false;
        TMessage m{CM_DIALOGCHAR, msg.wParam, msg.lParam, 0};
        return DialogCharToTree(form, m);
    }
    TShiftState shift = KeyDataToShiftState(msg.lParam);
    if (focused) {
        // The control itself may want the key first (CN_KEYDOWN non-zero = handled).
        if (focused->Perform(CN_KEYDOWN, msg.wParam, msg.lParam) != 0) return true;
    }
    if (IsShortCut(static_cast<WORD>(msg.wParam), shift)) return true;
    if (!focused) return false;
    TForm* form = GetParentForm(focused);
    if (!form) return false;
    LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (msg.wParam == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
        // Only DLGC_WANTTAB keeps Tab: a multi-line edit asks for all keys, yet Tab
        // moves the focus unless it says it wants tabs.
        if (code & DLGC_WANTTAB) return false;
        form->SelectNext(form->ActiveControl() ? form->ActiveControl() : focused, !(shift & ssShift));
        return true;
    }
    if (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) {
        if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
        TMessage m{CM_DIALOGKEY, msg.wParam, msg.lParam, 0};
        form->Broadcast(m);
        return m.Result != 0;
    }
    return false;
}

bool TApplication::IsShortCut(WORD key, TShiftState shift) {
    TShortCut sc = ShortCut(key, shift);
    if (sc == 0) return false;
    TForm* active = Screen ? Screen->ActiveForm() : nullptr;
    if (HWND fg = GetActiveWindow()) {
        if (auto* f = dynamic_cast<TForm*>(FindControl(fg))) active = f;
    }
    auto tryForm = [&](TForm* form) {
        if (!form) return false;
        for (TActionList* list : std::vector<TActionList*>(actionLists_)) {
            if (list->Owner() == form && list->IsShortCut(sc)) return true;
        }
        return false;
    };
    if (tryForm(active)) return true;
    if (mainForm_ != active && tryForm(mainForm_)) return true;
    return false;
}

void TApplication::RegisterActionList(TActionList* list) {
    if (std::find(actionLists_.begin(), actionLists_.end(), list) == actionLists_.end())
        actionLists_.push_back(list);
}

void TApplication::UnregisterActionList(TActionList* list) {
    actionLists_.erase(std::remove(actionLists_.begin(), actionLists_.end(), list), actionLists_.end());
}

void TApplication::UpdateActions() {
    for (TActionList* list : std::vector<TActionList*>(actionLists_)) {
        if (std::find(actionLists_.begin(), actionLists_.end(), list) != actionLists_.end())
            list->UpdateActions();
    }
}

// ---- exceptions -------------------------------------------------------------

void TApplication::HandleException(TObject* sender) noexcept {
    std::exception_ptr error = std::current_exception();
    if (!error) return;
    try {
        try {
            std::rethrow_exception(error);
        } catch (const EAbort&) {
            return;
        } catch (const std::exception& e) {
            if (OnExceptionLog) OnExceptionLog(e.what());
            if (OnException)
                OnException(sender, e);
            else
                ShowException(e.what());
        } catch (...) {
            if (OnExceptionLog) OnExceptionLog("Unknown exception");
            ShowException("Unknown exception");
        }
    } catch (...) {
        // A failing handler must not take the process down with it.
    }
}

void TApplication::ShowException(const std::string& message) {
    // At the end of the session the log has it (OnExceptionLog); a box would
    // only hold up the shutdown.
    if (sessionEnding_) return;
    std::string text = message;
    if (!text.empty() && text.back() != '.') text += '.';
    MessageBox(text, title_.empty() ? "Error" : title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    if (TDialogResponder* responder = DialogResponder())
        return responder->MessageBox ? responder->MessageBox(text, caption, flags) : IDCANCEL;
    HWND owner = GetActiveWindow();
    if (!owner) owner = Handle();
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

// ---- mouse enter/leave and hints ---------------------------------------------

void TApplication::MouseIdleAt(POINT screenPos) {
    TControl* control = GetCaptureControl();
    if (!control) {
        HWND wnd = WindowFromPoint(screenPos);
        TWinControl* wc = nullptr;
        while (wnd && !(wc = FindControl(wnd)))
            wnd = GetParent(wnd);
        control = wc;
        if (wc) {
            if (TControl* child = wc->ControlAtPos(wc->ScreenToClient(screenPos))) control = child;
        }
    }
    if (control == mouseControl_) return;
    TControl* previous = mouseControl_;
    mouseControl_ = control;
    CancelHint();
    if (previous) previous->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(previous));
    // The leave handler may have destroyed the new control (ControlDestroyed clears it).
    if (mouseControl_ && mouseControl_ == control) {
        control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(control));
        if (mouseControl_ == control && showHint_ && control->ShowHint() &&
            !GetShortHint(control->Hint()).empty()) {
            hintControl_ = control;
            SetTimer(Handle(), kHintShowTimer, static_cast<UINT>(std::max(hintPause_, 1)), nullptr);
        }
    }
}

std::string TApplication::GetShortHint(const std::string& hint) {
    auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

void TApplication::SetShowHint(bool value) {
    showHint_ = value;
    if (!value) CancelHint();
}

void TApplication::CancelHint() {
    if (HandleAllocated()) {
        KillTimer(Handle(), kHintShowTimer);
        KillTimer(Handle(), kHintHideTimer);
    }
    hintControl_ = nullptr;
    if (hintWindow_) hintWindow_->ReleaseHint();
}

void TApplication::HintTimerExpired() {
    if (hintControl_ && hintControl_ == mouseControl_) ActivateHintFor(hintControl_);
}

bool TApplication::ActivateHintFor(TControl* control) {
    if (!control) return false;
    THintInfo info;
    info.HintControl = control;
    info.HintColor = hintColor_;
    info.HintMaxWidth = 300;
    info.HintStr = GetShortHint(control->Hint());
    info.HideTimeout = hintHidePause_;
    POINT cursor{};
    GetCursorPos(&cursor);
    info.CursorPos = control->ScreenToClient(cursor);
    info.CursorRect = control->ClientRect();
    info.HintPos = POINT{cursor.x, cursor.y + 20};
    if (control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0) return false;
    if (info.HintStr.empty()) return false;
    if (!hintWindow_) hintWindow_ = std::make_unique<THintWindow>(nullptr);
    hintWindow_->SetColor(info.HintColor);
    hintWindow_->ActivateHint(info.HintPos, info.HintStr, info.HintMaxWidth);
    if (info.HideTimeout > 0)
        SetTimer(Handle(), kHintHideTimer, static_cast<UINT>(info.HideTimeout), nullptr);
    return true;
}

void TApplication::ControlDestroyed(TControl* control) {
    if (mouseControl_ == control) mouseControl_ = nullptr;
    if (hintControl_ == control) CancelHint();
}

void TApplication::FormDestroyed(TForm* form) {
    if (mainForm_ == form) mainForm_ = nullptr;
}

// ---- THintWindow ------------------------------------------------------------

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    SetColor(clInfoBk);
    Font().SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_BORDER;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.WindowClass.style |= CS_SAVEBITS;
    params.WinClassName = "MvHintWindow";
    params.WndParent = Application ? Application->Handle() : nullptr;
}

RECT THintWindow::CalcHintRect(int maxWidth, const std::string& text) {
    TWindowDC screen(nullptr);
    TSelectObject sel(screen.Get(), Font().Handle());
    RECT r{0, 0, maxWidth, 0};
    DrawTextA(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    r.right += 6;
    r.bottom += 4;
    return r;
}

void THintWindow::ActivateHint(POINT screenPos, const std::string& text, int maxWidth) {
    SetText(text);
    RECT r = CalcHintRect(maxWidth, text);
    HWND wnd = Handle();
    SetWindowPos(wnd, HWND_TOPMOST, screenPos.x, screenPos.y, r.right, r.bottom,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateBoundsFromWindow();
    Invalidate();
}

void THintWindow::ReleaseHint() {
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

bool THintWindow::IsShown() {
    return HandleAllocated() && IsWindowVisible(Handle());
}

void THintWindow::Paint() {
    RECT r = ClientRect();
    r.left += 2;
    r.top += 2;
    Canvas().Brush().SetStyle(TBrushStyle::bsClear);
    Canvas().Font().SetColor(clInfoText);
    // Through the canvas, so the text is drawn in the font it was measured in
    // (a bare DrawTextA on the DC used the DC's own, wider font, which wrapped
    // the text's end onto a line the window has no room for).
    Canvas().DrawText(Text(), r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}
