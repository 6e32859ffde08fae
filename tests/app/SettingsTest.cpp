// The settings file: where it is found, how it is put right and written back,
// and the small utilities (natively and under Wine).
#include "app/Settings.h"
#include "app/Utils.h"
#include "base/Exceptions.h"
#include "base/StrUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Root = fs::temp_directory_path() /
               ("mvsettings-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(Root);
        fs::create_directories(Root / "prog");
        fs::create_directories(Root / "docs");
        Program = (Root / "prog").string();
        Documents = (Root / "docs").string();
        SetSettingsLog(nullptr);
    }
    void TearDown() override {
        SetSettingsLog(nullptr);
        std::error_code Ignored;
        fs::remove_all(Root, Ignored);
    }
    static std::string Read(const fs::path& File) {
        std::ifstream In(File, std::ios::binary);
        std::stringstream Out;
        Out << In.rdbuf();
        return Out.str();
    }
    static void Write(const fs::path& File, const std::string& Text) {
        std::ofstream(File, std::ios::binary) << Text;
    }

    fs::path Root;
    std::string Program;
    std::string Documents;
};

TEST_F(SettingsTest, AFileBesideTheProgramWinsAndIsWrittenBackNormalised) {
    Write(Root / "prog" / "Miravelund.ini",
          "OpenTopic=Tab\r\nNamespaceWindows=no\r\ndatabase=C:\\x.mvdb\r\n");
    Write(Root / "docs" / "Miravelund.ini", "OpenTopic=window\r\n");
    LoadSettingsFrom(Program, Documents);
    EXPECT_EQ(fs::path(SettingsFileName()), Root / "prog" / "Miravelund.ini");
    EXPECT_EQ(Settings().Values("OpenTopic"), "tab") << "the comparison is exact";
    EXPECT_EQ(Settings().Values("namespacewindows"), "no") << "names ignore case";
    EXPECT_EQ(DatabaseSetting(), "C:\\x.mvdb");
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(Read(Root / "prog" / "Miravelund.ini"),
              "OpenTopic=tab\r\nNamespaceWindows=no\r\ndatabase=C:\\x.mvdb\r\n");
    EXPECT_EQ(Read(Root / "docs" / "Miravelund.ini"), "OpenTopic=window\r\n");
}

TEST_F(SettingsTest, OtherwiseMyDocumentsHoldsIt) {
    Write(Root / "docs" / "Miravelund.ini", "OpenTopic=window\r\nNamespaceWindows=yes\r\n");
    LoadSettingsFrom(Program, Documents);
    EXPECT_EQ(fs::path(SettingsFileName()), Root / "docs" / "Miravelund.ini");
    EXPECT_EQ(Settings().Values("OpenTopic"), "window");
}

TEST_F(SettingsTest, WithNoFileTheFirstRunCreatesOneInMyDocuments) {
    // A folder given with its delimiter gets no second one.
    LoadSettingsFrom(Program, IncludeTrailingPathDelimiter(Documents));
    EXPECT_EQ(SettingsFileName(), IncludeTrailingPathDelimiter(Documents) + "Miravelund.ini");
    EXPECT_EQ(SettingsFileName().find(std::string(2, PathDelim)), std::string::npos);
    Settings().SetValue("dict", "english");
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(Read(Root / "docs" / "Miravelund.ini"),
              "OpenTopic=tab\r\nNamespaceWindows=yes\r\ndict=english\r\n");
    EXPECT_FALSE(fs::exists(Root / "prog" / "Miravelund.ini"));
}

TEST_F(SettingsTest, WithoutMyDocumentsTheFileStaysBesideTheProgram) {
    LoadSettingsFrom(Program, "");
    EXPECT_EQ(fs::path(SettingsFileName()), Root / "prog" / "Miravelund.ini");
}

// A settings file in a My Documents folder that cannot be named is remembered for start-up to
// tell of, unless a file beside the program takes its place.
TEST_F(SettingsTest, AFileInMyDocumentsThatCannotBeNamedCountsUnlessOneBesideTheProgramWins) {
    const std::string Unread = "C:\\Users\\??\\Documents\\Miravelund.ini";
    LoadSettingsFrom(Program, "", Unread);
    EXPECT_EQ(UnreadSettingsFile(), Unread);
    EXPECT_EQ(fs::path(SettingsFileName()), Root / "prog" / "Miravelund.ini");
    Write(Root / "prog" / "Miravelund.ini", "database=D:\\notes.mvdb\r\n");
    LoadSettingsFrom(Program, "", Unread);
    EXPECT_EQ(UnreadSettingsFile(), "");
    EXPECT_EQ(DatabaseSetting(), "D:\\notes.mvdb");
    LoadSettingsFrom(Program, Documents);
    EXPECT_EQ(UnreadSettingsFile(), "");
}

TEST_F(SettingsTest, TheTwoPreferencesTakeOnlyTheirExactValues) {
    struct Case {
        const char* OpenTopic;
        const char* NamespaceWindows;
        const char* WantOpenTopic;
        const char* WantNamespaceWindows;
    };
    const Case Cases[] = {
        {"window", "no", "window", "no"}, {"tab", "yes", "tab", "yes"},   {"Window", "No", "tab", "yes"},
        {"", "", "tab", "yes"},           {" tab", "yes ", "tab", "yes"}, {"tabs", "y", "tab", "yes"},
    };
    for (const Case& C : Cases) {
        Write(Root / "prog" / "Miravelund.ini", std::string("OpenTopic=") + C.OpenTopic +
                                                    "\r\nNamespaceWindows=" + C.NamespaceWindows + "\r\n");
        LoadSettingsFrom(Program, Documents);
        EXPECT_EQ(Settings().Values("OpenTopic"), C.WantOpenTopic) << C.OpenTopic;
        EXPECT_EQ(Settings().Values("NamespaceWindows"), C.WantNamespaceWindows) << C.NamespaceWindows;
    }
}

TEST_F(SettingsTest, ABlankDatabaseKeyCountsAsMissing) {
    for (const char* Line : {"database=\r\n", "database=   \r\n", ""}) {
        Write(Root / "prog" / "Miravelund.ini", Line);
        LoadSettingsFrom(Program, Documents);
        EXPECT_EQ(DatabaseSetting(), "") << Line;
    }
}

TEST_F(SettingsTest, AFailedWriteAtTheEndIsLoggedNotRaised) {
    LoadSettingsFrom(Program, (Root / "missing" / "folder").string());
    std::vector<std::string> Logged;
    SetSettingsLog([&](const std::string& Message) { Logged.push_back(Message); });
    EXPECT_FALSE(SaveSettings());
    ASSERT_EQ(Logged.size(), 1u);
    EXPECT_EQ(Logged[0].rfind("Settings could not be saved: Cannot create file", 0), 0u) << Logged[0];
    EXPECT_THROW(WriteSettings(), EFCreateError) << "the dialog's OK still reports it";
}

TEST_F(SettingsTest, WithoutALogTheFailureGoesToTheProgramsLogFileWhereverItIs) {
    Write(Root / "prog" / "Miravelund.log", "[t]>earlier\r\n");
    LoadSettingsFrom(Program, (Root / "missing" / "folder").string());
    EXPECT_FALSE(SaveSettings());
    std::string Log = Read(Root / "prog" / "Miravelund.log");
    EXPECT_EQ(Log.rfind("[t]>earlier\r\n[", 0), 0u) << Log;
    EXPECT_NE(Log.find("]>Settings could not be saved: "), std::string::npos) << Log;
    // A program folder that cannot be written has its log elsewhere: the failure follows it.
    SetSettingsLogFile((Root / "elsewhere.log").string());
    EXPECT_FALSE(SaveSettings());
    EXPECT_NE(Read(Root / "elsewhere.log").find("]>Settings could not be saved: "), std::string::npos);
    EXPECT_EQ(Read(Root / "prog" / "Miravelund.log"), Log);
}

TEST(Utils, MaxAndIsValidName) {
    EXPECT_EQ(Max(3, 7), 7);
    EXPECT_EQ(Max(-3, -7), -3);
    EXPECT_EQ(Max(INT32_MIN, INT32_MAX), INT32_MAX);
    struct Case {
        const char* Name;
        bool Valid;
    };
    const Case Cases[] = {
        {"", true},
        {"Home", true},
        {"abcXYZ019", true},
        {"with blank", false},
        {"under_score", false},
        {"caf\xE9", false},
        {"dash-ed", false},
        {"colon:", false},
        {"\x80", false},
        {"9", true},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(IsValidName(C.Name), C.Valid) << C.Name;
}

} // namespace
