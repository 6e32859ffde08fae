// The notes store's file, schema, ids, properties, checkpoint and closing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#endif

#include "base/Exceptions.h"
#include "base/StrUtils.h"
#include "base/Streams.h"
#include "store/NotesStore.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/store/TempFolder.h"

namespace {

using ::testing::ElementsAre;

class NotesStoreLife : public ::testing::Test {
protected:
    // A lock held by a test is held for good: the store need not wait long to find that out.
    void SetUp() override { TSQLiteDatabase::BusyTimeoutMilliseconds = 100; }
    void TearDown() override { TSQLiteDatabase::BusyTimeoutMilliseconds = savedTimeout_; }
    const int savedTimeout_ = TSQLiteDatabase::BusyTimeoutMilliseconds;

    int32_t NewTopic(TNotesStore& store, const std::string& ns, const std::string& title) {
        bool created = true;
        return store.FindTopic(ns, title, created);
    }

    TTempFolder folder;
    std::string path = folder.File("notes.mvdb");
};

TEST_F(NotesStoreLife, NewFileGetsTheSchemaVersionAndFirstIds) {
    {
        TNotesStore store(path);
        EXPECT_EQ(store.Properties().Values("version"), "1");
        EXPECT_EQ(store.GetNamespaceID(""), 1);
        EXPECT_EQ(store.GetTagID("first"), 1);
        EXPECT_EQ(NewTopic(store, "", "Home"), 1);
        store.Commit();
    }
    TRawDatabase raw(path);
    EXPECT_EQ(raw.Scalar("PRAGMA user_version"), "2");
    EXPECT_EQ(raw.Column("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"),
              (std::vector<std::string>{"topic", "namespace", "tag", "tag_link", "meta_value", "versions"}));
    // Titles and names are text columns: nothing typed is ever turned into a number.
    for (const char* table : {"topic", "namespace", "tag"})
        EXPECT_EQ(raw.Scalar(std::string("SELECT type FROM pragma_table_info('") + table +
                             "') WHERE name = 'title'"),
                  "TEXT")
            << table;
    EXPECT_EQ(raw.Scalar("SELECT type FROM pragma_table_info('meta_value') WHERE name = 'name'"), "TEXT");
    EXPECT_EQ(IndexNamesOf(raw), StoreIndexNames());
    EXPECT_EQ(raw.Scalar("SELECT content FROM meta_value WHERE name = 'PROPERTIES'"), "version=1\r\n");
}

// A file that exists but holds no table is new: empty, or left by a crash before the schema
// was committed.
TEST_F(NotesStoreLife, AFileWithoutTablesIsTreatedAsNew) {
    WriteWholeFile(path, "");
    {
        TNotesStore store(path);
        EXPECT_EQ(NewTopic(store, "", "Home"), 1);
    }
    TRawDatabase raw(path);
    EXPECT_EQ(raw.Scalar("SELECT title FROM topic WHERE id = 1"), "Home");
}

TEST_F(NotesStoreLife, IdsContinueAfterTheHighestAndAreNotReusedInARun) {
    {
        TNotesStore store(path);
        for (int i = 1; i <= 7; ++i)
            ASSERT_EQ(NewTopic(store, "", "t" + std::to_string(i)), i);
        for (int id : {3, 4, 5, 6})
            store.DeleteTopic(id);
        store.DeleteTopic(7);
        EXPECT_EQ(NewTopic(store, "", "eight"), 8); // 7 was freed in this run: not reused
        store.DeleteTopic(8);
    }
    {
        TNotesStore store(path);
        EXPECT_EQ(NewTopic(store, "", "again"), 3); // the highest left is 2
        EXPECT_EQ(NewTopic(store, "other", "x"), 4);
        EXPECT_EQ(store.GetNamespaceID("other"), 2);
    }
}

TEST_F(NotesStoreLife, PropertiesSurviveACheckpointAndEmptyValuesVanish) {
    {
        TNotesStore store(path);
        store.Properties().SetValue("list.visible", "true");
        store.Properties().SetValue("list.l", "120");
        store.Properties().SetValue("active.window", "Default:Home");
        store.Properties().SetValue("active.window", "");
        store.Commit();
        auto stored = store.GetMeta("Properties");
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->DataString(), "version=1\r\nlist.visible=true\r\nlist.l=120\r\n");
    }
    TNotesStore store(path);
    EXPECT_EQ(store.Properties().Values("LIST.VISIBLE"), "true");
    EXPECT_EQ(store.Properties().Values("list.l"), "120");
    EXPECT_EQ(store.Properties().IndexOfName("active.window"), -1);
}

struct TVersionCase {
    const char* Stored; // the properties blob as found in the file
    const char* Version;
};

TEST_F(NotesStoreLife, AMissingOrZeroVersionBecomesOne) {
    const TVersionCase cases[] = {
        {"other=x\r\n", "1"},
        {"version=0\r\n", "1"},
        {"version=3\r\n", "3"},
        {"", "1"},
    };
    for (const auto& c : cases) {
        { TNotesStore store(path); }
        {
            TRawDatabase raw(path);
            raw.Exec(std::string("INSERT OR REPLACE INTO meta_value VALUES('PROPERTIES', '") + c.Stored +
                     "')");
        }
        TNotesStore store(path);
        EXPECT_EQ(store.Properties().Values("version"), c.Version) << c.Stored;
    }
}

TEST_F(NotesStoreLife, ANonNumericVersionIsAConversionError) {
    { TNotesStore store(path); }
    {
        TRawDatabase raw(path);
        raw.Exec("INSERT OR REPLACE INTO meta_value VALUES('PROPERTIES', 'version=abc')");
    }
    EXPECT_THROW(TNotesStore store(path), EConvertError);
}

TEST_F(NotesStoreLife, OrphanNamespacesStayDuringTheRunAndGoAtClose) {
    {
        TNotesStore store(path);
        NewTopic(store, "", "Home");
        const int32_t moved = NewTopic(store, "Work", "Plan");
        store.GetNamespaceID("Empty");
        TStringStream content("x");
        store.SaveTopic(moved, "Archive", TTopicRect{}, content, "Plan"); // Work loses its last topic
        EXPECT_THAT(Lines(store.ListNamespaces()), ElementsAre("=1", "Archive=4", "Empty=3", "Work=2"));
    }
    TNotesStore store(path);
    EXPECT_THAT(Lines(store.ListNamespaces()), ElementsAre("=1", "Archive=4"));
}

TEST_F(NotesStoreLife, ClosingCommitsWhatTheRunWrote) {
    {
        TNotesStore store(path);
        NewTopic(store, "", "Home");
    }
    TRawDatabase raw(path);
    EXPECT_EQ(raw.Scalar("SELECT title FROM topic"), "Home");
}

TEST_F(NotesStoreLife, ACheckpointReachesTheFileAndKeepsATransactionOpen) {
    TNotesStore store(path);
    NewTopic(store, "", "Home");
    store.Commit();
    store.Commit(); // twice in a row is fine
    {
        TRawDatabase raw(path);
        EXPECT_EQ(raw.Scalar("SELECT title FROM topic"), "Home");
        EXPECT_EQ(raw.Scalar("PRAGMA synchronous"), "2");
    }
    NewTopic(store, "", "Later");
    TRawDatabase raw(path);
    EXPECT_EQ(raw.Scalar("SELECT count(*) FROM topic"), "1"); // "Later" waits for the next checkpoint
}

// A reader holding the file keeps the store from committing.
class TReaderLock {
public:
    explicit TReaderLock(TRawDatabase& raw) {
        raw.Exec("BEGIN");
        raw.Column("SELECT count(*) FROM topic"); // takes the shared lock
        raw_ = &raw;
    }
    ~TReaderLock() { raw_->Exec("COMMIT"); }

private:
    TRawDatabase* raw_;
};

TEST_F(NotesStoreLife, AFailedCommitAtCloseIsLoggedNotThrown) {
    std::vector<std::string> log;
    TRawDatabase raw(path);
    auto store = std::make_unique<TNotesStore>(path);
    store->OnLog = [&](const std::string& text) { log.push_back(text); };
    NewTopic(*store, "", "Home");
    {
        TReaderLock lock(raw);
        EXPECT_NO_THROW(store.reset());
    }
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "Could not commit the notes database: The notes file \"" + path +
                          "\" is in use by another program (a backup or sync program, say), so Miravelund "
                          "could not read or write it.");
    EXPECT_EQ(raw.Scalar("SELECT count(*) FROM topic"), "0");
}

TEST_F(NotesStoreLife, ACheckpointThatFailsCanBeRetried) {
    TRawDatabase raw(path);
    TNotesStore store(path);
    NewTopic(store, "", "Home");
    {
        TReaderLock lock(raw);
        try {
            store.Commit();
            ADD_FAILURE() << "the commit should have failed";
        } catch (const EDatabaseBusy& e) {
            EXPECT_NE(e.Message().find("is in use by another program"), std::string::npos) << e.Message();
        }
    }
    store.Commit();
    EXPECT_EQ(raw.Scalar("SELECT title FROM topic"), "Home");
}

TEST_F(NotesStoreLife, TopicIdsOverflowAsErrorsNotByWrapping) {
    {
        TNotesStore store(path);
        NewTopic(store, "", "Home");
    }
    {
        TRawDatabase raw(path);
        raw.Exec("INSERT INTO topic (id, title, namespace) VALUES(2147483647, 'Last', 1)");
    }
    TNotesStore store(path);
    bool created = false;
    EXPECT_EQ(store.FindTopic("", "last", created), 2147483647);
    created = true;
    try {
        store.FindTopic("", "One more", created);
        ADD_FAILURE() << "no overflow raised";
    } catch (const EIntOverflow& e) {
        EXPECT_STREQ(e.what(), "Integer overflow");
    }
    created = false;
    EXPECT_EQ(store.FindTopic("", "One more", created), -1);
}

TEST_F(NotesStoreLife, AnSQLiteFileWithoutOurTablesIsRefusedUntouched) {
    {
        TRawDatabase raw(path);
        raw.Exec("CREATE TABLE other(a)");
        raw.Exec("PRAGMA user_version = 7");
    }
    const std::string before = ReadWholeFile(path);
    EXPECT_THROW(TNotesStore store(path), ESQLiteException);
    EXPECT_EQ(ReadWholeFile(path), before);
}

TEST_F(NotesStoreLife, BadFilesAreRefusedWithTheirReason) {
    WriteWholeFile(path, std::string(4096, 'n'));
    try {
        TNotesStore store(path);
        ADD_FAILURE() << "opened a file that is not a database";
    } catch (const ESQLiteException& e) {
        EXPECT_EQ(e.Message(), "Failed to open database \"" + path + "\" : file is not a database");
    }
    EXPECT_EQ(ReadWholeFile(path), std::string(4096, 'n'));
    EXPECT_THROW(TNotesStore store(folder.Path()), ESQLiteException);
}

} // namespace

namespace {

TEST_F(NotesStoreLife, MissingIndexesAreCreatedAtEveryOpen) {
    { TNotesStore store(path); }
    {
        TRawDatabase raw(path);
        raw.Exec(
            "DROP INDEX tag_link_tag; DROP INDEX topic_namespace_title_nocase; DROP INDEX tag_title_nocase;");
    }
    { TNotesStore store(path); }
    TRawDatabase raw(path);
    EXPECT_EQ(IndexNamesOf(raw), StoreIndexNames());
    // Not unique: an older file may hold equal titles.
    EXPECT_EQ(raw.Scalar("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND sql LIKE '%UNIQUE%'"),
              "0");
}

// The program names files in the system's 8-bit code page (Windows-1252 under Wine), as the C
// runtime and Windows' "A" functions read them: a folder named "café – notes" (the dash is outside
// Latin-1) holds the notes file SQLite writes there, and is refused as a folder itself.
TEST_F(NotesStoreLife, AFolderNamedWithAccentsHoldsTheNotesFile) {
    const std::string accented = folder.File("caf\xE9 \x96 notes");
#ifdef _WIN32
    ASSERT_EQ(_mkdir(accented.c_str()), 0);
#else
    ASSERT_EQ(mkdir(accented.c_str(), 0700), 0);
#endif
    const std::string file = accented + PathDelim + "notes.mvdb";
    {
        TNotesStore store(file);
        NewTopic(store, "", "Home");
        store.Commit();
    }
    {
        // The C runtime finds it by the same name.
        TFileStream written(file, fmOpenRead);
        char header[15] = {};
        written.ReadBuffer(header, sizeof header);
        EXPECT_EQ(std::string(header, sizeof header), "SQLite format 3");
    }
    {
        TNotesStore store(file);
        bool created = false;
        EXPECT_EQ(store.FindTopic("", "Home", created), 1);
    }
    try {
        TSQLiteDatabase db(accented);
        ADD_FAILURE() << "a folder was opened as a database";
    } catch (const ESQLiteException& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("is a folder"));
    }
}

} // namespace
