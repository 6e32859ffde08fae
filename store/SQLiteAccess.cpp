// The SQLite access layer.
#include "store/SQLiteAccess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include <sqlite3.h>

#include "base/FileInfo.h"
#include "base/Streams.h"
#include "base/StrUtils.h"
#include "store/SQLiteFileLayer.h"

#ifdef _WIN32
// SQLite's Windows build converts a name from the code page of Windows' "A" file functions (the
// ANSI code page, or the OEM one after SetFileApisToOEM) to UTF-8; its header leaves it out.
extern "C" char* sqlite3_win32_mbcs_to_utf8(const char* text);
#endif

void sqlite_detail::CloseConnection::operator()(sqlite3* handle) const noexcept {
    sqlite3_close(handle);
}

void sqlite_detail::FinalizeStatement::operator()(sqlite3_stmt* statement) const noexcept {
    sqlite3_finalize(statement);
}

// A backup or sync program holds a file for a second or two; a save that waits that long beats one
// that reports a failure the next checkpoint would mend anyway.
int TSQLiteDatabase::BusyTimeoutMilliseconds = 3000;

namespace {

std::string OpenFailure(const std::string& fileName, const std::string& reason) {
    return "Failed to open database \"" + fileName + "\" : " + reason;
}

std::string BusyText(const std::string& fileName) {
    return DatabaseInUseText(fileName);
}

bool IsBusy(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// SQLite reports the system's own error code (GetLastError on Windows, errno elsewhere) for a file
// it could not open or write.
#ifdef _WIN32
// Another process holds the file or its journal without sharing (a backup program, say):
// ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION.
bool IsSharingViolation(int systemError) {
    return systemError == 32 || systemError == 33;
}
// ERROR_ACCESS_DENIED, ERROR_WRITE_PROTECT.
bool IsAccessDenied(int systemError) {
    return systemError == 5 || systemError == 19;
}
// ERROR_HANDLE_DISK_FULL, ERROR_DISK_FULL.
bool IsDiskFull(int systemError) {
    return systemError == 39 || systemError == 112;
}
#else
// Other systems do not refuse a file for being open elsewhere.
bool IsSharingViolation(int) {
    return false;
}
bool IsAccessDenied(int systemError) {
    return systemError == EACCES || systemError == EPERM || systemError == EROFS;
}
bool IsDiskFull(int systemError) {
    return systemError == ENOSPC || systemError == EDQUOT;
}
#endif

// The failures that come from a file call the system refused: an I/O error or a file that could not
// be opened. Only for these does the system's error tell why.
bool SetsSystemError(int code) {
    const int primary = code & 0xFF;
    return (primary == SQLITE_IOERR && code != SQLITE_IOERR_NOMEM) || primary == SQLITE_CANTOPEN;
}

bool IsDamage(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// The folder part of a path as the user gave it: the text before its last separator.
std::string FolderOf(const std::string& fileName) {
    const size_t slash = fileName.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    if (slash == 0 || (slash == 2 && fileName[1] == ':')) return fileName.substr(0, slash + 1);
    return fileName.substr(0, slash);
}

std::string ReadOnlyFileText(const std::string& fileName) {
    return "The notes file \"" + fileName +
           "\" is read-only, so Miravelund could not write to it. Clear the Read-only box in the file's "
           "Properties, or ask for permission to change the file.";
}

std::string ReadOnlyFolderText(const std::string& fileName) {
    return "The folder \"" + FolderOf(fileName) +
           "\" does not let Miravelund create the journal file it writes beside the notes file \"" +
           fileName +
           "\", so nothing could be written. Ask for permission to change that folder, or move the notes "
           "file to a folder of your own.";
}

std::string DiskFullText(const std::string& fileName) {
    return "The disk that holds the notes file \"" + fileName +
           "\" is full, so Miravelund could not write to the file. Free some space on that disk.";
}

std::string DiskErrorText(const std::string& fileName, int code, const std::string& reason) {
    const bool reading = code == SQLITE_IOERR_READ || code == SQLITE_IOERR_SHORT_READ;
    std::string text = std::string("The disk reported an error while Miravelund ") +
                       (reading ? "read" : "wrote") + " the notes file \"" + fileName + "\" (" + reason +
                       ").";
    if (OnRemovableOrNetworkDrive(fileName))
        text += " If the file is on a removable or network drive, make sure the drive is connected.";
    return text;
}

// What an I/O error (or a file that would not open) meant; Unexplained for every other failure.
enum class TFileFailure { Held, ReadOnlyFile, ReadOnlyFolder, DiskFull, Unexplained };

// A failure that did not come from a system call carries no system error, so the file and its
// folder are looked at first: what they refuse now is what the write met. A journal that could not
// be made needed the folder: on a read-only volume the file refuses too, but the folder is what
// the write asked for (a file with the Read-only attribute in a folder that takes new files is
// still told as the file).
TFileFailure WriteFailureOf(const std::string& fileName, int code, int systemError) {
    const std::string folder = FolderOf(fileName);
    const bool journalRefused = (code & 0xFF) == SQLITE_CANTOPEN;
    if (journalRefused && FolderWriteAccess(folder) == TWriteAccess::ReadOnly)
        return TFileFailure::ReadOnlyFolder;
    switch (FileWriteAccess(fileName)) {
    case TWriteAccess::ReadOnly:
        return TFileFailure::ReadOnlyFile;
    case TWriteAccess::Held:
        return TFileFailure::Held;
    default:
        break;
    }
    if (!journalRefused && FolderWriteAccess(folder) == TWriteAccess::ReadOnly)
        return TFileFailure::ReadOnlyFolder;
    if (FreeSpace(folder) == 0 || IsDiskFull(systemError)) return TFileFailure::DiskFull;
    if (IsSharingViolation(systemError)) return TFileFailure::Held;
    // A write opens the journal beside the file: the folder refused it.
    if ((code & 0xFF) == SQLITE_CANTOPEN && (IsAccessDenied(systemError) || systemError == 0))
        return TFileFailure::ReadOnlyFolder;
    return TFileFailure::Unexplained;
}

TFileFailure FileFailureOf(const std::string& fileName, int code, int systemError) {
    if (!SetsSystemError(code)) return TFileFailure::Unexplained;
    if (code == SQLITE_IOERR_READ || code == SQLITE_IOERR_SHORT_READ)
        return IsSharingViolation(systemError) ? TFileFailure::Held : TFileFailure::Unexplained;
    return WriteFailureOf(fileName, code, systemError);
}

// The plain words for a write the file refused, or "" for a failure that is not the file's. A file
// held by another program is told by the caller.
std::string NotWrittenText(const std::string& fileName, int code, TFileFailure failure,
                           const std::string& reason) {
    switch (code & 0xFF) {
    case SQLITE_FULL:
        return DiskFullText(fileName);
    case SQLITE_READONLY:
    case SQLITE_PERM:
        // SQLite's own word for a journal the folder refused.
        if (code == SQLITE_READONLY_DIRECTORY) return ReadOnlyFolderText(fileName);
        return ReadOnlyFileText(fileName);
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        if (code == SQLITE_IOERR_NOMEM) return {};
        switch (failure) {
        case TFileFailure::ReadOnlyFile:
            return ReadOnlyFileText(fileName);
        case TFileFailure::ReadOnlyFolder:
            return ReadOnlyFolderText(fileName);
        case TFileFailure::DiskFull:
            return DiskFullText(fileName);
        default:
            return DiskErrorText(fileName, code, reason);
        }
    default:
        return {};
    }
}

// Resets a kept statement and drops its bindings (they point at the caller's memory) when the call
// that bound it ends, whichever way it ends.
class TBoundStatement {
public:
    explicit TBoundStatement(sqlite3_stmt* statement) : statement_(statement) {}
    ~TBoundStatement() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    TBoundStatement(const TBoundStatement&) = delete;
    TBoundStatement& operator=(const TBoundStatement&) = delete;
    sqlite3_stmt* get() const { return statement_; }

private:
    sqlite3_stmt* statement_;
};

} // namespace

// SQLite reads a file name as UTF-8; the program's names are in the code page that every other file
// function of the program reads them in (on Windows the "A" functions and the C runtime's).
// Converted here, SQLite opens the file they do, and its journal beside it. Other systems take a
// name's bytes as they are, and so does SQLite there.
std::string SQLiteFileName(const std::string& fileName) {
#ifdef _WIN32
    char* utf8 = sqlite3_win32_mbcs_to_utf8(fileName.c_str());
    if (!utf8) throw ESQLiteException(OpenFailure(fileName, "out of memory"));
    std::string converted(utf8);
    sqlite3_free(utf8);
    return converted;
#else
    return fileName;
#endif
}

bool sqlite_detail::HeldByAnotherProgram(int code, int systemError) {
    return IsBusy(code) || (SetsSystemError(code) && IsSharingViolation(systemError));
}

std::string DatabaseDamagedText(const std::string& fileName) {
    return "The notes file \"" + fileName +
           "\" is damaged: part of it cannot be read. Miravelund writes nothing more into it. Close "
           "Miravelund and restore a copy of the file from a backup.";
}

std::string DatabaseInUseText(const std::string& fileName) {
    return "The notes file \"" + fileName +
           "\" is in use by another program (a backup or sync program, say), so Miravelund could not "
           "read or write it.";
}

TSQLiteDatabase::TSQLiteDatabase(const std::string& fileName) : fileName_(fileName) {
    if (PathInfo(fileName).Kind == TPathKind::Folder)
        throw ESQLiteException(OpenFailure(fileName, "the path is a folder, not a database file"));
    layer_ = std::make_unique<sqlite_detail::TFileLayer>();
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(SQLiteFileName(fileName).c_str(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, layer_->Name());
    handle_.reset(raw);
    if (rc != SQLITE_OK) {
        if (handle_) throw ESQLiteException(OpenFailure(fileName, sqlite3_errmsg(handle_.get())));
        throw ESQLiteException(OpenFailure(fileName, "unknown error"));
    }
    SetBusyTimeout(BusyTimeoutMilliseconds);
    CheckUsable(fileName);
    // Every commit reaches the disk before it returns; the journal stays a rollback journal.
    ExecSQL("PRAGMA SYNCHRONOUS=FULL;");
    // Room for every index page of a large notes file (100,000 topics need about 20 MB of them),
    // so that lookups do not read the same pages from the disk again and again. Pages are only
    // held once read.
    ExecSQL("PRAGMA cache_size = -32768;");
}

// Opening is lazy in SQLite: read the schema now so that a file that is not a database, or one
// we may not write, is refused here rather than by the first statement that touches it.
void TSQLiteDatabase::CheckUsable(const std::string& fileName) {
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(handle_.get(), "SELECT count(*) FROM sqlite_master;", -1, &raw, nullptr);
    TSQLiteStatement statement(raw);
    if (rc == SQLITE_OK && statement) rc = sqlite3_step(statement.get());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        const int code = sqlite3_extended_errcode(handle_.get());
        if (IsBusy(code)) throw EDatabaseBusy(BusyText(fileName));
        // A file without SQLite's header is someone else's, not a damaged one.
        if ((code & 0xFF) == SQLITE_CORRUPT) throw EDatabaseDamaged(DatabaseDamagedText(fileName));
        throw ESQLiteException(OpenFailure(fileName, sqlite3_errmsg(handle_.get())));
    }
    if (sqlite3_db_readonly(handle_.get(), "main") == 1)
        throw EDatabaseNotWritten(ReadOnlyFileText(fileName));
    CheckJournal(fileName);
}

// SQLite keeps its rollback journal as a new file beside the database, created at the first write
// of a transaction. A folder that refuses new files would let the file open and read, and fail the
// first save. So write once now, in a transaction that is rolled back: the journal is created and
// removed again, and the database file is never touched.
void TSQLiteDatabase::CheckJournal(const std::string& fileName) {
    sqlite3* db = handle_.get();
    std::string version = "0";
    {
        auto current = GetTable("PRAGMA user_version;");
        if (current->RowCount() > 0) version = current->FieldAsString(0);
    }
    ExecSQL("BEGIN TRANSACTION;");
    const std::string probe = "PRAGMA user_version = " + version + ";";
    // A writer's lock needs no waiting for here: it already proves the folder takes journals.
    sqlite3_busy_timeout(db, 0);
    const int rc = sqlite3_exec(db, probe.c_str(), nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(db, busyTimeout_);
    const std::string reason = rc == SQLITE_OK ? std::string() : sqlite3_errmsg(db);
    sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
    const int primary = rc & 0xFF;
    // Another connection is writing: its own journal already stands in the folder, and this one
    // meets the busy file at its first write, as any second connection does.
    if (rc == SQLITE_OK || primary == SQLITE_BUSY || primary == SQLITE_LOCKED) return;
    if (primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_PERM)
        throw EDatabaseNotWritten(ReadOnlyFolderText(fileName));
    if (primary == SQLITE_FULL) throw EDatabaseNotWritten(DiskFullText(fileName));
    throw ESQLiteException(OpenFailure(fileName, reason));
}

TSQLiteDatabase::~TSQLiteDatabase() {
    if (!handle_) return;
    if (inTransaction_) sqlite3_exec(handle_.get(), "ROLLBACK;", nullptr, nullptr, nullptr);
    ClearWaitDeadline(); // gives the other connections SQLite's own retries back
}

TSQLiteDatabase::TFailure TSQLiteDatabase::ReadFailure() const {
    TFailure failure;
    if (!handle_) return failure;
    failure.Code = sqlite3_extended_errcode(handle_.get());
    failure.Reason = sqlite3_errmsg(handle_.get());
    // The error of the file call that failed, noted by the connection's file layer. Taken at every
    // failure, the file's or not, so that no later failure tells it again.
    const int systemError = layer_->TakeSystemError();
    if (SetsSystemError(failure.Code)) failure.SystemError = systemError;
    return failure;
}

void TSQLiteDatabase::RaiseError(const std::string& msg, std::string_view sql) const {
    // Read what went wrong before anything else runs on the connection.
    Raise(ReadFailure(), msg, sql);
}

void TSQLiteDatabase::Raise(const TFailure& failure, const std::string& msg, std::string_view sql) const {
    FollowEndedTransaction();
    // The failures of the file itself are told in plain words, without the statement. Damage
    // first: whatever else is told, nothing more may be written into a damaged file.
    if (IsDamage(failure.Code)) {
        damaged_ = true;
        throw EDatabaseDamaged(DatabaseDamagedText(fileName_));
    }
    const TFileFailure cause = FileFailureOf(fileName_, failure.Code, failure.SystemError);
    if (IsBusy(failure.Code) || cause == TFileFailure::Held) throw EDatabaseBusy(BusyText(fileName_));
    const std::string notWritten = NotWrittenText(fileName_, failure.Code, cause, failure.Reason);
    if (!notWritten.empty()) throw EDatabaseNotWritten(notWritten);
    if (failure.Code != SQLITE_OK)
        throw ESQLiteException(msg + " \"" + std::string(sql) + "\" : " + failure.Reason);
    throw ESQLiteException(msg);
}

// Some failures (a full disk, an I/O error, a failed COMMIT) end the transaction in SQLite itself and
// take its writes with them. Whoever wrote in it learns so through TransactionLost; the writes that
// follow go into a new transaction, committed at the next checkpoint as usual.
void TSQLiteDatabase::FollowEndedTransaction() const {
    if (!handle_ || !inTransaction_ || sqlite3_get_autocommit(handle_.get()) == 0) return;
    lost_.push_back(transaction_);
    if (sqlite3_exec(handle_.get(), "BEGIN TRANSACTION;", nullptr, nullptr, nullptr) == SQLITE_OK)
        ++transaction_;
    else
        inTransaction_ = false;
}

bool TSQLiteDatabase::TransactionLost(int64_t number) const {
    return std::binary_search(lost_.begin(), lost_.end(), number);
}

bool TSQLiteDatabase::TransactionCommitted(int64_t number) const {
    if (number == 0) return true;
    if (TransactionLost(number)) return false;
    return number < transaction_ || (number == transaction_ && !inTransaction_);
}

void TSQLiteDatabase::SetBusyTimeout(int milliseconds) {
    busyTimeout_ = std::max(milliseconds, 0);
    if (!waitDeadline_) sqlite3_busy_timeout(handle_.get(), busyTimeout_);
}

// Sleeps until the next try, but never past the deadline; false, without sleeping, once it passed.
bool TSQLiteDatabase::PauseBeforeRetry(std::chrono::steady_clock::time_point deadline,
                                       std::chrono::milliseconds pause) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(deadline - now, pause));
    return true;
}

void TSQLiteDatabase::SetWaitDeadline(std::chrono::steady_clock::time_point deadline) {
    // SQLite's Windows layer tries a read, write or delete the system refused again by itself, for
    // up to 1.4 s, before the statement fails; under a deadline that wait is cut to the least it
    // allows (one more try after a millisecond). The setting is the process's: kept to restore.
    if (!waitDeadline_) {
        savedRetries_ = {-1, -1};
        sqlite3_file_control(handle_.get(), "main", SQLITE_FCNTL_WIN32_AV_RETRY, savedRetries_.data());
        std::array<int, 2> least = {1, 1};
        sqlite3_file_control(handle_.get(), "main", SQLITE_FCNTL_WIN32_AV_RETRY, least.data());
    }
    waitDeadline_ = deadline;
    sqlite3_busy_handler(
        handle_.get(),
        [](void* self, int) -> int {
            return PauseBeforeRetry(*static_cast<TSQLiteDatabase*>(self)->waitDeadline_,
                                    std::chrono::milliseconds(20));
        },
        this);
}

void TSQLiteDatabase::ClearWaitDeadline() {
    if (!waitDeadline_) return;
    waitDeadline_.reset();
    sqlite3_busy_timeout(handle_.get(), busyTimeout_);
    // A connection of the native build has no such setting and left the array as it was.
    if (savedRetries_[0] > 0 && savedRetries_[1] > 0)
        sqlite3_file_control(handle_.get(), "main", SQLITE_FCNTL_WIN32_AV_RETRY, savedRetries_.data());
}

// A program that opens the file or its journal without sharing (a backup program, say) makes the
// write fail at once, where a lock would have been waited for: wait the same time for it to let go.
// The statement is tried again only while the transaction it wrote in is still open.
bool TSQLiteDatabase::WaitForSharing(sqlite3_stmt* statement, TFailure& failure) {
    using Clock = std::chrono::steady_clock;
    const auto deadline =
        waitDeadline_ ? *waitDeadline_ : Clock::now() + std::chrono::milliseconds(busyTimeout_);
    const bool inTransaction = inTransaction_;
    while ((!inTransaction || sqlite3_get_autocommit(handle_.get()) == 0) &&
           PauseBeforeRetry(deadline, std::chrono::milliseconds(50))) {
        if (sqlite3_step(statement) == SQLITE_DONE) return true;
        sqlite3_reset(statement);
        failure = ReadFailure();
        if (!IsSharingViolation(failure.SystemError)) return false;
    }
    return false;
}

TSQLiteStatement TSQLiteDatabase::Prepare(const std::string& sql, const char* failMessage) {
    sqlite3_stmt* raw = nullptr;
    // The length is passed so that a NUL inside the text cannot cut the statement short silently.
    const int rc = sqlite3_prepare_v2(handle_.get(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
    TSQLiteStatement statement(raw);
    if (rc != SQLITE_OK) RaiseError(failMessage, sql);
    if (!statement) RaiseError("Could not prepare SQL statement", sql);
    return statement;
}

// Once a read found damage, a write could spread it over pages that are still sound.
void TSQLiteDatabase::RefuseWriteWhenDamaged(sqlite3_stmt* statement) const {
    if (damaged_ && !sqlite3_stmt_readonly(statement)) throw EDatabaseDamaged(DatabaseDamagedText(fileName_));
}

void TSQLiteDatabase::Step(sqlite3_stmt* statement, std::string_view sql) {
    RefuseWriteWhenDamaged(statement);
    int rc = sqlite3_step(statement);
    if (IsBusy(rc)) {
        sqlite3_reset(statement);
        if (LetGoOfReadLock()) {
            // Without our read lock in its way, the other program can finish its write, and this
            // statement waits for that (the busy timeout) instead of failing at once.
            rc = sqlite3_step(statement);
            if (IsBusy(rc)) {
                sqlite3_reset(statement);
                LetGoOfReadLock(); // so that the other program is not kept waiting for us
                throw EDatabaseBusy(BusyText(fileName_));
            }
        }
    }
    if (rc != SQLITE_DONE) {
        // Resetting the statement puts its error, with the system's own code, on the connection.
        sqlite3_reset(statement);
        TFailure failure = ReadFailure();
        if (IsSharingViolation(failure.SystemError) && WaitForSharing(statement, failure)) return;
        Raise(failure, "Error executing SQL statement", sql);
    }
}

// A transaction that has only read holds a read lock. When another program holds the write lock,
// SQLite refuses our first write at once, without waiting: the other program cannot finish while
// we read, and we cannot write while it does. Rolling back a transaction that wrote nothing loses
// nothing and lets go of the lock; a new one begins at once. False when the transaction wrote.
bool TSQLiteDatabase::LetGoOfReadLock() {
    if (!inTransaction_ || sqlite3_txn_state(handle_.get(), "main") != SQLITE_TXN_READ) return false;
    sqlite3_exec(handle_.get(), "ROLLBACK;", nullptr, nullptr, nullptr);
    if (sqlite3_exec(handle_.get(), "BEGIN TRANSACTION;", nullptr, nullptr, nullptr) != SQLITE_OK)
        inTransaction_ = false;
    return true;
}

void TSQLiteDatabase::ExecSQL(const std::string& sql) {
    TSQLiteStatement statement = Prepare(sql, "Error executing SQL");
    Step(statement.get(), sql);
}

void TSQLiteDatabase::UpdateBlob(const std::string& sql, TStream& stream) {
    if (sql.find('?') == std::string::npos) RaiseError("SQL must include a ? parameter", sql);
    TSQLiteStatement statement = Prepare(sql, "Could not prepare SQL statement");
    const int64_t size = stream.Size();
    void* buffer =
        size > 0 && size <= INT32_MAX ? sqlite3_malloc64(static_cast<sqlite3_uint64>(size)) : nullptr;
    if (!buffer) throw ESQLiteException("Error getting memory to save blob");
    try {
        stream.SetPosition(0);
        stream.ReadBuffer(buffer, size);
    } catch (...) {
        sqlite3_free(buffer);
        throw;
    }
    // From here SQLite owns the buffer and frees it, also when binding fails.
    if (sqlite3_bind_blob(statement.get(), 1, buffer, static_cast<int>(size), sqlite3_free) != SQLITE_OK)
        RaiseError("Error binding blob to database", sql);
    Step(statement.get(), sql);
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::GetTable(const std::string& sql) {
    return std::make_unique<TSQLiteTable>(*this, sql);
}

sqlite3_stmt* TSQLiteDatabase::Bound(std::string_view sql, const TSQLiteParam* params, size_t count) {
    auto kept = kept_.find(sql);
    if (kept == kept_.end()) {
        sqlite3_stmt* raw = nullptr;
        const int rc = sqlite3_prepare_v3(handle_.get(), sql.data(), static_cast<int>(sql.size()),
                                          SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
        TSQLiteStatement statement(raw);
        if (rc != SQLITE_OK) RaiseError("Error executing SQL", sql);
        if (!statement) RaiseError("Could not prepare SQL statement", sql);
        kept = kept_.emplace(sql, std::move(statement)).first;
    }
    sqlite3_stmt* statement = kept->second.get();
    if (sqlite3_bind_parameter_count(statement) != static_cast<int>(count))
        throw ESQLiteException("Wrong number of parameters for SQL statement \"" + std::string(sql) + "\"");
    for (size_t i = 0; i < count; ++i) {
        const TSQLiteParam& param = params[i];
        const int index = static_cast<int>(i) + 1;
        int rc = SQLITE_OK;
        if (const auto* number = std::get_if<int64_t>(&param)) {
            rc = sqlite3_bind_int64(statement, index, *number);
        } else if (const auto* text = std::get_if<std::string_view>(&param)) {
            // An empty view may have no data; SQLite would bind that as NULL, not as "".
            rc = sqlite3_bind_text(statement, index, text->empty() ? "" : text->data(),
                                   static_cast<int>(text->size()), SQLITE_STATIC);
        } else {
            const std::string_view bytes = std::get<TSQLiteBlob>(param).Bytes;
            rc = sqlite3_bind_blob(statement, index, bytes.empty() ? "" : bytes.data(),
                                   static_cast<int>(bytes.size()), SQLITE_STATIC);
        }
        if (rc != SQLITE_OK) {
            sqlite3_clear_bindings(statement);
            RaiseError("Error binding a value to SQL statement", sql);
        }
    }
    return statement;
}

void TSQLiteDatabase::ExecSQL(std::string_view sql, TSQLiteParams params) {
    TBoundStatement statement(Bound(sql, params.begin(), params.size()));
    Step(statement.get(), sql);
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::GetTable(std::string_view sql, TSQLiteParams params) {
    TBoundStatement statement(Bound(sql, params.begin(), params.size()));
    return std::make_unique<TSQLiteTable>(*this, statement.get(), sql);
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::GetTable(std::string_view sql,
                                                        const std::vector<TSQLiteParam>& params) {
    TBoundStatement statement(Bound(sql, params.data(), params.size()));
    return std::make_unique<TSQLiteTable>(*this, statement.get(), sql);
}

void TSQLiteDatabase::ForEachRow(std::string_view sql, const std::vector<TSQLiteParam>& params,
                                 const std::function<void(const TSQLiteRow& row)>& visit) {
    TBoundStatement statement(Bound(sql, params.data(), params.size()));
    const TSQLiteRow row(statement.get());
    for (;;) {
        const int step = sqlite3_step(statement.get());
        if (step == SQLITE_DONE) return;
        if (step != SQLITE_ROW) RaiseError("Could not retrieve data", sql);
        visit(row);
    }
}

std::optional<int64_t> TSQLiteDatabase::QueryID(std::string_view sql, TSQLiteParams params) {
    std::optional<int64_t> id;
    QueryIDs(sql, params, {&id, 1});
    return id;
}

bool TSQLiteDatabase::QueryIDs(std::string_view sql, TSQLiteParams params,
                               std::span<std::optional<int64_t>> row) {
    TBoundStatement statement(Bound(sql, params.begin(), params.size()));
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_DONE) return false;
    if (rc != SQLITE_ROW) RaiseError("Could not retrieve data", sql);
    const int columns = sqlite3_column_count(statement.get());
    for (size_t c = 0; c < row.size(); ++c) {
        const int column = static_cast<int>(c);
        if (column < columns && sqlite3_column_type(statement.get(), column) != SQLITE_NULL)
            row[c] = sqlite3_column_int64(statement.get(), column);
        else
            row[c].reset();
    }
    return true;
}

void TSQLiteDatabase::BeginTransaction() {
    if (inTransaction_) throw ESQLiteException("Transaction already open");
    ExecSQL("BEGIN TRANSACTION;");
    inTransaction_ = true;
    ++transaction_;
}

void TSQLiteDatabase::Commit() {
    // A COMMIT counts as read-only to SQLite, yet it writes the transaction's pages.
    if (damaged_) throw EDatabaseDamaged(DatabaseDamagedText(fileName_));
    // A COMMIT that fails while busy keeps the transaction open (RaiseError keeps the flag in
    // step with SQLite), so it can be tried again.
    ExecSQL("COMMIT;");
    inTransaction_ = false;
}

// ---------------------------------------------------------------------------------------------

int64_t TSQLiteRow::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string_view TSQLiteRow::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? std::string_view(text) : std::string_view();
}

// ---------------------------------------------------------------------------------------------

TSQLiteTable::TSQLiteTable(TSQLiteDatabase& db, const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db.Handle(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
    TSQLiteStatement statement(raw);
    if (rc != SQLITE_OK) db.RaiseError("Error executing SQL", sql);
    if (!statement) db.RaiseError("Could not prepare SQL statement", sql);
    ReadAll(db, statement.get(), sql);
}

TSQLiteTable::TSQLiteTable(TSQLiteDatabase& db, sqlite3_stmt* statement, std::string_view sql) {
    ReadAll(db, statement, sql);
}

void TSQLiteTable::ReadAll(TSQLiteDatabase& db, sqlite3_stmt* statement, std::string_view sql) {
    for (;;) {
        const int step = sqlite3_step(statement);
        if (step == SQLITE_DONE) break;
        if (step != SQLITE_ROW) db.RaiseError("Could not retrieve data", sql);
        ReadRow(statement);
    }
    row_ = 0;
}

void TSQLiteTable::ReadRow(sqlite3_stmt* statement) {
    ++rowCount_;
    if (rowCount_ == 1) {
        colCount_ = sqlite3_column_count(statement);
        for (int c = 0; c < colCount_; ++c) {
            const char* name = sqlite3_column_name(statement, c);
            colNames_.emplace_back(name ? name : "");
            const char* declared = sqlite3_column_decltype(statement, c);
            const std::string type = declared ? declared : "";
            TColumnType code = ctString;
            if (type == "INTEGER")
                code = ctInteger;
            else if (type == "BOOLEAN")
                code = ctBoolean;
            else if (type == "NUMERIC" || type == "FLOAT" || type == "DOUBLE")
                code = ctFloat;
            else if (type == "BLOB")
                code = ctBlob;
            colTypes_.push_back(code);
        }
    }
    for (int c = 0; c < colCount_; ++c) {
        if (sqlite3_column_type(statement, c) == SQLITE_NULL) {
            results_.emplace_back(std::monostate{});
        } else if (colTypes_[c] == ctBoolean) {
            results_.emplace_back(sqlite3_column_int(statement, c) != 0);
        } else if (colTypes_[c] == ctBlob) {
            const void* bytes = sqlite3_column_blob(statement, c);
            const int size = sqlite3_column_bytes(statement, c);
            if (!bytes || size <= 0)
                results_.emplace_back(std::monostate{});
            else
                results_.emplace_back(TBlobCell{std::string(static_cast<const char*>(bytes), size)});
        } else {
            // The value's text form up to its first NUL byte: exact for integers of any width,
            // SQLite's own rendering for floats.
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            results_.emplace_back(std::string(text ? text : ""));
        }
    }
}

bool TSQLiteTable::Next() {
    if (Eof()) return false;
    ++row_;
    return true;
}

int32_t TSQLiteTable::FieldIndex(const std::string& name) const {
    if (colNames_.empty()) throw ESQLiteException("Field " + name + " Not found. Empty dataset");
    for (size_t i = 0; i < colNames_.size(); ++i)
        if (SameText(colNames_[i], name)) return static_cast<int32_t>(i);
    std::string suffix(1, '.');
    suffix += UpperCase(name);
    int32_t found = -1;
    for (size_t i = 0; i < colNames_.size(); ++i) {
        const std::string& col = colNames_[i];
        if (col.size() < suffix.size() || UpperCase(col.substr(col.size() - suffix.size())) != suffix)
            continue;
        if (found >= 0) throw ESQLiteException("Specify table as well as column name:  " + name);
        found = static_cast<int32_t>(i);
    }
    return found;
}

std::string TSQLiteTable::FieldAsString(int32_t index) const {
    if (Eof()) throw ESQLiteException("Table is at End of File");
    if (index < 0 || index >= colCount_) throw ESQLiteException("Field index out of range");
    const TCell& cell = results_[static_cast<size_t>(row_) * colCount_ + index];
    if (const auto* text = std::get_if<std::string>(&cell)) return *text;
    if (const auto* flag = std::get_if<bool>(&cell)) return *flag ? "1" : "0";
    if (const auto* blob = std::get_if<TBlobCell>(&cell)) return blob->Bytes;
    return "";
}
