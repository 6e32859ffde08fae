// The SQLite access layer: statements, buffered results, column kinds, errors and bad files.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <sqlite3.h>

#include "base/Streams.h"
#include "store/SQLiteAccess.h"
#include "tests/store/FaultyDisk.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/store/TempFolder.h"

namespace {

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ESQLiteException& e) {
        return e.Message();
    }
    return "(nothing raised)";
}

std::string ReadOnlyText(const std::string& path) {
    return "The notes file \"" + path +
           "\" is read-only, so Miravelund could not write to it. Clear the Read-only box in the file's "
           "Properties, or ask for permission to change the file.";
}

std::string DiskFullText(const std::string& path) {
    return "The disk that holds the notes file \"" + path +
           "\" is full, so Miravelund could not write to the file. Free some space on that disk.";
}

// The kind of failure a statement raised and its words, or "done".
std::string Told(const std::function<void()>& action) {
    try {
        action();
    } catch (const EDatabaseBusy& e) {
        return "busy: " + e.Message();
    } catch (const EDatabaseNotWritten& e) {
        return "not written: " + e.Message();
    } catch (const EDatabaseDamaged& e) {
        return "damaged: " + e.Message();
    } catch (const ESQLiteException& e) {
        return "failed: " + e.Message();
    }
    return "done";
}

// Windows refuses a file with the Read-only attribute to every account (Wine's too); elsewhere
// only an account other than root is bound by a file's permissions.
std::optional<std::string> RunWhereReadOnlyFilesBind(const std::function<std::string()>& action) {
#ifdef _WIN32
    return action();
#else
    return RunWherePermissionsBind(action);
#endif
}

// Zeroes, in place, the page of the file that holds text, as a disk fault would.
void ZeroPageHolding(const std::string& path, const std::string& text, int64_t pageSize) {
    const std::string bytes = ReadWholeFile(path);
    const size_t at = bytes.find(text);
    ASSERT_NE(at, std::string::npos);
    const size_t page = at / pageSize;
    ASSERT_GT(page, 1u);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(page * pageSize));
    file.write(std::string(pageSize, '\0').data(), pageSize);
    ASSERT_TRUE(file.good());
}

class SQLiteAccess : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string path = folder.File("access.db");
};

TEST_F(SQLiteAccess, OpeningCreatesTheFileAndSynchronisesInFull) {
    TSQLiteDatabase db(path);
    auto sync = db.GetTable("PRAGMA synchronous;");
    EXPECT_EQ(sync->FieldAsString(0), "2"); // FULL
    auto journal = db.GetTable("PRAGMA journal_mode;");
    EXPECT_EQ(journal->FieldAsString(0), "delete");
    db.ExecSQL("CREATE TABLE t(a integer);");
    EXPECT_TRUE(std::filesystem::exists(path));
}

struct TColumnCase {
    const char* Declared;
    const char* Value; // SQL literal inserted
    std::string Expected;
};

TEST_F(SQLiteAccess, EveryCellReadsBackAsText) {
    const TColumnCase cases[] = {
        {"integer", "42", "42"},
        {"INTEGER", "5000000000", "5000000000"}, // no 32-bit truncation
        {"INTEGER", "NULL", ""},
        {"integer", "'007'", "7"}, // integer affinity converts the text
        {"BOOLEAN", "7", "1"},
        {"BOOLEAN", "0", "0"},
        {"NUMERIC", "1.5", "1.5"},
        {"DOUBLE", "'abc'", "abc"},
        {"text", "'007'", "007"},
        {"string", "'007'", "7"}, // "string" has numeric affinity
        {"string", "'1e3'", "1000"},
        {"", "'free'", "free"},
        {"blob", "x'410042'", std::string("A\0B", 3)}, // blob columns keep every byte
        {"BLOB", "x''", ""},
        {"text", "CAST(x'410042' AS TEXT)", "A"}, // text stops at its first NUL
    };
    TSQLiteDatabase db(path);
    int n = 0;
    for (const auto& c : cases) {
        const std::string table = "t" + std::to_string(n++);
        db.ExecSQL("CREATE TABLE " + table + "(v " + c.Declared + ");");
        db.ExecSQL("INSERT INTO " + table + " VALUES(" + c.Value + ");");
        auto result = db.GetTable("SELECT v FROM " + table);
        ASSERT_EQ(result->RowCount(), 1);
        EXPECT_EQ(result->FieldAsString(0), c.Expected) << c.Declared << " " << c.Value;
    }
}

TEST_F(SQLiteAccess, EmptyResultIsAtEndAndHasNoFields) {
    TSQLiteDatabase db(path);
    db.ExecSQL("CREATE TABLE t(a integer);");
    auto result = db.GetTable("SELECT a FROM t");
    EXPECT_EQ(result->RowCount(), 0);
    EXPECT_EQ(result->ColCount(), 0);
    EXPECT_TRUE(result->Eof());
    EXPECT_FALSE(result->Next());
    EXPECT_EQ(MessageOf([&] { result->FieldIndex("a"); }), "Field a Not found. Empty dataset");
    EXPECT_EQ(MessageOf([&] { result->FieldAsString(0); }), "Table is at End of File");
}

TEST_F(SQLiteAccess, RowsAreBufferedAndWalkedInOrder) {
    TSQLiteDatabase db(path);
    db.ExecSQL("CREATE TABLE t(a integer, b text);");
    for (int i = 1; i <= 3; ++i)
        db.ExecSQL("INSERT INTO t VALUES(" + std::to_string(i) + ", 'r" + std::to_string(i) + "');");
    auto result = db.GetTable("SELECT a, b FROM t ORDER BY a");
    db.ExecSQL("DELETE FROM t;"); // the table holds its own copy
    ASSERT_EQ(result->RowCount(), 3);
    EXPECT_EQ(result->ColCount(), 2);
    std::string seen;
    for (; !result->Eof(); result->Next())
        seen += result->FieldAsString(0) + result->FieldAsString(1) + ";";
    EXPECT_EQ(seen, "1r1;2r2;3r3;");
    EXPECT_FALSE(result->Next());
    EXPECT_EQ(result->Row(), 3);
}

// Rows read one by one give what the buffered table gives for the same query, bound alike; a
// visitor that throws leaves the kept statement reset, so the next run starts from the first row.
TEST_F(SQLiteAccess, RowsVisitedOneByOneReadAsTheBufferedTableReadsThem) {
    TSQLiteDatabase db(path);
    db.ExecSQL("CREATE TABLE t(a integer, b text);");
    db.ExecSQL("INSERT INTO t VALUES(1, 'one'), (2, NULL), (5000000000, CAST(x'410042' AS TEXT)), "
               "(4, '\xC4rger'), (NULL, '007');");
    const std::string sql = "SELECT a, b FROM t WHERE a IS NULL OR a > ? ORDER BY a";
    auto visit = [&](int64_t above) {
        std::string seen;
        db.ForEachRow(sql, {above}, [&](const TSQLiteRow& row) {
            seen += std::to_string(row.Int(0)) + "|" + std::string(row.Text(0)) + "|" +
                    std::string(row.Text(1)) + ";";
        });
        return seen;
    };
    auto buffered = [&](int64_t above) {
        std::string seen;
        auto table = db.GetTable(std::string_view(sql), {above});
        for (; !table->Eof(); table->Next()) {
            const std::string a = table->FieldAsString(0);
            seen += (a.empty() ? "0" : a) + "|" + a + "|" + table->FieldAsString(1) + ";";
        }
        return seen;
    };
    EXPECT_EQ(visit(1), "0||007;2|2|;4|4|\xC4rger;5000000000|5000000000|A;");
    EXPECT_EQ(visit(1), buffered(1));
    EXPECT_EQ(visit(4), buffered(4));

    int rows = 0;
    EXPECT_THROW(db.ForEachRow(sql, {int64_t{0}},
                               [&](const TSQLiteRow&) {
                                   if (++rows == 2) throw std::runtime_error("stop");
                               }),
                 std::runtime_error);
    EXPECT_EQ(visit(0), buffered(0));
    db.ExecSQL("DELETE FROM t;"); // nothing holds the table open
    EXPECT_EQ(visit(0), "");
}

TEST_F(SQLiteAccess, FieldIndexMatchesQualifiedNamesUnlessAmbiguous) {
    TSQLiteDatabase db(path);
    auto both = db.GetTable("SELECT 1 AS \"topic.title\", 2 AS \"namespace.title\", 3 AS Other");
    EXPECT_EQ(MessageOf([&] { both->FieldIndex("title"); }), "Specify table as well as column name:  title");
    EXPECT_EQ(both->FieldIndex("OTHER"), 2);
    EXPECT_EQ(both->FieldIndex("namespace.TITLE"), 1);
    EXPECT_EQ(both->FieldIndex("missing"), -1);
    auto one = db.GetTable("SELECT 1 AS \"topic.title\", 2 AS id");
    EXPECT_EQ(one->FieldIndex("Title"), 0);
    EXPECT_EQ(one->FieldIndex("d"), -1); // "id" does not end in ".d"
}

TEST_F(SQLiteAccess, ExecRunsOnlyTheFirstStatement) {
    TSQLiteDatabase db(path);
    db.ExecSQL("CREATE TABLE t(a integer);");
    db.ExecSQL("INSERT INTO t VALUES(1); INSERT INTO t VALUES(2);");
    auto result = db.GetTable("SELECT count(*) FROM t");
    EXPECT_EQ(result->FieldAsString(0), "1");
}

TEST_F(SQLiteAccess, ErrorsCarryTheStatementAndSQLitesText) {
    TSQLiteDatabase db(path);
    EXPECT_EQ(MessageOf([&] { db.GetTable("SELECT * FROM nope"); }),
              "Error executing SQL \"SELECT * FROM nope\" : no such table: nope");
    EXPECT_EQ(MessageOf([&] { db.ExecSQL("DELETE FROM nope"); }),
              "Error executing SQL \"DELETE FROM nope\" : no such table: nope");
    EXPECT_EQ(MessageOf([&] { db.ExecSQL("   "); }), "Could not prepare SQL statement");
    EXPECT_EQ(MessageOf([&] { db.Commit(); }),
              "Error executing SQL statement \"COMMIT;\" : cannot commit - no transaction is active");
    // Double-quoted text is an identifier, never a string literal.
    EXPECT_EQ(
        MessageOf([&] { db.GetTable("SELECT \"\""); }).rfind("Error executing SQL \"SELECT \"\"\" : ", 0),
        0u);
    // The connection stays usable after each failure.
    db.ExecSQL("CREATE TABLE ok(a integer);");
    EXPECT_EQ(db.GetTable("SELECT count(*) FROM ok")->FieldAsString(0), "0");
}

TEST_F(SQLiteAccess, TransactionsCommitRefuseNestingAndRollBackWhenFreed) {
    {
        TSQLiteDatabase db(path);
        db.ExecSQL("CREATE TABLE t(a integer);");
        db.BeginTransaction();
        EXPECT_TRUE(db.InTransaction());
        EXPECT_EQ(MessageOf([&] { db.BeginTransaction(); }), "Transaction already open");
        db.ExecSQL("INSERT INTO t VALUES(1);");
        db.Commit();
        EXPECT_FALSE(db.InTransaction());
        db.BeginTransaction();
        db.ExecSQL("INSERT INTO t VALUES(2);");
    } // freed inside the transaction: the second row is rolled back
    TSQLiteDatabase again(path);
    EXPECT_EQ(again.GetTable("SELECT group_concat(a) FROM t")->FieldAsString(0), "1");
}

TEST_F(SQLiteAccess, ATransactionThatSQLiteEndedCountsAsLostAndTheNextBeginsAtOnce) {
    TSQLiteDatabase db(path);
    db.ExecSQL("CREATE TABLE t(a integer);");
    db.BeginTransaction();
    const int64_t first = db.TransactionNumber();
    db.ExecSQL("INSERT INTO t VALUES(0);");
    db.ExecSQL("ROLLBACK;"); // ended behind the connection's back, as a full disk would
    EXPECT_THROW(db.Commit(), ESQLiteException);
    EXPECT_TRUE(db.TransactionLost(first));
    EXPECT_FALSE(db.TransactionCommitted(first));
    // Later writes go into a transaction of their own, committed as usual.
    ASSERT_TRUE(db.InTransaction());
    const int64_t second = db.TransactionNumber();
    EXPECT_NE(second, first);
    db.ExecSQL("INSERT INTO t VALUES(1);");
    EXPECT_FALSE(db.TransactionCommitted(second));
    db.Commit();
    EXPECT_TRUE(db.TransactionCommitted(second));
    EXPECT_FALSE(db.TransactionLost(second));
    EXPECT_EQ(db.GetTable("SELECT group_concat(a) FROM t")->FieldAsString(0), "1");
}

TEST_F(SQLiteAccess, UpdateBlobBindsTheWholeStream) {
    TSQLiteDatabase db(path);
    db.ExecSQL("CREATE TABLE t(k text, v blob);");
    EXPECT_EQ(MessageOf([&] {
                  TStringStream s("x");
                  db.UpdateBlob("INSERT INTO t VALUES('a', 'b')", s);
              }),
              "SQL must include a ? parameter");
    TStringStream empty;
    EXPECT_EQ(MessageOf([&] { db.UpdateBlob("INSERT INTO t VALUES('a', ?)", empty); }),
              "Error getting memory to save blob");
    TStringStream content("{\\rtf1 it's a ? mark}");
    content.SetPosition(5); // the whole stream is stored, whatever its position
    db.UpdateBlob("INSERT INTO t VALUES('what?', ?)", content);
    auto result = db.GetTable("SELECT k, v, typeof(v) FROM t");
    ASSERT_EQ(result->RowCount(), 1);
    EXPECT_EQ(result->FieldAsString(0), "what?");
    EXPECT_EQ(result->FieldAsString(1), "{\\rtf1 it's a ? mark}");
    EXPECT_EQ(result->FieldAsString(2), "blob");
}

// A second connection opens beside one that is writing (the journal check cannot write then), reads
// what is committed, and meets the busy file at its first write.
TEST_F(SQLiteAccess, OpensBesideAConnectionThatIsWriting) {
    const int savedTimeout = TSQLiteDatabase::BusyTimeoutMilliseconds;
    TSQLiteDatabase::BusyTimeoutMilliseconds = 100;
    TSQLiteDatabase first(path);
    first.ExecSQL("CREATE TABLE t(a integer);");
    first.BeginTransaction();
    first.ExecSQL("INSERT INTO t VALUES(1);");
    TSQLiteDatabase second(path);
    EXPECT_EQ(second.GetTable("SELECT count(*) FROM t")->FieldAsString(0), "0");
    EXPECT_EQ(MessageOf([&] { second.ExecSQL("INSERT INTO t VALUES(2);"); }),
              "The notes file \"" + path +
                  "\" is in use by another program (a backup or sync program, say), so Miravelund could not "
                  "read or write it.");
    first.Commit();
    EXPECT_EQ(second.GetTable("SELECT count(*) FROM t")->FieldAsString(0), "1");
    TSQLiteDatabase::BusyTimeoutMilliseconds = savedTimeout;
}

// Bad files: each is refused with a clear message and left exactly as it was.
TEST_F(SQLiteAccess, RefusesAFolder) {
    const std::string dir = folder.File("sub");
    std::filesystem::create_directory(dir);
    EXPECT_EQ(MessageOf([&] { TSQLiteDatabase db(dir); }),
              "Failed to open database \"" + dir + "\" : the path is a folder, not a database file");
    EXPECT_TRUE(std::filesystem::is_directory(dir));
}

TEST_F(SQLiteAccess, RefusesAFileThatIsNotADatabase) {
    const std::string bytes = "These are my notes, not a database.\r\n" + std::string(3000, 'x');
    WriteWholeFile(path, bytes);
    EXPECT_EQ(MessageOf([&] { TSQLiteDatabase db(path); }),
              "Failed to open database \"" + path + "\" : file is not a database");
    EXPECT_EQ(ReadWholeFile(path), bytes);
}

TEST_F(SQLiteAccess, RefusesAMissingFolder) {
    const std::string missing = folder.File("no-such-folder/notes.mvdb");
    EXPECT_EQ(MessageOf([&] { TSQLiteDatabase db(missing); }),
              "Failed to open database \"" + missing + "\" : unable to open database file");
}

TEST_F(SQLiteAccess, RefusesAReadOnlyFile) {
    {
        TSQLiteDatabase db(path);
        db.ExecSQL("CREATE TABLE t(a integer);");
    }
    const std::string before = ReadWholeFile(path);
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const auto message =
        RunWherePermissionsBind([&] { return MessageOf([&] { TSQLiteDatabase db(path); }); });
    if (!message) GTEST_SKIP() << "no account here is bound by a file's permissions";
    EXPECT_EQ(*message, ReadOnlyText(path));
    EXPECT_EQ(ReadWholeFile(path), before);
}

// A medium that lets no program write (a read-only share, a CD), for every
// account root included: a VFS over the usual one that opens the main
// database only for reading, as SQLite does itself when the file cannot be
// opened for writing.
class TReadOnlyMedium {
public:
    TReadOnlyMedium() {
        base_ = sqlite3_vfs_find(nullptr);
        vfs_ = *base_;
        vfs_.zName = "mv-read-only-medium";
        vfs_.pAppData = base_;
        vfs_.xOpen = &Open;
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~TReadOnlyMedium() {
        sqlite3_vfs_unregister(&vfs_);
        sqlite3_vfs_register(base_, 1);
    }
    TReadOnlyMedium(const TReadOnlyMedium&) = delete;
    TReadOnlyMedium& operator=(const TReadOnlyMedium&) = delete;

private:
    static int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
        auto* base = static_cast<sqlite3_vfs*>(vfs->pAppData);
        if (flags & SQLITE_OPEN_MAIN_DB) {
            flags &= ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            flags |= SQLITE_OPEN_READONLY;
        }
        return base->xOpen(base, name, file, flags, outFlags);
    }
    sqlite3_vfs* base_ = nullptr;
    sqlite3_vfs vfs_{};
};

TEST_F(SQLiteAccess, RefusesAFileOnAMediumNobodyMayWrite) {
    {
        TSQLiteDatabase db(path);
        db.ExecSQL("CREATE TABLE t(a integer);");
    }
    const std::string before = ReadWholeFile(path);
    {
        TReadOnlyMedium medium;
        EXPECT_EQ(MessageOf([&] { TSQLiteDatabase db(path); }), ReadOnlyText(path));
    }
    EXPECT_EQ(ReadWholeFile(path), before);
    // Off that medium the same file opens.
    EXPECT_EQ(MessageOf([&] { TSQLiteDatabase db(path); }), "(nothing raised)");
}

// A file that may be written in a folder that takes no new file: SQLite could read it but never
// create the journal it needs to save, so it is refused at once, naming the folder.
TEST_F(SQLiteAccess, RefusesAFileInAFolderThatCannotTakeItsJournal) {
    namespace fs = std::filesystem;
    {
        TSQLiteDatabase db(path);
        db.ExecSQL("CREATE TABLE t(a integer);");
        db.ExecSQL("INSERT INTO t VALUES(1);");
    }
    const std::string before = ReadWholeFile(path);
    fs::permissions(path, fs::perms::all, fs::perm_options::add);
    auto openAndWrite = [&] {
        return MessageOf([&] {
            TSQLiteDatabase db(path);
            db.ExecSQL("INSERT INTO t VALUES(2);");
        });
    };
    // The same account in a folder that takes new files opens and writes (so the refusal below
    // comes from the folder alone).
    fs::permissions(folder.Path(), fs::perms::all, fs::perm_options::add);
    const auto writable = RunWherePermissionsBind(openAndWrite);
    if (!writable) GTEST_SKIP() << "no account here is bound by a folder's permissions";
    EXPECT_EQ(*writable, "(nothing raised)");
    const std::string written = ReadWholeFile(path);
    EXPECT_NE(written, before);

    fs::permissions(folder.Path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(
        *RunWherePermissionsBind(openAndWrite),
        "The folder \"" + folder.Path() +
            "\" does not let Miravelund create the journal file it writes beside the notes file \"" + path +
            "\", so nothing could be written. Ask for permission to change that folder, or move the notes "
            "file to a folder of your own.");
    EXPECT_EQ(ReadWholeFile(path), written);
    EXPECT_FALSE(fs::exists(path + "-journal"));
}

// On one connection, a file another program held and let go leaves nothing behind: a full disk, a
// read-only file and a damaged page, each met right after such a hold, are told by their own cause,
// and the damaged file is written no more.
TEST_F(SQLiteAccess, AFileHeldAndLetGoLeavesNoCauseForTheFailuresAfterIt) {
    namespace fs = std::filesystem;
    fs::permissions(folder.Path(), fs::perms::all, fs::perm_options::add);
    TLockWait wait(100);
    const auto told = RunWhereReadOnlyFilesBind([&] {
        TFaultyDisk disk;
        {
            TSQLiteDatabase setup(path);
            setup.ExecSQL("CREATE TABLE t(a integer);");
            setup.ExecSQL("CREATE TABLE pages(v text);");
            setup.ExecSQL("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                          "INSERT INTO pages SELECT 'Row ' || i || ' of the pages table.' FROM n;");
        }
        TSQLiteDatabase db(path); // reads no page of the table "pages" until told to
        const auto insert = [&] { db.ExecSQL("INSERT INTO t VALUES(1);"); };
        std::string lines;
        const auto tell = [&](const std::string& step, const std::function<void()>& action) {
            lines += step + " -> " + Told(action) + "\n";
        };
        const auto holdAndLetGo = [&] {
            disk.FailJournalOpen(SharingViolation);
#ifdef _WIN32
            tell("held", insert);
#else
            Told(insert); // elsewhere no file is refused for being open in another program
#endif
            disk.Heal();
            tell("let go", insert);
        };
        holdAndLetGo();
        disk.FailWrites(TFaultyDisk::TFile::Journal, SQLITE_FULL);
        tell("full disk", insert);
        disk.Heal();
        holdAndLetGo();
        fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        disk.FailWrites(TFaultyDisk::TFile::Database, SQLITE_IOERR_WRITE);
        tell("read-only file", insert);
        disk.Heal();
        // The journal left behind was made with the file's permissions (by SQLite outside Windows).
        for (const std::string& file : {path, path + "-journal"})
            if (fs::exists(file)) fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
        holdAndLetGo();
        ZeroPageHolding(path, "Row 1000 of", std::stoll(db.GetTable("PRAGMA page_size;")->FieldAsString(0)));
        const std::string damaged = ReadWholeFile(path);
        tell("damaged page", [&] { db.GetTable("SELECT max(length(v)) FROM pages;"); });
        lines += std::string("Damaged() -> ") + (db.Damaged() ? "true" : "false") + "\n";
        tell("write after", insert);
        return lines + (ReadWholeFile(path) == damaged ? "file unchanged" : "file written");
    });
    if (!told) GTEST_SKIP() << "no account here is bound by a file's permissions";
#ifdef _WIN32
    const std::string heldAndLetGo = "held -> busy: " + DatabaseInUseText(path) + "\nlet go -> done\n";
#else
    const std::string heldAndLetGo = "let go -> done\n";
#endif
    EXPECT_EQ(*told, heldAndLetGo + "full disk -> not written: " + DiskFullText(path) + "\n" + heldAndLetGo +
                         "read-only file -> not written: " + ReadOnlyText(path) + "\n" + heldAndLetGo +
                         "damaged page -> damaged: " + DatabaseDamagedText(path) +
                         "\nDamaged() -> true\nwrite after -> damaged: " + DatabaseDamagedText(path) +
                         "\nfile unchanged");
}

// An I/O error on a write is told by what the disk says now, in the program's words: a journal that
// could not be made on a full disk; a local file's disk error, without the advice for a drive that
// may have gone away.
TEST_F(SQLiteAccess, AnIOErrorOnAWriteIsToldByWhatTheDiskSays) {
    TFaultyDisk disk;
    TSQLiteDatabase db(path);
    db.ExecSQL("CREATE TABLE t(a integer);");
    const auto insert = [&] { db.ExecSQL("INSERT INTO t VALUES(1);"); };
    disk.FailJournalOpen(DiskFull);
    EXPECT_EQ(Told(insert), "not written: " + DiskFullText(path));
    disk.Heal();
    disk.FailWrites(TFaultyDisk::TFile::Database, SQLITE_IOERR_WRITE);
    EXPECT_EQ(Told(insert),
              "not written: The disk reported an error while Miravelund wrote the notes file \"" + path +
                  "\" (disk I/O error).");
}

// On one connection, the same fault met during an I/O error at two saves in a row is told the same
// way both times: a journal another program holds and a notes file with a range locked by another
// program (Windows' sharing and lock violations) as in use, after waiting for them; a full disk as
// full. A hold that ends within the wait is no failure at all: the third save goes through.
TEST_F(SQLiteAccess, TheSameFaultMetAtTwoSavesInARowIsToldTheSameWayBothTimes) {
    using TFile = TFaultyDisk::TFile;
    struct TCase {
        const char* Name;
        TFile File;
        int SystemError;
        std::string Told;
    };
    const std::string full = "not written: " + DiskFullText(path);
    const TCase cases[] = {
#ifdef _WIN32
        {"journal held", TFile::Journal, SharingViolation, "busy: " + DatabaseInUseText(path)},
        {"notes file locked", TFile::Database, LockViolation, "busy: " + DatabaseInUseText(path)},
#endif
        {"full disk at the journal", TFile::Journal, DiskFull, full},
        {"full disk at the notes file", TFile::Database, DiskFull, full},
    };
    TLockWait wait(100);
    TFaultyDisk disk;
    TSQLiteDatabase db(path);
    db.ExecSQL("CREATE TABLE t(a integer);");
    int rows = 0;
    const auto save = [&] {
        db.ExecSQL("INSERT INTO t VALUES(1);");
        ++rows;
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        disk.FailWrites(c.File, SQLITE_IOERR_WRITE, c.SystemError);
        EXPECT_EQ(Told(save), c.Told);
        EXPECT_EQ(Told(save), c.Told);
        disk.Heal();
        if (c.Told == full) continue;
        // The other program holds the file again, and lets go while the save waits for it.
        db.SetBusyTimeout(5000);
        const int failuresBefore = disk.Failures();
        disk.FailWrites(c.File, SQLITE_IOERR_WRITE, c.SystemError);
        std::thread letGo([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            disk.Heal();
        });
        EXPECT_EQ(Told(save), "done");
        letGo.join();
        EXPECT_GT(disk.Failures(), failuresBefore) << "the save never met the held file";
        db.SetBusyTimeout(100);
    }
    EXPECT_EQ(db.GetTable("SELECT count(*) FROM t;")->FieldAsString(0), std::to_string(rows));
}

// A volume that turned read-only under an open notes file refuses the file and its folder alike.
// The journal that could not be made needed the folder, and that is what is told, whether SQLite
// says so itself (as it does here) or the file layer only refuses the journal (as Windows' does).
TEST_F(SQLiteAccess, AJournalARefusingVolumeCouldNotTakeNamesTheFolder) {
    namespace fs = std::filesystem;
    fs::permissions(folder.Path(), fs::perms::all, fs::perm_options::add);
    const std::string volume = folder.File("volume");
    const std::string notes = volume + "/notes.db";
    const auto told = RunWherePermissionsBind([&] {
        TFaultyDisk disk;
        fs::create_directory(volume);
        TSQLiteDatabase db(notes);
        db.ExecSQL("CREATE TABLE t(a integer);");
        const auto noWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        fs::permissions(notes, noWrite, fs::perm_options::remove);
        fs::permissions(volume, noWrite, fs::perm_options::remove);
        const auto insert = [&] { db.ExecSQL("INSERT INTO t VALUES(1);"); };
        std::string lines = Told(insert) + "\n";
        disk.FailJournalOpen(AccessDenied);
        return lines + Told(insert);
    });
    if (!told) GTEST_SKIP() << "no account here is bound by a folder's permissions";
    const std::string folderRefused =
        "not written: The folder \"" + volume +
        "\" does not let Miravelund create the journal file it writes beside the notes file \"" + notes +
        "\", so nothing could be written. Ask for permission to change that folder, or move the notes file "
        "to a folder of your own.";
    EXPECT_EQ(*told, folderRefused + "\n" + folderRefused);
    fs::permissions(volume, fs::perms::owner_all, fs::perm_options::add);
}

} // namespace
