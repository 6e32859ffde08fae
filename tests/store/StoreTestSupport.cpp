// Helpers shared by the notes store tests.
#include "tests/store/StoreTestSupport.h"

#include <stdexcept>

TRawDatabase::TRawDatabase(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw std::runtime_error("cannot open " + path);
}

TRawDatabase::~TRawDatabase() {
    sqlite3_close(db_);
}

void TRawDatabase::Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(sql + ": " + text);
    }
}

std::vector<std::string> TRawDatabase::Column(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    std::vector<std::string> values;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        values.emplace_back(sqlite3_column_type(statement, 0) == SQLITE_NULL
                                ? "NULL"
                                : std::string(text, sqlite3_column_bytes(statement, 0)));
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    return values;
}

std::string TRawDatabase::Scalar(const std::string& sql) {
    const auto values = Column(sql);
    return values.empty() ? "" : values.front();
}

std::vector<std::string> Lines(const std::unique_ptr<TStringList>& list) {
    std::vector<std::string> lines;
    if (list)
        for (int i = 0; i < list->Count(); ++i)
            lines.push_back(list->Get(i));
    return lines;
}
