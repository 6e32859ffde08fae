// TNotesStore: the operations on topics, namespaces and tags, tag links, the lists and the search.
//
// Titles, namespaces and tags are compared with "= ... COLLATE NOCASE": SQLite's NOCASE folds the
// ASCII letters A-Z only and compares every other byte exactly, which is right for our 8-bit
// Windows-1252 text ("Müller" and "Möller" stay two words). LIKE is never used: it reads its
// operands as UTF-8, and every lone high byte becomes the same replacement character to it. Each
// lookup is served by an index declared with the same collation (StoreSchema.cpp).
#include "store/NotesStore.h"

#include "base/Checked.h"
#include "base/StrUtils.h"
#include "store/StoreLists.h"
#include "store/StoreLookups.h"
#include "store/StoreSQL.h"

namespace {

const char* const InternalErrorText = "Internal Error\r\rGetTopic called with invalid ATopicID.\r"
                                      "The topic did not exist and was not created.\r\r"
                                      "Please report this error to the author at\r"
                                      "support@miravelund.example";

int32_t IntOrZero(const std::string& text) {
    return text.empty() ? 0 : StrToInt(text);
}

// Content and meta: the stream's bytes as a blob, or the empty text when the stream is empty (the
// value an empty topic has always been stored with).
TSQLiteParam ContentParam(const std::string& bytes) {
    if (bytes.empty()) return std::string_view();
    return TSQLiteBlob{bytes};
}

} // namespace

// The id of the first row of a one-column lookup, or -1 without a row.
int32_t TNotesStore::FirstID(std::string_view sql, TSQLiteParams params) {
    const std::optional<int64_t> id = db_->QueryID(sql, params);
    return id ? CheckedToInt32(*id) : -1;
}

// The table's lookup and insert statements, each with its title as the one parameter.
struct TNotesStore::TNamedTable {
    const char* Find;
    const char* Insert;
    const char* Kind; // for messages
};

const TNotesStore::TNamedTable TNotesStore::NamespaceTable{
    store_lookup::Namespace, "INSERT INTO namespace (id, title) VALUES(?, ?)", "namespace"};

const TNotesStore::TNamedTable TNotesStore::TagTable{store_lookup::Tag,
                                                     "INSERT INTO tag (id, title) VALUES(?, ?)", "tag"};

int32_t TNotesStore::FindOrCreate(const TNamedTable& table, int64_t& nextID, const TTitleEvent& event,
                                  const std::string& title, bool& created) {
    CheckName(table.Kind, title);
    const int32_t found = FirstID(table.Find, {title});
    if (found >= 0) {
        created = false;
        return found;
    }
    if (!created) return -1;
    const int32_t id = CheckedToInt32(nextID);
    db_->ExecSQL(table.Insert, {id, title});
    ++nextID;
    if (event) event(title);
    return id;
}

int32_t TNotesStore::FindNamespace(const std::string& title, bool& created) {
    return FindOrCreate(NamespaceTable, nextNamespaceID_, OnNewNamespace, title, created);
}

int32_t TNotesStore::GetNamespaceID(const std::string& title) {
    bool created = true;
    return FindNamespace(title, created);
}

int32_t TNotesStore::FindTag(const std::string& title, bool& created) {
    const int32_t id = FindOrCreate(TagTable, nextTagID_, OnNewTag, title, created);
    if (created) ++tagsVersion_;
    return id;
}

int32_t TNotesStore::GetTagID(const std::string& title) {
    bool created = true;
    return FindTag(title, created);
}

// Renaming a tag to the title another tag already has merges the two: the topics of the renamed
// tag join the other one (a topic that carries both keeps one link) and the renamed tag goes.
// Two tags of one title would split its topics, and every lookup by that title (the finder's
// filter, attaching, deleting) would only ever see the first of them.
bool TNotesStore::RenameTag(const std::string& oldTitle, const std::string& newTitle) {
    CheckName("tag", newTitle);
    bool created = false;
    const int32_t id = FindTag(oldTitle, created);
    if (id < 0) return false;
    const int32_t other = FirstID(store_lookup::Tag, {newTitle});
    ++tagsVersion_;
    if (other < 0 || other == id) {
        db_->ExecSQL("UPDATE tag SET title = ? WHERE id = ?", {newTitle, id});
        return true;
    }
    db_->ExecSQL("INSERT INTO tag_link (tag_id, topic_id) SELECT ?1, topic_id FROM tag_link AS moved WHERE "
                 "moved.tag_id = ?2 AND NOT EXISTS (SELECT 1 FROM tag_link WHERE tag_link.tag_id = ?1 AND "
                 "tag_link.topic_id = moved.topic_id)",
                 {other, id});
    db_->ExecSQL("DELETE FROM tag_link WHERE tag_id = ?", {id});
    db_->ExecSQL("DELETE FROM tag WHERE id = ?", {id});
    return true;
}

void TNotesStore::DeleteTag(const std::string& title) {
    bool created = false;
    const int32_t id = FindTag(title, created);
    if (id < 0) return;
    ++tagsVersion_;
    db_->ExecSQL("DELETE FROM tag WHERE id = ?", {id});
    db_->ExecSQL("DELETE FROM tag_link WHERE tag_id = ?", {id});
}

int32_t TNotesStore::FindTopic(const std::string& nameSpace, const std::string& title, bool& created) {
    CheckName("title", title); // before the namespace is created: a refused title writes nothing
    CheckName("namespace", nameSpace);
    // Every navigation asks for a topic: one statement finds both the namespace and the topic.
    std::optional<int64_t> found[2];
    int32_t nsid = -1;
    if (db_->QueryIDs(store_lookup::NamespaceAndTopic, {nameSpace, title}, found)) {
        nsid = CheckedToInt32(*found[0]);
        if (found[1]) {
            created = false;
            return CheckedToInt32(*found[1]);
        }
    } else {
        nsid = GetNamespaceID(nameSpace); // the namespace is made whatever created says
    }
    if (!created) return -1;
    const int32_t id = CheckedToInt32(nextTopicID_);
    db_->ExecSQL("INSERT INTO topic (id, title, namespace) VALUES(?, ?, ?)", {id, title, nsid});
    ++nextTopicID_;
    if (OnNewTopic) OnNewTopic(title, nameSpace);
    return id;
}

std::unique_ptr<TStringStream> TNotesStore::GetTopic(int32_t topicID, TTopicRect& rect) {
    if (topicID == -1) {
        if (OnShowMessage) OnShowMessage(InternalErrorText);
        return nullptr;
    }
    auto result = db_->GetTable(store_lookup::TopicRow, {topicID});
    if (result->RowCount() == 0) return nullptr;
    rect.X = IntOrZero(result->FieldAsString(1));
    rect.Y = IntOrZero(result->FieldAsString(2));
    rect.W = IntOrZero(result->FieldAsString(3));
    rect.H = IntOrZero(result->FieldAsString(4));
    return std::make_unique<TStringStream>(result->FieldAsString(0));
}

void TNotesStore::SaveTopic(int32_t topicID, const std::string& nameSpace, const TTopicRect& rect,
                            TStream& content, const std::string& title) {
    CheckName("title", title);
    const auto before = NamesBeforeSave(topicID);
    const int32_t nsid = GetNamespaceID(nameSpace);
    const std::string bytes = StreamBytes(content);
    db_->ExecSQL("INSERT OR REPLACE INTO topic (content, namespace, title, x, y, w, h, id) "
                 "VALUES(?, ?, ?, ?, ?, ?, ?, ?)",
                 {ContentParam(bytes), nsid, title, rect.X, rect.Y, rect.W, rect.H, topicID});
    ReportRename(before, title, nameSpace);
}

void TNotesStore::SaveTopic(int32_t topicID, const std::string& nameSpace, const TTopicRect& rect,
                            TStream& content, const std::string& title, TStream& meta) {
    CheckName("title", title);
    const auto before = NamesBeforeSave(topicID);
    const int32_t nsid = GetNamespaceID(nameSpace);
    const std::string bytes = StreamBytes(content);
    const std::string metaBytes = StreamBytes(meta);
    db_->ExecSQL(
        "INSERT OR REPLACE INTO topic (content, meta, namespace, title, x, y, w, h, id) "
        "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {ContentParam(bytes), ContentParam(metaBytes), nsid, title, rect.X, rect.Y, rect.W, rect.H, topicID});
    ReportRename(before, title, nameSpace);
}

std::unique_ptr<TStringStream> TNotesStore::GetTopicMeta(int32_t topicID) {
    auto result = db_->GetTable(store_lookup::TopicMeta, {topicID});
    if (result->RowCount() == 0) return nullptr;
    return std::make_unique<TStringStream>(result->FieldAsString(0));
}

void TNotesStore::SetTopicMeta(int32_t topicID, TStream& meta) {
    const std::string bytes = StreamBytes(meta);
    db_->ExecSQL("UPDATE topic SET meta = ? WHERE id = ?", {ContentParam(bytes), topicID});
}

std::optional<TNotesStore::TTopicNames> TNotesStore::StoredNames(int32_t topicID) {
    auto names = db_->GetTable(store_lookup::TopicNames, {topicID});
    if (names->RowCount() == 0) return std::nullopt;
    return TTopicNames{names->FieldAsString(names->FieldIndex("topic")),
                       names->FieldAsString(names->FieldIndex("namespace"))};
}

std::optional<TNotesStore::TTopicNames> TNotesStore::NamesBeforeSave(int32_t topicID) {
    return OnRenameTopic ? StoredNames(topicID) : std::nullopt;
}

// Namespaces are matched as the store finds them (ASCII case ignored): "work" saves into "Work".
// A save that writes a row anew is no rename.
void TNotesStore::ReportRename(const std::optional<TTopicNames>& before, const std::string& title,
                               const std::string& nameSpace) {
    if (!OnRenameTopic || !before) return;
    if (before->title != title || !SameText(before->nameSpace, nameSpace))
        OnRenameTopic(before->title, before->nameSpace, title, nameSpace);
}

void TNotesStore::DeleteTopic(int32_t topicID) {
    const TTopicNames names = StoredNames(topicID).value_or(TTopicNames{});
    db_->ExecSQL("DELETE FROM topic WHERE id = ?", {topicID});
    db_->ExecSQL("DELETE FROM tag_link WHERE topic_id = ?", {topicID});
    if (OnDeleteTopic) OnDeleteTopic(names.title, names.nameSpace);
}

void TNotesStore::AttachTag(int32_t topicID, const std::string& tagTitle) {
    const int32_t tid = GetTagID(tagTitle);
    if (FirstID(store_lookup::Link, {tid, topicID}) < 0)
        db_->ExecSQL("INSERT INTO tag_link (tag_id, topic_id) VALUES(?, ?)", {tid, topicID});
}

// The same comparison as AttachTag, so that a tag attached under one spelling is detached under
// it too. Every tag of that title loses its link to the topic (a rename may have made two), and
// each of them that no topic carries any more disappears.
void TNotesStore::DetachTag(int32_t topicID, const std::string& tagTitle) {
    CheckName("tag", tagTitle);
    std::vector<int32_t> tags;
    {
        auto found = db_->GetTable(store_lookup::TagsOfTitle, {tagTitle});
        for (; !found->Eof(); found->Next())
            tags.push_back(StrToInt(found->FieldAsString(0)));
    }
    for (const int32_t tid : tags) {
        db_->ExecSQL("DELETE FROM tag_link WHERE tag_id = ? AND topic_id = ?", {tid, topicID});
        if (FirstID(store_lookup::AnyLink, {tid}) >= 0) continue;
        ++tagsVersion_;
        db_->ExecSQL("DELETE FROM tag WHERE id = ?", {tid});
    }
}

// Each row's title (the first column), or "title=id" from the columns id and title; nullptr without
// rows.
std::unique_ptr<TStringList> TNotesStore::ReadList(std::string_view sql,
                                                   const std::vector<TSQLiteParam>& params, bool withIDs,
                                                   bool sorted) {
    TListLines lines;
    db_->ForEachRow(sql, params, [&](const TSQLiteRow& row) {
        if (withIDs)
            lines.Add(row.Text(1), row.Int(0));
        else
            lines.Add(row.Text(0));
    });
    return lines.List(sorted);
}

std::unique_ptr<TStringList> TNotesStore::ListTopicTags(int32_t topicID) {
    return ReadList(store_lookup::TopicTags, {int64_t{topicID}}, false, false);
}

std::unique_ptr<TStringList> TNotesStore::ListTags() {
    return ReadList("SELECT id,title FROM tag", {}, true, false);
}

std::unique_ptr<TStringList> TNotesStore::ListNamespaces() {
    return ReadList("SELECT id,title FROM namespace", {}, true, true);
}

std::unique_ptr<TStringList> TNotesStore::FindTopics(const std::string& nameSpace, const TStrings* tags,
                                                     const std::string& text) {
    const bool byTags = tags && tags->Count() > 0;
    // The statement takes one of a few forms, told apart only by the number of tags found, so the
    // connection keeps each prepared; every value is bound.
    std::vector<TSQLiteParam> params;
    std::string sql = "SELECT id,title FROM topic";
    if (byTags) sql += " JOIN tag_link";
    if (nameSpace == "*") {
        sql += " WHERE 1";
    } else {
        sql += " WHERE namespace = ?";
        params.emplace_back(int64_t{GetNamespaceID(nameSpace)});
    }
    // The text is a plain substring of the stored bytes, ASCII letters folded on both sides: "%",
    // "_" and "\" are themselves, high bytes match exactly, and any length works. Both sides are
    // compared as blobs, because instr() on text steps over bytes it takes for UTF-8 continuations.
    const std::string needle = LowerCase(text);
    if (!text.empty()) {
        sql += " AND instr(CAST(lower(content) AS BLOB), ?) > 0";
        params.emplace_back(TSQLiteBlob{needle});
    }
    if (byTags) {
        // Only the tags that exist take part; with none of them nothing matches. The terms are
        // joined without a constant term so that the index on tag_link(tag_id) serves them.
        std::string terms;
        for (int i = 0; i < tags->Count(); ++i) {
            bool created = false;
            const int32_t tid = FindTag(tags->Get(i), created);
            if (tid < 0) continue;
            if (!terms.empty()) terms += " OR ";
            terms += "tag_link.tag_id = ?";
            params.emplace_back(int64_t{tid});
        }
        sql += " AND id = tag_link.topic_id AND (" + (terms.empty() ? std::string("0") : terms) + ")";
    }
    return ReadList(sql, params, true, true);
}

std::vector<std::string> TNotesStore::FindTopicTitles(const std::string& nameSpace) {
    std::vector<TSQLiteParam> params;
    std::string_view sql = "SELECT id,title FROM topic WHERE 1";
    if (nameSpace != "*") {
        sql = store_lookup::NamespaceTopics;
        params.emplace_back(int64_t{GetNamespaceID(nameSpace)});
    }
    TListLines lines;
    db_->ForEachRow(sql, params, [&](const TSQLiteRow& row) { lines.Add(row.Text(1), row.Int(0)); });
    return lines.Titles(true);
}

std::vector<TPlacedTopic> TNotesStore::FindTopicsWithNamespaces(const TStrings* tags) {
    std::vector<TSQLiteParam> params;
    std::string sql = store_lookup::PlacedTopics;
    if (tags && tags->Count() > 0) {
        for (int i = 0; i < tags->Count(); ++i) {
            bool created = false;
            const int32_t tid = FindTag(tags->Get(i), created);
            if (tid >= 0) params.emplace_back(int64_t{tid});
        }
        if (params.empty()) return {};
        // The lookup holds one "?" in its closing "(?))"; each further tag id adds one.
        sql = store_lookup::PlacedTaggedTopics;
        std::string more;
        for (size_t i = 1; i < params.size(); ++i)
            more += ",?";
        sql.insert(sql.size() - 2, more);
    }
    std::vector<TPlacedTopic> found;
    db_->ForEachRow(sql, params, [&](const TSQLiteRow& row) {
        found.push_back(
            TPlacedTopic{std::string(row.Text(0)), std::string(row.Text(2)), CheckedToInt32(row.Int(1))});
    });
    return found;
}
