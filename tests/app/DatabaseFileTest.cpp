// Database paths the program must refuse before the store touches them.
#include "app/DatabaseFile.h"
#include "store/NotesStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

using namespace mv::app;
namespace fs = std::filesystem;

namespace {

class DatabaseFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("mv_dbfile_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }
    std::string Write(const std::string& Name, const std::string& Bytes) {
        std::ofstream(Dir / Name, std::ios::binary) << Bytes;
        return (Dir / Name).string();
    }
    static std::string Read(const std::string& Path) {
        std::ifstream In(Path, std::ios::binary);
        std::stringstream S;
        S << In.rdbuf();
        return S.str();
    }
    fs::path Dir;
};

const TDatabaseContext FromSettings{TDatabaseOrigin::SettingsKey, "C:\\Prog", "C:\\Prog\\Miravelund.ini"};

std::string Refuse(const std::string& Path) {
    return RefuseDatabaseFile(Path, FromSettings);
}

} // namespace

TEST_F(DatabaseFileTest, AcceptsMissingEmptyAndNotesDatabases) {
    EXPECT_EQ(Refuse((Dir / "missing.mvdb").string()), "");
    EXPECT_EQ(Refuse(Write("empty.mvdb", "")), "");
    const std::string Notes = (Dir / "notes.mvdb").string();
    { TNotesStore Store(Notes); }
    EXPECT_EQ(Refuse(Notes), "");
}

TEST_F(DatabaseFileTest, RefusesFoldersAndForeignFilesWithoutChangingThem) {
    const std::string Folder = (Dir / "a folder").string();
    fs::create_directories(Folder);
    EXPECT_NE(Refuse(Folder).find("is a folder"), std::string::npos);

    const std::string Text = Write("shopping.mvdb", "eggs, milk, bread\r\n");
    const std::string Short = Write("short.mvdb", "SQLite");
    for (const std::string& Path : {Text, Short}) {
        const std::string Before = Read(Path);
        const std::string Reason = Refuse(Path);
        EXPECT_NE(Reason.find("is not a Miravelund database"), std::string::npos) << Path;
        EXPECT_NE(Reason.find(Path), std::string::npos);
        EXPECT_EQ(Read(Path), Before);
    }
}

TEST_F(DatabaseFileTest, RefusesAnotherProgramsSQLiteDatabase) {
    const std::string Other = (Dir / "other.db").string();
    {
        TSQLiteDatabase Db(Other);
        Db.ExecSQL("CREATE TABLE invoices(id integer primary key, total integer);");
        Db.ExecSQL("INSERT INTO invoices VALUES(1, 99);");
    }
    const std::string Before = Read(Other);
    EXPECT_NE(Refuse(Other).find("is not a Miravelund database"), std::string::npos);
    EXPECT_EQ(Read(Other), Before);
}

TEST_F(DatabaseFileTest, AnEmptyFileCountsAsMissingAndOnlyItDoes) {
    EXPECT_EQ(DatabaseFileState((Dir / "missing.mvdb").string()), TDatabaseFileState::Missing);
    EXPECT_EQ(DatabaseFileState(Write("empty.mvdb", "")), TDatabaseFileState::Empty);
    EXPECT_EQ(DatabaseFileState(Write("one.mvdb", "x")), TDatabaseFileState::Present);
    fs::create_directories(Dir / "sub");
    EXPECT_EQ(DatabaseFileState((Dir / "sub").string()), TDatabaseFileState::Folder);
}

// The advice follows the order start-up looks in: the program folder's file,
// then the settings key, then the first-launch dialog.
TEST_F(DatabaseFileTest, TheRefusalNamesTheFileAndHowToChooseAnotherOneForItsOrigin) {
    const std::string Junk = Write("junk.mvdb", "not a database at all");
    struct Case {
        TDatabaseOrigin Origin;
        std::vector<std::string> Says;
        std::vector<std::string> DoesNotSay;
    };
    const Case Cases[] = {
        {TDatabaseOrigin::ProgramFolder,
         {"C:\\Prog\\Miravelund.mvdb before any other database", "move or rename that file",
          "C:\\Prog\\Miravelund.ini"},
         {"first-launch"}},
        {TDatabaseOrigin::SettingsKey,
         {"key \"database\" in the settings file C:\\Prog\\Miravelund.ini",
          "database=", "C:\\Prog\\Miravelund.mvdb would be opened before that key"},
         {"move or rename", "first-launch"}},
        {TDatabaseOrigin::FirstLaunch,
         {"first-launch dialog", "start Miravelund again", "C:\\Prog\\Miravelund.mvdb would be opened"},
         {"database="}},
    };
    for (const Case& C : Cases) {
        const TDatabaseContext Context{C.Origin, "C:\\Prog", "C:\\Prog\\Miravelund.ini"};
        const std::string Message = RefuseDatabaseFile(Junk, Context);
        EXPECT_EQ(Message.rfind("The file\r\r" + Junk + "\r\ris not a Miravelund database", 0), 0u)
            << Message;
        for (const std::string& Part : C.Says)
            EXPECT_NE(Message.find(Part), std::string::npos) << Part;
        for (const std::string& Part : C.DoesNotSay)
            EXPECT_EQ(Message.find(Part), std::string::npos) << Part;
        // A file it accepts gets no message, whatever its origin.
        EXPECT_EQ(RefuseDatabaseFile(Write("empty.mvdb", ""), Context), "");
    }
}

TEST(NoteNotSaved, SaysWhyInPlainWordsThatTheTextIsKeptAndWhatComesNext) {
    const std::string Busy =
        NoteNotSavedText("work:Plan", EDatabaseBusy("The notes file \"n.mvdb\" is in use."));
    EXPECT_EQ(Busy,
              "The note \"work:Plan\" could not be saved.\r\rThe notes file \"n.mvdb\" is in use.\r\r"
              "Your text is kept in the window. Miravelund tries again at the next save (Ctrl+S) and at the "
              "checkpoint every six minutes.");
    const std::string Damaged = NoteNotSavedText(":Home", EDatabaseDamaged("The notes file is damaged."));
    // Every damage box says the same of the text: kept in its window, and in a file of its own at quit.
    EXPECT_NE(Damaged.find("Your text is kept in the window, and when you quit, Miravelund writes it into a "
                           "file of its own."),
              std::string::npos)
        << Damaged;
    EXPECT_EQ(Damaged.find("tries again"), std::string::npos) << "no try can write into a damaged file";
    const std::string Other = NoteNotSavedText(":Home", EOutOfResources("Failed to Save Stream"));
    EXPECT_EQ(Other, "The note \":Home\" could not be saved.\r\rFailed to Save Stream\r\rYour text is kept "
                     "in the window. Miravelund tries again at the next save (Ctrl+S) and at the checkpoint "
                     "every six minutes.");
    // A checkpoint names every note the failure left out of the file.
    EXPECT_EQ(NotesNotSavedText({":Home", "work:Plan"}, EDatabaseBusy("The notes file is in use."))
                  .rfind("These notes could not be saved: \":Home\", \"work:Plan\".\r\rThe notes file is in use."
                         "\r\rYour text is kept in the windows.",
                         0),
              0u);
    // Raised again further out, the message is not wrapped twice, and the reason stays reachable.
    const ENoteNotSaved Inner(":Home", EDatabaseBusy("in use"));
    const ENoteNotSaved Outer(":Other", Inner);
    EXPECT_STREQ(Outer.what(), Inner.what());
    EXPECT_EQ(Outer.Reason(), "in use");
}
