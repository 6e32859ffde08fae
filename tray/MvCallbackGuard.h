// Runs event handlers that are called from a window procedure, a timer tick or
// across a module boundary: no C++ exception may leave them, so whatever they
// raise is handed to the exception handler here instead.
#pragma once

#include <exception>
#include <functional>

using TGuardedExceptionHandler = std::function<void(std::exception_ptr)>;

// The handler that receives what a guarded call raised; without one the
// application object's HandleException reports it (message box and log).
// Returns the previous handler.
TGuardedExceptionHandler SetGuardedExceptionHandler(TGuardedExceptionHandler Handler);

// Calls Body; an exception it raises goes to the handler. True when Body
// returned normally.
bool RunGuarded(const std::function<void()>& Body) noexcept;
