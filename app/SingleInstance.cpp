// The single-instance mutex.
#include "app/SingleInstance.h"

TSingleInstance::TSingleInstance(const char* Name) {
    FMutex = CreateMutexA(nullptr, TRUE, Name);
    // Without a handle the start goes on: one instance too many is better than none.
    FAlreadyRunning = FMutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

TSingleInstance::~TSingleInstance() {
    if (FMutex == nullptr) return;
    if (!FAlreadyRunning) ReleaseMutex(FMutex);
    CloseHandle(FMutex);
}
