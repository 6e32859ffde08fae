// The exception barrier for callbacks.
#include "tray/MvCallbackGuard.h"

#include "gui/Application.h"

namespace {

TGuardedExceptionHandler& GuardedHandler() {
    static TGuardedExceptionHandler Handler;
    return Handler;
}

} // namespace

TGuardedExceptionHandler SetGuardedExceptionHandler(TGuardedExceptionHandler Handler) {
    TGuardedExceptionHandler Previous = std::move(GuardedHandler());
    GuardedHandler() = std::move(Handler);
    return Previous;
}

bool RunGuarded(const std::function<void()>& Body) noexcept {
    try {
        Body();
        return true;
    } catch (...) {
        try {
            if (GuardedHandler()) GuardedHandler()(std::current_exception());
        } catch (...) {
            // A failing report must not take the process down with it.
        }
        return false;
    }
}
