// TUtilityWindow (a hidden window with a message handler) and TTimer (a window-message timer component).
#pragma once

#include "gui/Component.h"
#include "gui/Messages.h"

#include <functional>
#include <memory>

// A hidden top-level window whose messages go to a handler. The window is a
// control of its own class, so its messages take the path every window's take
// (MvWndProc, DispatchToControl): an exception from the handler stops there and
// goes to the application's HandleException, and WM_ENDSESSION runs the
// application's session end before the handler hears it. The handler hears
// nothing of the window's creation or destruction; it sets Result, and passes
// what it leaves alone to Default. Not a message-only window, so broadcasts
// (such as the shell's "TaskbarCreated") reach it.
class TUtilityWindow {
public:
    using THandler = std::function<void(TMessage& message)>;
    // ClassName names the window's class, so that a window of a kind can be
    // found from outside (the tray icon's, say).
    explicit TUtilityWindow(THandler handler, const char* className = "MvUtilityWindow");
    ~TUtilityWindow();
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;

    HWND Handle() const { return handle_; }
    // The window's default handling (DefWindowProcA) of a message.
    void Default(TMessage& message) const;

private:
    class TWindow;
    std::unique_ptr<TWindow> window_;
    HWND handle_ = nullptr;
};

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    // The timer runs while Enabled, Interval > 0 and OnTimer is assigned.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    void SetOnTimer(TNotifyEvent handler);
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    bool Running() const { return running_; }

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    TUtilityWindow window_;
    bool enabled_ = true;
    unsigned interval_ = 1000;
    TNotifyEvent onTimer_;
    bool running_ = false;
};
