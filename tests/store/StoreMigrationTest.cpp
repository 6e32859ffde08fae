// Files made with the first schema: their "string" columns are rebuilt as text once, in one
// transaction, and everything they held is kept.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "store/NotesStore.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/store/TempFolder.h"

namespace {

using ::testing::ElementsAre;

// The statements the first version of the program created its files with.
void CreateVersionOneFile(const std::string& path) {
    TRawDatabase raw(path);
    raw.Exec("BEGIN TRANSACTION;"
             "CREATE TABLE topic(id integer primary key, title string, namespace integer, content blob, meta "
             "blob, "
             "x integer, y integer, w integer, h integer);"
             "CREATE TABLE namespace(id integer primary key, title string);"
             "CREATE TABLE tag(id integer primary key, title string);"
             "CREATE TABLE tag_link(tag_id integer, topic_id integer);"
             "CREATE TABLE meta_value(name string primary key, content blob);"
             "CREATE TABLE versions(name string primary key, value integer);"
             "PRAGMA user_version = 1;"
             "INSERT INTO namespace VALUES(1, ''), (2, 'Work'), (3, '2024');"
             "INSERT INTO topic VALUES(1, 'Home', 1, CAST('{\\rtf1 home}' AS BLOB), 'splitter_pos=150', 1, "
             "2, 3, 4);"
             "INSERT INTO topic VALUES(2, '007', 2, '', NULL, NULL, NULL, NULL, NULL);"
             "INSERT INTO topic VALUES(5, 'Plan', 3, 'plan', '', 0, 0, 640, 480);"
             "INSERT INTO tag VALUES(1, 'urgent'), (2, '1e3');"
             "INSERT INTO tag_link VALUES(1, 1), (2, 5);"
             "INSERT INTO meta_value VALUES('PROPERTIES', 'version=1\r\nlist.visible=true\r\n');"
             "COMMIT;");
}

class StoreMigration : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string path = folder.File("old.mvdb");
};

TEST_F(StoreMigration, RebuildsStringColumnsAsTextAndKeepsTheData) {
    CreateVersionOneFile(path);
    {
        TRawDatabase raw(path); // what the old affinity made of the typed titles
        EXPECT_EQ(raw.Scalar("SELECT typeof(title) FROM topic WHERE id = 2"), "integer");
    }
    {
        TNotesStore store(path);
        EXPECT_EQ(store.Properties().Values("list.visible"), "true");
        TTopicRect rect;
        EXPECT_EQ(store.GetTopic(1, rect)->DataString(), "{\\rtf1 home}");
        EXPECT_EQ(rect.W, 3);
        EXPECT_EQ(store.GetTopicMeta(1)->DataString(), "splitter_pos=150");
        // The old column had already turned "1e3" into 1000; the rebuild keeps what is there.
        EXPECT_THAT(Lines(store.ListTopicTags(5)), ElementsAre("1000"));
        EXPECT_THAT(Lines(store.ListNamespaces()), ElementsAre("2024=3", "=1", "Work=2"));
        // The number the old column made of "007" is text now and found as such.
        bool created = false;
        EXPECT_EQ(store.FindTopic("Work", "7", created), 2);
        // Ids go on from the highest ones kept.
        created = true;
        EXPECT_EQ(store.FindTopic("Work", "007", created), 6);
        EXPECT_TRUE(created);
        created = true;
        EXPECT_EQ(store.FindTopic("Work", "007", created), 6);
        EXPECT_FALSE(created);
        EXPECT_EQ(store.GetTagID("1000"), 2);
        EXPECT_EQ(store.GetTagID("1e3"), 3);
        EXPECT_EQ(store.GetTagID("1e3"), 3);
    }
    TRawDatabase raw(path);
    EXPECT_EQ(raw.Scalar("PRAGMA user_version"), "2");
    EXPECT_EQ(raw.Scalar("SELECT count(*) FROM pragma_table_info('topic') WHERE type = 'string'"), "0");
    EXPECT_EQ(raw.Scalar("SELECT count(*) FROM sqlite_master WHERE name LIKE 'mv_old_%'"), "0");
    EXPECT_EQ(raw.Scalar("SELECT typeof(title) FROM topic WHERE id = 2"), "text");
    EXPECT_EQ(raw.Scalar("SELECT title FROM topic WHERE id = 6"), "007");
    EXPECT_EQ(raw.Scalar("SELECT typeof(title) FROM namespace WHERE id = 3"), "text");
    EXPECT_EQ(IndexNamesOf(raw), StoreIndexNames());
}

// The file of the previous version: text columns already, an index on the binary titles that the
// lookups no longer use, and accented titles that its lookups confused (a rename could store
// "Möller" beside "Müller", but opening "Möller" then found "Müller").
void CreateVersionTwoFile(const std::string& path) {
    TRawDatabase raw(path);
    raw.Exec(
        "BEGIN TRANSACTION;"
        "CREATE TABLE topic(id integer primary key, title text, namespace integer, content blob, meta blob, "
        "x integer, y integer, w integer, h integer);"
        "CREATE TABLE namespace(id integer primary key, title text);"
        "CREATE TABLE tag(id integer primary key, title text);"
        "CREATE TABLE tag_link(tag_id integer, topic_id integer);"
        "CREATE TABLE meta_value(name text primary key, content blob);"
        "CREATE TABLE versions(name text primary key, value integer);"
        "CREATE INDEX topic_namespace_title ON topic(namespace, title);"
        "CREATE INDEX tag_link_topic_tag ON tag_link(topic_id, tag_id);"
        "CREATE INDEX tag_link_tag ON tag_link(tag_id);"
        "PRAGMA user_version = 2;"
        "INSERT INTO namespace VALUES(1, ''), (2, '\xC4rger');"
        "INSERT INTO topic VALUES(1, 'M\xFCller', 1, 'm\xFC', '', 0, 0, 0, 0);"
        "INSERT INTO topic VALUES(2, 'M\xF6ller', 1, 'm\xF6', '', 0, 0, 0, 0);"
        "INSERT INTO topic VALUES(3, 'Home', 2, 'home', '', 0, 0, 0, 0);"
        "INSERT INTO tag VALUES(1, 'f\xFCr');"
        "INSERT INTO tag_link VALUES(1, 2);"
        "INSERT INTO meta_value VALUES('PROPERTIES', 'version=1\r\n');"
        "COMMIT;");
}

TEST_F(StoreMigration, APreviousVersionFileGetsTheNewIndexesAndItsWordsApart) {
    CreateVersionTwoFile(path);
    {
        TNotesStore store(path);
        bool created = false;
        EXPECT_EQ(store.FindTopic("", "m\xF6ller", created), 2);
        EXPECT_EQ(store.FindTopic("", "M\xFCLLER", created), 1);
        EXPECT_EQ(store.FindTopic("\xD6rger", "Home", created), -1); // Örger is not Ärger
        EXPECT_EQ(store.FindTopic("\xC4RGER", "home", created), 3);
        EXPECT_EQ(store.FindTag("f\xE4r", created), -1);
        EXPECT_THAT(Lines(store.ListTopicTags(2)), ElementsAre("f\xFCr"));
        created = true;
        EXPECT_EQ(store.FindTag("f\xE4r", created), 2);
    }
    TRawDatabase raw(path);
    EXPECT_EQ(raw.Scalar("PRAGMA user_version"), "2");
    EXPECT_EQ(IndexNamesOf(raw), StoreIndexNames());
    EXPECT_EQ(raw.Scalar("SELECT count(*) FROM topic"), "3");
}

TEST_F(StoreMigration, HappensOnlyOnce) {
    CreateVersionOneFile(path);
    { TNotesStore store(path); }
    {
        // A column declared "string" at version 2 is left alone: the rebuild belongs to version 1.
        TRawDatabase raw(path);
        raw.Exec("CREATE TABLE extra(v string); ");
        raw.Exec("DROP TABLE versions; CREATE TABLE versions(name string primary key, value integer);");
    }
    { TNotesStore store(path); }
    TRawDatabase raw(path);
    EXPECT_EQ(raw.Scalar("SELECT type FROM pragma_table_info('versions') WHERE name = 'name'"), "string");
}

TEST_F(StoreMigration, AFailedMigrationLeavesTheFileAsItWas) {
    CreateVersionOneFile(path);
    {
        // A table in the way of the rebuild of "tag", the third table rebuilt.
        TRawDatabase raw(path);
        raw.Exec("CREATE TABLE mv_old_tag(x);");
    }
    const std::string before = ReadWholeFile(path);
    EXPECT_THROW(TNotesStore store(path), ESQLiteException);
    EXPECT_EQ(ReadWholeFile(path), before);
    TRawDatabase raw(path);
    EXPECT_EQ(raw.Scalar("PRAGMA user_version"), "1");
    EXPECT_EQ(raw.Scalar("SELECT typeof(title) FROM topic WHERE id = 2"), "integer");
}

} // namespace
