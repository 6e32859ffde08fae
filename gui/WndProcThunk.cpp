// The single window procedure and the window-to-control binding.
#include "gui/WndProcThunk.h"

#include "gui/GdiGuards.h"
#include "gui/WinControl.h"

#include "base/Exceptions.h"

#include <commctrl.h>

#include <optional>
#include <set>
#include <utility>

namespace {

// Marks a window bound to a control, for the rare window whose procedure
// someone else replaced after ours. Window properties are slow under Wine (a
// server round trip each), so this is the last thing FindControl asks.
constexpr char kControlProp[] = "MvControl";

// The control whose window is being created right now, for the CBT hook.
thread_local TWinControl* creatingControl = nullptr;
thread_local bool creatingSystemClass = false;
// The control inside CreateControlWindow (also after the hook has bound it).
thread_local TWinControl* windowBeingCreated = nullptr;

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && creatingControl) {
        auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        if (cbt && cbt->lpcs && cbt->lpcs->lpCreateParams == creatingControl) {
            TWinControl* control = creatingControl;
            creatingControl = nullptr;
            AttachWindow(control, reinterpret_cast<HWND>(wParam), creatingSystemClass);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::set<std::string>& RegisteredClasses() {
    static auto* classes = new std::set<std::string>;
    return *classes;
}

} // namespace

TChildIdPool::TChildIdPool(UINT first, UINT last)
    : first_(first), last_(last), next_(first), taken_(last - first + 1, false) {}

UINT TChildIdPool::Take() {
    const UINT count = last_ - first_ + 1;
    for (UINT tried = 0; tried < count; ++tried) {
        const UINT id = next_;
        next_ = next_ == last_ ? first_ : next_ + 1;
        if (!taken_[id - first_]) {
            taken_[id - first_] = true;
            return id;
        }
    }
    return 0;
}

void TChildIdPool::Give(UINT id) {
    if (id >= first_ && id <= last_) taken_[id - first_] = false;
}

TChildIdPool& ChildIds() {
    static auto* pool = new TChildIdPool(100, 0xFFF0);
    return *pool;
}

TWinControl* ControlBeingCreated() {
    return windowBeingCreated;
}

HINSTANCE ModuleInstance() {
    return GetModuleHandleA(nullptr);
}

TWinControl* FindControl(HWND wnd) {
    if (!wnd) return nullptr;
    if (GetWindowThreadProcessId(wnd, nullptr) != GetCurrentThreadId()) return nullptr;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) == MvWndProc ||
        reinterpret_cast<WNDPROC>(GetClassLongPtrA(wnd, GCLP_WNDPROC)) == MvWndProc)
        return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    return static_cast<TWinControl*>(GetPropA(wnd, kControlProp));
}

// A window of a system class gets our procedure in place of its own, which
// then receives what we do not handle. (comctl32's SetWindowSubclass would do
// the same, but costs a window-property lookup per message: under Wine about
// 80 microseconds each, milliseconds per navigation.)
void AttachWindow(TWinControl* control, HWND wnd, bool systemClass) {
    control->handle_ = wnd;
    control->subclassed_ = systemClass;
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    // Our own classes are always recognised by their class procedure.
    if (systemClass) {
        SetPropA(wnd, kControlProp, control);
        control->systemProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MvWndProc)));
    }
}

void DetachWindow(TWinControl* control) {
    HWND wnd = control->handle_;
    if (!wnd) return;
    if (IsWindow(wnd)) {
        // Only our own procedure can be taken out; one put over it stays, and
        // MvWndProc then hands the messages to the class's procedure.
        if (control->subclassed_) {
            if (control->systemProc_ &&
                reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) == MvWndProc)
                SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control->systemProc_));
            RemovePropA(wnd, kControlProp);
        }
        SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    }
    control->handle_ = nullptr;
    control->subclassed_ = false;
    control->systemProc_ = nullptr;
    ChildIds().Give(std::exchange(control->childId_, 0u));
}

LRESULT CALLBACK MvWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* control = static_cast<TWinControl*>(cs->lpCreateParams);
        if (control && !FindControl(wnd)) {
            if (creatingControl == control) creatingControl = nullptr;
            AttachWindow(control, wnd, false);
        }
    }
    auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!control) {
        // A system window that has let go of its control: its class procedure
        // is the one it had before ours.
        auto classProc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(wnd, GCLP_WNDPROC));
        if (classProc && classProc != MvWndProc) return CallWindowProcA(classProc, wnd, msg, wParam, lParam);
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    return DispatchToControl(control, wnd, msg, wParam, lParam);
}

LRESULT DispatchToControl(TWinControl* control, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENDSESSION) {
        // The whole shutdown runs before this window answers; it may have
        // freed the window's control on the way.
        NotifyEndSession(wnd, wParam);
        if (FindControl(wnd) != control) return 0;
    }
    TMessage m{msg, wParam, lParam, 0};
    try {
        // The DC handed in by these messages leaves exactly as it came, also when
        // a handler throws: the guard unwinds before the catch below runs.
        std::optional<TSavedDC> dcGuard;
        if ((msg == WM_PRINT || msg == WM_PRINTCLIENT || msg == WM_ERASEBKGND) && wParam)
            dcGuard.emplace(reinterpret_cast<HDC>(wParam));
        if (!control->HasMessageHooks() || !control->RunMessageHooks(m)) control->WndProc(m);
    } catch (...) {
        HandleCurrentException(control);
    }
    if (msg == WM_NCDESTROY) {
        // The window is gone: let go of it, and give a system window its own
        // procedure back for whatever Windows still sends it.
        if (control->handle_ == wnd) DetachWindow(control);
    }
    return m.Result;
}

HWND CreateControlWindow(TWinControl* control, const TCreateParams& params) {
    const char* className = params.WinClassName.c_str();
    if (!params.SystemClass) {
        WNDCLASSA existing{};
        if (!RegisteredClasses().count(params.WinClassName) ||
            !GetClassInfoA(ModuleInstance(), className, &existing)) {
            WNDCLASSA wc = params.WindowClass;
            wc.lpfnWndProc = MvWndProc;
            wc.hInstance = ModuleInstance();
            wc.lpszClassName = className;
            if (!wc.hCursor) wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
                throw EOutOfResources("Cannot register window class " + params.WinClassName);
            RegisteredClasses().insert(params.WinClassName);
        }
    }
    TWinControl* previousCreated = windowBeingCreated;
    windowBeingCreated = control;
    TWinControl* previous = creatingControl;
    bool previousSystem = creatingSystemClass;
    creatingControl = control;
    creatingSystemClass = params.SystemClass;
    HHOOK hook =
        params.SystemClass ? SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId()) : nullptr;
    // Child windows get an id of their own: owner-drawn lists and combos are
    // measured (WM_MEASUREITEM) by id, before anything else can name them.
    const UINT childId = (params.Style & WS_CHILD) ? ChildIds().Take() : 0;
    HWND wnd =
        CreateWindowExA(params.ExStyle, className, params.Caption.c_str(), params.Style, params.X, params.Y,
                        params.Width, params.Height, params.WndParent,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(childId)), ModuleInstance(), control);
    if (hook) UnhookWindowsHookEx(hook);
    creatingControl = previous;
    creatingSystemClass = previousSystem;
    windowBeingCreated = previousCreated;
    if (wnd && !FindControl(wnd)) AttachWindow(control, wnd, params.SystemClass);
    // The id is free again when the window goes (DetachWindow), or now when none was made.
    if (wnd && control->handle_ == wnd)
        control->childId_ = childId;
    else
        ChildIds().Give(childId);
    return wnd;
}
