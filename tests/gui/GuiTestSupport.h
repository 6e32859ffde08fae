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
};
