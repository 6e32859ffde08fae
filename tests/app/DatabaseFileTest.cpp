// Database paths the program must refuse before the store touches them.
#include "app/DatabaseFile.h"
#include "store/NotesStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using mv::app::RefuseDatabaseFile;
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

} // namespace

TEST_F(DatabaseFileTest, AcceptsMissingEmptyAndNotesDatabases) {
    EXPECT_EQ(RefuseDatabaseFile((Dir / "missing.mvdb").string()), "");
    EXPECT_EQ(RefuseDatabaseFile(Write("empty.mvdb", "")), "");
    const std::string Notes = (Dir / "notes.mvdb").string();
    { TNotesStore Store(Notes); }
    EXPECT_EQ(RefuseDatabaseFile(Notes), "");
}

TEST_F(DatabaseFileTest, RefusesFoldersAndForeignFilesWithoutChangingThem) {
    const std::string Folder = (Dir / "a folder").string();
    fs::create_directories(Folder);
    EXPECT_NE(RefuseDatabaseFile(Folder).find("is a folder"), std::string::npos);

    const std::string Text = Write("shopping.mvdb", "eggs, milk, bread\r\n");
    const std::string Short = Write("short.mvdb", "SQLite");
    for (const std::string& Path : {Text, Short}) {
        const std::string Before = Read(Path);
        const std::string Reason = RefuseDatabaseFile(Path);
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
    EXPECT_NE(RefuseDatabaseFile(Other).find("is not a Miravelund database"), std::string::npos);
    EXPECT_EQ(Read(Other), Before);
}
