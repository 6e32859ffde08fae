// TUtilityWindow and TTimer.
#include "gui/Timers.h"

#include "gui/WndProcThunk.h"

#include "base/Exceptions.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
} // namespace

TUtilityWindow::TUtilityWindow(THandler handler, const char* className) : handler_(std::move(handler)) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(ModuleInstance(), className, &wc)) {
        wc = WNDCLASSA{};
        wc.lpfnWndProc = &TUtilityWindow::WndProc;
        wc.hInstance = ModuleInstance();
        wc.lpszClassName = className;
        RegisterClassA(&wc);
    }
    handle_ = CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              ModuleInstance(), nullptr);
    if (!handle_) throw EOutOfResources("Cannot create a utility window");
    SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TUtilityWindow::~TUtilityWindow() {
    if (handle_) {
        SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

void TUtilityWindow::Default(TMessage& m) const {
    m.Result = DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
}

LRESULT CALLBACK TUtilityWindow::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // A hidden top-level window hears the end of the session like any other:
    // the shutdown runs before it answers (and may free it).
    if (msg == WM_ENDSESSION) NotifyEndSession(wnd, wParam);
    auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!self || !self->handler_) return DefWindowProcA(wnd, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    try {
        THandler handler = self->handler_; // the handler may free its window
        handler(m);
    } catch (...) {
        HandleCurrentException(nullptr);
    }
    return m.Result;
}

TTimer::TTimer(TComponent* owner)
    : TComponent(owner), window_([this](TMessage& m) {
          if (m.Msg == WM_TIMER && m.WParam == kTimerId) {
              Timer();
          } else {
              window_.Default(m);
          }
      }) {}

TTimer::~TTimer() {
    if (running_) KillTimer(window_.Handle(), kTimerId);
}

void TTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (running_) KillTimer(window_.Handle(), kTimerId);
    running_ = false;
    if (enabled_ && interval_ > 0 && onTimer_) {
        if (!SetTimer(window_.Handle(), kTimerId, interval_, nullptr))
            throw EOutOfResources("Not enough timers available");
        running_ = true;
    }
}

void TTimer::Timer() {
    // A copy: the handler may replace itself or free the timer.
    TNotifyEvent handler = onTimer_;
    if (enabled_ && handler) handler(this);
}
