// TMvMouseTimer: one process-wide watcher that polls the cursor every 200 ms and
// sends CM_MOUSELEAVE to the control under watch once the cursor has left it,
// so that a hot look never stays on after a missed mouse-leave.
#pragma once

#include "gui/Control.h"
#include "gui/Timers.h"

#include <memory>

class IMouseLeaveTimer {
public:
    virtual ~IMouseLeaveTimer() = default;
    // Ends the watch on the current control (it gets CM_MOUSELEAVE) and
    // watches Control (nullptr: nothing).
    virtual void Attach(TControl* Control) = 0;
    // Ends the watch on Control, if it is the watched one, without a message.
    virtual void Detach(TControl* Control) = 0;
};

class TMvMouseTimerNotify;

class TMvMouseTimer : public IMouseLeaveTimer {
public:
    TMvMouseTimer();
    ~TMvMouseTimer() override;
    TMvMouseTimer(const TMvMouseTimer&) = delete;
    TMvMouseTimer& operator=(const TMvMouseTimer&) = delete;

    void Attach(TControl* Control) override;
    void Detach(TControl* Control) override;

    TControl* Control() const { return FControl; }
    bool Running() const { return FTimer->Enabled(); }
    // One poll, as the timer runs it (tests call it directly).
    void TimerTick();

private:
    std::unique_ptr<TTimer> FTimer;
    TControl* FControl = nullptr;
    std::unique_ptr<TMvMouseTimerNotify> FNotifier;
};

// The one instance, created on first call.
TMvMouseTimer& MouseLeaveTimer();
// True when the instance has been made (and not released).
bool MouseLeaveTimerExists();
// Frees the instance (shut-down); the next call of MouseLeaveTimer makes a new one.
void ReleaseMouseLeaveTimer();
