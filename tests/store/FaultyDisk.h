// A disk that fails on request, under every SQLite connection opened while it lives: the file
// system layer SQLite writes through reports a full disk, a read-only folder or another program
// holding a file, at the write or the open a test chooses; and how long connections wait for a
// lock.
#pragma once

#include <sqlite3.h>

#include "store/SQLiteAccess.h"

class TFaultyDisk {
public:
    enum class TFile { Database, Journal };

    TFaultyDisk();
    ~TFaultyDisk();
    TFaultyDisk(const TFaultyDisk&) = delete;
    TFaultyDisk& operator=(const TFaultyDisk&) = delete;

    // From now on every write into that kind of file fails with code (SQLITE_FULL,
    // SQLITE_IOERR_WRITE, ...), the system reporting systemError (GetLastError or errno, and
    // the file's own last error, as SQLite's Windows layer keeps one for each file).
    void FailWrites(TFile file, int code, int systemError = 0);
    // From now on a journal cannot be created: SQLITE_CANTOPEN with systemError.
    void FailJournalOpen(int systemError);
    // From now on the notes file opens only for reading, as a read-only file does for an account
    // that Windows holds to the file's attribute.
    void OpenDatabasesReadOnly();
    // The disk works again.
    void Heal();
    // How many writes or opens failed so far.
    int Failures() const;
};

// The system's codes for a file held without sharing or a range of it locked (Windows only), for a
// refused file and for a full disk, as SQLite reports them.
inline constexpr int SharingViolation = 32;
inline constexpr int LockViolation = 33;
#ifdef _WIN32
inline constexpr int AccessDenied = 5;
inline constexpr int DiskFull = 112;
#else
inline constexpr int AccessDenied = 13; // EACCES
inline constexpr int DiskFull = 28;     // ENOSPC
#endif

// How long the connections opened while it lives wait for another program's lock.
class TLockWait {
public:
    explicit TLockWait(int milliseconds) : saved_(TSQLiteDatabase::BusyTimeoutMilliseconds) {
        TSQLiteDatabase::BusyTimeoutMilliseconds = milliseconds;
    }
    ~TLockWait() { TSQLiteDatabase::BusyTimeoutMilliseconds = saved_; }
    TLockWait(const TLockWait&) = delete;
    TLockWait& operator=(const TLockWait&) = delete;

private:
    int saved_;
};
