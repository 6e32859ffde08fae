// What the Win32 benchmarks that drive the program's windows share.
#pragma once

#include <windows.h>

#include <map>
#include <string>

// The folder of the running benchmark executable (the program folder), without a delimiter.
std::string ExeFolder();
// Dispatches the messages waiting in this thread's queue.
void Pump();
// Copies a file and flushes the copy to disk, or ends the benchmark with a message: a benchmark
// on a missing or half-written database measures nothing.
void CopyOrDie(const std::string& From, const std::string& To);
// Runs one session of a benchmark in a process of its own, on a fresh copy of Database in
// Folder\RunName: "Folder\Exe --session <run folder> Argument <out file>", as the program starts
// with nothing of the last session cached. The "field value" pairs the session wrote to its out
// file, or an empty map when it failed.
std::map<std::string, double> RunSessionProcess(const std::string& Folder, const std::string& Exe,
                                                const std::string& RunName, const std::string& Database,
                                                const std::string& Argument);

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

// Waits until Done() holds, pumping messages (at most two minutes). Between messages it sleeps up
// to IdleMs, as the program's own loop would wait for the next one.
template <typename F> bool PumpUntil(F Done, DWORD IdleMs = 5) {
    const TStopwatch Watch;
    while (!Done()) {
        if (Watch.Ms() > 120000) return false;
        Pump();
        if (!Done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, IdleMs, QS_ALLINPUT);
    }
    return true;
}
