// The log file component against real files (natively and under Wine).
#include "base/Exceptions.h"
#include "base/Streams.h"
#include "logfile/MvFileReplace.h"
#include "logfile/MvLogFile.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

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
    EXPECT_EQ(Again.Records(0), (mv::logfile::TMvLogRecord{"t", "a>b", "c"}));
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

TEST_F(LogFileTest, AFileThatCannotBeWrittenRaisesAndKeepsTheRecord) {
    const std::string Folder = (Dir / "in-the-way.log").string();
    fs::create_directories(Folder);
    auto Log = std::make_unique<TMvLogFile>(nullptr);
    Log->SetFileName(Folder);
    Log->SetAutoSave(true);
    EXPECT_THROW(Log->AddLogRecord("1", "", "one"), EFCreateError);
    EXPECT_EQ(Log->Count(), 1) << "the record stays in memory";
    EXPECT_FALSE(fs::exists(ReplacementFileName(Folder))) << "no temporary file is left behind";
    // The destructor saves again, fails again and says nothing.
    EXPECT_NO_THROW(Log.reset());
    EXPECT_TRUE(fs::is_directory(Folder));
}

// A program folder that cannot be written (a file stands where it should be: it refuses a new file
// as a read-only folder does) puts the log in the next folder that can, and its first line names
// where it is and why; beside the program it says nothing of that. The test file goes again.
TEST_F(LogFileTest, TheLogGoesToTheFirstFolderThatCanBeWrittenAndSaysWhereWhenNotBesideTheProgram) {
    const std::string Program = (Dir / "program").string();
    const std::string Refusing = (Dir / "refusing").string();
    const std::string Settings = (Dir / "settings").string();
    const std::string Temp = (Dir / "temp").string();
    fs::create_directories(Program);
    fs::create_directories(Temp);
    Write(Refusing, "not a folder");
    const TLogPlace Beside = ChooseLogPlace(Program, {Settings, Temp});
    EXPECT_EQ(Beside.Folder, Program);
    EXPECT_EQ(Beside.FirstLine, "");
    const TLogPlace Elsewhere = ChooseLogPlace(Refusing, {Settings, Temp});
    EXPECT_EQ(Elsewhere.Folder, Temp);
    EXPECT_NE(Elsewhere.FirstLine.find("kept in " + Temp + " because the program folder " + Refusing),
              std::string::npos)
        << Elsewhere.FirstLine;
    EXPECT_TRUE(fs::is_empty(Program));
    EXPECT_TRUE(fs::is_empty(Temp));
}

TEST_F(LogFileTest, ANewNameLetsGoOfTheOldFile) {
    auto Log = OpenLog();
    Log->AddLogRecord("1", "", "one");
    // Others may read the log while it is held for writing.
    EXPECT_EQ(Read(Path), "[1]>one\r\n");
    const std::string Other = (Dir / "other.log").string();
    Log->SetFileName(Other);
    std::error_code Error;
    EXPECT_TRUE(fs::remove(Path, Error)) << "the first file is no longer held: " << Error.message();
    Log->AddLogRecord("2", "", "two");
    EXPECT_EQ(Read(Other), "[1]>one\r\n[2]>two\r\n");
    // Going back to a name loads that file, which the log itself must not lock out.
    Log->SetFileName(Other);
    EXPECT_EQ(Log->Count(), 2);
    Log->AddLogRecord("3", "", "three");
    EXPECT_EQ(Read(Other), "[1]>one\r\n[2]>two\r\n[3]>three\r\n");
}

#ifdef _WIN32
TEST_F(LogFileTest, AFileLockedByAnotherWriterIsLeftAsItWas) {
    auto Log = OpenLog();
    Log->AddLogRecord("1", "", "one");
    Log->SetFileName(Path); // let go, and load again
    HANDLE Reader =
        CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(Reader, INVALID_HANDLE_VALUE);
    EXPECT_THROW(Log->AddLogRecord("2", "", "two"), EFCreateError);
    CloseHandle(Reader);
    EXPECT_EQ(Read(Path), "[1]>one\r\n");
    EXPECT_FALSE(fs::exists(ReplacementFileName(Path)));
    Log->AddLogRecord("3", "", "three");
    EXPECT_EQ(Read(Path), "[1]>one\r\n[2]>two\r\n[3]>three\r\n")
        << "the next write brings the file up to date";
}
#endif

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
