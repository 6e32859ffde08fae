// TDamageCheck: looks through a whole notes file for damage on a thread of its own, over a
// second, read-only connection, while the program goes on with the first.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

struct sqlite3;

// SQLite's quick check reads every page of the file: every table and index, every overflow chain,
// the list of free pages. For a notebook of 100,000 notes that is half a second from a warm file,
// several seconds under Wine or from a cold disk: far too long for start-up, which reads only the
// few pages it needs. So the check runs
// beside the program, on a thread with a connection of its own (SQLite is built thread-safe; each
// connection stays on its thread).
//
// A reader keeps a commit from finishing, so the program's commits hold the check back (THold):
// a running check stops at once and starts over once the file has been quiet for a moment. A
// file that another program holds (a lock, or a file opened without sharing) is tried again later.
class TDamageCheck {
public:
    enum class TOutcome {
        Running,   // not finished yet (waiting for a commit or another program included)
        Sound,     // no damage found
        Damaged,   // SQLite reported damage; Details() says what
        NotChecked // the file could not be read through (Details() says why): no verdict
    };

    // How long the file must be quiet (no commit) before an interrupted check starts over, and how
    // long to wait before trying again a file another program holds. Read each time they apply.
    static std::chrono::milliseconds RestartAfter;
    static std::chrono::milliseconds RetryHeldFileAfter;

    // Starts checking the file (a UTF-8 name as SQLite takes it). damaged is called on the check's
    // thread the moment damage is found, before Outcome() says so; it must not throw.
    TDamageCheck(std::string utf8FileName, std::function<void()> damaged);
    // Stops a running check (SQLite interrupts it within a few pages) and waits for the thread.
    ~TDamageCheck();
    TDamageCheck(const TDamageCheck&) = delete;
    TDamageCheck& operator=(const TDamageCheck&) = delete;

    TOutcome Outcome() const;
    // SQLite's first findings (Damaged) or why the file could not be checked (NotChecked).
    std::string Details() const;

    // While one lives, the check reads nothing; constructing it stops a running check first.
    class THold {
    public:
        explicit THold(TDamageCheck* check); // nullptr holds nothing
        ~THold();
        THold(const THold&) = delete;
        THold& operator=(const THold&) = delete;

    private:
        TDamageCheck* check_;
    };

private:
    struct TRun;
    void Run();
    TRun CheckOnce();
    // Interrupts the run in progress until it has let go of the file. Called with the lock held.
    void StopReading(std::unique_lock<std::mutex>& lock);
    void Hold();
    void Release();

    const std::string fileName_;
    const std::function<void()> damaged_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    TOutcome outcome_ = TOutcome::Running;
    std::string details_;
    bool stopping_ = false;
    int holds_ = 0;
    bool interrupted_ = false;   // the run in progress was stopped: its findings mean nothing
    sqlite3* reading_ = nullptr; // the connection of the run in progress
    bool inRun_ = false;         // a run has the file open (reading_ is set once it is)
    std::chrono::steady_clock::time_point startAt_;
    std::thread thread_; // last: it starts once everything above is ready
};
