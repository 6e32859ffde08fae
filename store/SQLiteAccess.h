// The SQLite access layer: one connection that runs single statements and binds blobs, a result
// table that buffers a whole query in memory, and the one exception class for every failure.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "base/Exceptions.h"
#include "base/Object.h"

struct sqlite3;
struct sqlite3_stmt;
class TStream;
class TSQLiteTable;
class TSQLiteRow;

class ESQLiteException : public Exception {
public:
    using Exception::Exception;
};

// Another program (a backup or sync tool, say) held the file locked for longer than the connection
// waits. Nothing is lost: the open transaction stays open, so the same write or commit can be tried
// again later. The message says so in plain words and names the file.
class EDatabaseBusy : public ESQLiteException {
public:
    using ESQLiteException::ESQLiteException;
};

// The file could not be written: the disk is full, the file or its folder is read-only, or the disk
// reported an error. The message names the file, says which of these happened and what to do; it
// never shows a statement.
class EDatabaseNotWritten : public ESQLiteException {
public:
    using ESQLiteException::ESQLiteException;
};

// SQLite found the file damaged. From then on the connection writes nothing more into it; reads
// still run. The message names the file and says what to do.
class EDatabaseDamaged : public ESQLiteException {
public:
    using ESQLiteException::ESQLiteException;
};

// The plain words for a file another program holds (EDatabaseBusy's message), for whoever finds
// that out before SQLite does.
std::string DatabaseInUseText(const std::string& fileName);
// The plain words for a damaged file (EDatabaseDamaged's message).
std::string DatabaseDamagedText(const std::string& fileName);

// The name to hand SQLite (UTF-8) for a file named, like every file of the program, in the code
// page of the system's file functions. TSQLiteDatabase opens through it; so must any other
// connection, or it opens another file (or none) once a folder's name has an accent.
std::string SQLiteFileName(const std::string& fileName);

namespace sqlite_detail {
struct CloseConnection {
    void operator()(sqlite3* handle) const noexcept;
};
struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const noexcept;
};
// True when SQLite's error (its extended code) or the system's (heeded only after an I/O error or
// a failed open) says that another program holds the file: a lock, or the file opened without
// sharing.
bool HeldByAnotherProgram(int code, int systemError);
// The file layer a TSQLiteDatabase opens its files through (store/SQLiteFileLayer.h).
class TFileLayer;
} // namespace sqlite_detail

// Owners of a connection and of a prepared statement.
using TSQLiteHandle = std::unique_ptr<sqlite3, sqlite_detail::CloseConnection>;
using TSQLiteStatement = std::unique_ptr<sqlite3_stmt, sqlite_detail::FinalizeStatement>;

// A blob bound to a statement parameter; the bytes must outlive the call that binds them.
struct TSQLiteBlob {
    std::string_view Bytes;
};

// A value bound to a statement's "?" parameters, in order: a number, a text (all its bytes) or a
// blob. Texts and blobs are bound without copying, for the length of the call.
using TSQLiteParam = std::variant<int64_t, std::string_view, TSQLiteBlob>;
using TSQLiteParams = std::initializer_list<TSQLiteParam>;

// One open database file, named in the system's 8-bit code page like every other file of the
// program (SQLite's UTF-8 name is made from it here). Writes are synchronised in full (rollback
// journal kept). A file that
// cannot serve as a writable database (a folder, a file that is not SQLite, a read-only file) is
// refused when opening, and nothing is written to it. So is a file whose folder cannot take
// SQLite's journal: such a file opens and reads, and then fails at its first save.
class TSQLiteDatabase : public TObject {
public:
    // How long a statement waits for another program's lock on the file before it gives up with
    // EDatabaseBusy. Read when a connection opens.
    static int BusyTimeoutMilliseconds;

    explicit TSQLiteDatabase(const std::string& fileName);
    // Rolls an open transaction back, then closes. Never throws.
    ~TSQLiteDatabase() override;
    TSQLiteDatabase(const TSQLiteDatabase&) = delete;
    TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

    // Runs the first statement of the text; it must run to completion without a row.
    void ExecSQL(const std::string& sql);
    // Runs a statement whose "?" parameter is bound to the whole stream (not empty) as a blob.
    void UpdateBlob(const std::string& sql, TStream& stream);
    std::unique_ptr<TSQLiteTable> GetTable(const std::string& sql);

    // The same with the statement's "?" parameters bound to params. The statement is prepared once
    // per text and kept for the connection's life, so use these for fixed texts only.
    void ExecSQL(std::string_view sql, TSQLiteParams params);
    std::unique_ptr<TSQLiteTable> GetTable(std::string_view sql, TSQLiteParams params);
    // For a statement built from a few fixed forms, with as many parameters as it holds "?".
    std::unique_ptr<TSQLiteTable> GetTable(std::string_view sql, const std::vector<TSQLiteParam>& params);
    // Runs a query (kept prepared, as GetTable does) and hands each row to visit as it is read:
    // nothing is buffered, so a list of many rows costs no more than what visit keeps of them.
    void ForEachRow(std::string_view sql, const std::vector<TSQLiteParam>& params,
                    const std::function<void(const TSQLiteRow& row)>& visit);
    // The first column of the first row as an integer, or std::nullopt without a row (a NULL
    // counts as no row). For lookups that take one id: nothing is buffered.
    std::optional<int64_t> QueryID(std::string_view sql, TSQLiteParams params);
    // The first row's first columns as integers (a NULL is std::nullopt), one per element of row;
    // false without a row.
    bool QueryIDs(std::string_view sql, TSQLiteParams params, std::span<std::optional<int64_t>> row);

    void BeginTransaction();
    void Commit();

    // Every transaction gets the next number when it begins. A write made in transaction n is in
    // the file once TransactionCommitted(n); when SQLite ends a transaction on its own (a full
    // disk, an I/O error) its writes are gone, TransactionLost(n) says so, and the next
    // transaction begins at once so that later writes are not committed one by one.
    // TransactionNumber() is 0 outside a transaction, where every write commits by itself.
    int64_t TransactionNumber() const { return inTransaction_ ? transaction_ : 0; }
    bool TransactionCommitted(int64_t number) const;
    bool TransactionLost(int64_t number) const;
    // How long statements wait for another program from now on (BusyTimeoutMilliseconds is
    // only read when a connection opens).
    void SetBusyTimeout(int milliseconds);
    // Until ClearWaitDeadline, every wait for another program (each statement's, however many
    // run, a commit's, the waits for a file held without sharing) ends by this time, and once it
    // has passed nothing waits again: a caller that must be done by then (the end of the Windows
    // session) keeps to it whatever the lock waits. SQLite's own retries of a refused file (a
    // process-wide setting) are cut to one after a millisecond meanwhile.
    void SetWaitDeadline(std::chrono::steady_clock::time_point deadline);
    void ClearWaitDeadline();

    // Raises ESQLiteException: msg, and when SQLite holds an error, the SQL and SQLite's text.
    [[noreturn]] void RaiseError(const std::string& msg, std::string_view sql) const;

    sqlite3* Handle() const { return handle_.get(); }
    bool InTransaction() const { return inTransaction_; }
    // True once a statement found the file damaged, or MarkDamaged said so: every write and commit
    // is refused from then on.
    bool Damaged() const { return damaged_; }
    // For damage found by other means (a check on another thread): from now on as Damaged() says.
    // Returns whether the connection knew it already. Safe from any thread.
    bool MarkDamaged() { return damaged_.exchange(true); }
    // The file's name as the caller gave it.
    const std::string& FileName() const { return fileName_; }

private:
    TSQLiteStatement Prepare(const std::string& sql, const char* failMessage);
    void Step(sqlite3_stmt* statement, std::string_view sql);
    void CheckUsable(const std::string& fileName);
    void CheckJournal(const std::string& fileName);
    void RefuseWriteWhenDamaged(sqlite3_stmt* statement) const;
    bool LetGoOfReadLock();
    // The kept statement for the text with params bound; reset again by TBoundStatement.
    sqlite3_stmt* Bound(std::string_view sql, const TSQLiteParam* params, size_t count);

    // The failure SQLite just reported: its extended code, the system's error of the file call
    // that failed (else 0), and SQLite's words. Read once per failure, before anything else runs.
    struct TFailure {
        int Code = 0;
        int SystemError = 0;
        std::string Reason;
    };
    TFailure ReadFailure() const;
    [[noreturn]] void Raise(const TFailure& failure, const std::string& msg, std::string_view sql) const;
    // SQLite ended the open transaction by itself: its writes are lost; a new one begins.
    void FollowEndedTransaction() const;
    // Tries the statement again while the file stays held; failure becomes the last try's.
    bool WaitForSharing(sqlite3_stmt* statement, TFailure& failure);
    static bool PauseBeforeRetry(std::chrono::steady_clock::time_point deadline,
                                 std::chrono::milliseconds pause);

    std::string fileName_;
    // Declared before the handle: SQLite calls it until the connection is closed.
    std::unique_ptr<sqlite_detail::TFileLayer> layer_;
    TSQLiteHandle handle_;
    int busyTimeout_ = 0;
    std::optional<std::chrono::steady_clock::time_point> waitDeadline_;
    std::array<int, 2> savedRetries_ = {-1, -1}; // SQLite's own retries before the deadline
    mutable bool inTransaction_ = false;         // RaiseError clears it when SQLite ended the transaction
    mutable int64_t transaction_ = 0;            // the number of the open (or last) transaction
    mutable std::vector<int64_t> lost_;          // transactions SQLite ended without a commit, ascending
    // RaiseError sets it when SQLite reports damage; MarkDamaged from any thread.
    mutable std::atomic<bool> damaged_ = false;
    // Declared after the handle, so the statements are finalized before the connection closes.
    // Found by the statement's text without copying it.
    struct TTextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const noexcept {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_map<std::string, TSQLiteStatement, TTextHash, std::equal_to<>> kept_;
};

// The row ForEachRow is at; valid only during the visit.
class TSQLiteRow {
public:
    explicit TSQLiteRow(sqlite3_stmt* statement) : statement_(statement) {}
    // The cell as an integer (0 for NULL; a text is converted as SQLite converts it).
    int64_t Int(int column) const;
    // The cell's text form up to its first NUL byte, "" for NULL: what TSQLiteTable keeps of a
    // text column. The bytes stay valid until the next row.
    std::string_view Text(int column) const;

private:
    sqlite3_stmt* statement_;
};

// A query run to completion; every row is held in memory. Each cell is kept as text (the value's
// text form up to its first NUL byte), except in columns declared "BOOLEAN" (a flag read as "0" or
// "1") and "BLOB" (all the bytes, NUL bytes included). SQLite reports the standard type names in
// upper case however they were written, so "integer" and "INTEGER" cannot be told apart.
class TSQLiteTable : public TObject {
public:
    TSQLiteTable(TSQLiteDatabase& db, const std::string& sql);
    // Reads every row of a statement that is prepared and bound; the caller resets it.
    TSQLiteTable(TSQLiteDatabase& db, sqlite3_stmt* statement, std::string_view sql);

    int32_t RowCount() const { return rowCount_; }
    int32_t ColCount() const { return colCount_; }
    int32_t Row() const { return row_; }
    bool Eof() const { return row_ >= rowCount_; }
    // Moves to the next row; false (and no move) at the end.
    bool Next();

    // Column index by name, ASCII case ignored, also matching "table.name"; -1 when absent.
    int32_t FieldIndex(const std::string& name) const;
    // The current row's cell as text; a NULL or empty-blob cell is "".
    std::string FieldAsString(int32_t index) const;
    const std::string& ColName(int32_t index) const { return colNames_.at(index); }

private:
    enum TColumnType { ctString = 0, ctInteger = 1, ctBoolean = 2, ctFloat = 3, ctBlob = 4 };
    struct TBlobCell {
        std::string Bytes;
    };
    using TCell = std::variant<std::monostate, std::string, bool, TBlobCell>;

    void ReadAll(TSQLiteDatabase& db, sqlite3_stmt* statement, std::string_view sql);
    void ReadRow(sqlite3_stmt* statement);

    std::vector<TCell> results_;
    std::vector<std::string> colNames_;
    std::vector<TColumnType> colTypes_;
    int32_t rowCount_ = 0;
    int32_t colCount_ = 0;
    int32_t row_ = 0;
};
