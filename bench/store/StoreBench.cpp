// The notes store against bare SQLite: each store operation and the same statements run through
// the C API on the same generated file, in the same run; the ratio of the two is printed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "bench/store/BenchDatabase.h"
#include "store/NotesStore.h"
#include "store/StoreSQL.h"

namespace {

const std::string DatabasePath = MV_BENCH_DATABASE;

// A different topic on every iteration, spread over the whole file.
int PickTopic(int64_t iteration) {
    return static_cast<int>((iteration * 7919) % BenchTopics);
}

// ---- bare SQLite: prepare, step, read, finalize ----------------------------------------------

class TBare {
public:
    // Like the store, the connection normally keeps a transaction open, so that both sides keep
    // their page cache between statements.
    explicit TBare(bool holdTransaction = true) : hold_(holdTransaction) {
        sqlite3_open(DatabasePath.c_str(), &db_);
        Exec("PRAGMA SYNCHRONOUS=FULL;");
        if (hold_) Exec("BEGIN TRANSACTION;");
    }
    ~TBare() {
        if (hold_) Exec("COMMIT;");
        sqlite3_close(db_);
    }

    void Exec(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr);
        if (sqlite3_step(st) != SQLITE_DONE)
            std::fprintf(stderr, "bare: %s: %s\n", sql.c_str(), sqlite3_errmsg(db_));
        sqlite3_finalize(st);
    }
    // Runs a query and reads every column of every row as text; returns the first value.
    std::string Query(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr);
        std::string first;
        size_t bytes = 0;
        bool any = false;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0, n = sqlite3_column_count(st); c < n; ++c) {
                const auto* text = static_cast<const char*>(sqlite3_column_type(st, c) == SQLITE_BLOB
                                                                ? sqlite3_column_blob(st, c)
                                                                : sqlite3_column_text(st, c));
                const int size = sqlite3_column_bytes(st, c);
                if (!any && c == 0 && text) first.assign(text, size);
                bytes += static_cast<size_t>(size);
            }
            any = true;
        }
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(bytes);
        return first;
    }
    void ExecBlob(const std::string& sql, const std::string& blob) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr);
        sqlite3_bind_blob(st, 1, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(st) != SQLITE_DONE)
            std::fprintf(stderr, "bare: %s: %s\n", sql.c_str(), sqlite3_errmsg(db_));
        sqlite3_finalize(st);
    }
    std::string NamespaceID(const std::string& title) {
        return Query("SELECT id FROM namespace WHERE title like " + SqlLike(title) + " ORDER BY id;");
    }

private:
    sqlite3* db_ = nullptr;
    bool hold_;
};

// The statements the store runs when it opens and closes an existing, current file.
void BareOpenClose() {
    TBare bare(false);
    bare.Query("SELECT count(*) FROM sqlite_master;");
    bare.Query("SELECT count(*) FROM sqlite_master WHERE type = 'table';");
    bare.Exec("BEGIN TRANSACTION;");
    bare.Query("PRAGMA user_version;");
    bare.Exec("CREATE INDEX IF NOT EXISTS topic_namespace_title ON topic(namespace, title);");
    bare.Exec("CREATE INDEX IF NOT EXISTS tag_link_topic_tag ON tag_link(topic_id, tag_id);");
    bare.Exec("CREATE INDEX IF NOT EXISTS tag_link_tag ON tag_link(tag_id);");
    bare.Exec("COMMIT;");
    bare.Query("SELECT content FROM meta_value WHERE name = 'PROPERTIES'");
    bare.Query("SELECT id FROM topic ORDER BY id DESC LIMIT 1");
    bare.Query("SELECT id FROM namespace ORDER BY id DESC LIMIT 1");
    bare.Query("SELECT id FROM tag ORDER BY id DESC LIMIT 1");
    bare.Exec("BEGIN TRANSACTION;");
    bare.Query("select id from namespace except select distinct namespace.id from namespace join topic where "
               "namespace.id = topic.namespace;");
    bare.Exec("COMMIT;");
}

// ---- the pairs ---------------------------------------------------------------------------------

void FindTopic_Store(benchmark::State& state) {
    TNotesStore store(DatabasePath);
    int64_t n = 0;
    for (auto _ : state) {
        const int i = PickTopic(n++);
        bool created = false;
        benchmark::DoNotOptimize(
            store.FindTopic(BenchNamespace(i % BenchNamespaces), BenchTopicTitle(i), created));
    }
}

void FindTopic_Bare(benchmark::State& state) {
    TBare bare;
    int64_t n = 0;
    for (auto _ : state) {
        const int i = PickTopic(n++);
        const std::string nsid = bare.NamespaceID(BenchNamespace(i % BenchNamespaces));
        benchmark::DoNotOptimize(bare.Query("SELECT id FROM topic WHERE title like " +
                                            SqlLike(BenchTopicTitle(i)) + " AND namespace = " + nsid +
                                            " ORDER BY id"));
    }
}

void LoadTopic_Store(benchmark::State& state) {
    TNotesStore store(DatabasePath);
    int64_t n = 0;
    for (auto _ : state) {
        const int id = PickTopic(n++) + 1;
        TTopicRect rect;
        auto content = store.GetTopic(id, rect);
        auto meta = store.GetTopicMeta(id);
        benchmark::DoNotOptimize(content->Size() + meta->Size());
    }
}

void LoadTopic_Bare(benchmark::State& state) {
    TBare bare;
    int64_t n = 0;
    for (auto _ : state) {
        const std::string id = std::to_string(PickTopic(n++) + 1);
        bare.Query("SELECT content,x,y,w,h FROM topic WHERE id = " + id);
        bare.Query("SELECT meta FROM topic WHERE id = " + id);
    }
}

const std::string SavedContent = std::string("{\\rtf1\\ansi ") + std::string(2000, 'w') + "\\par}";

void SaveTopicCheckpoint_Store(benchmark::State& state) {
    TNotesStore store(DatabasePath);
    int64_t n = 0;
    for (auto _ : state) {
        const int i = PickTopic(n++);
        TStringStream content(SavedContent);
        TStringStream meta("splitter_pos=180\r\n");
        store.SaveTopic(i + 1, BenchNamespace(i % BenchNamespaces), TTopicRect{10, 10, 640, 480}, content,
                        BenchTopicTitle(i));
        store.SetTopicMeta(i + 1, meta);
        store.Commit();
    }
}

void SaveTopicCheckpoint_Bare(benchmark::State& state) {
    TBare bare(false);
    bare.Exec("BEGIN TRANSACTION;");
    int64_t n = 0;
    for (auto _ : state) {
        const int i = PickTopic(n++);
        const std::string nsid = bare.NamespaceID(BenchNamespace(i % BenchNamespaces));
        bare.ExecBlob("INSERT OR REPLACE INTO topic (content, namespace, title, x, y, w, h, id) VALUES(?, " +
                          nsid + "," + SqlText(BenchTopicTitle(i)) + ",10,10,640,480," +
                          std::to_string(i + 1) + ")",
                      SavedContent);
        bare.ExecBlob("UPDATE topic SET meta = ? WHERE id = " + std::to_string(i + 1),
                      "splitter_pos=180\r\n");
        bare.ExecBlob("INSERT OR REPLACE INTO meta_value (name, content) VALUES('PROPERTIES', ?);",
                      "version=1\r\n");
        bare.Exec("COMMIT;");
        bare.Exec("BEGIN TRANSACTION;");
    }
    bare.Exec("COMMIT;");
}

void ListTopicTags_Store(benchmark::State& state) {
    TNotesStore store(DatabasePath);
    int64_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.ListTopicTags(PickTopic(n++) + 1));
}

void ListTopicTags_Bare(benchmark::State& state) {
    TBare bare;
    int64_t n = 0;
    for (auto _ : state)
        bare.Query("SELECT tag.title AS title FROM tag JOIN tag_link WHERE tag_link.topic_id = " +
                   std::to_string(PickTopic(n++) + 1) + " AND tag.id = tag_link.tag_id;");
}

void FindTopicsNamespace_Store(benchmark::State& state) {
    TNotesStore store(DatabasePath);
    int64_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            store.FindTopics(BenchNamespace(static_cast<int>(n++ % BenchNamespaces)), nullptr, ""));
}

void FindTopicsNamespace_Bare(benchmark::State& state) {
    TBare bare;
    int64_t n = 0;
    for (auto _ : state) {
        const std::string nsid = bare.NamespaceID(BenchNamespace(static_cast<int>(n++ % BenchNamespaces)));
        bare.Query("SELECT id,title FROM topic WHERE namespace = " + nsid);
    }
}

void FindTopicsTwoTags_Store(benchmark::State& state) {
    TNotesStore store(DatabasePath);
    int64_t n = 0;
    for (auto _ : state) {
        const int t = static_cast<int>(n++ % BenchTags);
        TStringList tags;
        tags.Add(BenchTag(t));
        tags.Add(BenchTag((t + 500) % BenchTags));
        benchmark::DoNotOptimize(store.FindTopics("*", &tags, ""));
    }
}

void FindTopicsTwoTags_Bare(benchmark::State& state) {
    TBare bare;
    int64_t n = 0;
    for (auto _ : state) {
        const int t = static_cast<int>(n++ % BenchTags);
        const std::string a =
            bare.Query("SELECT id FROM tag WHERE title like " + SqlLike(BenchTag(t)) + " ORDER BY id;");
        const std::string b = bare.Query("SELECT id FROM tag WHERE title like " +
                                         SqlLike(BenchTag((t + 500) % BenchTags)) + " ORDER BY id;");
        bare.Query("SELECT id,title FROM topic JOIN tag_link WHERE 1 AND id = tag_link.topic_id AND "
                   "(tag_link.tag_id = " +
                   a + " OR tag_link.tag_id = " + b + ")");
    }
}

void OpenClose_Store(benchmark::State& state) {
    for (auto _ : state)
        TNotesStore store(DatabasePath);
}

void OpenClose_Bare(benchmark::State& state) {
    for (auto _ : state)
        BareOpenClose();
}

// Console output as usual, and each run's real time per iteration kept by name.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    EnsureBenchDatabase(DatabasePath);
    const std::vector<std::pair<std::string, void (*)(benchmark::State&)>> pairs[] = {
        {{"FindTopic", FindTopic_Store}, {"FindTopic", FindTopic_Bare}},
        {{"LoadTopic", LoadTopic_Store}, {"LoadTopic", LoadTopic_Bare}},
        {{"SaveTopic+Checkpoint", SaveTopicCheckpoint_Store},
         {"SaveTopic+Checkpoint", SaveTopicCheckpoint_Bare}},
        {{"ListTopicTags", ListTopicTags_Store}, {"ListTopicTags", ListTopicTags_Bare}},
        {{"FindTopics(namespace)", FindTopicsNamespace_Store},
         {"FindTopics(namespace)", FindTopicsNamespace_Bare}},
        {{"FindTopics(two tags)", FindTopicsTwoTags_Store}, {"FindTopics(two tags)", FindTopicsTwoTags_Bare}},
        {{"OpenClose", OpenClose_Store}, {"OpenClose", OpenClose_Bare}},
    };
    std::vector<std::string> names;
    for (const auto& pair : pairs) {
        names.push_back(pair[0].first);
        benchmark::RegisterBenchmark((pair[0].first + "/store").c_str(), pair[0].second)->UseRealTime();
        benchmark::RegisterBenchmark((pair[1].first + "/bare").c_str(), pair[1].second)->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-24s %14s %14s %8s\n", "operation", "store (us)", "bare (us)", "ratio");
    for (const auto& name : names) {
        const auto store = reporter.times.find(name + "/store");
        const auto bare = reporter.times.find(name + "/bare");
        if (store == reporter.times.end() || bare == reporter.times.end() || bare->second <= 0) continue;
        std::printf("%-24s %14.1f %14.1f %7.2fx\n", name.c_str(), store->second / 1000.0,
                    bare->second / 1000.0, store->second / bare->second);
    }
    benchmark::Shutdown();
    return 0;
}
