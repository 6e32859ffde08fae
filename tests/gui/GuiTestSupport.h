// Shared helpers for the gui tests: application set-up and a message pump with a deadline.
#pragma once

#include "gui/Forms.h"

#include "base/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Application->OnException = nullptr;
        Application->OnExceptionLog = nullptr;
    }
    // Runs messages until the condition holds or the time is up.
    static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
        DWORD start = GetTickCount();
        while (!done()) {
            Application->ProcessMessages();
            if (GetTickCount() - start > timeoutMs) return false;
            Sleep(5);
        }
        return true;
    }
    // A click of the real mouse (through the system's input queue) at a
    // point of the screen; the messages it makes are run before it returns.
    static void MouseClick(POINT screen) {
        SetCursorPos(screen.x, screen.y);
        INPUT input[2]{};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
        // Run until the input has been taken and both messages handled.
        const DWORD start = GetTickCount();
        while (GetQueueStatus(QS_MOUSEBUTTON) != 0 && GetTickCount() - start < 3000) {
            Application->ProcessMessages();
            Sleep(1);
        }
        Application->ProcessMessages();
    }
};
