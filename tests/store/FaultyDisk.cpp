// A shim over the default SQLite file system layer that fails writes and opens on request.
#include "tests/store/FaultyDisk.h"

#include <atomic>
#include <cstring>

namespace {

// Atomic: a test may heal the disk from another thread while a connection waits on it.
struct TFault {
    std::atomic<bool> failDatabaseWrites = false;
    std::atomic<bool> failJournalWrites = false;
    std::atomic<int> writeCode = SQLITE_OK;
    std::atomic<bool> failJournalOpen = false;
    std::atomic<bool> readOnlyDatabases = false;
    std::atomic<int> systemError = 0;
    std::atomic<int> failures = 0;
    std::atomic<bool> lastFailed = false;
};

TFault fault;
sqlite3_vfs* baseVfs = nullptr;
sqlite3_vfs shimVfs{};

// Our file: the methods below, then the real file right behind it.
struct TShimFile {
    sqlite3_file base;
    bool journal;
    // As the platform keeps a file's last error: set by a failure, left alone by the calls that
    // succeed after it. Ours while the last failure was made up here, else the real file's.
    bool madeUpFailure;
    int lastError;
    sqlite3_file* Real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

TShimFile* Shim(sqlite3_file* file) {
    return reinterpret_cast<TShimFile*>(file);
}

int Fail(int code) {
    ++fault.failures;
    fault.lastFailed = true;
    return code;
}

int Fail(sqlite3_file* f, int code) {
    Shim(f)->madeUpFailure = true;
    Shim(f)->lastError = fault.systemError;
    return Fail(code);
}

// What the real file answered; a failure of its own makes its error the file's last again.
int Passed(sqlite3_file* f, int rc) {
    if (rc != SQLITE_OK && rc != SQLITE_IOERR_SHORT_READ) Shim(f)->madeUpFailure = false;
    return rc;
}

int Close(sqlite3_file* f) {
    return Shim(f)->Real()->pMethods->xClose(Shim(f)->Real());
}
int Read(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    return Passed(f, Shim(f)->Real()->pMethods->xRead(Shim(f)->Real(), buffer, amount, offset));
}
int Write(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    const bool fails = Shim(f)->journal ? fault.failJournalWrites : fault.failDatabaseWrites;
    if (fails) return Fail(f, fault.writeCode);
    return Passed(f, Shim(f)->Real()->pMethods->xWrite(Shim(f)->Real(), buffer, amount, offset));
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    return Passed(f, Shim(f)->Real()->pMethods->xTruncate(Shim(f)->Real(), size));
}
int Sync(sqlite3_file* f, int flags) {
    return Passed(f, Shim(f)->Real()->pMethods->xSync(Shim(f)->Real(), flags));
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Shim(f)->Real()->pMethods->xFileSize(Shim(f)->Real(), size);
}
int Lock(sqlite3_file* f, int level) {
    return Shim(f)->Real()->pMethods->xLock(Shim(f)->Real(), level);
}
int Unlock(sqlite3_file* f, int level) {
    return Shim(f)->Real()->pMethods->xUnlock(Shim(f)->Real(), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Shim(f)->Real()->pMethods->xCheckReservedLock(Shim(f)->Real(), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
    if (op == SQLITE_FCNTL_LAST_ERRNO && Shim(f)->madeUpFailure) {
        *static_cast<int*>(arg) = Shim(f)->lastError;
        return SQLITE_OK;
    }
    return Shim(f)->Real()->pMethods->xFileControl(Shim(f)->Real(), op, arg);
}
int SectorSize(sqlite3_file* f) {
    return Shim(f)->Real()->pMethods->xSectorSize(Shim(f)->Real());
}
int DeviceCharacteristics(sqlite3_file* f) {
    return Shim(f)->Real()->pMethods->xDeviceCharacteristics(Shim(f)->Real());
}

// Version 1: no shared memory and no memory mapping, which a rollback journal does not use.
const sqlite3_io_methods shimMethods = {1,
                                        Close,
                                        Read,
                                        Write,
                                        Truncate,
                                        Sync,
                                        FileSize,
                                        Lock,
                                        Unlock,
                                        CheckReservedLock,
                                        FileControl,
                                        SectorSize,
                                        DeviceCharacteristics,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    auto* shim = Shim(file);
    std::memset(shim, 0, sizeof(TShimFile));
    shim->journal = (flags & SQLITE_OPEN_MAIN_JOURNAL) != 0;
    if (shim->journal && fault.failJournalOpen) return Fail(SQLITE_CANTOPEN);
    if ((flags & SQLITE_OPEN_MAIN_DB) && fault.readOnlyDatabases) {
        flags &= ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        flags |= SQLITE_OPEN_READONLY;
    }
    const int rc = baseVfs->xOpen(baseVfs, name, shim->Real(), flags, outFlags);
    // The real file's methods are set even when the open failed; ours only when it has a file.
    if (shim->Real()->pMethods) shim->base.pMethods = &shimMethods;
    return rc;
}

// As Windows' own last error: set by a failure, left alone by the calls that succeed after it.
int GetLastError(sqlite3_vfs*, int size, char* text) {
    if (fault.lastFailed) return fault.systemError;
    return baseVfs->xGetLastError ? baseVfs->xGetLastError(baseVfs, size, text) : 0;
}

} // namespace

TFaultyDisk::TFaultyDisk() {
    Heal();
    fault.failures = 0;
    baseVfs = sqlite3_vfs_find(nullptr);
    shimVfs = *baseVfs;
    shimVfs.zName = "mv-faulty-disk";
    shimVfs.szOsFile = static_cast<int>(sizeof(TShimFile)) + baseVfs->szOsFile;
    shimVfs.xOpen = &Open;
    shimVfs.xGetLastError = &GetLastError;
    sqlite3_vfs_register(&shimVfs, 1);
}

TFaultyDisk::~TFaultyDisk() {
    sqlite3_vfs_unregister(&shimVfs);
    sqlite3_vfs_register(baseVfs, 1);
}

void TFaultyDisk::FailWrites(TFile file, int code, int systemError) {
    (file == TFile::Journal ? fault.failJournalWrites : fault.failDatabaseWrites) = true;
    fault.writeCode = code;
    fault.systemError = systemError;
}

void TFaultyDisk::FailJournalOpen(int systemError) {
    fault.failJournalOpen = true;
    fault.systemError = systemError;
}

void TFaultyDisk::OpenDatabasesReadOnly() {
    fault.readOnlyDatabases = true;
}

void TFaultyDisk::Heal() {
    fault.readOnlyDatabases = false;
    fault.failDatabaseWrites = false;
    fault.failJournalWrites = false;
    fault.failJournalOpen = false;
    fault.systemError = 0;
    fault.lastFailed = false;
}

int TFaultyDisk::Failures() const {
    return fault.failures;
}
