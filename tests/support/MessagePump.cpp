#include "tests/support/MessagePump.h"

#include <windows.h>

bool PumpUntil(const std::function<bool()>& Done, unsigned TimeoutMs) {
    DWORD Start = GetTickCount();
    while (!Done()) {
        if (GetTickCount() - Start >= TimeoutMs) return Done();
        MSG Msg;
        while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&Msg);
            DispatchMessageA(&Msg);
            if (Done()) return true;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

void PumpFor(unsigned DurationMs) {
    PumpUntil([] { return false; }, DurationMs);
}
