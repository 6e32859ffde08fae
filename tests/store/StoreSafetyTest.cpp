// Files in the states users' files end up in: held by another program, damaged by a disk fault,
// written by a newer version, or not ours at all. Nothing typed is lost and nothing foreign is
// changed.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "store/NotesStore.h"
#include "store/StoreSchema.h"
#include "tests/store/FaultyDisk.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/store/TempFolder.h"

namespace {

class StoreSafety : public ::testing::Test {
protected:
    TTempFolder folder;
    std::string path = folder.File("notes.mvdb");
};

TEST_F(StoreSafety, ALockHeldForAMomentIsWaitedForNotReported) {
    TLockWait wait(5000);
    TNotesStore store(path);
    const int32_t home = Topic(store, "Home");
    store.Commit();
    TRawDatabase other(path);
    sqlite3_busy_timeout(other.Handle(), 5000);
    other.Exec("BEGIN IMMEDIATE;"); // another program's write transaction
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.Exec("INSERT INTO versions VALUES('other', 1); COMMIT;");
    });
    EXPECT_NO_THROW({
        // The store has read in its transaction, as it does after every navigation: its read lock
        // must not keep the other program from finishing.
        Topic(store, "Home");
        Save(store, home, "Home", "typed while the file was held");
        store.Commit();
    });
    release.join();
    {
        // A reader (a backup program copying the file) holds it while the checkpoint commits.
        TRawDatabase reader(path);
        reader.Exec("BEGIN; SELECT count(*) FROM topic;");
        std::thread done([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            reader.Exec("COMMIT;");
        });
        EXPECT_NO_THROW({
            Save(store, home, "Home", "typed while the file was read");
            store.Commit();
        });
        done.join();
    }
    TRawDatabase reader(path);
    EXPECT_EQ(reader.Scalar("SELECT content FROM topic WHERE title = 'Home'"),
              "typed while the file was read");
}

TEST_F(StoreSafety, ALockHeldLongerRefusesInPlainWordsAndTheNextTryStoresIt) {
    TLockWait wait(100);
    TNotesStore store(path);
    const int32_t home = Topic(store, "Home");
    store.Commit();
    {
        // Another program writes: the save itself is refused.
        TRawDatabase other(path);
        other.Exec("BEGIN IMMEDIATE;");
        try {
            Save(store, home, "Home", "first words");
            FAIL() << "the save went through a write lock";
        } catch (const EDatabaseBusy& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find(path), std::string::npos) << text;
            EXPECT_NE(text.find("in use by another program"), std::string::npos) << text;
            EXPECT_EQ(text.find("UPDATE"), std::string::npos) << "no SQL for the user: " << text;
            EXPECT_EQ(text.find("locked"), std::string::npos) << text;
        }
        other.Exec("ROLLBACK;");
    }
    Save(store, home, "Home", "first words");
    {
        // Another program reads: the save is held in the transaction and the commit is refused.
        TRawDatabase other(path);
        other.Exec("BEGIN; SELECT count(*) FROM topic;");
        EXPECT_THROW(store.Commit(), EDatabaseBusy);
        other.Exec("COMMIT;");
    }
    store.Commit(); // the checkpoint after the lock tries again
    TRawDatabase reader(path);
    EXPECT_EQ(reader.Scalar("SELECT content FROM topic WHERE title = 'Home'"), "first words");
}

// Writes a topic large enough to fill a chain of overflow pages, then zeroes one page in the middle
// of that chain, as a disk fault would.
void DamageTopic(const std::string& path, const std::string& title) {
    int before = 0;
    int after = 0;
    {
        TNotesStore store(path);
        const int32_t id = Topic(store, title);
        Save(store, id, title, "small");
        store.Commit();
        before = std::stoi(TRawDatabase(path).Scalar("PRAGMA page_count;"));
        Save(store, id, title, std::string(200000, 'x'));
        store.Commit();
        after = std::stoi(TRawDatabase(path).Scalar("PRAGMA page_count;"));
    }
    ASSERT_GT(after - before, 10);
    const int pageSize = std::stoi(TRawDatabase(path).Scalar("PRAGMA page_size;"));
    std::string bytes = ReadWholeFile(path);
    const int page = (before + after) / 2; // 1-based
    bytes.replace(static_cast<size_t>(page - 1) * pageSize, pageSize, std::string(pageSize, '\0'));
    WriteWholeFile(path, bytes);
}

TEST_F(StoreSafety, ADamagedFileIsReportedAsDamagedAndNothingMoreIsWrittenIntoIt) {
    {
        TNotesStore store(path);
        Save(store, Topic(store, "Home"), "Home", "home");
        store.Commit();
    }
    DamageTopic(path, "Big");
    const std::string damaged = ReadWholeFile(path);
    std::vector<std::string> logged;
    {
        TNotesStore store(path); // opens: the damage lies in a page no start-up step reads
        store.OnLog = [&](const std::string& text) { logged.push_back(text); };
        TTopicRect rect;
        EXPECT_EQ(store.GetTopic(Topic(store, "Home"), rect)->DataString(), "home");
        try {
            store.GetTopic(Topic(store, "Big"), rect);
            FAIL() << "the damaged page was read without a word";
        } catch (const EDatabaseDamaged& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find(path), std::string::npos) << text;
            EXPECT_NE(text.find("is damaged"), std::string::npos) << text;
            EXPECT_NE(text.find("restore a copy"), std::string::npos) << text;
            EXPECT_EQ(text.find("SELECT"), std::string::npos) << "no SQL for the user: " << text;
        }
        EXPECT_TRUE(store.Connection().Damaged());
        EXPECT_THROW(Save(store, Topic(store, "Home"), "Home", "after the damage"), EDatabaseDamaged);
        bool created = true;
        EXPECT_THROW(store.FindTopic("", "New", created), EDatabaseDamaged);
        EXPECT_THROW(store.Commit(), EDatabaseDamaged);
        // Reads still serve what can be read, so the user can copy it out.
        EXPECT_EQ(store.GetTopic(Topic(store, "Home"), rect)->DataString(), "home");
    }
    EXPECT_EQ(ReadWholeFile(path), damaged) << "the damaged file was written after the damage showed";
    ASSERT_FALSE(logged.empty()) << "the refused last commit is logged";
    EXPECT_NE(logged.back().find("is damaged"), std::string::npos) << logged.back();
}

TEST_F(StoreSafety, RefusesANewerVersionsFileAndLeavesItByteIdentical) {
    {
        TNotesStore store(path);
        Save(store, Topic(store, "Home"), "Home", "written by a newer version");
        store.Commit();
    }
    TRawDatabase(path).Exec("PRAGMA user_version = " + std::to_string(StoreSchemaVersion + 1) + ";");
    const std::string before = ReadWholeFile(path);
    try {
        TNotesStore store(path);
        FAIL() << "a newer file was opened";
    } catch (const ESQLiteException& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find(path), std::string::npos) << text;
        EXPECT_NE(text.find("written by a newer version of Miravelund"), std::string::npos) << text;
    }
    EXPECT_EQ(ReadWholeFile(path), before);
}

TEST_F(StoreSafety, RefusesAForeignFileWithATopicTableOfOtherColumnsByteIdentical) {
    {
        TRawDatabase raw(path);
        raw.Exec("CREATE TABLE topic(name text, forum integer); INSERT INTO topic VALUES('welcome', 1);");
    }
    const std::string before = ReadWholeFile(path);
    try {
        TNotesStore store(path);
        FAIL() << "a foreign file was opened";
    } catch (const ESQLiteException& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("is not a Miravelund database. Miravelund has not changed it."),
                  std::string::npos)
            << text;
        EXPECT_EQ(text.find("CREATE"), std::string::npos) << text;
    }
    EXPECT_EQ(ReadWholeFile(path), before);
}

TEST_F(StoreSafety, OurFileWithColumnsAndTablesAddedLaterStillFits) {
    { TNotesStore store(path); }
    TRawDatabase(path).Exec(
        "ALTER TABLE topic ADD COLUMN colour text; CREATE TABLE attachments(id integer);");
    EXPECT_NO_THROW(TNotesStore store(path));
}

} // namespace
