// Two note windows' documents over one store on a disk that fails: a write the file did not take
// is never counted as saved, whichever window wrote it, and the next save writes it again.
#include "app/TopicDocument.h"
#include "store/SQLiteAccess.h"
#include "tests/store/FaultyDisk.h"
#include "tests/store/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace mv::app;

namespace {

class TPlainText : public ITopicText {
public:
    std::string Text;
    bool Dirty = false;
    bool Modified() override { return Dirty; }
    void SetModified(bool Value) override { Dirty = Value; }
    void LoadContent(TStream& Content) override { Text = static_cast<TStringStream&>(Content).DataString(); }
    void SaveContent(TStream& Content) override {
        Content.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
    }
    void ClearContent() override { Text.clear(); }
    std::string PlainText() override { return Text; }
};

// A window: its text and the document over it.
struct TWindow {
    TWindow(const TTopicServices& Services, const std::string& Title) : Doc(Text, Services, nullptr) {
        Doc.LoadTopic(Title, "");
    }
    void Type(const std::string& Words) {
        Text.Text = Words;
        Text.Dirty = true;
    }
    TPlainText Text;
    TTopicDocument Doc;
};

// A store in a folder of its own on a disk that fails on request, opened with the given wait for
// another program, and the services a window's document reaches it through.
struct TNotebook {
    explicit TNotebook(int LockWait) : Wait(LockWait), Store(Path) { Services.Store = &Store; }
    TTempFolder Folder;
    const std::string Path = Folder.File("notes.mvdb");
    TFaultyDisk Disk;
    TLockWait Wait;
    TNotesStore Store;
    TTopicServices Services;
};

std::string CommittedText(const std::string& Path, const std::string& Title) {
    TSQLiteDatabase Raw(Path);
    auto Row = Raw.GetTable("SELECT content FROM topic WHERE title = ?", {std::string_view(Title)});
    return Row->RowCount() ? Row->FieldAsString(0) : "";
}

struct TFaultCase {
    const char* Name;
    void (*Arm)(TFaultyDisk&);
    const char* Says; // what the message tells
    // A journal is opened by a transaction's first write only: such a fault meets window A's save.
    bool AtFirstWrite = false;
};

const TFaultCase FaultCases[] = {
    {"a full disk at the write",
     [](TFaultyDisk& D) { D.FailWrites(TFaultyDisk::TFile::Journal, SQLITE_FULL); },
     "\" is full, so Miravelund could not write to the file. Free some space on that disk."},
    {"a full disk at the commit",
     [](TFaultyDisk& D) { D.FailWrites(TFaultyDisk::TFile::Database, SQLITE_FULL); },
     "\" is full, so Miravelund could not write to the file."},
    {"a read-only folder at the write", [](TFaultyDisk& D) { D.FailJournalOpen(AccessDenied); },
     "\", so nothing could be written. Ask for permission to change that folder", true},
    {"a read-only file at the commit",
     [](TFaultyDisk& D) { D.FailWrites(TFaultyDisk::TFile::Database, SQLITE_READONLY); },
     "\" is read-only, so Miravelund could not write to it."},
#ifdef _WIN32
    {"a file held without sharing at the write", [](TFaultyDisk& D) { D.FailJournalOpen(SharingViolation); },
     "\" is in use by another program", true},
#endif
};

} // namespace

TEST(TopicDocumentFaults, AWriteTheFileDidNotTakeIsUnsavedInEveryWindowUntilTheNextSaveWritesIt) {
    for (const TFaultCase& Case : FaultCases) {
        SCOPED_TRACE(Case.Name);
        TNotebook Book(200);
        TNotesStore& Store = Book.Store;
        TFaultyDisk& Disk = Book.Disk;
        const std::string& Path = Book.Path;
        TWindow A(Book.Services, "A");
        TWindow B(Book.Services, "B");
        A.Doc.SaveTopic("*", "*");
        B.Doc.SaveTopic("*", "*");
        Store.Commit();
        EXPECT_FALSE(A.Doc.Unsaved());

        // Window A's save goes into the open transaction; then the disk fails under B's.
        A.Type("typed in A");
        B.Type("typed in B");
        if (Case.AtFirstWrite) Case.Arm(Disk);
        std::string Message;
        try {
            A.Doc.SaveTopic("*", "*");
            EXPECT_TRUE(A.Doc.Unsaved()) << "written but not committed";
            if (!Case.AtFirstWrite) Case.Arm(Disk);
            B.Doc.SaveTopic("*", "*");
            Store.Commit();
            ADD_FAILURE() << "the failing disk took the text";
        } catch (const ESQLiteException& E) {
            Message = E.what();
        }
        EXPECT_NE(Message.find(Path + Case.Says), std::string::npos) << Message;
        for (const char* Statement : {"INSERT", "UPDATE", "COMMIT", "SQL"})
            EXPECT_EQ(Message.find(Statement), std::string::npos) << Message;
        EXPECT_TRUE(A.Doc.Unsaved());
        EXPECT_TRUE(B.Doc.Unsaved());
        // A checkpoint that finds nothing new to write must not pretend A's text is in the file.
        Disk.Heal();
        try {
            Store.Commit();
        } catch (const std::exception& E) {
            ADD_FAILURE() << E.what();
        }
        EXPECT_TRUE(A.Doc.Unsaved());

        // The next saves write both again.
        A.Doc.SaveTopic("*", "*");
        B.Doc.SaveTopic("*", "*");
        Store.Commit();
        EXPECT_FALSE(A.Doc.Unsaved());
        EXPECT_FALSE(B.Doc.Unsaved());
        EXPECT_EQ(CommittedText(Path, "A"), "typed in A");
        EXPECT_EQ(CommittedText(Path, "B"), "typed in B");
    }
}

#ifdef _WIN32
TEST(TopicDocumentFaults, AFileHeldWithoutSharingForAMomentIsWaitedFor) {
    TNotebook Book(3000);
    TNotesStore& Store = Book.Store;
    TFaultyDisk& Disk = Book.Disk;
    const std::string& Path = Book.Path;
    TWindow A(Book.Services, "A");
    Store.Commit();
    A.Type("typed while a backup held the file");
    Disk.FailJournalOpen(SharingViolation);
    std::thread Backup([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Disk.Heal();
    });
    EXPECT_NO_THROW({
        A.Doc.SaveTopic("*", "*");
        Store.Commit();
    });
    Backup.join();
    EXPECT_GT(Disk.Failures(), 0) << "the save never met the held file";
    EXPECT_EQ(CommittedText(Path, "A"), "typed while a backup held the file");
}
#endif
