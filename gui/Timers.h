// TUtilityWindow (a hidden window with a message handler) and TTimer (a window-message timer component).
#pragma once

#include "gui/Component.h"
#include "gui/Messages.h"

#include <functional>

// A hidden top-level window whose messages go to a handler. The handler sets
// Result; messages it leaves alone should go to Default (DefWindowProcA).
// Exceptions from the handler stop at the window procedure and go to the
// application's HandleException. Not a message-only window, so broadcasts
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
    void Default(TMessage& message) const;

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND handle_ = nullptr;
    THandler handler_;
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
