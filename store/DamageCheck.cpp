// Looking through a whole notes file for damage beside the program.
#include "store/DamageCheck.h"

#include <algorithm>

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

} // namespace

std::chrono::milliseconds TDamageCheck::RestartAfter{2000};
std::chrono::milliseconds TDamageCheck::RetryHeldFileAfter{10000};

struct TDamageCheck::TRun {
    TOutcome Outcome = TOutcome::NotChecked;
    std::string Details;
    bool Held = false; // another program held the file: try again later
};

TDamageCheck::TDamageCheck(std::string utf8FileName, std::function<void()> damaged)
    : fileName_(std::move(utf8FileName)), damaged_(std::move(damaged)), startAt_(Clock::now()),
      thread_([this] { Run(); }) {}

TDamageCheck::~TDamageCheck() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
        StopReading(lock);
    }
    thread_.join();
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
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(fileName_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
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
