// The shared timer window and the timers that tick on it.
#include "tray/LightTimer.h"

#include "base/Checked.h"
#include "tray/MvCallbackGuard.h"

#include "gui/Timers.h"

#include <windows.h>

namespace {

TLightTimerHandler* GLightTimerHandler = nullptr;
// Timer ids are handed out once per run; 0 is never used.
uintptr_t GNextTimerId = 1;

TUtilityWindow* CreateTimerWindow() {
    return new TUtilityWindow([](TMessage& Message) {
        if (Message.Msg == WM_TIMER) {
            TLightTimerHandler::DispatchTick(Message.WParam);
            return;
        }
        Message.Result = DefWindowProcA(TLightTimerHandler::Current()
                                            ? static_cast<HWND>(TLightTimerHandler::Current()->Window())
                                            : nullptr,
                                        Message.Msg, Message.WParam, Message.LParam);
    });
}

} // namespace

// A handler still alive at the end of the run goes with the module.
struct TLightTimerUnitShutdown {
    ~TLightTimerUnitShutdown() {
        delete GLightTimerHandler;
        GLightTimerHandler = nullptr;
    }
};
static TLightTimerUnitShutdown GLightTimerUnitShutdown;

// ---- TLightTimerHandler

TLightTimerHandler::TLightTimerHandler() : FUtility(CreateTimerWindow()), FWindow(FUtility->Handle()) {}

TLightTimerHandler::~TLightTimerHandler() = default;

TLightTimerHandler* TLightTimerHandler::Current() {
    return GLightTimerHandler;
}

TLightTimerHandler& TLightTimerHandler::Acquire(TLightTimer& Timer) {
    if (!GLightTimerHandler) GLightTimerHandler = new TLightTimerHandler();
    TLightTimerHandler& Handler = *GLightTimerHandler;
    Handler.FFreePending = false;
    CheckedInc(Handler.FRefCount);
    Handler.FTimers[Timer.FId] = &Timer;
    return Handler;
}

void TLightTimerHandler::Release(TLightTimer& Timer) {
    TLightTimerHandler* Handler = GLightTimerHandler;
    if (!Handler) return;
    Handler->FTimers.erase(Timer.FId);
    if (Handler->FRefCount > 0) --Handler->FRefCount;
    if (Handler->FRefCount > 0) return;
    if (Handler->FDispatchDepth > 0) {
        // The last timer went inside its own tick: free the window once the
        // tick has returned from it.
        Handler->FFreePending = true;
        return;
    }
    GLightTimerHandler = nullptr;
    delete Handler;
}

void TLightTimerHandler::DispatchTick(uintptr_t Id) {
    TLightTimerHandler* Handler = GLightTimerHandler;
    if (!Handler) return;
    auto Found = Handler->FTimers.find(Id);
    if (Found == Handler->FTimers.end() || !Found->second->FRunning) return;
    ++Handler->FDispatchDepth;
    RunGuarded([Timer = Found->second] { Timer->Tick(); });
    --Handler->FDispatchDepth;
    if (Handler->FDispatchDepth == 0 && Handler->FFreePending && Handler->FRefCount == 0) {
        GLightTimerHandler = nullptr;
        delete Handler;
    }
}

// ---- TLightTimer

TLightTimer::TLightTimer() : TLightTimer(1000, nullptr) {}

TLightTimer::TLightTimer(uint32_t Interval, TNotifyEvent OnTimer)
    : FId(GNextTimerId++), FInterval(Interval), FOnTimer(std::move(OnTimer)) {
    TLightTimerHandler::Acquire(*this);
}

TLightTimer::~TLightTimer() {
    if (FRunning) KillWindowsTimer();
    TLightTimerHandler::Release(*this);
}

bool TLightTimer::KillWindowsTimer() {
    TLightTimerHandler* Handler = TLightTimerHandler::Current();
    if (!Handler || !FRunning) return false;
    FRunning = false;
    bool Killed = KillTimer(static_cast<HWND>(Handler->FWindow), FId) != 0;
    if (Killed && Handler->FActiveTimers > 0) --Handler->FActiveTimers;
    return Killed;
}

bool TLightTimer::Start() {
    if (FInterval == 0) return false;
    if (FEnabled) Stop(true);
    TLightTimerHandler& Handler = *TLightTimerHandler::Current();
    if (!SetTimer(static_cast<HWND>(Handler.FWindow), FId, FInterval, nullptr)) return false;
    FRunning = true;
    FEnabled = true;
    CheckedInc(Handler.FActiveTimers);
    return true;
}

bool TLightTimer::Stop(bool ClearEnabled) {
    if (ClearEnabled) FEnabled = false;
    return KillWindowsTimer();
}

void TLightTimer::SetEnabled(bool Value) {
    if (Value)
        Start();
    else
        Stop(true);
}

void TLightTimer::SetInterval(uint32_t Value) {
    if (Value == FInterval) return;
    FInterval = Value;
    if (!FEnabled) return;
    if (Value != 0)
        Start();
    else
        KillWindowsTimer();
}

void TLightTimer::SetOnTimer(TNotifyEvent Value) {
    FOnTimer = std::move(Value);
    if (!FOnTimer && FEnabled) KillWindowsTimer();
}

void TLightTimer::Tick() {
    if (FAutoDisable) Stop(true);
    if (FOnTimer) {
        // The handler may free this timer; keep the callback alive on the stack.
        TNotifyEvent Handler = FOnTimer;
        Handler(this);
    }
}
