// Checking a database path before opening it.
#include "app/DatabaseFile.h"

#include "base/FileInfo.h"
#include "base/Streams.h"
#include "store/SQLiteAccess.h"
#include "store/StoreSchema.h"

#include <cstring>

namespace mv::app {

namespace {

constexpr char SQLiteMagic[] = "SQLite format 3"; // followed by a NUL: 16 bytes

// True when the file begins with SQLite's header; false when it is shorter or differs.
bool HasSQLiteHeader(const std::string& Path) {
    char Header[sizeof SQLiteMagic] = {};
    TFileStream File(Path, fmOpenRead | fmShareDenyNone);
    return File.Read(Header, sizeof Header) == static_cast<int64_t>(sizeof Header) &&
           std::memcmp(Header, SQLiteMagic, sizeof Header) == 0;
}

// An SQLite file with tables of its own but not the store's (a "topic" table of
// other columns counts as not the store's) is some other program's database.
bool HoldsNotes(const std::string& Path) {
    TSQLiteDatabase Db(Path);
    return IsEmptyDatabase(Db) || FitsStoreSchema(Db);
}

} // namespace

TDatabaseFileState DatabaseFileState(const std::string& Path) {
    // Asked as the store and the template copy name the file (std::filesystem would read the
    // name in another code page).
    const TPathInfo Info = PathInfo(Path);
    switch (Info.Kind) {
    case TPathKind::Nothing:
        return TDatabaseFileState::Missing;
    case TPathKind::Folder:
        return TDatabaseFileState::Folder;
    case TPathKind::File:
        break;
    }
    return Info.Size == 0 ? TDatabaseFileState::Empty : TDatabaseFileState::Present;
}

std::string HowToChooseAnotherDatabase(const TDatabaseContext& Context) {
    const std::string OwnFile = Context.ProgramFolder + "\\Miravelund.mvdb";
    switch (Context.Origin) {
    case TDatabaseOrigin::ProgramFolder:
        return "Miravelund opens the file " + OwnFile +
               " before any other database. To use another one, move or rename that file: Miravelund "
               "then opens the file named by the key \"database\" in the settings file " +
               Context.SettingsFile + ", or asks for one when there is no such key.";
    case TDatabaseOrigin::SettingsKey:
        return "This file is named by the key \"database\" in the settings file " + Context.SettingsFile +
               ". To use another database, put its path after \"database=\" there, or remove that line "
               "to be asked for one at the next start. (A file " +
               OwnFile + " would be opened before that key.)";
    case TDatabaseOrigin::FirstLaunch:
        break;
    }
    return "It was chosen in the first-launch dialog and has not been remembered: start Miravelund again "
           "to choose another one. (A file " +
           OwnFile + " would be opened without asking.)";
}

std::string RefuseDatabaseFile(const std::string& Path, const TDatabaseContext& Context) {
    std::string Reason;
    switch (DatabaseFileState(Path)) {
    case TDatabaseFileState::Missing:
    case TDatabaseFileState::Empty:
        return {};
    case TDatabaseFileState::Folder:
        Reason = "The database path\r\r" + Path + "\r\ris a folder, not a Miravelund database file.";
        break;
    case TDatabaseFileState::Present:
        try {
            if (HasSQLiteHeader(Path) && HoldsNotes(Path)) return {};
            Reason =
                "The file\r\r" + Path + "\r\ris not a Miravelund database. Miravelund has not changed it.";
        } catch (const EDatabaseBusy&) {
            throw; // the file is fine: the way out is to wait, not to choose another
        } catch (const EDatabaseNotWritten&) {
            throw; // its own words say how to make it writable
        } catch (const EDatabaseDamaged&) {
            throw; // its own words say to restore a copy
        } catch (const std::exception& E) {
            Reason = "The database file\r\r" + Path + "\r\rcannot be opened: " + E.what();
        }
        break;
    }
    return Reason + "\r\r" + HowToChooseAnotherDatabase(Context);
}

ENoteNotSaved::ENoteNotSaved(const std::string& Note, const std::exception& Why)
    : Exception(NoteNotSavedText(Note, Why)), FReason(Why.what()) {
    FDamaged = dynamic_cast<const EDatabaseDamaged*>(&Why) != nullptr;
    if (const auto* Inner = dynamic_cast<const ENoteNotSaved*>(&Why)) {
        FReason = Inner->Reason();
        FDamaged = Inner->Damaged();
    }
}

std::string NoteNotSavedText(const std::string& Note, const std::exception& Why) {
    if (dynamic_cast<const ENoteNotSaved*>(&Why)) return Why.what();
    return NotesNotSavedText({Note}, Why);
}

std::string NotesNotSavedText(const std::vector<std::string>& Notes, const std::exception& Why,
                              bool Quitting) {
    // A failure already told for one note keeps its own reason.
    const auto* Told = dynamic_cast<const ENoteNotSaved*>(&Why);
    const std::string Reason = Told ? Told->Reason() : std::string(Why.what());
    std::string Text;
    if (Notes.empty()) {
        Text = "Miravelund could not save into the notes file.";
    } else if (Notes.size() == 1) {
        Text = "The note \"" + Notes[0] + "\" could not be saved.";
    } else {
        Text = "These notes could not be saved:";
        for (const std::string& Note : Notes)
            Text += " \"" + Note + "\"" + (&Note == &Notes.back() ? "." : ",");
    }
    Text += "\r\r" + Reason + "\r\r";
    const std::string Kept =
        Notes.size() > 1 ? "Your text is kept in the windows" : "Your text is kept in the window";
    if (Quitting) return Text + Kept + ".";
    if (dynamic_cast<const EDatabaseDamaged*>(&Why) || (Told && Told->Damaged()))
        return Text + Kept + ", and when you quit, Miravelund writes it into a file of its own.";
    return Text + Kept +
           ". Miravelund tries again at the next save (Ctrl+S) and at the checkpoint every six "
           "minutes.";
}

} // namespace mv::app
