// The files that keep the text of notes a quit could not save: whole, every character, each note's
// rich text beside it, never over an earlier file, and never half-written.
#include "app/UnsavedNotes.h"
#include "base/Exceptions.h"
#include "logfile/MvFileReplace.h"
#include "tests/store/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace mv::app;

namespace {

std::tm NoteTime() {
    std::tm Time{};
    Time.tm_year = 126;
    Time.tm_mon = 11;
    Time.tm_mday = 8;
    Time.tm_hour = 14;
    Time.tm_min = 5;
    Time.tm_sec = 9;
    return Time;
}

std::u16string Wide(const std::string& Ascii) {
    return std::u16string(Ascii.begin(), Ascii.end());
}

std::set<std::string> FilesIn(const std::string& Folder) {
    std::set<std::string> Names;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder))
        Names.insert(Entry.path().filename().string());
    return Names;
}

} // namespace

TEST(UnsavedNotes, KeepsLongNotesWholeInANewFileEachTime) {
    TTempFolder Folder;
    std::u16string Long;
    std::string Expected;
    for (int I = 0; Expected.size() < 66000; ++I) {
        Long += Wide("Paragraph " + std::to_string(I)) + u" with \u00E9t\u00E9 and some words.\r";
        Expected += "Paragraph " + std::to_string(I) + " with \xC3\xA9t\xC3\xA9 and some words.\r\n";
    }
    const std::tm Time = NoteTime();
    const std::string First =
        WriteUnsavedNotes({Folder.Path()}, Time,
                          {{":Home", Long, ""}, {"work:Plan", u"one line\nand another", ""}})
            .TextFile;
    EXPECT_EQ(First, Folder.File("Unsaved notes 2026-12-08 14-05-09.txt"));
    const std::string Bytes = ReadWholeFile(First);
    EXPECT_NE(Bytes.find("\r\n===== :Home =====\r\n" + Expected +
                         "\r\n===== work:Plan =====\r\n"
                         "one line\r\nand another\r\n"),
              std::string::npos);
    // A second quit in the same second keeps the first file.
    const std::string Second = WriteUnsavedNotes({Folder.Path()}, Time, {{":Home", u"later", ""}}).TextFile;
    EXPECT_EQ(Second, Folder.File("Unsaved notes 2026-12-08 14-05-09 (2).txt"));
    EXPECT_EQ(ReadWholeFile(First), Bytes);
    // A folder that cannot take the file says so.
    EXPECT_THROW(WriteUnsavedNotes({Folder.File("missing/folder")}, Time, {{":Home", u"x", ""}}), Exception);
}

// Greek, an arrow, an accent and the euro sign, in the text and in the title (the title in the
// program's code page), come out as the same characters; each note's RTF, its picture included,
// is in a file of its own that the text names.
TEST(UnsavedNotes, KeepsEveryCharacterAndEachNotesRichTextBesideIt) {
    TTempFolder Folder;
    const std::string Picture =
        "{\\rtf1\\ansi{\\pict\\dibitmap0\\picw1\\pich1 28000000010000000100000001001800}\\par}";
    const std::string Greek = "{\\rtf1\\ansi \\u931?\\u951?\\par}";
    const TKeptText Kept = WriteUnsavedNotes(
        {Folder.Path()}, NoteTime(),
        {{"work:caf\xE9 \x80",
          u"\u03A3\u03B7\u03BC\u03B5\u03AF\u03C9\u03C3\u03B7 \u2192 caf\u00E9 \u20AC \U0001F600\r", Greek},
         {":Plain", u"no rich text", ""},
         {":Picture", u"\uFFFC", Picture}});
    const std::string& Text = Kept.TextFile;
    EXPECT_EQ(Kept.RichFiles,
              (std::vector<std::string>{Folder.File("Unsaved notes 2026-12-08 14-05-09 - 1.rtf"),
                                        Folder.File("Unsaved notes 2026-12-08 14-05-09 - 3.rtf")}));
    const std::string Bytes = ReadWholeFile(Text);
    EXPECT_EQ(Bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(Bytes.find("===== work:caf\xC3\xA9 \xE2\x82\xAC =====\r\n"
                         "\xCE\xA3\xCE\xB7\xCE\xBC\xCE\xB5\xCE\xAF\xCF\x89\xCF\x83\xCE\xB7 \xE2\x86\x92 "
                         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\n"),
              std::string::npos)
        << Bytes;
    EXPECT_NE(Bytes.find("    work:caf\xC3\xA9 \xE2\x82\xAC: Unsaved notes 2026-12-08 14-05-09 - 1.rtf\r\n"
                         "    :Picture: Unsaved notes 2026-12-08 14-05-09 - 3.rtf\r\n\r\n"),
              std::string::npos)
        << Bytes;
    EXPECT_EQ(ReadWholeFile(Folder.File("Unsaved notes 2026-12-08 14-05-09 - 1.rtf")), Greek);
    EXPECT_EQ(ReadWholeFile(Folder.File("Unsaved notes 2026-12-08 14-05-09 - 3.rtf")), Picture);
    EXPECT_EQ(FilesIn(Folder.Path()).size(), 3u);
}

// A folder that cannot be written is passed over; one whose disk fills up while the text is
// written keeps nothing of it, neither the finished .rtf nor the half-written text, and the next
// folder takes every file.
TEST(UnsavedNotes, AFolderThatFailsKeepsNothingAndTheNextTakesEveryFile) {
    TTempFolder Folder;
    const std::string Full = Folder.File("full");
    const std::string Next = Folder.File("next");
    std::filesystem::create_directory(Full);
    std::filesystem::create_directory(Next);
    WriteWholeFile(Folder.File("file"), "not a folder");
    const TWholeFileWriter FillingDisk = [&](const std::string& Name, std::string_view Data) {
        if (Name.rfind(Full, 0) == 0 && Name.size() > 4 && Name.substr(Name.size() - 4) == ".txt") {
            WriteWholeFile(ReplacementFileName(Name), std::string(Data.substr(0, Data.size() / 2)));
            throw EWriteError("There is not enough space on the disk.");
        }
        SaveFileReplacing(Name, Data);
    };
    const std::string Kept = WriteUnsavedNotes({Folder.File("file"), Full, Next}, NoteTime(),
                                               {{":Home", u"typed", "{\\rtf1 typed\\par}"}}, FillingDisk)
                                 .TextFile;
    EXPECT_EQ(Kept, (std::filesystem::path(Next) / "Unsaved notes 2026-12-08 14-05-09.txt").string());
    EXPECT_EQ(FilesIn(Full), std::set<std::string>{});
    EXPECT_EQ(FilesIn(Next), (std::set<std::string>{"Unsaved notes 2026-12-08 14-05-09.txt",
                                                    "Unsaved notes 2026-12-08 14-05-09 - 1.rtf"}));
    EXPECT_NE(ReadWholeFile(Kept).find("===== :Home =====\r\ntyped\r\n"), std::string::npos);
}

// The usual reason a save fails is a full disk, and the other folders are on it too: a disk with
// room for the plain text but not for a note's picture keeps the text there, first, naming only
// the rich text that fit, and leaves no half-written file.
TEST(UnsavedNotes, ADiskWithRoomForTheTextButNotThePictureKeepsTheText) {
    TTempFolder Folder;
    const std::string Small = Folder.File("small");
    std::filesystem::create_directory(Small);
    const std::string Picture = "{\\rtf1\\ansi{\\pict\\dibitmap0 " + std::string(300000, 'f') + "}\\par}";
    const std::string Bold = "{\\rtf1\\ansi \\b bold\\b0\\par}";
    // A disk of 2,000 free bytes: a write that does not fit fills it half-way, then fails.
    int64_t Free = 2000;
    std::vector<std::string> Order;
    const TWholeFileWriter SmallDisk = [&](const std::string& Name, std::string_view Data) {
        Order.push_back(std::filesystem::path(Name).extension().string());
        if (static_cast<int64_t>(Data.size()) > Free) {
            WriteWholeFile(ReplacementFileName(Name), std::string(Data.substr(0, Data.size() / 2)));
            throw EWriteError("There is not enough space on the disk.");
        }
        Free -= static_cast<int64_t>(Data.size());
        SaveFileReplacing(Name, Data);
    };
    const TKeptText Kept = WriteUnsavedNotes(
        {Small, Folder.Path()}, NoteTime(),
        {{":Holiday", u"the picture of the beach", Picture}, {":Plan", u"bold words", Bold}}, SmallDisk);
    EXPECT_EQ(Order, (std::vector<std::string>{".txt", ".rtf", ".rtf", ".txt"}));
    const auto InSmall = [&](const char* Name) { return (std::filesystem::path(Small) / Name).string(); };
    EXPECT_EQ(Kept.TextFile, InSmall("Unsaved notes 2026-12-08 14-05-09.txt"));
    EXPECT_EQ(Kept.RichFiles, std::vector<std::string>{InSmall("Unsaved notes 2026-12-08 14-05-09 - 2.rtf")});
    EXPECT_EQ(FilesIn(Small), (std::set<std::string>{"Unsaved notes 2026-12-08 14-05-09.txt",
                                                     "Unsaved notes 2026-12-08 14-05-09 - 2.rtf"}));
    const std::string Text = ReadWholeFile(Kept.TextFile);
    EXPECT_NE(
        Text.find(
            "===== :Holiday =====\r\nthe picture of the beach\r\n\r\n===== :Plan =====\r\nbold words\r\n"),
        std::string::npos)
        << Text;
    EXPECT_NE(Text.find("    :Plan: Unsaved notes 2026-12-08 14-05-09 - 2.rtf\r\n"), std::string::npos)
        << Text;
    EXPECT_EQ(Text.find(" - 1.rtf"), std::string::npos) << Text;

    // No room left for the text to name the RTF: the first text stays whole.
    Free = 300;
    Order.clear();
    const TKeptText Tight =
        WriteUnsavedNotes({Small}, NoteTime(), {{":Plan", u"bold words", Bold}}, SmallDisk);
    EXPECT_TRUE(Tight.RichFiles.empty());
    EXPECT_EQ(Order, (std::vector<std::string>{".txt", ".rtf", ".txt"}));
    EXPECT_NE(ReadWholeFile(Tight.TextFile).find("===== :Plan =====\r\nbold words\r\n"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(Tight.TextFile).find(".rtf"), std::string::npos);
    for (const std::string& Name : FilesIn(Small))
        EXPECT_EQ(Name.find(".new"), std::string::npos) << Name;
}
