// Checking a database path before opening it.
#include "app/DatabaseFile.h"

#include "base/Streams.h"
#include "store/SQLiteAccess.h"

#include <cstring>
#include <filesystem>

namespace mv::app {

namespace {

constexpr char SQLiteMagic[] = "SQLite format 3"; // followed by a NUL: 16 bytes

std::string NotADatabase(const std::string& Path) {
    return "The file\r\r" + Path +
           "\r\ris not a Miravelund database. Miravelund has not changed it.\r\r"
           "Choose another database file in the settings file Miravelund.ini (key \"database\").";
}

// True when the file begins with SQLite's header; false when it is shorter or differs.
bool HasSQLiteHeader(const std::string& Path) {
    char Header[sizeof SQLiteMagic] = {};
    TFileStream File(Path, fmOpenRead | fmShareDenyNone);
    return File.Read(Header, sizeof Header) == static_cast<int64_t>(sizeof Header) &&
           std::memcmp(Header, SQLiteMagic, sizeof Header) == 0;
}

// An SQLite file with tables of its own but no topics is some other program's database.
bool HoldsNotes(const std::string& Path) {
    TSQLiteDatabase Db(Path);
    auto Tables = Db.GetTable("SELECT name FROM sqlite_master WHERE type = 'table';");
    if (Tables->RowCount() == 0) return true;
    for (; !Tables->Eof(); Tables->Next())
        if (Tables->FieldAsString(0) == "topic") return true;
    return false;
}

} // namespace

std::string RefuseDatabaseFile(const std::string& Path) {
    std::error_code Error;
    const std::filesystem::path P(Path);
    if (std::filesystem::is_directory(P, Error))
        return "The database path\r\r" + Path + "\r\ris a folder, not a Miravelund database file.";
    if (!std::filesystem::exists(P, Error) || std::filesystem::file_size(P, Error) == 0) return {};
    try {
        if (!HasSQLiteHeader(Path) || !HoldsNotes(Path)) return NotADatabase(Path);
    } catch (const std::exception& E) {
        return "The database file\r\r" + Path + "\r\rcannot be opened: " + E.what();
    }
    return {};
}

} // namespace mv::app
