// TNotesStore: opening, the checkpoint, closing, properties and named blobs.
#include "store/NotesStore.h"

#include "base/Checked.h"
#include "base/StrUtils.h"
#include "store/StoreLookups.h"
#include "store/StoreSQL.h"
#include "store/StoreSchema.h"

#include <sqlite3.h>

TNotesStore::TNotesStore(const std::string& fileName) : db_(std::make_unique<TSQLiteDatabase>(fileName)) {
    // A file without a single table is new, whether SQLite just created it, it is empty, or its
    // schema never got committed.
    const bool isNew = IsEmptyDatabase(*db_);
    // Nothing is written into a file that is not ours, nor into one whose newer schema this
    // version would misread or "repair".
    if (!isNew && !FitsStoreSchema(*db_))
        throw ESQLiteException("The file \"" + fileName +
                               "\" is not a Miravelund database. Miravelund has not changed it.");
    if (!isNew && StoreFileVersion(*db_) > StoreSchemaVersion)
        throw ESQLiteException(
            "The notes file \"" + fileName +
            "\" was written by a newer version of Miravelund, which this version cannot read "
            "safely. Miravelund has not changed it. Open it with the newer Miravelund.");
    PrepareSchema(*db_, isNew);

    LoadProperties();
    if (isNew) properties_.SetValue("version", "1");
    const std::string version = properties_.Values("version");
    if (version.empty() || StrToInt(version) == 0) properties_.SetValue("version", "1");

    nextTopicID_ = HighestID("topic") + 1;
    nextNamespaceID_ = HighestID("namespace") + 1;
    nextTagID_ = HighestID("tag") + 1;

    db_->BeginTransaction();
}

TNotesStore::~TNotesStore() {
    // The check's reader would keep the last commit waiting.
    check_.reset();
    auto report = [this](const std::string& text) {
        if (!OnLog) return;
        try {
            OnLog(text);
        } catch (...) {
            // The log is the last resort; nothing further can be told.
        }
    };
    try {
        RemoveOrphanNamespaces();
    } catch (const std::exception& e) {
        report(std::string("Could not remove unused namespaces: ") + e.what());
    }
    try {
        if (db_->InTransaction()) db_->Commit();
    } catch (const std::exception& e) {
        report(std::string("Could not commit the notes database: ") + e.what());
    }
}

void TNotesStore::RemoveOrphanNamespaces() {
    // One indexed probe per namespace: joining every topic instead would read a whole namespace of
    // 100,000 topics at every close.
    auto orphans = db_->GetTable(store_lookup::OrphanNamespaces);
    for (; !orphans->Eof(); orphans->Next())
        db_->ExecSQL("DELETE FROM namespace WHERE id = " + orphans->FieldAsString(0));
}

void TNotesStore::Commit() {
    // A checkpoint with nothing written since the last one and the same properties has nothing to
    // make durable: it writes nothing (leaving a note as it was loaded touches no file).
    const std::string properties = properties_.Text();
    if (db_->InTransaction() && committed_ && properties == committedProperties_ &&
        db_->TransactionNumber() == transactionAfterCommit_ &&
        sqlite3_total_changes64(db_->Handle()) == committedChanges_)
        return;
    // A commit waits for every reader to let go of the file, the damage check's too.
    const TDamageCheck::THold holdCheck(check_.get());
    TStringStream text(properties);
    SetMeta("properties", text);
    // After a failed checkpoint the transaction may already be gone; the next one starts anyway.
    if (db_->InTransaction()) db_->Commit();
    committed_ = true;
    committedProperties_ = properties;
    committedChanges_ = sqlite3_total_changes64(db_->Handle());
    db_->BeginTransaction();
    transactionAfterCommit_ = db_->TransactionNumber();
}

void TNotesStore::StartDamageCheck() {
    if (check_) return;
    // The name SQLite opened, so that the check reads the very same file; it gives way to this
    // connection's statements.
    const char* opened = sqlite3_db_filename(db_->Handle(), "main");
    check_ = std::make_unique<TDamageCheck>(
        opened ? opened : "", [this] { damageFirstFoundByCheck_ = !db_->MarkDamaged(); }, db_->Handle());
}

void TNotesStore::LoadProperties() {
    if (auto stored = GetMeta("properties")) properties_.SetText(stored->DataString());
}

int64_t TNotesStore::HighestID(const char* table) {
    auto result = db_->GetTable(std::string("SELECT id FROM ") + table + " ORDER BY id DESC LIMIT 1");
    return result->RowCount() > 0 ? StrToInt64(result->FieldAsString(0)) : 0;
}

std::unique_ptr<TStringStream> TNotesStore::GetMeta(const std::string& name) {
    auto result = db_->GetTable("SELECT content FROM meta_value WHERE name = ?", {UpperCase(name)});
    if (result->RowCount() == 0) return nullptr;
    return std::make_unique<TStringStream>(result->FieldAsString(0));
}

void TNotesStore::SetMeta(const std::string& name, TStream& stream) {
    const std::string bytes = StreamBytes(stream);
    // An empty value is stored as the empty text, as an empty topic is.
    const TSQLiteParam content = bytes.empty() ? TSQLiteParam(std::string_view()) : TSQLiteBlob{bytes};
    db_->ExecSQL("INSERT OR REPLACE INTO meta_value (name, content) VALUES(?, ?)",
                 {UpperCase(name), content});
}
