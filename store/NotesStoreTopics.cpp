// TNotesStore: the operations on topics, namespaces, tags and tag links, the lists and the search.
#include "store/NotesStore.h"

#include "base/Checked.h"
#include "base/StrUtils.h"
#include "store/StoreSQL.h"

namespace {

const char* const InternalErrorText = "Internal Error\r\rGetTopic called with invalid ATopicID.\r"
                                      "The topic did not exist and was not created.\r\r"
                                      "Please report this error to the author at\r"
                                      "support@miravelund.example";

int32_t IntOrZero(const std::string& text) {
    return text.empty() ? 0 : StrToInt(text);
}

} // namespace

// The id of the first row of a one-column query, or -1 without a row. The result is freed before
// this returns, so events fired afterwards find no query open.
int32_t TNotesStore::FirstID(const std::string& sql) {
    auto result = db_->GetTable(sql);
    return result->RowCount() > 0 ? StrToInt(result->FieldAsString(0)) : -1;
}

int32_t TNotesStore::FindOrCreate(const char* table, int64_t& nextID, const TTitleEvent& event,
                                  const std::string& title, bool& created) {
    const std::string name = table;
    const int32_t found =
        FirstID("SELECT id FROM " + name + " WHERE title like " + SqlLike(title) + " ORDER BY id;");
    if (found >= 0) {
        created = false;
        return found;
    }
    if (!created) return -1;
    const int32_t id = CheckedToInt32(nextID);
    db_->ExecSQL("INSERT INTO " + name + " (id, title) VALUES(" + SqlInt(id) + ", " + SqlText(title) + ");");
    ++nextID;
    if (event) event(title);
    return id;
}

int32_t TNotesStore::FindNamespace(const std::string& title, bool& created) {
    return FindOrCreate("namespace", nextNamespaceID_, OnNewNamespace, title, created);
}

int32_t TNotesStore::GetNamespaceID(const std::string& title) {
    bool created = true;
    return FindNamespace(title, created);
}

int32_t TNotesStore::FindTag(const std::string& title, bool& created) {
    return FindOrCreate("tag", nextTagID_, OnNewTag, title, created);
}

int32_t TNotesStore::GetTagID(const std::string& title) {
    bool created = true;
    return FindTag(title, created);
}

bool TNotesStore::RenameTag(const std::string& oldTitle, const std::string& newTitle) {
    bool created = false;
    const int32_t id = FindTag(oldTitle, created);
    if (id < 0) return false;
    db_->ExecSQL("UPDATE tag SET title = " + SqlText(newTitle) + " WHERE id = " + SqlInt(id));
    return true;
}

void TNotesStore::DeleteTag(const std::string& title) {
    bool created = false;
    const int32_t id = FindTag(title, created);
    if (id < 0) return;
    db_->ExecSQL("DELETE FROM tag WHERE id = " + SqlInt(id));
    db_->ExecSQL("DELETE FROM tag_link WHERE tag_id = " + SqlInt(id));
}

int32_t TNotesStore::FindTopic(const std::string& nameSpace, const std::string& title, bool& created) {
    const int32_t nsid = GetNamespaceID(nameSpace);
    const int32_t found = FirstID("SELECT id FROM topic WHERE title like " + SqlLike(title) +
                                  " AND namespace = " + SqlInt(nsid) + " ORDER BY id");
    if (found >= 0) {
        created = false;
        return found;
    }
    if (!created) return -1;
    const int32_t id = CheckedToInt32(nextTopicID_);
    db_->ExecSQL("INSERT INTO topic (id, title, namespace) VALUES(" + SqlInt(id) + ", " + SqlText(title) +
                 ", " + SqlInt(nsid) + ");");
    ++nextTopicID_;
    if (OnNewTopic) OnNewTopic(title, nameSpace);
    return id;
}

std::unique_ptr<TStringStream> TNotesStore::GetTopic(int32_t topicID, TTopicRect& rect) {
    if (topicID == -1) {
        if (OnShowMessage) OnShowMessage(InternalErrorText);
        return nullptr;
    }
    auto result = db_->GetTable("SELECT content,x,y,w,h FROM topic WHERE id = " + SqlInt(topicID));
    if (result->RowCount() == 0) return nullptr;
    rect.X = IntOrZero(result->FieldAsString(1));
    rect.Y = IntOrZero(result->FieldAsString(2));
    rect.W = IntOrZero(result->FieldAsString(3));
    rect.H = IntOrZero(result->FieldAsString(4));
    return std::make_unique<TStringStream>(result->FieldAsString(0));
}

void TNotesStore::SaveTopic(int32_t topicID, const std::string& nameSpace, const TTopicRect& rect,
                            TStream& content, const std::string& title) {
    const int32_t nsid = GetNamespaceID(nameSpace);
    // The content goes in as a bound blob; empty content as an empty text literal.
    const bool hasContent = content.Size() > 0;
    const std::string sql =
        "INSERT OR REPLACE INTO topic (content, namespace, title, x, y, w, h, id) VALUES(" +
        std::string(hasContent ? "?" : "''") + ", " + SqlInt(nsid) + "," + SqlText(title) + "," +
        SqlInt(rect.X) + "," + SqlInt(rect.Y) + "," + SqlInt(rect.W) + "," + SqlInt(rect.H) + "," +
        SqlInt(topicID) + ")";
    if (hasContent)
        db_->UpdateBlob(sql, content);
    else
        db_->ExecSQL(sql);
}

std::unique_ptr<TStringStream> TNotesStore::GetTopicMeta(int32_t topicID) {
    auto result = db_->GetTable("SELECT meta FROM topic WHERE id = " + SqlInt(topicID));
    if (result->RowCount() == 0) return nullptr;
    return std::make_unique<TStringStream>(result->FieldAsString(0));
}

void TNotesStore::SetTopicMeta(int32_t topicID, TStream& meta) {
    const std::string tail = " WHERE id = " + SqlInt(topicID);
    if (meta.Size() > 0)
        db_->UpdateBlob("UPDATE topic SET meta = ?" + tail, meta);
    else
        db_->ExecSQL("UPDATE topic SET meta = ''" + tail);
}

void TNotesStore::DeleteTopic(int32_t topicID) {
    std::string title;
    std::string nameSpace;
    {
        auto names =
            db_->GetTable("SELECT topic.title AS topic, namespace.title AS namespace  FROM topic JOIN "
                          "namespace WHERE topic.id = " +
                          SqlInt(topicID) + " AND namespace.id = topic.namespace;");
        if (names->RowCount() > 0) {
            nameSpace = names->FieldAsString(names->FieldIndex("namespace"));
            title = names->FieldAsString(names->FieldIndex("topic"));
        }
    }
    db_->ExecSQL("DELETE FROM topic WHERE id = " + SqlInt(topicID));
    db_->ExecSQL("DELETE FROM tag_link WHERE topic_id = " + SqlInt(topicID));
    if (OnDeleteTopic) OnDeleteTopic(title, nameSpace);
}

void TNotesStore::AttachTag(int32_t topicID, const std::string& tagTitle) {
    const int32_t tid = GetTagID(tagTitle);
    const int32_t linked = FirstID("SELECT topic_id FROM tag_link WHERE tag_id = " + SqlInt(tid) + " " +
                                   "AND topic_id = " + SqlInt(topicID));
    if (linked < 0)
        db_->ExecSQL("INSERT INTO tag_link (tag_id, topic_id) VALUES(" + SqlInt(tid) + ", " +
                     SqlInt(topicID) + ");");
}

void TNotesStore::DetachTag(int32_t topicID, const std::string& tagTitle) {
    const int32_t tid = FirstID("SELECT id FROM tag WHERE title = " + SqlText(tagTitle) + " ORDER BY id;");
    if (tid < 0) return;
    db_->ExecSQL("DELETE FROM tag_link WHERE tag_id = " + SqlInt(tid) + " " +
                 "AND topic_id = " + SqlInt(topicID) + ";");
    if (FirstID("SELECT tag_id FROM tag_link WHERE tag_id = " + SqlInt(tid) + " LIMIT 1") < 0)
        db_->ExecSQL("DELETE FROM tag WHERE id = " + SqlInt(tid));
}

// Each row's "title", followed by "=" and its "id" when asked; nullptr without rows.
std::unique_ptr<TStringList> TNotesStore::ReadList(const std::string& sql, bool withIDs, bool sorted) {
    auto result = db_->GetTable(sql);
    if (result->RowCount() == 0) return nullptr;
    const int32_t titleIndex = result->FieldIndex("title");
    const int32_t idIndex = withIDs ? result->FieldIndex("id") : -1;
    auto list = std::make_unique<TStringList>();
    for (; !result->Eof(); result->Next()) {
        std::string line = result->FieldAsString(titleIndex);
        if (withIDs) {
            line += '=';
            line += result->FieldAsString(idIndex);
        }
        list->Add(line);
    }
    if (sorted) list->Sort();
    return list;
}

std::unique_ptr<TStringList> TNotesStore::ListTopicTags(int32_t topicID) {
    return ReadList("SELECT tag.title AS title FROM tag JOIN tag_link WHERE tag_link.topic_id = " +
                        SqlInt(topicID) + " AND tag.id = tag_link.tag_id;",
                    false, false);
}

std::unique_ptr<TStringList> TNotesStore::ListTags() {
    return ReadList("SELECT id,title FROM tag", true, false);
}

std::unique_ptr<TStringList> TNotesStore::ListNamespaces() {
    return ReadList("SELECT * FROM namespace", true, true);
}

std::unique_ptr<TStringList> TNotesStore::FindTopics(const std::string& nameSpace, const TStrings* tags,
                                                     const std::string& text) {
    const bool byTags = tags && tags->Count() > 0;
    std::string sql = "SELECT id,title FROM topic";
    if (byTags) sql += " JOIN tag_link";
    if (nameSpace == "*")
        sql += " WHERE 1";
    else
        sql += " WHERE namespace = " + SqlInt(GetNamespaceID(nameSpace));
    if (!text.empty()) sql += " AND content LIKE " + SqlLikeContains(text);
    if (byTags) {
        // Only the tags that exist take part; with none of them nothing matches. The terms are
        // joined without a constant term so that the index on tag_link(tag_id) serves them.
        std::string terms;
        for (int i = 0; i < tags->Count(); ++i) {
            bool created = false;
            const int32_t tid = FindTag(tags->Get(i), created);
            if (tid < 0) continue;
            if (!terms.empty()) terms += " OR ";
            terms += "tag_link.tag_id = " + SqlInt(tid);
        }
        sql += " AND id = tag_link.topic_id AND (" + (terms.empty() ? std::string("0") : terms) + ")";
    }
    return ReadList(sql, true, true);
}
