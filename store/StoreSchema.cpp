// The store's schema.
#include "store/StoreSchema.h"

#include "base/StrUtils.h"
#include "store/SQLiteAccess.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The tables, in the order they are created.
struct TTableDef {
    const char* Name;
    const char* Create;
    // Columns copied when an older table is rebuilt, and the expressions that read them: text
    // columns are cast so that values the old affinity turned into numbers come back as text.
    const char* Columns;
    const char* Select;
};

const TTableDef Tables[] = {
    {"topic",
     "CREATE TABLE topic(id integer primary key, title text, namespace integer, content blob, meta blob, "
     "x integer, y integer, w integer, h integer);",
     "id, title, namespace, content, meta, x, y, w, h",
     "id, CAST(title AS TEXT), namespace, content, meta, x, y, w, h"},
    {"namespace", "CREATE TABLE namespace(id integer primary key, title text);", "id, title",
     "id, CAST(title AS TEXT)"},
    {"tag", "CREATE TABLE tag(id integer primary key, title text);", "id, title", "id, CAST(title AS TEXT)"},
    {"tag_link", "CREATE TABLE tag_link(tag_id integer, topic_id integer);", "tag_id, topic_id",
     "tag_id, topic_id"},
    {"meta_value", "CREATE TABLE meta_value(name text primary key, content blob);", "name, content",
     "CAST(name AS TEXT), content"},
    {"versions", "CREATE TABLE versions(name text primary key, value integer)", "name, value",
     "CAST(name AS TEXT), value"},
};

// The lookups compare titles with NOCASE (ASCII letters folded, every other byte exact); an index
// serves them only when it is declared with the same collation.
const char* const Indexes[] = {
    "CREATE INDEX IF NOT EXISTS topic_namespace_title_nocase ON topic(namespace, title COLLATE NOCASE);",
    "CREATE INDEX IF NOT EXISTS namespace_title_nocase ON namespace(title COLLATE NOCASE);",
    "CREATE INDEX IF NOT EXISTS tag_title_nocase ON tag(title COLLATE NOCASE);",
    "CREATE INDEX IF NOT EXISTS tag_link_topic_tag ON tag_link(topic_id, tag_id);",
    "CREATE INDEX IF NOT EXISTS tag_link_tag ON tag_link(tag_id);",
};

// Indexes of earlier versions that no lookup uses any more; each would only slow every save.
const char* const RetiredIndexes[] = {
    "DROP INDEX IF EXISTS topic_namespace_title;",
};

// True when a column of the table is declared "string" (any case); false for a missing table.
bool HasStringColumn(TSQLiteDatabase& db, const char* tableName) {
    auto info = db.GetTable(std::string("PRAGMA table_info(") + tableName + ");");
    if (info->RowCount() == 0) return false;
    const int32_t typeIndex = info->FieldIndex("type");
    for (; !info->Eof(); info->Next())
        if (SameText(info->FieldAsString(typeIndex), "string")) return true;
    return false;
}

void RebuildTable(TSQLiteDatabase& db, const TTableDef& def) {
    const std::string old = std::string("mv_old_") + def.Name;
    db.ExecSQL("ALTER TABLE " + std::string(def.Name) + " RENAME TO " + old + ";");
    db.ExecSQL(def.Create);
    db.ExecSQL("INSERT INTO " + std::string(def.Name) + " (" + def.Columns + ") SELECT " + def.Select +
               " FROM " + old + ";");
    db.ExecSQL("DROP TABLE " + old + ";");
}

// The column names of the table as the file declares them, upper-cased; none for a missing table.
std::vector<std::string> ColumnsOf(TSQLiteDatabase& db, const char* tableName) {
    std::vector<std::string> names;
    auto info = db.GetTable(std::string("PRAGMA table_info(") + tableName + ");");
    if (info->RowCount() == 0) return names;
    const int32_t nameIndex = info->FieldIndex("name");
    for (; !info->Eof(); info->Next())
        names.push_back(UpperCase(info->FieldAsString(nameIndex)));
    return names;
}

} // namespace

int StoreFileVersion(TSQLiteDatabase& db) {
    auto table = db.GetTable("PRAGMA user_version;");
    return table->RowCount() > 0 ? StrToIntDef(table->FieldAsString(0), 0) : 0;
}

bool FitsStoreSchema(TSQLiteDatabase& db) {
    for (const TTableDef& def : Tables) {
        const std::vector<std::string> present = ColumnsOf(db, def.Name);
        if (present.empty()) {
            if (std::string_view(def.Name) == "topic") return false;
            continue;
        }
        // def.Columns lists the names separated by ", ".
        std::string_view wanted = def.Columns;
        while (!wanted.empty()) {
            const size_t comma = wanted.find(',');
            const std::string name = UpperCase(std::string(wanted.substr(0, comma)));
            if (std::find(present.begin(), present.end(), name) == present.end()) return false;
            wanted = comma == std::string_view::npos ? std::string_view() : wanted.substr(comma + 2);
        }
    }
    return true;
}

bool IsEmptyDatabase(TSQLiteDatabase& db) {
    auto table = db.GetTable("SELECT count(*) FROM sqlite_master WHERE type = 'table';");
    return table->RowCount() == 0 || table->FieldAsString(0) == "0";
}

void PrepareSchema(TSQLiteDatabase& db, bool isNew) {
    // Leaving by an exception leaves the transaction open; the connection rolls it back when freed.
    db.BeginTransaction();
    const std::string setVersion = "PRAGMA user_version = " + IntToStr(StoreSchemaVersion) + ";";
    if (isNew) {
        for (const TTableDef& def : Tables)
            db.ExecSQL(def.Create);
        db.ExecSQL(setVersion);
    } else if (StoreFileVersion(db) < StoreSchemaVersion) {
        for (const TTableDef& def : Tables)
            if (HasStringColumn(db, def.Name)) RebuildTable(db, def);
        db.ExecSQL(setVersion);
    }
    for (const char* sql : RetiredIndexes)
        db.ExecSQL(sql);
    for (const char* sql : Indexes)
        db.ExecSQL(sql);
    db.Commit();
}
