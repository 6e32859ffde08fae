// The notes store against bare SQLite, in one run:
// - on the spread database (100,000 topics in 500 namespaces), each store operation and the same
//   statements run through the C API on the same file; the ratio of the two is printed at the end;
// - on two flat databases (1,000 and 100,000 topics, all in the default namespace, as a user who
//   never makes namespaces has them), each store operation at both sizes, and FindTopic against a
//   bare prepared lookup; the ratios between the sizes are printed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "bench/store/BenchDatabase.h"
#include "bench/support/MedianReporter.h"
#include "store/NotesStore.h"
#include "store/StoreSQL.h"

namespace {

const std::string SpreadPath = MV_BENCH_DATABASE;

std::string FlatPath(int topics) {
    return std::string(MV_BENCH_FOLDER) + "/store_bench_flat_" + std::to_string(topics) + ".mvdb";
}

constexpr int SmallFlat = 1000;
constexpr int LargeFlat = 100000;

// A different topic on every iteration, spread over the whole file.
int PickTopic(int64_t iteration, int topics = BenchTopics) {
    return static_cast<int>((iteration * 7919) % topics);
}

// ---- bare SQLite: prepare, step, read, finalize ----------------------------------------------

class TBare {
public:
    // Like the store, the connection normally keeps a transaction open, so that both sides keep
    // their page cache between statements.
    explicit TBare(const std::string& path = SpreadPath, bool holdTransaction = true)
        : hold_(holdTransaction) {
        sqlite3_open(path.c_str(), &db_);
        Exec("PRAGMA SYNCHRONOUS=FULL;");
        if (hold_) Exec("BEGIN TRANSACTION;");
    }
    ~TBare() {
        sqlite3_finalize(lookup_);
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
        return Query("SELECT id FROM namespace WHERE title = " + SqlText(title) +
                     " COLLATE NOCASE ORDER BY id;");
    }
    // The floor of a topic lookup: one statement prepared once, bound and stepped per lookup.
    int64_t Lookup(int64_t nsid, const std::string& title) {
        if (!lookup_)
            sqlite3_prepare_v2(db_, "SELECT id FROM topic WHERE namespace=? AND title=? COLLATE NOCASE", -1,
                               &lookup_, nullptr);
        sqlite3_bind_int64(lookup_, 1, nsid);
        sqlite3_bind_text(lookup_, 2, title.data(), static_cast<int>(title.size()), SQLITE_STATIC);
        const int64_t id = sqlite3_step(lookup_) == SQLITE_ROW ? sqlite3_column_int64(lookup_, 0) : -1;
        sqlite3_reset(lookup_);
        return id;
    }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* lookup_ = nullptr;
    bool hold_;
};

// The statements the store runs when it opens and closes an existing, current file.
void BareOpenClose() {
    TBare bare(SpreadPath, false);
    bare.Query("SELECT count(*) FROM sqlite_master;");
    bare.Exec("BEGIN TRANSACTION;");
    bare.Exec("PRAGMA user_version = 2;");
    bare.Exec("ROLLBACK;");
    bare.Query("SELECT count(*) FROM sqlite_master WHERE type = 'table';");
    bare.Exec("BEGIN TRANSACTION;");
    bare.Query("PRAGMA user_version;");
    bare.Exec("DROP INDEX IF EXISTS topic_namespace_title;");
    bare.Exec(
        "CREATE INDEX IF NOT EXISTS topic_namespace_title_nocase ON topic(namespace, title COLLATE NOCASE);");
    bare.Exec("CREATE INDEX IF NOT EXISTS namespace_title_nocase ON namespace(title COLLATE NOCASE);");
    bare.Exec("CREATE INDEX IF NOT EXISTS tag_title_nocase ON tag(title COLLATE NOCASE);");
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

const std::string SavedContent = std::string("{\\rtf1\\ansi ") + std::string(2000, 'w') + "\\par}";

// ---- store operations, on any database ---------------------------------------------------------

void FindTopicPresent(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TNotesStore store(path);
    int64_t n = 0;
    for (auto _ : state) {
        const int i = PickTopic(n++, shape.Topics);
        bool created = false;
        benchmark::DoNotOptimize(
            store.FindTopic(BenchNamespace(i % shape.Namespaces), BenchTopicTitle(i), created));
    }
}

void FindTopicMissing(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TNotesStore store(path);
    int64_t n = 0;
    for (auto _ : state) {
        const int i = PickTopic(n++, shape.Topics);
        bool created = false;
        benchmark::DoNotOptimize(
            store.FindTopic(BenchNamespace(i % shape.Namespaces), "Missing " + std::to_string(i), created));
    }
}

void LoadTopic(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TNotesStore store(path);
    int64_t n = 0;
    for (auto _ : state) {
        const int id = PickTopic(n++, shape.Topics) + 1;
        TTopicRect rect;
        auto content = store.GetTopic(id, rect);
        auto meta = store.GetTopicMeta(id);
        benchmark::DoNotOptimize(content->Size() + meta->Size());
    }
}

void SaveTopicCheckpoint(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TNotesStore store(path);
    int64_t n = 0;
    for (auto _ : state) {
        const int i = PickTopic(n++, shape.Topics);
        TStringStream content(SavedContent);
        TStringStream meta("splitter_pos=180\r\n");
        store.SaveTopic(i + 1, BenchNamespace(i % shape.Namespaces), TTopicRect{10, 10, 640, 480}, content,
                        BenchTopicTitle(i));
        store.SetTopicMeta(i + 1, meta);
        store.Commit();
    }
}

void ListTopicTags(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TNotesStore store(path);
    int64_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.ListTopicTags(PickTopic(n++, shape.Topics) + 1));
}

void FindTopicsNamespace(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TNotesStore store(path);
    int64_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            store.FindTopics(BenchNamespace(static_cast<int>(n++ % shape.Namespaces)), nullptr, ""));
}

void FindTopicsTwoTags(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TNotesStore store(path);
    int64_t n = 0;
    for (auto _ : state) {
        const int t = static_cast<int>(n++ % shape.Tags);
        TStringList tags;
        tags.Add(BenchTag(t));
        tags.Add(BenchTag((t + shape.Tags / 2) % shape.Tags));
        benchmark::DoNotOptimize(store.FindTopics("*", &tags, ""));
    }
}

void FindTopicsText(benchmark::State& state, const std::string& path, const TBenchShape&) {
    TNotesStore store(path);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.FindTopics("*", nullptr, "URGENT CALL"));
}

void OpenClose(benchmark::State& state, const std::string& path, const TBenchShape&) {
    for (auto _ : state)
        TNotesStore store(path);
}

// Opening with SQLite's quick check of the whole file, as a start-up that looked for damage first
// would: it reads every page, so it grows with the file while opening does not.
void OpenCloseQuickCheck(benchmark::State& state, const std::string& path, const TBenchShape&) {
    for (auto _ : state) {
        TNotesStore store(path);
        auto result = store.Connection().GetTable("PRAGMA quick_check;");
        if (result->RowCount() != 1 || result->FieldAsString(0) != "ok")
            state.SkipWithError("quick check failed");
    }
}

// ---- the bare side of the spread pairs ---------------------------------------------------------

void FindTopic_Bare(benchmark::State& state) {
    TBare bare;
    int64_t n = 0;
    for (auto _ : state) {
        const int i = PickTopic(n++);
        const std::string nsid = bare.NamespaceID(BenchNamespace(i % BenchNamespaces));
        benchmark::DoNotOptimize(bare.Query("SELECT id FROM topic WHERE namespace = " + nsid +
                                            " AND title = " + SqlText(BenchTopicTitle(i)) +
                                            " COLLATE NOCASE ORDER BY id"));
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

void SaveTopicCheckpoint_Bare(benchmark::State& state) {
    TBare bare(SpreadPath, false);
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

void ListTopicTags_Bare(benchmark::State& state) {
    TBare bare;
    int64_t n = 0;
    for (auto _ : state)
        bare.Query("SELECT tag.title AS title FROM tag JOIN tag_link WHERE tag_link.topic_id = " +
                   std::to_string(PickTopic(n++) + 1) + " AND tag.id = tag_link.tag_id;");
}

void FindTopicsNamespace_Bare(benchmark::State& state) {
    TBare bare;
    int64_t n = 0;
    for (auto _ : state) {
        const std::string nsid = bare.NamespaceID(BenchNamespace(static_cast<int>(n++ % BenchNamespaces)));
        bare.Query("SELECT id,title FROM topic WHERE namespace = " + nsid);
    }
}

void FindTopicsTwoTags_Bare(benchmark::State& state) {
    TBare bare;
    int64_t n = 0;
    for (auto _ : state) {
        const int t = static_cast<int>(n++ % BenchTags);
        auto tagID = [&](int tag) {
            return bare.Query("SELECT id FROM tag WHERE title = " + SqlText(BenchTag(tag)) +
                              " COLLATE NOCASE ORDER BY id;");
        };
        const std::string a = tagID(t);
        const std::string b = tagID((t + 500) % BenchTags);
        bare.Query("SELECT id,title FROM topic JOIN tag_link WHERE 1 AND id = tag_link.topic_id AND "
                   "(tag_link.tag_id = " +
                   a + " OR tag_link.tag_id = " + b + ")");
    }
}

void OpenClose_Bare(benchmark::State& state) {
    for (auto _ : state)
        BareOpenClose();
}

// The prepared lookup of a flat database's topics: present titles, or missing ones.
void FindTopicFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape,
                    bool present) {
    TBare bare(path);
    int64_t n = 0;
    for (auto _ : state) {
        const int i = PickTopic(n++, shape.Topics);
        benchmark::DoNotOptimize(
            bare.Lookup(1, present ? BenchTopicTitle(i) : "Missing " + std::to_string(i)));
    }
}

// The same statements as the store's load, tag list and two-tag search, through bare SQLite on a
// flat database: how much of the growth from 1,000 to 100,000 topics is SQLite's own.
void LoadTopicFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TBare bare(path);
    int64_t n = 0;
    for (auto _ : state) {
        const std::string id = std::to_string(PickTopic(n++, shape.Topics) + 1);
        bare.Query("SELECT content,x,y,w,h FROM topic WHERE id = " + id);
        bare.Query("SELECT meta FROM topic WHERE id = " + id);
    }
}

void ListTopicTagsFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TBare bare(path);
    int64_t n = 0;
    for (auto _ : state)
        bare.Query("SELECT tag.title AS title FROM tag JOIN tag_link WHERE tag_link.topic_id = " +
                   std::to_string(PickTopic(n++, shape.Topics) + 1) + " AND tag.id = tag_link.tag_id;");
}

void FindTopicsTwoTagsFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TBare bare(path);
    int64_t n = 0;
    for (auto _ : state) {
        const int t = static_cast<int>(n++ % shape.Tags);
        auto tagID = [&](int tag) {
            return bare.Query("SELECT id FROM tag WHERE title = " + SqlText(BenchTag(tag)) +
                              " COLLATE NOCASE ORDER BY id;");
        };
        const std::string a = tagID(t);
        const std::string b = tagID((t + shape.Tags / 2) % shape.Tags);
        bare.Query("SELECT id,title FROM topic JOIN tag_link WHERE 1 AND id = tag_link.topic_id AND "
                   "(tag_link.tag_id = " +
                   a + " OR tag_link.tag_id = " + b + ")");
    }
}

// The rows of a namespace's list, stepped and read, without sorting or keeping them.
void FindTopicsNamespaceFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TBare bare(path);
    int64_t n = 0;
    for (auto _ : state) {
        const std::string nsid = bare.NamespaceID(BenchNamespace(static_cast<int>(n++ % shape.Namespaces)));
        bare.Query("SELECT id,title FROM topic WHERE namespace = " + nsid);
    }
}

void FindTopicPresentFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    FindTopicFloor(state, path, shape, true);
}

void FindTopicMissingFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    FindTopicFloor(state, path, shape, false);
}

// A benchmark's median real time per iteration in milliseconds (they run in microseconds).
double Time(const TMedianReporter& reporter, const std::string& name) {
    return reporter.Median(name) / 1000.0;
}

using TStoreOp = void (*)(benchmark::State&, const std::string&, const TBenchShape&);

struct TOp {
    const char* Name;
    TStoreOp Store;
    void (*Bare)(benchmark::State&); // on the spread database; nullptr: none
    TStoreOp Floor;                  // bare SQLite on the flat databases; nullptr: none
};

const TOp Ops[] = {
    {"FindTopic", FindTopicPresent, FindTopic_Bare, FindTopicPresentFloor},
    {"FindTopic(missing)", FindTopicMissing, nullptr, FindTopicMissingFloor},
    {"LoadTopic", LoadTopic, LoadTopic_Bare, LoadTopicFloor},
    {"SaveTopic+Checkpoint", SaveTopicCheckpoint, SaveTopicCheckpoint_Bare, nullptr},
    {"ListTopicTags", ListTopicTags, ListTopicTags_Bare, ListTopicTagsFloor},
    {"FindTopics(namespace)", FindTopicsNamespace, FindTopicsNamespace_Bare, FindTopicsNamespaceFloor},
    {"FindTopics(two tags)", FindTopicsTwoTags, FindTopicsTwoTags_Bare, FindTopicsTwoTagsFloor},
    {"FindTopics(text)", FindTopicsText, nullptr, nullptr},
    {"OpenClose", OpenClose, OpenClose_Bare, nullptr},
    {"OpenClose+QuickCheck", OpenCloseQuickCheck, nullptr, nullptr},
};

std::string Sized(int topics) {
    return topics >= 1000 && topics % 1000 == 0 ? std::to_string(topics / 1000) + "k"
                                                : std::to_string(topics);
}

void PrintSpreadTable(const TMedianReporter& reporter) {
    std::printf("\nSpread database (%d topics in %d namespaces): the store against bare SQLite\n",
                BenchTopics, BenchNamespaces);
    std::printf("%-24s %14s %14s %8s\n", "operation", "store (us)", "bare (us)", "ratio");
    for (const TOp& op : Ops) {
        const double store = Time(reporter, std::string(op.Name) + "/store");
        const double bare = Time(reporter, std::string(op.Name) + "/bare");
        if (store <= 0 || bare <= 0) continue;
        std::printf("%-24s %14.1f %14.1f %7.2fx\n", op.Name, store, bare, store / bare);
    }
}

void PrintFlatTable(const TMedianReporter& reporter) {
    const std::string small = "flat" + Sized(SmallFlat) + "/";
    const std::string large = "flat" + Sized(LargeFlat) + "/";
    const std::string smallHead = Sized(SmallFlat) + " (us)";
    const std::string largeHead = Sized(LargeFlat) + " (us)";
    std::printf("\nFlat databases (every topic in the default namespace): %s against %s topics; bare SQLite\n"
                "running the same statements beside, and the store against it at %s\n",
                Sized(LargeFlat).c_str(), Sized(SmallFlat).c_str(), Sized(LargeFlat).c_str());
    std::printf("%-22s %11s %11s %7s | %11s %11s %7s | %8s\n", "operation", smallHead.c_str(),
                largeHead.c_str(), "ratio", ("bare " + Sized(SmallFlat)).c_str(),
                ("bare " + Sized(LargeFlat)).c_str(), "ratio", "vs bare");
    for (const TOp& op : Ops) {
        const double a = Time(reporter, small + op.Name);
        const double b = Time(reporter, large + op.Name);
        if (a <= 0 || b <= 0) continue;
        std::printf("%-22s %11.2f %11.2f %6.2fx", op.Name, a, b, b / a);
        const double bareA = Time(reporter, small + op.Name + "/bare");
        const double bareB = Time(reporter, large + op.Name + "/bare");
        if (bareA > 0 && bareB > 0)
            std::printf(" | %11.2f %11.2f %6.2fx | %7.2fx", bareA, bareB, bareB / bareA, b / bareB);
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    EnsureBenchDatabase(SpreadPath);
    for (const int topics : {SmallFlat, LargeFlat})
        EnsureBenchDatabase(FlatPath(topics), BenchFlat(topics));

    for (const TOp& op : Ops) {
        const std::string name = op.Name;
        if (!op.Bare) continue;
        benchmark::RegisterBenchmark((name + "/store").c_str(), op.Store, SpreadPath, BenchSpread)
            ->UseRealTime();
        benchmark::RegisterBenchmark((name + "/bare").c_str(), op.Bare)->UseRealTime();
    }
    // The two sizes side by side, operation by operation.
    for (const TOp& op : Ops) {
        for (const int topics : {SmallFlat, LargeFlat}) {
            const std::string name = "flat" + Sized(topics) + "/" + op.Name;
            const TBenchShape shape = BenchFlat(topics);
            benchmark::RegisterBenchmark(name.c_str(), op.Store, FlatPath(topics), shape)->UseRealTime();
            if (op.Floor)
                benchmark::RegisterBenchmark((name + "/bare").c_str(), op.Floor, FlatPath(topics), shape)
                    ->UseRealTime();
        }
    }
    benchmark::Initialize(&argc, argv);
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSpreadTable(reporter);
    PrintFlatTable(reporter);
    benchmark::Shutdown();
    return 0;
}
