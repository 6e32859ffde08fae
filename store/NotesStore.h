// TNotesStore: the notes database. One SQLite file, one transaction kept open for the whole run and
// committed at each checkpoint, ids allocated by the store, a name=value property list for the
// application, and events when topics, namespaces and tags come into being or go.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Object.h"
#include "base/StringList.h"
#include "base/Streams.h"
#include "store/DamageCheck.h"
#include "store/SQLiteAccess.h"

// A topic found by FindTopicsWithNamespaces: its namespace's title ("" for the default namespace),
// its own title and its id.
struct TPlacedTopic {
    std::string NameSpace;
    std::string Title;
    int32_t ID = 0;
};

// A note window's rectangle as stored with its topic: left, top, width, height.
struct TTopicRect {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t W = 0;
    int32_t H = 0;
};

class TNotesStore : public TObject {
public:
    using TTopicEvent = std::function<void(const std::string& title, const std::string& nameSpace)>;
    using TTitleEvent = std::function<void(const std::string& title)>;
    using TRenameEvent = std::function<void(const std::string& oldTitle, const std::string& oldNameSpace,
                                            const std::string& title, const std::string& nameSpace)>;
    using TTextHook = std::function<void(const std::string& text)>;

    // Opens the file, creating it with the schema when it holds no tables, bringing an older
    // file's schema up to date, and begins the run's transaction. Raises ESQLiteException, and
    // writes nothing, for a file whose tables are not the store's or whose schema version is
    // newer than this one's; EDatabaseBusy and EDatabaseDamaged say so in plain words.
    explicit TNotesStore(const std::string& fileName);
    // Removes namespaces no topic uses and commits. Never throws: a failure goes to OnLog.
    ~TNotesStore() override;
    TNotesStore(const TNotesStore&) = delete;
    TNotesStore& operator=(const TNotesStore&) = delete;

    // The checkpoint: stores Properties, commits and begins the next transaction.
    void Commit();

    // Looks through the whole file for damage beside the program (TDamageCheck); start-up reads
    // only the pages it needs. Damage found there makes the store refuse every write and commit
    // from then on, as damage met by a statement does. Commits hold the check back while they
    // run; closing the store stops it. Once per store.
    void StartDamageCheck();
    // The check, or nullptr before StartDamageCheck.
    const TDamageCheck* DamageCheck() const { return check_.get(); }
    // True when the check found damage that no statement had met before it (and so nobody told).
    bool DamageFirstFoundByCheck() const { return damageFirstFoundByCheck_; }

    // Whether writes made now are in the file yet: take WriteMark() right after a write; the write
    // is in the file once WriteCommitted(mark), and is gone (to be written again) once
    // WriteLost(mark), when a commit failed or SQLite rolled the transaction back.
    int64_t WriteMark() const { return db_->TransactionNumber(); }
    bool WriteCommitted(int64_t mark) const { return db_->TransactionCommitted(mark); }
    bool WriteLost(int64_t mark) const { return db_->TransactionLost(mark); }

    // The connection, for what needs SQLite itself (tests inject faults through it).
    TSQLiteDatabase& Connection() { return *db_; }

    // Name=value settings kept inside the database; names ignore ASCII case, "" removes a line.
    THashedStringList& Properties() { return properties_; }

    // Events, without a sender; each fires only when assigned, after its rows are written.
    TTopicEvent OnNewTopic;    // title and namespace as the caller passed them
    TTopicEvent OnDeleteTopic; // title and namespace as read before the deletion
    // A save that gave the topic another title (a change of case counts) or moved it to another
    // namespace: the old names as read before the save, the new ones as the caller passed them.
    TRenameEvent OnRenameTopic;
    TTitleEvent OnNewNamespace;
    TTitleEvent OnNewTag;
    // Shows a message to the user (the application puts up a message box).
    TTextHook OnShowMessage;
    // Records a failure that could not be raised (a commit failing at close).
    TTextHook OnLog;

    // Titles, namespaces and tags are compared with the case of the ASCII letters A-Z ignored and
    // every other byte exact ("ABC" is "abc"; "À" is not "à", "é" is not "è"), and stored as given.
    // One holding a NUL byte is refused with ESQLiteException before anything is written.

    // Namespaces and tags. Where several rows match, the lowest id wins.
    // With created set on entry a missing row is inserted; on return created says whether it was.
    int32_t FindNamespace(const std::string& title, bool& created);
    int32_t GetNamespaceID(const std::string& title);
    int32_t FindTag(const std::string& title, bool& created);
    int32_t GetTagID(const std::string& title);
    bool RenameTag(const std::string& oldTitle, const std::string& newTitle);
    // Deletes the tag and its links to topics.
    void DeleteTag(const std::string& title);
    // A number that changes whenever this store adds, renames or removes a tag: a list of every
    // tag (a notebook may hold a hundred thousand) needs reading again only when it moved.
    int64_t TagsVersion() const { return tagsVersion_; }

    // Topics. FindTopic creates the namespace when missing, whatever created says.
    int32_t FindTopic(const std::string& nameSpace, const std::string& title, bool& created);
    // The content, or nullptr when there is no such topic (rect is then left alone).
    std::unique_ptr<TStringStream> GetTopic(int32_t topicID, TTopicRect& rect);
    // Writes the whole row (its meta becomes empty): the caller writes the meta right after.
    void SaveTopic(int32_t topicID, const std::string& nameSpace, const TTopicRect& rect, TStream& content,
                   const std::string& title);
    // The same row with its meta in one statement. A large content (a picture is megabytes of
    // RTF) is then written once: an UPDATE of the meta alone makes SQLite rewrite the whole row.
    void SaveTopic(int32_t topicID, const std::string& nameSpace, const TTopicRect& rect, TStream& content,
                   const std::string& title, TStream& meta);
    std::unique_ptr<TStringStream> GetTopicMeta(int32_t topicID);
    void SetTopicMeta(int32_t topicID, TStream& meta);
    void DeleteTopic(int32_t topicID);

    // Tag links. DetachTag removes the topic's links to the tags of that title and drops each of
    // them that no topic carries any more.
    void AttachTag(int32_t topicID, const std::string& tagTitle);
    void DetachTag(int32_t topicID, const std::string& tagTitle);

    // Lists: nullptr when empty. "title=id" lines (see StoreLists.h to read them).
    std::unique_ptr<TStringList> ListTopicTags(int32_t topicID); // bare titles
    std::unique_ptr<TStringList> ListTags();
    std::unique_ptr<TStringList> ListNamespaces(); // sorted
    // Topics of a namespace ("*": every namespace) carrying any of the tags (none given: no tag
    // filter) whose content holds the text ("": any) as a substring, ASCII case ignored; sorted.
    std::unique_ptr<TStringList> FindTopics(const std::string& nameSpace, const TStrings* tags,
                                            const std::string& text);
    // The titles of FindTopics(nameSpace, nullptr, ""), in its order: a side panel's list.
    std::vector<std::string> FindTopicTitles(const std::string& nameSpace);
    // Every topic carrying any of the tags (none given: every topic), each once, with its
    // namespace's title, in one query: a search over all namespaces that groups its result by
    // namespace asks once instead of once per namespace. Tags are found as FindTopics finds them
    // (the lowest id of a title; a missing one matches nothing and is not created). No order.
    std::vector<TPlacedTopic> FindTopicsWithNamespaces(const TStrings* tags);

    // Named blobs; names are stored upper-cased.
    std::unique_ptr<TStringStream> GetMeta(const std::string& name);
    void SetMeta(const std::string& name, TStream& stream);

private:
    struct TNamedTable;
    static const TNamedTable NamespaceTable;
    static const TNamedTable TagTable;

    int32_t FindOrCreate(const TNamedTable& table, int64_t& nextID, const TTitleEvent& event,
                         const std::string& title, bool& created);
    int32_t FirstID(std::string_view sql, TSQLiteParams params);
    std::unique_ptr<TStringList> ReadList(std::string_view sql, const std::vector<TSQLiteParam>& params,
                                          bool withIDs, bool sorted);
    void LoadProperties();
    // A topic's title and its namespace's title as stored.
    struct TTopicNames {
        std::string title;
        std::string nameSpace;
    };
    std::optional<TTopicNames> StoredNames(int32_t topicID);
    // The names a save is about to replace, read only when someone listens for renames.
    std::optional<TTopicNames> NamesBeforeSave(int32_t topicID);
    void ReportRename(const std::optional<TTopicNames>& before, const std::string& title,
                      const std::string& nameSpace);
    int64_t HighestID(const char* table);
    void RemoveOrphanNamespaces();

    std::unique_ptr<TSQLiteDatabase> db_;
    std::unique_ptr<TDamageCheck> check_;
    std::atomic<bool> damageFirstFoundByCheck_ = false;
    int64_t nextTopicID_ = 1;
    int64_t nextNamespaceID_ = 1;
    int64_t nextTagID_ = 1;
    int64_t tagsVersion_ = 0;
    THashedStringList properties_;
    // What the last Commit made durable: the properties and SQLite's count of rows written.
    bool committed_ = false;
    std::string committedProperties_;
    int64_t committedChanges_ = 0;
    int64_t transactionAfterCommit_ = 0; // the transaction the last Commit began
};
