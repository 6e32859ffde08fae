// TUtilityWindow and TTimer.
#include "gui/Timers.h"

#include "gui/WinControl.h"

#include "base/Exceptions.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
} // namespace

// The control behind a TUtilityWindow. Its handler is set once the window
// exists and cleared before the window goes, so until then and from then on
// its messages go to DefWindowProcA.
class TUtilityWindow::TWindow final : public TWinControl {
public:
    explicit TWindow(const char* className) : TWinControl(nullptr), className_(className) {}
    ~TWindow() override {
        handler_ = nullptr;
        DestroyHandle();
    }
    void SetHandler(THandler handler) { handler_ = std::move(handler); }

    void WndProc(TMessage& m) override {
        if (!handler_) {
            DefaultHandler(m);
            return;
        }
        THandler handler = handler_; // the handler may free its window
        handler(m);
    }

protected:
    void CreateParams(TCreateParams& params) override {
        params = TCreateParams{};
        params.Style = WS_POPUP;
        params.ExStyle = WS_EX_TOOLWINDOW;
        params.WinClassName = className_;
    }

private:
    std::string className_;
    THandler handler_;
};

TUtilityWindow::TUtilityWindow(THandler handler, const char* className)
    : window_(std::make_unique<TWindow>(className)) {
    handle_ = window_->Handle();
    window_->SetHandler(std::move(handler));
}

TUtilityWindow::~TUtilityWindow() = default;

void TUtilityWindow::Default(TMessage& m) const {
    window_->DefaultHandler(m);
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
