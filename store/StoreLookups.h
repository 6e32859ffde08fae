// The store's lookups: the statements that find one row or a few by a title or an id. Each is
// served by an index (StoreSchema.cpp) and kept prepared by the connection; the tests check their
// query plans against this table.
#pragma once

namespace store_lookup {

// Titles are compared with NOCASE: the ASCII letters A-Z fold, every other byte is exact. The
// lowest id wins where several rows match.
inline constexpr const char* Namespace =
    "SELECT id FROM namespace WHERE title = ? COLLATE NOCASE ORDER BY id LIMIT 1";
inline constexpr const char* Tag = "SELECT id FROM tag WHERE title = ? COLLATE NOCASE ORDER BY id LIMIT 1";
// The namespace's id and its topic's id (NULL when missing) in one step: no row when the namespace
// is missing. Parameters: namespace title, topic title.
inline constexpr const char* NamespaceAndTopic =
    "SELECT ns.id, (SELECT topic.id FROM topic WHERE topic.namespace = ns.id AND topic.title = ?2 COLLATE "
    "NOCASE "
    "ORDER BY topic.id LIMIT 1) FROM namespace AS ns WHERE ns.title = ?1 COLLATE NOCASE ORDER BY ns.id LIMIT "
    "1";
// Every tag of a title, lowest id first.
inline constexpr const char* TagsOfTitle = "SELECT id FROM tag WHERE title = ? COLLATE NOCASE ORDER BY id";
// Whether a tag is linked to a topic (tag id, topic id), and whether any topic carries a tag.
inline constexpr const char* Link = "SELECT topic_id FROM tag_link WHERE tag_id = ? AND topic_id = ? LIMIT 1";
inline constexpr const char* AnyLink = "SELECT tag_id FROM tag_link WHERE tag_id = ? LIMIT 1";
// A topic's row, meta lines, tags and names by its id.
inline constexpr const char* TopicRow = "SELECT content,x,y,w,h FROM topic WHERE id = ?";
inline constexpr const char* TopicMeta = "SELECT meta FROM topic WHERE id = ?";
inline constexpr const char* TopicTags = "SELECT tag.title AS title FROM tag JOIN tag_link WHERE "
                                         "tag_link.topic_id = ? AND tag.id = tag_link.tag_id;";
inline constexpr const char* TopicNames = "SELECT topic.title AS topic, namespace.title AS namespace  FROM "
                                          "topic JOIN namespace WHERE topic.id = ? AND "
                                          "namespace.id = topic.namespace;";
// The topics of one namespace (the list behind a namespace's page).
inline constexpr const char* NamespaceTopics = "SELECT id,title FROM topic WHERE namespace = ?";
// Every topic with its namespace's title, read from the index on (namespace, title); the tagged
// form keeps the topics linked to one of the tag ids, each topic once however many it carries. The
// tagged form is written for one tag id here; TNotesStore repeats the "?" for each further tag.
inline constexpr const char* PlacedTopics =
    "SELECT namespace.title AS namespace, topic.id AS id, topic.title AS title FROM topic JOIN namespace "
    "ON namespace.id = topic.namespace";
inline constexpr const char* PlacedTaggedTopics =
    "SELECT namespace.title AS namespace, topic.id AS id, topic.title AS title FROM topic JOIN namespace "
    "ON namespace.id = topic.namespace WHERE topic.id IN (SELECT topic_id FROM tag_link WHERE tag_id IN "
    "(?))";
// The namespaces no topic uses (removed at close): every namespace once, each probing the index.
inline constexpr const char* OrphanNamespaces =
    "SELECT id FROM namespace WHERE NOT EXISTS (SELECT 1 FROM topic WHERE topic.namespace = namespace.id) "
    "ORDER BY id;";

struct TLookup {
    const char* Name;
    const char* SQL;
    // The plan must search each of these indexes ("" for the table's integer key).
    const char* Indexes[2];
    // The one table the plan may read whole (nullptr: none).
    const char* Scans = nullptr;
};

inline constexpr TLookup All[] = {
    {"namespace", Namespace, {"namespace_title_nocase"}},
    {"tag", Tag, {"tag_title_nocase"}},
    {"topic", NamespaceAndTopic, {"namespace_title_nocase", "topic_namespace_title_nocase"}},
    {"tags of a title", TagsOfTitle, {"tag_title_nocase"}},
    {"link", Link, {"tag_link_topic_tag"}},
    {"any link", AnyLink, {"tag_link_tag"}},
    {"topic row", TopicRow, {""}},
    {"topic meta", TopicMeta, {""}},
    {"topic tags", TopicTags, {"tag_link_topic_tag", ""}},
    {"topic names", TopicNames, {"", ""}},
    {"namespace topics", NamespaceTopics, {"topic_namespace_title_nocase"}},
    {"placed topics", PlacedTopics, {""}, "topic USING COVERING INDEX topic_namespace_title_nocase"},
    {"placed tagged topics", PlacedTaggedTopics, {"tag_link_tag", ""}},
    {"orphan namespaces", OrphanNamespaces, {"topic_namespace_title_nocase"}, "namespace"},
};

} // namespace store_lookup
