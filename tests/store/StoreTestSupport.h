// Helpers shared by the notes store tests: a raw SQLite connection for looking at the file from
// outside the store, and small stream/list conversions.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "base/StringList.h"

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

// The lines of a store list; empty for a missing list.
std::vector<std::string> Lines(const std::unique_ptr<TStringList>& list);
