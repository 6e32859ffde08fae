// Memory, string and file streams: transfers, seeking, short reads and file errors.
#include "base/Streams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/Exceptions.h"
#include "base/FileInfo.h"
#include "tests/base/TempDir.h"

namespace {

std::string ReadAll(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MemoryStream, WriteReadSeek) {
    TMemoryStream s;
    s.WriteBuffer("hello world", 11);
    EXPECT_EQ(11, s.Size());
    EXPECT_EQ(11, s.Position());

    EXPECT_EQ(6, s.Seek(-5, soEnd));
    char buf[16] = {};
    EXPECT_EQ(5, s.Read(buf, 16)) << "a read stops at the end";
    EXPECT_STREQ("world", buf);
    EXPECT_EQ(0, s.Read(buf, 1));

    s.SetPosition(0);
    s.WriteBuffer("J", 1);
    EXPECT_EQ(0, std::memcmp(s.Memory(), "Jello world", 11));
    EXPECT_EQ(3, s.Seek(2, soCurrent));
    EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);
    EXPECT_EQ(3, s.Position()) << "a failed seek leaves the position";
}

TEST(MemoryStream, WritingPastTheEndFillsWithZeros) {
    TMemoryStream s;
    s.SetPosition(4);
    EXPECT_EQ(0, s.Size()) << "seeking alone does not grow the stream";
    s.WriteBuffer("x", 1);
    ASSERT_EQ(5, s.Size());
    EXPECT_EQ(0, std::memcmp(s.Memory(), "\0\0\0\0x", 5));
}

TEST(MemoryStream, SetSizeClampsPositionAndClearEmpties) {
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    s.SetSize(2);
    EXPECT_EQ(2, s.Position());
    EXPECT_THROW(s.SetSize(-1), EStreamError);
    s.Clear();
    EXPECT_EQ(0, s.Size());
    EXPECT_EQ(0, s.Position());
}

TEST(MemoryStream, ShortReadRaisesReadError) {
    TMemoryStream s;
    s.WriteBuffer("abc", 3);
    s.SetPosition(1);
    char buf[8];
    try {
        s.ReadBuffer(buf, 3);
        FAIL() << "short read accepted";
    } catch (const EReadError& e) {
        EXPECT_EQ("Stream read error", e.Message());
    }
    EXPECT_THROW(s.ReadBuffer(buf, -1), EReadError);
    s.SetPosition(0);
    s.ReadBuffer(buf, 3);
    EXPECT_EQ(0, std::memcmp(buf, "abc", 3));
}

// A stream that accepts only a few bytes, like a full disk.
class TFullStream : public TMemoryStream {
public:
    int64_t Write(const void* buffer, int64_t count) override {
        const int64_t room = 4 - Size();
        return room <= 0 ? 0 : TMemoryStream::Write(buffer, std::min(count, room));
    }
};

TEST(MemoryStream, ShortWriteRaisesWriteError) {
    TFullStream s;
    s.WriteBuffer("abc", 3);
    EXPECT_THROW(s.WriteBuffer("de", 2), EWriteError);
}

TEST(MemoryStream, CopyFromCountZeroCopiesAllFromTheStart) {
    TStringStream source("0123456789");
    source.SetPosition(7);
    TMemoryStream dest;
    EXPECT_EQ(10, dest.CopyFrom(source, 0));
    EXPECT_EQ(0, std::memcmp(dest.Memory(), "0123456789", 10));

    source.SetPosition(2);
    TStringStream part;
    EXPECT_EQ(3, part.CopyFrom(source, 3));
    EXPECT_EQ("234", part.DataString());
    EXPECT_THROW(part.CopyFrom(source, 100), EReadError);
}

TEST(MemoryStream, CopiesLargerThanOneChunk) {
    std::string big(200 * 1024 + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    TStringStream source(big);
    TStringStream dest;
    dest.CopyFrom(source, 0);
    EXPECT_EQ(big, dest.DataString());
}

TEST(MemoryStream, SaveToItselfAppendsACopy) {
    TMemoryStream s;
    s.WriteBuffer("ab", 2);
    s.SaveToStream(s);
    ASSERT_EQ(4, s.Size());
    EXPECT_EQ(0, std::memcmp(s.Memory(), "abab", 4));
}

TEST(StringStream, ReadAndWriteStrings) {
    TStringStream s("abc");
    EXPECT_EQ(0, s.Position());
    EXPECT_EQ("ab", s.ReadString(2));
    EXPECT_EQ("c", s.ReadString(10));
    EXPECT_EQ("", s.ReadString(10));
    s.WriteString(std::string("d\0e", 3));
    EXPECT_EQ(std::string("abcd\0e", 6), s.DataString());
}

TEST(FileStream, CreateWriteReopenRead) {
    TempDir dir;
    const std::string name = dir.File("data.bin");
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("line\r\nbinary\0end", 16);
        EXPECT_EQ(16, f.Size());
    }
    EXPECT_EQ(std::string("line\r\nbinary\0end", 16), ReadAll(name)) << "no text-mode translation";
    {
        TFileStream f(name, fmOpenReadWrite | fmShareDenyWrite);
        EXPECT_EQ(12, f.Seek(-4, soEnd));
        f.WriteBuffer("END!", 4);
        f.SetSize(8);
        EXPECT_EQ(8, f.Size());
        EXPECT_EQ(8, f.Position());
    }
    TFileStream f(name, fmOpenRead);
    char buf[16];
    EXPECT_EQ(8, f.Read(buf, 16));
    EXPECT_EQ(0, std::memcmp(buf, "line\r\nbi", 8));
    f.SetPosition(0);
    EXPECT_THROW(f.ReadBuffer(buf, 9), EReadError);
}

TEST(FileStream, CreateEmptiesAnExistingFile) {
    TempDir dir;
    const std::string name = dir.File("x.txt");
    std::ofstream(name) << "old contents";
    { TFileStream f(name, fmCreate); }
    EXPECT_EQ("", ReadAll(name));
}

TEST(FileStream, OpenErrorsNameTheFile) {
    TempDir dir;
    const std::string missing = dir.File("missing.txt");
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& e) {
        const std::string prefix = "Cannot open file \"" + missing + "\". ";
        EXPECT_EQ(prefix, e.Message().substr(0, prefix.size()));
        EXPECT_GT(e.Message().size(), prefix.size()) << "the system's reason follows";
    }
    EXPECT_THROW(TFileStream(dir.Path(), fmOpenRead), EFOpenError) << "a folder is not a file";
    EXPECT_THROW(TFileStream(dir.Path(), fmOpenReadWrite), EFOpenError);

    const std::string inMissingFolder = dir.File("no-such-folder") + "/x.txt";
    try {
        TFileStream f(inMissingFolder, fmCreate);
        FAIL() << "created a file in a missing folder";
    } catch (const EFCreateError& e) {
        const std::string prefix = "Cannot create file \"" + inMissingFolder + "\". ";
        EXPECT_EQ(prefix, e.Message().substr(0, prefix.size()));
    }
}

TEST(FileStream, MemoryStreamFileRoundTrip) {
    TempDir dir;
    const std::string name = dir.File("m.bin");
    TMemoryStream out;
    out.WriteBuffer("\x00\x01\x02\xFF", 4);
    out.SaveToFile(name);
    TMemoryStream in;
    in.WriteBuffer("junk junk", 9);
    in.LoadFromFile(name);
    EXPECT_EQ(4, in.Size());
    EXPECT_EQ(0, in.Position());
    EXPECT_EQ(0, std::memcmp(in.Memory(), "\x00\x01\x02\xFF", 4));
    EXPECT_THROW(in.LoadFromFile(dir.File("absent")), EFOpenError);
    EXPECT_EQ(4, in.Size()) << "a failed load keeps the contents";
}

// The probes that tell why a write failed try what the write needed and leave the disk as it was.
TEST(FileInfo, ProbesTellWhatAWriteWouldMeetAndLeaveNothingBehind) {
    TempDir dir;
    const std::string name = dir.File("notes.bin");
    std::ofstream(name) << "notes";
    EXPECT_EQ(TWriteAccess::Writable, FileWriteAccess(name));
    EXPECT_EQ(TWriteAccess::Unknown, FileWriteAccess(dir.File("missing.bin")));
    EXPECT_EQ(TWriteAccess::Writable, FolderWriteAccess(dir.Path()));
    EXPECT_EQ(TWriteAccess::Unknown, FolderWriteAccess(dir.File("missing")));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path()), {})) << "only the notes file";
    EXPECT_EQ("notes", ReadAll(name));
    EXPECT_GT(FreeSpace(dir.Path()), 0);
    // A volume that never has room: the kernel's process files (Wine reaches them on its Z: drive).
    if (PathInfo("/proc/self").Kind == TPathKind::Folder) {
        EXPECT_EQ(0, FreeSpace("/proc/self"));
    }
    EXPECT_FALSE(OnRemovableOrNetworkDrive(name));
}

} // namespace
