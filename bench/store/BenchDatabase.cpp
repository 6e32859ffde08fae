// Generating the benchmarks' databases: one transaction, prepared statements, a fixed seed.
#include "bench/store/BenchDatabase.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <vector>

#include <sqlite3.h>

#include "store/NotesStore.h"

namespace {

// The marker of the generator's version and of the shape; a file with another marker is rebuilt.
std::string MarkerOf(const TBenchShape& shape) {
    std::string marker = "bench-3";
    if (shape.Topics != BenchSpread.Topics || shape.Namespaces != BenchSpread.Namespaces ||
        shape.Tags != BenchSpread.Tags)
        for (const int part : {shape.Topics, shape.Namespaces, shape.Tags}) {
            marker += '/';
            marker += std::to_string(part);
        }
    return marker;
}

void Check(sqlite3* db, int rc, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

bool IsCurrent(const std::string& path, const std::string& marker) {
    if (!std::filesystem::exists(path)) return false;
    sqlite3* db = nullptr;
    bool current = false;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT content FROM meta_value WHERE name = 'BENCH'", -1, &st, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            current = std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == marker;
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return current;
}

// The text ends with the topic's tags as a dot-line, as the program writes them:
// saving a topic through a note window then keeps its tag links.
std::string RtfText(std::mt19937& random, int i, const std::vector<int>& tags) {
    static const char* const words[] = {"note",  "plan",   "idea", "meeting", "draft", "review", "list",
                                        "later", "urgent", "home", "work",    "call",  "write",  "read"};
    std::string text = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Tahoma;}}\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    text += BenchTopicTitle(i) + "\\par ";
    while (text.size() < 2040) {
        text += words[random() % std::size(words)];
        text += (random() % 12 == 0) ? "\\par " : " ";
    }
    text += "\\par ";
    for (int t : tags) {
        text += '.';
        text += BenchTag(t);
    }
    return text + "\\par}";
}

} // namespace

std::string BenchNamespace(int n) {
    return n == 0 ? std::string() : "Space " + std::to_string(n);
}

std::string BenchTag(int t) {
    return "tag" + std::to_string(t);
}

std::string BenchTopicTitle(int i) {
    return "Topic " + std::to_string(i);
}

void EnsureBenchDatabase(const std::string& path, const TBenchShape& shape) {
    const std::string marker = MarkerOf(shape);
    if (IsCurrent(path, marker)) return;
    std::filesystem::remove(path);
    std::printf("Generating %s ...\n", path.c_str());
    { TNotesStore schema(path); } // the store's own schema and indexes

    sqlite3* db = nullptr;
    Check(db, sqlite3_open(path.c_str(), &db), "open");
    Check(db, sqlite3_exec(db, "BEGIN;", nullptr, nullptr, nullptr), "begin");
    auto prepare = [&](const char* sql) {
        sqlite3_stmt* st = nullptr;
        Check(db, sqlite3_prepare_v2(db, sql, -1, &st, nullptr), sql);
        return st;
    };
    auto run = [&](sqlite3_stmt* st) {
        Check(db, sqlite3_step(st), "step");
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
    };
    sqlite3_stmt* ns = prepare("INSERT INTO namespace (id, title) VALUES(?, ?)");
    for (int n = 0; n < shape.Namespaces; ++n) {
        const std::string title = BenchNamespace(n);
        sqlite3_bind_int(ns, 1, n + 1);
        sqlite3_bind_text(ns, 2, title.c_str(), -1, SQLITE_TRANSIENT);
        run(ns);
    }
    sqlite3_finalize(ns);
    sqlite3_stmt* tag = prepare("INSERT INTO tag (id, title) VALUES(?, ?)");
    for (int t = 0; t < shape.Tags; ++t) {
        const std::string title = BenchTag(t);
        sqlite3_bind_int(tag, 1, t + 1);
        sqlite3_bind_text(tag, 2, title.c_str(), -1, SQLITE_TRANSIENT);
        run(tag);
    }
    sqlite3_finalize(tag);
    std::mt19937 random(20261207);
    sqlite3_stmt* topic = prepare("INSERT INTO topic (id, title, namespace, content, meta, x, y, w, h) "
                                  "VALUES(?, ?, ?, ?, ?, 10, 10, 640, 480)");
    sqlite3_stmt* link = prepare("INSERT INTO tag_link (tag_id, topic_id) VALUES(?, ?)");
    for (int i = 0; i < shape.Topics; ++i) {
        const std::string title = BenchTopicTitle(i);
        const int first = static_cast<int>(random() % shape.Tags);
        std::vector<int> tags;
        for (int k = 0; k < BenchLinksPerTopic; ++k) {
            // Fewer tags than links (a notebook of one topic): each tag once.
            const int t = (first + k * 337) % shape.Tags;
            if (std::find(tags.begin(), tags.end(), t) == tags.end()) tags.push_back(t);
        }
        const std::string content = RtfText(random, i, tags);
        sqlite3_bind_int(topic, 1, i + 1);
        sqlite3_bind_text(topic, 2, title.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(topic, 3, i % shape.Namespaces + 1);
        sqlite3_bind_blob(topic, 4, content.data(), static_cast<int>(content.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(topic, 5, "splitter_pos=180\r\n", -1, SQLITE_STATIC);
        run(topic);
        for (int t : tags) {
            sqlite3_bind_int(link, 1, t + 1);
            sqlite3_bind_int(link, 2, i + 1);
            run(link);
        }
    }
    sqlite3_finalize(topic);
    sqlite3_finalize(link);
    const std::string finish = "INSERT INTO meta_value (name, content) VALUES('PROPERTIES', 'version=1\r\n');"
                               "INSERT INTO meta_value (name, content) VALUES('BENCH', '" +
                               marker + "');COMMIT;";
    Check(db, sqlite3_exec(db, finish.c_str(), nullptr, nullptr, nullptr), "commit");
    sqlite3_close(db);
}
