// TLightTimer: a window-message timer that needs no owner and no window of its
// own. All timers share one hidden window kept by TLightTimerHandler, which
// exists exactly while at least one timer does.
#pragma once

#include "base/Object.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

class TLightTimerHandler;
class TUtilityWindow;

class TLightTimer : public TObject {
public:
    // Interval 1000 ms, no OnTimer; the timer does not run yet.
    TLightTimer();
    TLightTimer(uint32_t Interval, TNotifyEvent OnTimer);
    ~TLightTimer() override;
    TLightTimer(const TLightTimer&) = delete;
    TLightTimer& operator=(const TLightTimer&) = delete;

    // Starts (or restarts) the period. False for interval 0 or when Windows
    // has no timer to give; Enabled is then left as it was.
    bool Start();
    // Kills the Windows timer; ClearEnabled also marks the timer as stopped.
    // Returns whether a Windows timer was running.
    bool Stop(bool ClearEnabled);

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    uint32_t Interval() const { return FInterval; }
    // Interval 0 on an enabled timer suspends it (Enabled stays true); a later
    // non-zero interval resumes it.
    void SetInterval(uint32_t Value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    // Clearing OnTimer on an enabled timer suspends it like interval 0.
    void SetOnTimer(TNotifyEvent Value);
    // When true the timer stops itself before each tick, so it fires once per start.
    bool AutoDisable() const { return FAutoDisable; }
    void SetAutoDisable(bool Value) { FAutoDisable = Value; }

    // The Windows timer id on the shared window. Ids are never reused within a
    // run, so a tick still queued for a destroyed timer reaches no other timer.
    uintptr_t Id() const { return FId; }
    // True while a Windows timer is set for this object.
    bool Running() const { return FRunning; }

private:
    friend class TLightTimerHandler;
    void Tick();
    bool KillWindowsTimer();

    uintptr_t FId = 0;
    bool FEnabled = false;
    bool FRunning = false;
    uint32_t FInterval = 1000;
    bool FAutoDisable = false;
    TNotifyEvent FOnTimer;
};

// The shared hidden window and its bookkeeping. Only TLightTimer uses it; the
// accessors are for tests and diagnostics.
class TLightTimerHandler : public TObject {
public:
    // The live handler, or nullptr while no timer exists.
    static TLightTimerHandler* Current();

    int32_t RefCount() const { return FRefCount; }
    int32_t ActiveTimers() const { return FActiveTimers; }
    void* Window() const { return FWindow; }

    // Delivers a WM_TIMER of the shared window: ids of timers that no longer
    // exist, or that were stopped after the tick was queued, are ignored.
    static void DispatchTick(uintptr_t Id);

private:
    friend class TLightTimer;
    friend struct TLightTimerUnitShutdown;
    TLightTimerHandler();
    ~TLightTimerHandler() override;
    TLightTimerHandler(const TLightTimerHandler&) = delete;
    TLightTimerHandler& operator=(const TLightTimerHandler&) = delete;

    static TLightTimerHandler& Acquire(TLightTimer& Timer);
    static void Release(TLightTimer& Timer);

    int32_t FRefCount = 0;
    int32_t FActiveTimers = 0;
    std::unique_ptr<TUtilityWindow> FUtility;
    void* FWindow = nullptr;
    std::unordered_map<uintptr_t, TLightTimer*> FTimers;
    // Nesting of ticks being delivered; the handler is not freed under them.
    int FDispatchDepth = 0;
    bool FFreePending = false;
};
