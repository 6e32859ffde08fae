// The log file component against real files (natively and under Wine).
#include "base/Exceptions.h"
#include "base/Streams.h"
#include "components/MvFileReplace.h"
#include "components/MvLogFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("mvlog-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(Dir);
        fs::create_directories(Dir);
        Path = (Dir / "Test.log").string();
    }
    void TearDown() override {
        std::error_code Ignored;
        fs::remove_all(Dir, Ignored);
    }
    static std::string Read(const std::string& File) {
        std::ifstream In(File, std::ios::binary);
        std::stringstream Out;
        Out << In.rdbuf();
        return Out.str();
    }
    static void Write(const std::string& File, const std::string& Text) {
        std::ofstream(File, std::ios::binary) << Text;
    }
    std::unique_ptr<TMvLogFile> OpenLog() {
        auto Log = std::make_unique<TMvLogFile>(nullptr);
        Log->SetFileName(Path);
        Log->SetAutoSave(true);
        return Log;
    }

    fs::path Dir;
    std::string Path;
};

TEST_F(LogFileTest, EveryRecordRewritesTheFileAndReadsBack) {
    auto Log = OpenLog();
    Log->AddLogRecord("t", "a>b", "c");
    EXPECT_EQ(Read(Path), "[t]a>>b>c\r\n");
    Log->AddLogRecord("12:00", "", "two\r\nlines");
    EXPECT_EQ(Read(Path), "[t]a>>b>c\r\n[12:00]>two  lines\r\n");
    EXPECT_FALSE(fs::exists(ReplacementFileName(Path))) << "no temporary file is left behind";

    TMvLogFile Again(nullptr);
    Again.SetFileName(Path);
    ASSERT_EQ(Again.Count(), 2);
    EXPECT_EQ(Again.Records(0), (mv::components::TMvLogRecord{"t", "a>b", "c"}));
    EXPECT_EQ(Again.Records(1).Description, "two  lines");
}

TEST_F(LogFileTest, SettingTheNameLoadsWithoutTrimmingOrRewriting) {
    const std::string Existing = "junk line\r\n[1]>one\n[2]>two\r[3]>three\r\n[4]>four\r\n";
    Write(Path, Existing);
    TMvLogFile Log(nullptr);
    Log.SetFileName((Dir / "other.log").string());
    Log.SetAutoSave(true);
    Log.SizeLimit = 20;
    Log.AddLogRecord("0", "", "kept in memory only until the name changes");
    Log.SetFileName(Path);
    ASSERT_EQ(Log.Count(), 4);
    EXPECT_EQ(Log.Records(3).Description, "four");
    EXPECT_EQ(Read(Path), Existing) << "the file on disk is left alone";

    Log.AddLogRecord("5", "", "five");
    EXPECT_EQ(Read(Path), "[4]>four\r\n[5]>five\r\n") << "the limit applies from the next record on";
}

TEST_F(LogFileTest, AMissingFileKeepsTheRecordsInMemory) {
    TMvLogFile Log(nullptr);
    Log.AddLogRecord("1", "", "one");
    Log.SetFileName(Path);
    EXPECT_EQ(Log.Count(), 1);
    EXPECT_FALSE(fs::exists(Path));
}

TEST_F(LogFileTest, AutoSaveNeedsAFileName) {
    TMvLogFile Log(nullptr);
    Log.SetAutoSave(true);
    EXPECT_FALSE(Log.AutoSave());
    Log.SetFileName(Path);
    EXPECT_FALSE(Log.AutoSave());
    Log.AddLogRecord("1", "", "one");
    EXPECT_FALSE(fs::exists(Path));
    Log.SetAutoSave(true);
    EXPECT_TRUE(Log.AutoSave());
}

TEST_F(LogFileTest, AnInactiveLogChangesNothing) {
    auto Log = OpenLog();
    Log->SetActive(false);
    Log->AddLogRecord("1", "", "one");
    EXPECT_EQ(Log->Count(), 0);
    EXPECT_FALSE(fs::exists(Path));
}

TEST_F(LogFileTest, ClearAndDeleteSaveToo) {
    auto Log = OpenLog();
    Log->AddLogRecord("1", "", "one");
    Log->AddLogRecord("2", "", "two");
    Log->DeleteLogRecord(0);
    EXPECT_EQ(Read(Path), "[2]>two\r\n");
    EXPECT_THROW(Log->DeleteLogRecord(1), EListError);
    Log->ClearLog();
    EXPECT_TRUE(fs::exists(Path));
    EXPECT_EQ(Read(Path), "");
}

TEST_F(LogFileTest, AFailedWriteKeepsTheOldFile) {
    auto Log = OpenLog();
    Log->AddLogRecord("1", "", "one");
    // The temporary file cannot be made: a folder stands in its way.
    fs::create_directories(ReplacementFileName(Path));
    EXPECT_THROW(Log->AddLogRecord("2", "", "two"), EFCreateError);
    EXPECT_EQ(Read(Path), "[1]>one\r\n");
    EXPECT_EQ(Log->Count(), 2) << "the record stays in memory";
    // The destructor saves again, fails again and says nothing.
    EXPECT_NO_THROW(Log.reset());
    EXPECT_EQ(Read(Path), "[1]>one\r\n");
    fs::remove_all(ReplacementFileName(Path));
}

TEST_F(LogFileTest, TheDestructorSavesWhatIsInMemory) {
    {
        TMvLogFile Log(nullptr);
        Log.AddLogRecord("1", "", "one");
        Log.SetFileName(Path);
        Log.SetAutoSave(true);
    }
    EXPECT_EQ(Read(Path), "[1]>one\r\n");
}

TEST_F(LogFileTest, StreamsCarryTheSameText) {
    TStringStream In("[a]x>y\r\n[b]>z\r\n");
    TMvLogFile Log(nullptr);
    Log.LoadLogFromStream(In);
    ASSERT_EQ(Log.Count(), 2);
    TStringStream Out;
    Log.SaveLogToStream(Out);
    EXPECT_EQ(Out.DataString(), "[a]x>y\r\n[b]>z\r\n");
    EXPECT_THROW(Log.LoadLogFromFile((Dir / "absent.log").string()), EFOpenError);
}

} // namespace
