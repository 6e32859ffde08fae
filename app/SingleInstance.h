// The single-instance mutex: held for the life of the object, released and
// closed when it goes.
#pragma once

#include <windows.h>

class TSingleInstance {
public:
    explicit TSingleInstance(const char* Name);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // True when another process already holds the mutex.
    bool AlreadyRunning() const { return FAlreadyRunning; }

private:
    HANDLE FMutex = nullptr;
    bool FAlreadyRunning = false;
};
