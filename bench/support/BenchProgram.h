// What the Win32 benchmarks that drive the program's windows share.
#pragma once

#include <windows.h>

#include <string>

// The folder of the running benchmark executable (the program folder), without a delimiter.
std::string ExeFolder();
// Dispatches the messages waiting in this thread's queue.
void Pump();
// Copies a file and flushes the copy to disk, or ends the benchmark with a message: a benchmark
// on a missing or half-written database measures nothing.
void CopyOrDie(const std::string& From, const std::string& To);

// Time since construction, from the performance counter.
class TStopwatch {
public:
    TStopwatch() {
        QueryPerformanceFrequency(&FFrequency);
        QueryPerformanceCounter(&FStart);
    }
    double Seconds() const {
        LARGE_INTEGER Now;
        QueryPerformanceCounter(&Now);
        return double(Now.QuadPart - FStart.QuadPart) / double(FFrequency.QuadPart);
    }
    double Ms() const { return Seconds() * 1e3; }

private:
    LARGE_INTEGER FFrequency{}, FStart{};
};
