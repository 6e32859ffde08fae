// TDamageCheck: looks through a whole notes file for damage on a thread of its own, over a
// second, read-only connection, while the program goes on with the first.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
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
//
// The check's reads slow the program's own (under Wine a search of the finder at 100,000 notes
// took half as long again), so before each page it reads the check gives way to the program's
// connection: it waits while a statement of the program runs and until the connection has been
// quiet for QuietFor. It follows those statements through SQLite's trace hook of that connection,
// and reads each page through a file layer of its own: the quick check reads a whole table in one
// step of SQLite's, which a progress handler never interrupts.
//
// Giving way has a budget over the whole run, not only per wait: a program that reads a little
// every 60 ms is never quiet for long, and a check that waited for each of those reads would read
// only in what is left of the gaps (more than ten times as long as at idle). So in all, a run
// waits at most as long as it has read, plus LongestWait: a run takes at most about twice its
// reading plus one LongestWait, whatever the program does, and a short burst of the program's
// reads (a search) still finds the budget the reading in between has earned. A wait the budget
// cuts short lets the check read on for QuietFor before it gives way again.
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
    // How long the program's connection must have run no statement before the check reads on, and
    // the longest the check waits for that at a time, which is also how much longer than it has
    // read a run may have waited in all: a program that never stops reading still gets its check.
    static std::chrono::milliseconds QuietFor;
    static std::chrono::milliseconds LongestWait;

    // Starts checking the file (a UTF-8 name as SQLite takes it). damaged is called on the check's
    // thread the moment damage is found, before Outcome() says so; it must not throw. program is
    // the program's own connection to the file, whose statements the check gives way to (nullptr:
    // none); the check then holds its trace hook, so construct and destroy it on that
    // connection's thread, and let it go before the connection closes.
    TDamageCheck(std::string utf8FileName, std::function<void()> damaged, sqlite3* program = nullptr);
    // Stops a running check (SQLite interrupts it within a few pages) and waits for the thread.
    ~TDamageCheck();
    TDamageCheck(const TDamageCheck&) = delete;
    TDamageCheck& operator=(const TDamageCheck&) = delete;

    TOutcome Outcome() const;
    // SQLite's first findings (Damaged) or why the file could not be checked (NotChecked).
    std::string Details() const;
    // The pages the run in progress has read (none while no run is in progress): how far it got,
    // and whether it reads. A stopped run starts over from none.
    uint64_t PagesRead() const { return pagesRead_.load(std::memory_order_relaxed); }

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
    struct TReads; // the file layer and the trace hook
    void Run();
    TRun CheckOnce();
    // Interrupts the run in progress until it has let go of the file. Called with the lock held.
    void StopReading(std::unique_lock<std::mutex>& lock);
    void Hold();
    void Release();
    // Before each page the check reads: waits while the program's connection is busy, then counts
    // the page.
    void GiveWay();
    void WaitForQuiet();
    bool ProgramBusy(std::chrono::steady_clock::time_point now) const;

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
    std::atomic<uint64_t> pagesRead_ = 0;

    // What the trace hook on the program's thread tells the check's thread: the statements running
    // and when the last one ended, and a count of both that moves with every statement.
    sqlite3* const program_;
    std::atomic<int> programStatements_ = 0;
    std::atomic<std::chrono::steady_clock::rep> programEnded_ = 0;
    std::atomic<uint64_t> programEvents_ = 0;
    // The check's thread's own: the count at which the program was last found quiet, until when it
    // reads on after a wait cut short, and when the run in progress began and how long it waited.
    uint64_t quietAt_ = 0;
    std::chrono::steady_clock::time_point readOnUntil_;
    std::chrono::steady_clock::time_point runBegan_;
    std::chrono::steady_clock::duration waited_{};

    std::thread thread_; // last: it starts once everything above is ready
};
