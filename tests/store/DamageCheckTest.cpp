// The check that looks through the whole notes file for damage beside the program: it finds damage
// in pages start-up never reads, the store then writes nothing more, and it never gets in the way
// of the program's own commits, nor reads while the program's connection does.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <optional>
#include <random>
#include <thread>

#include "store/DamageCheck.h"
#include "store/NotesStore.h"
#include "tests/store/FaultyDisk.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/store/TempFolder.h"

namespace {

using namespace std::chrono_literals;

std::string RowText(int n) {
    return "The words of topic " + std::to_string(n) + ", kept in its row.";
}

// A notebook of a few thousand small topics: their rows fill many pages of the topic table.
void MakeNotebook(const std::string& path) {
    TNotesStore store(path);
    Save(store, Topic(store, "Home"), "Home", "home");
    for (int n = 1; n <= 3000; ++n) {
        const std::string title = "Topic " + std::to_string(n);
        Save(store, Topic(store, title), title, RowText(n));
    }
    store.Commit();
}

// Zeroes the page that holds the row of topic n, as a disk fault would: a page in the middle of
// the topic table, which opening the store does not read.
void ZeroRowPage(const std::string& path, int n) {
    const int pageSize = std::stoi(TRawDatabase(path).Scalar("PRAGMA page_size;"));
    std::string bytes = ReadWholeFile(path);
    const size_t at = bytes.find(RowText(n));
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(bytes.find(RowText(n), at + 1), std::string::npos) << "the row is in one page only";
    const size_t page = at / pageSize;
    ASSERT_GT(page, 1u);
    bytes.replace(page * pageSize, pageSize, std::string(pageSize, '\0'));
    WriteWholeFile(path, bytes);
}

// A notebook whose topics carry many tags: hundreds of thousands of small rows in a table and two
// indexes, which the check takes a few tenths of a second to read through.
constexpr int TagLinks = 600000;
void MakeTaggedNotebook(const std::string& path) {
    { TNotesStore store(path); }
    TRawDatabase(path).Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                            std::to_string(TagLinks) +
                            ") INSERT INTO tag_link (tag_id, topic_id) SELECT i / 100 + 1, i FROM n;");
}

TDamageCheck::TOutcome WaitForOutcome(const TDamageCheck& check) {
    const auto until = std::chrono::steady_clock::now() + 60s;
    while (check.Outcome() == TDamageCheck::TOutcome::Running && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
    return check.Outcome();
}

class DamageCheck : public ::testing::Test {
protected:
    void SetUp() override {
        TDamageCheck::RestartAfter = 0ms;
        TDamageCheck::RetryHeldFileAfter = 20ms;
        TDamageCheck::QuietFor = 10ms;
    }
    void TearDown() override {
        TDamageCheck::RestartAfter = savedRestart;
        TDamageCheck::RetryHeldFileAfter = savedRetry;
        TDamageCheck::QuietFor = savedQuiet;
        TDamageCheck::LongestWait = savedLongest;
    }

    TTempFolder folder;
    std::string path = folder.File("notes.mvdb");
    std::chrono::milliseconds savedRestart = TDamageCheck::RestartAfter;
    std::chrono::milliseconds savedRetry = TDamageCheck::RetryHeldFileAfter;
    std::chrono::milliseconds savedQuiet = TDamageCheck::QuietFor;
    std::chrono::milliseconds savedLongest = TDamageCheck::LongestWait;
};

// A statement of the program's connection begun, as a read that has not finished yet.
class TRunningStatement {
public:
    explicit TRunningStatement(sqlite3* db) {
        sqlite3_prepare_v2(db, "SELECT title FROM topic", -1, &statement_, nullptr);
        EXPECT_EQ(sqlite3_step(statement_), SQLITE_ROW);
    }
    ~TRunningStatement() { sqlite3_finalize(statement_); }
    TRunningStatement(const TRunningStatement&) = delete;
    TRunningStatement& operator=(const TRunningStatement&) = delete;

private:
    sqlite3_stmt* statement_ = nullptr;
};

TEST_F(DamageCheck, FindsAZeroedPageStartUpDoesNotReadAndTheStoreThenWritesNothingMore) {
    MakeNotebook(path);
    {
        TNotesStore store(path);
        store.StartDamageCheck();
        ASSERT_EQ(WaitForOutcome(*store.DamageCheck()), TDamageCheck::TOutcome::Sound)
            << store.DamageCheck()->Details();
        EXPECT_FALSE(store.Connection().Damaged());
    }
    ZeroRowPage(path, 1500);
    const std::string damaged = ReadWholeFile(path);
    {
        TNotesStore store(path); // opens and serves Home: start-up meets no damage
        TTopicRect rect;
        EXPECT_EQ(store.GetTopic(Topic(store, "Home"), rect)->DataString(), "home");
        EXPECT_FALSE(store.Connection().Damaged());
        store.StartDamageCheck();
        ASSERT_EQ(WaitForOutcome(*store.DamageCheck()), TDamageCheck::TOutcome::Damaged);
        EXPECT_FALSE(store.DamageCheck()->Details().empty());
        EXPECT_TRUE(store.DamageFirstFoundByCheck());
        EXPECT_TRUE(store.Connection().Damaged());
        EXPECT_THROW(Save(store, Topic(store, "Home"), "Home", "typed after the check"), EDatabaseDamaged);
        EXPECT_THROW(store.Commit(), EDatabaseDamaged);
        EXPECT_EQ(store.GetTopic(Topic(store, "Home"), rect)->DataString(), "home") << "reads go on";
    }
    EXPECT_EQ(ReadWholeFile(path), damaged) << "the damaged file was written after the check found it";
}

// Every commit needs the file without readers. With no wait for locks at all, a commit that met
// the check's reader would fail as if another program held the file.
TEST_F(DamageCheck, CommitsStopTheCheckInsteadOfWaitingForItAndItsStoppedRunsReportNothing) {
    MakeNotebook(path);
    {
        // Long notes on chains of pages: a check long enough for commits to stop it part-way.
        TNotesStore store(path);
        for (int n = 1; n <= 24; ++n)
            Save(store, Topic(store, "Long " + std::to_string(n)), "Long " + std::to_string(n),
                 std::string(1 << 20, 'a' + n % 26));
        store.Commit();
    }
    TLockWait noWait(0);
    {
        TNotesStore store(path);
        const int32_t home = Topic(store, "Home");
        store.StartDamageCheck(); // starts over at once after each commit
        for (int n = 0; n < 100; ++n) {
            Save(store, home, "Home", "commit " + std::to_string(n));
            ASSERT_NO_THROW(store.Commit()) << "commit " << n;
        }
        EXPECT_EQ(WaitForOutcome(*store.DamageCheck()), TDamageCheck::TOutcome::Sound)
            << store.DamageCheck()->Details();
        EXPECT_FALSE(store.Connection().Damaged());
    }
    {
        // Closed while its check reads: the close stops the check and commits.
        TNotesStore store(path);
        Save(store, Topic(store, "Home"), "Home", "closed during the check");
        store.StartDamageCheck();
    }
    EXPECT_EQ(TRawDatabase(path).Scalar("SELECT content FROM topic WHERE title = 'Home'"),
              "closed during the check");
}

// The check's reads slow the program's: it reads nothing while the program's connection runs a
// statement, and goes on once that has ended.
TEST_F(DamageCheck, ReadsNothingWhileTheProgramsConnectionReadsAndGoesOnAfter) {
    MakeNotebook(path);
    TDamageCheck::LongestWait = 60s;
    TRawDatabase program(path);
    TDamageCheck check(
        path, [] {}, program.Handle());
    std::optional<TRunningStatement> read;
    {
        const TDamageCheck::THold hold(&check); // starts over once the statement runs
        read.emplace(program.Handle());
    }
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(check.PagesRead(), 0u);
    EXPECT_EQ(check.Outcome(), TDamageCheck::TOutcome::Running);
    read.reset();
    EXPECT_EQ(WaitForOutcome(check), TDamageCheck::TOutcome::Sound) << check.Details();
}

// A program that never stops reading still gets its file checked.
TEST_F(DamageCheck, WaitsForTheProgramsConnectionNoLongerThanTheLongestWaitAtATime) {
    MakeNotebook(path);
    TDamageCheck::LongestWait = 20ms;
    TRawDatabase program(path);
    TDamageCheck check(
        path, [] {}, program.Handle());
    std::optional<TRunningStatement> read;
    {
        const TDamageCheck::THold hold(&check);
        read.emplace(program.Handle());
    }
    EXPECT_EQ(WaitForOutcome(check), TDamageCheck::TOutcome::Sound) << check.Details();
}

// While the user works the program reads a little every 55 to 70 ms (a note's row, its tags), each
// read short, so that its connection is never quiet for QuietFor for long. The check gives way to
// each read, yet ends within a few times its run at idle: a check that waited out every read would
// read only in what is left of the gaps, about five times as long.
TEST_F(DamageCheck, EndsWithinAFewTimesItsIdleRunWhileTheProgramReadsEvery55To70Ms) {
    // The default QuietFor, which such reads keep from being quiet for long. The check's waits add
    // up to at most its reading plus LongestWait: here longer than any one wait these reads cause, as
    // the default of a second is, so that each such wait ends by itself, but short enough that a
    // file read through in a few tenths of a second shows what the waits add.
    TDamageCheck::QuietFor = 50ms;
    TDamageCheck::LongestWait = 100ms;
    MakeTaggedNotebook(path);
    TRawDatabase program(path);
    using Clock = std::chrono::steady_clock;
    Clock::duration idle;
    {
        const Clock::time_point began = Clock::now();
        TDamageCheck check(
            path, [] {}, program.Handle());
        ASSERT_EQ(WaitForOutcome(check), TDamageCheck::TOutcome::Sound) << check.Details();
        idle = Clock::now() - began;
    }
    // About twice the idle run plus LongestWait is what the check takes; a generous three times each.
    const Clock::duration bound = 3 * idle + 3 * TDamageCheck::LongestWait;
    std::mt19937 random(55);
    std::uniform_int_distribution<int> spacing(55, 70), topic(1, TagLinks);
    TDamageCheck check(
        path, [] {}, program.Handle());
    const Clock::time_point began = Clock::now();
    int reads = 0;
    while (check.Outcome() == TDamageCheck::TOutcome::Running && Clock::now() - began < bound) {
        program.Scalar("SELECT tag_id FROM tag_link WHERE topic_id = " + std::to_string(topic(random)));
        ++reads;
        std::this_thread::sleep_for(std::chrono::milliseconds(spacing(random)));
    }
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
    };
    EXPECT_EQ(check.Outcome(), TDamageCheck::TOutcome::Sound)
        << "still checking after " << ms(Clock::now() - began) << " ms and " << reads
        << " reads of the program, against " << ms(idle) << " ms at idle";
}

TEST_F(DamageCheck, AFileAnotherProgramHoldsIsCheckedOnceItLetsGo) {
    MakeNotebook(path);
    TRawDatabase other(path);
    other.Exec("BEGIN EXCLUSIVE;");
    bool damageMarked = false;
    TDamageCheck check(path, [&] { damageMarked = true; });
    std::this_thread::sleep_for(300ms); // several tries
    EXPECT_EQ(check.Outcome(), TDamageCheck::TOutcome::Running);
    other.Exec("COMMIT;");
    EXPECT_EQ(WaitForOutcome(check), TDamageCheck::TOutcome::Sound) << check.Details();
    EXPECT_FALSE(damageMarked);
}

} // namespace
