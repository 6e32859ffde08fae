// The mouse-leave timer.
#include "labels/MvMouseTimer.h"

#include "gui/WinControl.h"

// Tells the timer when the watched control is destroyed, so that it never
// touches a freed control.
class TMvMouseTimerNotify : public TComponent {
public:
    explicit TMvMouseTimerNotify(TMvMouseTimer& Owner) : TComponent(nullptr), FOwner(Owner) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        // Compared by address: while a component is destroyed its derived parts
        // are already gone, so a cast to TControl would no longer find it.
        if (Operation != TOperation::opRemove || !FOwner.Control()) return;
        if (static_cast<TComponent*>(FOwner.Control()) == AComponent) FOwner.Detach(FOwner.Control());
    }

private:
    TMvMouseTimer& FOwner;
};

namespace {

std::unique_ptr<TMvMouseTimer>& Instance() {
    static std::unique_ptr<TMvMouseTimer> Timer;
    return Timer;
}

} // namespace

TMvMouseTimer::TMvMouseTimer() : FTimer(std::make_unique<TTimer>(nullptr)) {
    FTimer->SetEnabled(false);
    FTimer->SetInterval(200);
    FTimer->SetOnTimer([this](TObject*) { TimerTick(); });
}

TMvMouseTimer::~TMvMouseTimer() {
    if (FControl && FNotifier) FControl->RemoveFreeNotification(FNotifier.get());
    FControl = nullptr;
}

void TMvMouseTimer::Attach(TControl* Control) {
    FTimer->SetEnabled(false);
    if (FControl) {
        TControl* Previous = FControl;
        FControl = nullptr;
        try {
            if (FNotifier) Previous->RemoveFreeNotification(FNotifier.get());
            Previous->Perform(CM_MOUSELEAVE, 0, 0);
        } catch (...) {
            // The previous control's own failure must not stop the new watch.
        }
    }
    FControl = Control;
    if (!Control) return;
    if (!FNotifier) FNotifier = std::make_unique<TMvMouseTimerNotify>(*this);
    Control->FreeNotification(FNotifier.get());
    FTimer->SetEnabled(true);
}

void TMvMouseTimer::Detach(TControl* Control) {
    if (!Control || Control != FControl) return;
    FTimer->SetEnabled(false);
    if (FNotifier) Control->RemoveFreeNotification(FNotifier.get());
    FControl = nullptr;
}

void TMvMouseTimer::TimerTick() {
    if (!FControl) {
        FTimer->SetEnabled(false);
        return;
    }
    try {
        RECT Bounds = FControl->BoundsRect();
        if (TWinControl* Parent = FControl->Parent()) {
            const POINT Origin = Parent->ClientOrigin();
            OffsetRect(&Bounds, Origin.x, Origin.y);
        }
        POINT Cursor{};
        GetCursorPos(&Cursor);
        if (!PtInRect(&Bounds, Cursor)) FControl->Perform(CM_MOUSELEAVE, 0, 0);
    } catch (...) {
        Detach(FControl);
    }
}

TMvMouseTimer& MouseLeaveTimer() {
    if (!Instance()) Instance() = std::make_unique<TMvMouseTimer>();
    return *Instance();
}

bool MouseLeaveTimerExists() {
    return Instance() != nullptr;
}

void ReleaseMouseLeaveTimer() {
    Instance().reset();
}
