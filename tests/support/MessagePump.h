// Runs the thread's message loop for a while in tests of window-message code.
#pragma once

#include <functional>

// Dispatches messages until Done returns true or TimeoutMs pass; returns Done().
bool PumpUntil(const std::function<bool()>& Done, unsigned TimeoutMs);
// Dispatches messages for DurationMs.
void PumpFor(unsigned DurationMs);
