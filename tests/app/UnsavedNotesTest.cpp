// The file that keeps the text of notes a quit could not save: whole, whatever its size, and never
// over an earlier one.
#include "app/UnsavedNotes.h"
#include "base/Exceptions.h"
#include "tests/store/TempFolder.h"

#include <gtest/gtest.h>

using namespace mv::app;

TEST(UnsavedNotes, KeepsLongNotesWholeInANewFileEachTime) {
    TTempFolder Folder;
    std::string Long;
    for (int I = 0; Long.size() < 66000; ++I)
        Long += "Paragraph " + std::to_string(I) + " with \xE9t\xE9 and some words.\r";
    std::tm Time{};
    Time.tm_year = 126;
    Time.tm_mon = 11;
    Time.tm_mday = 8;
    Time.tm_hour = 14;
    Time.tm_min = 5;
    Time.tm_sec = 9;
    const std::string First =
        WriteUnsavedNotes(Folder.Path(), Time, {{":Home", Long}, {"work:Plan", "one line\nand another"}});
    EXPECT_EQ(First, Folder.Path() + "\\Unsaved notes 2026-12-08 14-05-09.txt");
    std::string Expected = Long;
    for (size_t At = 0; (At = Expected.find('\r', At)) != std::string::npos; At += 2)
        Expected.insert(At + 1, "\n");
    const std::string Bytes = ReadWholeFile(First);
    EXPECT_NE(Bytes.find("\r\n===== :Home =====\r\n" + Expected +
                         "\r\n===== work:Plan =====\r\n"
                         "one line\r\nand another\r\n"),
              std::string::npos);
    // A second quit in the same second keeps the first file.
    const std::string Second = WriteUnsavedNotes(Folder.Path(), Time, {{":Home", "later"}});
    EXPECT_EQ(Second, Folder.Path() + "\\Unsaved notes 2026-12-08 14-05-09 (2).txt");
    EXPECT_EQ(ReadWholeFile(First), Bytes);
    // A folder that cannot take the file says so.
    EXPECT_THROW(WriteUnsavedNotes(Folder.File("missing/folder"), Time, {{":Home", "x"}}), Exception);
}
