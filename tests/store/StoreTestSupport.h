// Helpers shared by the notes store tests: a raw SQLite connection for looking at the file from
// outside the store, and small stream/list conversions.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "base/StringList.h"
#include "store/NotesStore.h"

// A second connection on the same file; reads only what the store has committed.
class TRawDatabase {
public:
    explicit TRawDatabase(const std::string& path);
    ~TRawDatabase();
    TRawDatabase(const TRawDatabase&) = delete;
    TRawDatabase& operator=(const TRawDatabase&) = delete;

    void Exec(const std::string& sql);
    // The first column of every row, as text ("NULL" for a NULL value).
    std::vector<std::string> Column(const std::string& sql);
    // The first column of the first row ("" without a row).
    std::string Scalar(const std::string& sql);
    sqlite3* Handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// The indexes the store keeps in every file it opens, by name, sorted.
const std::vector<std::string>& StoreIndexNames();
// The names of the file's own indexes (those SQLite does not make for keys), sorted.
std::vector<std::string> IndexNamesOf(TRawDatabase& raw);

// Saves a topic of the default namespace with this title and text, as a note window saves it.
void Save(TNotesStore& store, int32_t id, const std::string& title, const std::string& text);
// The id of the default namespace's topic of this title, made when it is missing.
int32_t Topic(TNotesStore& store, const std::string& title);

// The lines of a store list; empty for a missing list.
std::vector<std::string> Lines(const std::unique_ptr<TStringList>& list);

// Runs the action where the file system's permissions bind: in a child process under the account
// "nobody" when this one is root (root writes anywhere), else in a child under this account. The
// action's text comes back; std::nullopt when no such process can be made (Windows, or an account
// that may not change its user).
std::optional<std::string> RunWherePermissionsBind(const std::function<std::string()>& action);
