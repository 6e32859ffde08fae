// The store's schema: creating it in a new file, bringing an older file's schema up to date, and the
// indexes the lookups rely on.
#pragma once

class TSQLiteDatabase;

// The schema version that PrepareSchema leaves in "PRAGMA user_version".
inline constexpr int StoreSchemaVersion = 2;

// True when the file holds no table at all: a file just created, a 0-byte file, or one whose
// schema never got committed.
bool IsEmptyDatabase(TSQLiteDatabase& db);

// In one transaction: creates the tables in an empty file, or rebuilds the tables of a version 1
// file whose title and name columns were declared "string" (numeric affinity, so "007" was stored
// as 7) with text columns; then drops the indexes no lookup uses and creates the missing ones.
// A failure rolls everything back.
void PrepareSchema(TSQLiteDatabase& db, bool isNew);
