// The store's schema: creating it in a new file, bringing an older file's schema up to date, and the
// indexes the lookups rely on.
#pragma once

class TSQLiteDatabase;

// The schema version that PrepareSchema leaves in "PRAGMA user_version".
inline constexpr int StoreSchemaVersion = 2;

// True when the file holds no table at all: a file just created, a 0-byte file, or one whose
// schema never got committed.
bool IsEmptyDatabase(TSQLiteDatabase& db);

// The schema version the file says it has ("PRAGMA user_version"); 0 when it says none.
int StoreFileVersion(TSQLiteDatabase& db);

// True when the file's tables can be the store's: it has a "topic" table, and every table of the
// store's names that it has holds at least the columns the store reads and writes. Another
// program's file that merely has a table called "topic" does not fit.
bool FitsStoreSchema(TSQLiteDatabase& db);

// In one transaction: creates the tables in an empty file, or rebuilds the tables of a version 1
// file whose title and name columns were declared "string" (numeric affinity, so "007" was stored
// as 7) with text columns; then drops the indexes no lookup uses and creates the missing ones.
// A failure rolls everything back.
void PrepareSchema(TSQLiteDatabase& db, bool isNew);
