// Looking through a whole notes file for damage beside the program.
#include "store/DamageCheck.h"

#include <algorithm>
#include <cstddef>

#include <sqlite3.h>

#include "store/SQLiteAccess.h"

namespace {

using Clock = std::chrono::steady_clock;

// SQLite stops listing damage after this many findings; the first few say enough.
constexpr const char* QuickCheck = "PRAGMA quick_check(10);";
constexpr size_t MostDetails = 1000;

bool IsDamage(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// SQLite lists each finding on a line of its own; the log takes them on one.
void AddFinding(std::string& details, const char* text) {
    if (!text || details.size() >= MostDetails) return;
    for (const char* c = text; *c && details.size() < MostDetails; ++c)
        details += *c == '\n' || *c == '\r' ? ' ' : *c;
    details += "; ";
}

// The check whose run this thread is in: its reads give way to the program.
thread_local TDamageCheck* readingCheck = nullptr;

// While statements run, how often a waiting check looks again (each look wakes its thread).
constexpr std::chrono::milliseconds LookAgainAfter{5};

} // namespace

std::chrono::milliseconds TDamageCheck::RestartAfter{2000};
std::chrono::milliseconds TDamageCheck::RetryHeldFileAfter{10000};
std::chrono::milliseconds TDamageCheck::QuietFor{50};
std::chrono::milliseconds TDamageCheck::LongestWait{1000};

// The check's connection opens its file through a file layer of its own ("mv-damage-check"): the
// one SQLite used by default when the first check ran (the program never changes it), with each
// read first giving way to the program. SQLite gives each file the space
// the layer asks for; the platform's file comes first in it, so every other call goes to the
// platform unchanged, and after it comes a copy of the platform's calls with the read replaced.
struct TDamageCheck::TReads {
    struct TFileCalls {
        sqlite3_io_methods Calls;
        const sqlite3_io_methods* Platform;
    };
    static constexpr const char* LayerName = "mv-damage-check";
    static inline sqlite3_vfs* platform = nullptr;
    static inline sqlite3_vfs layer{};
    static inline int callsAt = 0; // where TFileCalls starts in a file's space

    static const char* Layer() {
        static const bool registered = [] {
            platform = sqlite3_vfs_find(nullptr);
            if (!platform) return false;
            layer = *platform;
            layer.pNext = nullptr;
            layer.zName = LayerName;
            const int align = alignof(TFileCalls);
            callsAt = (platform->szOsFile + align - 1) / align * align;
            layer.szOsFile = callsAt + static_cast<int>(sizeof(TFileCalls));
            layer.xOpen = &Open;
            return sqlite3_vfs_register(&layer, 0) == SQLITE_OK;
        }();
        return registered ? LayerName : nullptr;
    }

    static TFileCalls& CallsOf(sqlite3_file* file) {
        return *reinterpret_cast<TFileCalls*>(reinterpret_cast<char*>(file) + callsAt);
    }

    static int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
        const int rc = platform->xOpen(platform, name, file, flags, outFlags);
        if (file->pMethods) {
            TFileCalls& calls = CallsOf(file);
            calls.Platform = file->pMethods;
            calls.Calls = *file->pMethods;
            calls.Calls.xRead = &Read;
            file->pMethods = &calls.Calls;
        }
        return rc;
    }

    static int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
        if (readingCheck) readingCheck->GiveWay();
        return CallsOf(file).Platform->xRead(file, buffer, amount, offset);
    }

    // On the program's thread: a statement begins or ends (its profile is reported at its reset).
    static int Traced(unsigned event, void* context, void*, void* text) {
        auto& check = *static_cast<TDamageCheck*>(context);
        const int running = check.programStatements_.load(std::memory_order_relaxed);
        if (event == SQLITE_TRACE_STMT) {
            // A trigger's program is told as a comment within its statement's run.
            const auto* sql = static_cast<const char*>(text);
            if (sql && sql[0] == '-' && sql[1] == '-') return 0;
            check.programStatements_.store(running + 1, std::memory_order_relaxed);
        } else {
            check.programEnded_.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
            // A statement that began before the hook ends without having been counted.
            if (running > 0) check.programStatements_.store(running - 1, std::memory_order_relaxed);
        }
        check.programEvents_.fetch_add(1, std::memory_order_release);
        return 0;
    }
};

struct TDamageCheck::TRun {
    TOutcome Outcome = TOutcome::NotChecked;
    std::string Details;
    bool Held = false; // another program held the file: try again later
};

TDamageCheck::TDamageCheck(std::string utf8FileName, std::function<void()> damaged, sqlite3* program)
    : fileName_(std::move(utf8FileName)), damaged_(std::move(damaged)), startAt_(Clock::now()),
      program_(program), thread_([this] { Run(); }) {
    if (program_) sqlite3_trace_v2(program_, SQLITE_TRACE_STMT | SQLITE_TRACE_PROFILE, &TReads::Traced, this);
}

TDamageCheck::~TDamageCheck() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
        StopReading(lock);
    }
    thread_.join();
    if (program_) sqlite3_trace_v2(program_, 0, nullptr, nullptr);
}

TDamageCheck::TOutcome TDamageCheck::Outcome() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return outcome_;
}

std::string TDamageCheck::Details() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return details_;
}

void TDamageCheck::StopReading(std::unique_lock<std::mutex>& lock) {
    while (inRun_) {
        interrupted_ = true;
        changed_.notify_all(); // a check that gives way wakes to stop
        // Again and again: SQLite forgets an interruption that comes before its statement starts.
        if (reading_) sqlite3_interrupt(reading_);
        changed_.wait_for(lock, std::chrono::milliseconds(5));
    }
}

void TDamageCheck::Hold() {
    std::unique_lock<std::mutex> lock(mutex_);
    ++holds_;
    StopReading(lock);
}

void TDamageCheck::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    --holds_;
    startAt_ = std::max(startAt_, Clock::now() + RestartAfter);
    changed_.notify_all();
}

bool TDamageCheck::ProgramBusy(Clock::time_point now) const {
    if (programStatements_.load(std::memory_order_relaxed) > 0) return true;
    const Clock::time_point ended{Clock::duration(programEnded_.load(std::memory_order_relaxed))};
    return now - ended < QuietFor;
}

void TDamageCheck::GiveWay() {
    WaitForQuiet();
    pagesRead_.fetch_add(1, std::memory_order_relaxed);
}

void TDamageCheck::WaitForQuiet() {
    if (!program_) return;
    // Nothing since the program was last found quiet: most pages stop here.
    uint64_t events = programEvents_.load(std::memory_order_acquire);
    if (events == quietAt_) return;
    Clock::time_point now = Clock::now();
    if (now < readOnUntil_) return;
    // The budget: the run's waits add up to no more than its reading (the rest of its time) plus
    // LongestWait.
    const Clock::time_point began = now;
    const Clock::duration read = now - runBegan_ - waited_;
    const Clock::duration longest = LongestWait;
    const Clock::time_point waitUntil = now + std::min(longest, read + longest - waited_);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (!ProgramBusy(now)) {
            quietAt_ = events;
            break;
        }
        if (interrupted_ || stopping_) break;
        if (now >= waitUntil) {
            readOnUntil_ = now + QuietFor;
            break;
        }
        const Clock::time_point ended{Clock::duration(programEnded_.load(std::memory_order_relaxed))};
        const bool running = programStatements_.load(std::memory_order_relaxed) > 0;
        changed_.wait_until(lock, std::min(running ? now + LookAgainAfter : ended + QuietFor, waitUntil));
        events = programEvents_.load(std::memory_order_acquire);
        now = Clock::now();
    }
    waited_ += now - began;
}

TDamageCheck::THold::THold(TDamageCheck* check) : check_(check) {
    if (check_) check_->Hold();
}

TDamageCheck::THold::~THold() {
    if (check_) check_->Release();
}

void TDamageCheck::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        while (!stopping_ && (holds_ > 0 || Clock::now() < startAt_)) {
            if (holds_ > 0)
                changed_.wait(lock);
            else
                changed_.wait_until(lock, startAt_);
        }
        if (stopping_) return;
        inRun_ = true;
        interrupted_ = false;
        lock.unlock();
        TRun run = CheckOnce();
        lock.lock();
        inRun_ = false;
        pagesRead_ = 0;
        changed_.notify_all();
        if (stopping_) return;
        if (interrupted_) continue; // Release set when to start over
        if (run.Held) {
            startAt_ = Clock::now() + RetryHeldFileAfter;
            continue;
        }
        if (run.Outcome == TOutcome::Damaged) {
            lock.unlock();
            damaged_();
            lock.lock();
        }
        outcome_ = run.Outcome;
        details_ = std::move(run.Details);
        return;
    }
}

TDamageCheck::TRun TDamageCheck::CheckOnce() {
    TRun run;
    readingCheck = this;
    runBegan_ = Clock::now();
    waited_ = {};
    readOnUntil_ = {};
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(fileName_.c_str(), &db, SQLITE_OPEN_READONLY, TReads::Layer());
    if (rc == SQLITE_OK) {
        std::lock_guard<std::mutex> lock(mutex_);
        reading_ = db;
    }
    sqlite3_stmt* statement = nullptr;
    if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db, QuickCheck, -1, &statement, nullptr);
    // A sound file gives the one row "ok"; a damaged one a row per finding.
    bool firstIsOk = false;
    int findings = 0;
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(statement);
        if (rc != SQLITE_ROW) break;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        if (findings++ == 0 && text && std::string(text) == "ok")
            firstIsOk = true;
        else
            AddFinding(run.Details, text);
    }
    const int code = db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM;
    const int systemError = db ? sqlite3_system_errno(db) : 0;
    const std::string reason = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_finalize(statement);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        reading_ = nullptr;
    }
    sqlite3_close(db);
    readingCheck = nullptr;

    if (rc == SQLITE_DONE && findings > 0) {
        run.Outcome = firstIsOk && findings == 1 ? TOutcome::Sound : TOutcome::Damaged;
    } else if (IsDamage(code)) {
        run.Outcome = TOutcome::Damaged;
        AddFinding(run.Details, reason.c_str());
    } else if (sqlite_detail::HeldByAnotherProgram(code, systemError)) {
        run.Held = true;
    } else {
        run.Details = reason;
    }
    return run;
}
