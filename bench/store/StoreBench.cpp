// The notes store against bare SQLite, in the same rounds:
// - on the spread database (100,000 topics in 500 namespaces), each store operation and, beside
//   it, the least SQLite work the operation cannot avoid: the store's own statements, each
//   prepared once and bound at every call as the store keeps them, every row stepped and what the
//   caller gets kept; the ratio of the two is printed at the end;
// - on two flat databases (1,000 and 100,000 topics, all in the default namespace, as a user who
//   never makes namespaces has them), each store operation at both sizes with the same floor
//   beside it; the ratios between the sizes are printed at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <sqlite3.h>

#include "bench/store/BenchDatabase.h"
#include "bench/support/MedianReporter.h"
#include "store/NotesStore.h"
#include "store/StoreLookups.h"

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

// ---- bare SQLite: the store's statements, each prepared once ----------------------------------

// The statements the store builds for a save and a two-tag search (its lookups are in
// store/StoreLookups.h).
const char* const SaveTopicSQL =
    "INSERT OR REPLACE INTO topic (content, meta, namespace, title, x, y, w, h, id) "
    "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char* const TwoTagsSQL =
    "SELECT id,title FROM topic JOIN tag_link WHERE 1 AND id = tag_link.topic_id AND "
    "(tag_link.tag_id = ? OR tag_link.tag_id = ?)";

struct TBlob {
    std::string_view Bytes;
};

// What a list operation hands its caller: each row's title and id, in one buffer.
struct TRows {
    std::string Bytes;
    std::vector<std::pair<size_t, size_t>> Lines;
    void Add(const unsigned char* Title, int Size, int64_t ID) {
        const size_t Start = Bytes.size();
        Bytes.append(reinterpret_cast<const char*>(Title), static_cast<size_t>(Size));
        Bytes += '=';
        Bytes += std::to_string(ID);
        Lines.emplace_back(Start, Bytes.size() - Start);
    }
};

class TBare {
public:
    // Like the store, the connection keeps a transaction open (both sides keep their page cache
    // between statements) and up to 32 MB of pages.
    explicit TBare(const std::string& path) {
        sqlite3_open(path.c_str(), &db_);
        Exec("PRAGMA SYNCHRONOUS=FULL;");
        Exec("PRAGMA cache_size = -32768;");
        Run(Bound("BEGIN TRANSACTION;"));
    }
    ~TBare() {
        Run(Bound("COMMIT;"));
        for (auto& [sql, statement] : kept_)
            sqlite3_finalize(statement);
        sqlite3_close(db_);
    }
    TBare(const TBare&) = delete;
    TBare& operator=(const TBare&) = delete;

    // A statement run once (the connection's settings): prepared, stepped, finalized.
    void Exec(const char* sql) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, sql, -1, &st, nullptr);
        Done(sqlite3_step(st), sql);
        sqlite3_finalize(st);
    }
    // The statement of sql, prepared the first time and kept, bound to the values.
    template <typename... T> sqlite3_stmt* Bound(const char* sql, const T&... values) {
        sqlite3_stmt*& st = kept_[sql];
        if (!st) sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr);
        int index = 0;
        (Bind(st, ++index, values), ...);
        return st;
    }
    // Steps a statement that returns no rows, and resets it.
    void Run(sqlite3_stmt* st) {
        Done(sqlite3_step(st), sqlite3_sql(st));
        sqlite3_reset(st);
    }
    // The first column of the first row as an id (-1 without one), the statement reset.
    int64_t ID(sqlite3_stmt* st) {
        const int64_t id = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
        sqlite3_reset(st);
        return id;
    }
    // Every row's title (column 1) and id (column 0), the statement reset.
    TRows Rows(sqlite3_stmt* st) {
        TRows rows;
        while (sqlite3_step(st) == SQLITE_ROW)
            rows.Add(sqlite3_column_text(st, 1), sqlite3_column_bytes(st, 1), sqlite3_column_int64(st, 0));
        sqlite3_reset(st);
        return rows;
    }

private:
    static void Bind(sqlite3_stmt* st, int index, int64_t value) { sqlite3_bind_int64(st, index, value); }
    static void Bind(sqlite3_stmt* st, int index, int value) { sqlite3_bind_int64(st, index, value); }
    static void Bind(sqlite3_stmt* st, int index, const std::string& value) {
        sqlite3_bind_text(st, index, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
    }
    static void Bind(sqlite3_stmt* st, int index, const TBlob& value) {
        sqlite3_bind_blob(st, index, value.Bytes.data(), static_cast<int>(value.Bytes.size()), SQLITE_STATIC);
    }
    void Done(int rc, const char* sql) {
        if (rc != SQLITE_DONE && rc != SQLITE_ROW)
            std::fprintf(stderr, "bare: %s: %s\n", sql, sqlite3_errmsg(db_));
    }

    sqlite3* db_ = nullptr;
    std::map<const char*, sqlite3_stmt*> kept_; // by the text's address: each text is one constant
};

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
                        BenchTopicTitle(i), meta);
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

// ---- the floor: the same statements through bare SQLite ------------------------------------

// The topic's id by its namespace and title, in the one statement the store asks.
void FindTopicFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape,
                    bool present) {
    TBare bare(path);
    int64_t n = 0;
    for (auto _ : state) {
        const int i = PickTopic(n++, shape.Topics);
        const std::string title = present ? BenchTopicTitle(i) : "Missing " + std::to_string(i);
        sqlite3_stmt* st =
            bare.Bound(store_lookup::NamespaceAndTopic, BenchNamespace(i % shape.Namespaces), title);
        int64_t id = -1;
        if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 1) != SQLITE_NULL)
            id = sqlite3_column_int64(st, 1);
        sqlite3_reset(st);
        benchmark::DoNotOptimize(id);
    }
}

void FindTopicPresentFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    FindTopicFloor(state, path, shape, true);
}

void FindTopicMissingFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    FindTopicFloor(state, path, shape, false);
}

// The content with the window's rectangle, then the meta lines, each copied out for the caller.
void LoadTopicFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TBare bare(path);
    int64_t n = 0;
    for (auto _ : state) {
        const int64_t id = PickTopic(n++, shape.Topics) + 1;
        sqlite3_stmt* row = bare.Bound(store_lookup::TopicRow, id);
        std::string content, meta;
        int64_t rect = 0;
        if (sqlite3_step(row) == SQLITE_ROW) {
            content.assign(static_cast<const char*>(sqlite3_column_blob(row, 0)),
                           static_cast<size_t>(sqlite3_column_bytes(row, 0)));
            for (int c = 1; c <= 4; ++c)
                rect += sqlite3_column_int64(row, c);
        }
        sqlite3_reset(row);
        sqlite3_stmt* metaRow = bare.Bound(store_lookup::TopicMeta, id);
        if (sqlite3_step(metaRow) == SQLITE_ROW && sqlite3_column_bytes(metaRow, 0) > 0)
            meta.assign(static_cast<const char*>(sqlite3_column_blob(metaRow, 0)),
                        static_cast<size_t>(sqlite3_column_bytes(metaRow, 0)));
        sqlite3_reset(metaRow);
        benchmark::DoNotOptimize(content.size() + meta.size() + static_cast<size_t>(rect));
    }
}

// The namespace's id (the row needs it), the row with its meta lines written, and the commit. The
// properties are not written: they did not change, and nothing makes a checkpoint write them.
void SaveTopicCheckpointFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TBare bare(path);
    int64_t n = 0;
    const std::string meta = "splitter_pos=180\r\n";
    for (auto _ : state) {
        const int i = PickTopic(n++, shape.Topics);
        const int64_t nsid =
            bare.ID(bare.Bound(store_lookup::Namespace, BenchNamespace(i % shape.Namespaces)));
        bare.Run(bare.Bound(SaveTopicSQL, TBlob{SavedContent}, TBlob{meta}, nsid, BenchTopicTitle(i), 10, 10,
                            640, 480, int64_t{i + 1}));
        bare.Run(bare.Bound("COMMIT;"));
        bare.Run(bare.Bound("BEGIN TRANSACTION;"));
    }
}

void ListTopicTagsFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TBare bare(path);
    int64_t n = 0;
    for (auto _ : state) {
        sqlite3_stmt* st = bare.Bound(store_lookup::TopicTags, int64_t{PickTopic(n++, shape.Topics) + 1});
        std::vector<std::string> tags;
        while (sqlite3_step(st) == SQLITE_ROW)
            tags.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                              static_cast<size_t>(sqlite3_column_bytes(st, 0)));
        sqlite3_reset(st);
        benchmark::DoNotOptimize(tags.size());
    }
}

// The namespace's topics, kept in the order the index gives them (their titles' order, ASCII
// letters folded: the order the list is to have).
void FindTopicsNamespaceFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TBare bare(path);
    int64_t n = 0;
    for (auto _ : state) {
        const std::string ns = BenchNamespace(static_cast<int>(n++ % shape.Namespaces));
        const int64_t nsid = bare.ID(bare.Bound(store_lookup::Namespace, ns));
        benchmark::DoNotOptimize(bare.Rows(bare.Bound(store_lookup::NamespaceTopics, nsid)).Lines.size());
    }
}

// The two tags' ids, the topics carrying either, sorted by title (ASCII letters folded).
void FindTopicsTwoTagsFloor(benchmark::State& state, const std::string& path, const TBenchShape& shape) {
    TBare bare(path);
    int64_t n = 0;
    for (auto _ : state) {
        const int t = static_cast<int>(n++ % shape.Tags);
        const int64_t a = bare.ID(bare.Bound(store_lookup::Tag, BenchTag(t)));
        const int64_t b = bare.ID(bare.Bound(store_lookup::Tag, BenchTag((t + shape.Tags / 2) % shape.Tags)));
        TRows rows = bare.Rows(bare.Bound(TwoTagsSQL, a, b));
        std::sort(rows.Lines.begin(), rows.Lines.end(), [&rows](const auto& x, const auto& y) {
            const std::string_view l(rows.Bytes.data() + x.first, x.second),
                r(rows.Bytes.data() + y.first, y.second);
            return std::lexicographical_compare(l.begin(), l.end(), r.begin(), r.end(), [](char p, char q) {
                auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
                return static_cast<unsigned char>(fold(p)) < static_cast<unsigned char>(fold(q));
            });
        });
        benchmark::DoNotOptimize(rows.Lines.size());
    }
}

// Opening an existing, current notes file and closing it, as the program must: the file opened and
// its schema read (a file that is not a database is refused), its version and tables' columns
// checked (nothing is written into a file that is not ours or newer), the journal's folder proved
// writable (a save must not be the first to find out), the settings of the connection, the
// properties and the highest ids read and the transaction begun; at the close, the namespaces no
// topic uses found and the transaction committed. The indexes are found in the schema already
// read: nothing is created.
void OpenCloseFloor(benchmark::State& state, const std::string& path, const TBenchShape&) {
    static const char* const Tables[] = {"topic", "namespace", "tag", "tag_link", "meta_value", "versions"};
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        auto exec = [db](const std::string& sql) {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
            size_t bytes = 0;
            while (sqlite3_step(st) == SQLITE_ROW)
                for (int c = 0; c < sqlite3_column_count(st); ++c)
                    bytes += static_cast<size_t>(sqlite3_column_bytes(st, c));
            sqlite3_finalize(st);
            benchmark::DoNotOptimize(bytes);
        };
        exec("SELECT type, name FROM sqlite_master;");
        exec("PRAGMA user_version;");
        for (const char* table : Tables)
            exec(std::string("PRAGMA table_info(") + table + ");");
        exec("BEGIN TRANSACTION;");
        exec("PRAGMA user_version = 2;");
        exec("ROLLBACK;");
        exec("PRAGMA SYNCHRONOUS=FULL;");
        exec("PRAGMA cache_size = -32768;");
        exec("SELECT content FROM meta_value WHERE name = 'PROPERTIES'");
        exec("SELECT id FROM topic ORDER BY id DESC LIMIT 1");
        exec("SELECT id FROM namespace ORDER BY id DESC LIMIT 1");
        exec("SELECT id FROM tag ORDER BY id DESC LIMIT 1");
        exec("BEGIN TRANSACTION;");
        exec(store_lookup::OrphanNamespaces);
        exec("COMMIT;");
        sqlite3_close(db);
    }
}

using TStoreOp = void (*)(benchmark::State&, const std::string&, const TBenchShape&);

struct TOp {
    const char* Name;
    TStoreOp Store;
    TStoreOp Floor; // the same statements through bare SQLite; nullptr: none
};

const TOp Ops[] = {
    {"FindTopic", FindTopicPresent, FindTopicPresentFloor},
    {"FindTopic(missing)", FindTopicMissing, FindTopicMissingFloor},
    {"LoadTopic", LoadTopic, LoadTopicFloor},
    {"SaveTopic+Checkpoint", SaveTopicCheckpoint, SaveTopicCheckpointFloor},
    {"ListTopicTags", ListTopicTags, ListTopicTagsFloor},
    {"FindTopics(namespace)", FindTopicsNamespace, FindTopicsNamespaceFloor},
    {"FindTopics(two tags)", FindTopicsTwoTags, FindTopicsTwoTagsFloor},
    {"FindTopics(text)", FindTopicsText, nullptr},
    {"OpenClose", OpenClose, OpenCloseFloor},
    {"OpenClose+QuickCheck", OpenCloseQuickCheck, nullptr},
};

std::string Sized(int topics) {
    return topics >= 1000 && topics % 1000 == 0 ? std::to_string(topics / 1000) + "k"
                                                : std::to_string(topics);
}

// "1.23x (1.10-1.31)": the median of the rounds' ratios and their spread.
std::string RatioText(const TRatio& r) {
    char text[64];
    if (r.Ratio.Count > 1)
        std::snprintf(text, sizeof text, "%.2fx (%.2f-%.2f)", r.Ratio.Median, r.Ratio.Low, r.Ratio.High);
    else
        std::snprintf(text, sizeof text, "%.2fx", r.Ratio.Median);
    return text;
}

void PrintSpreadTable(const TMedianReporter& reporter) {
    std::printf(
        "\nSpread database (%d topics in %d namespaces): the store against the same statements "
        "through bare SQLite\n(medians of the rounds in us; ratios: the median of the rounds' ratios, "
        "the lowest and the highest in brackets)\n",
        BenchTopics, BenchNamespaces);
    std::printf("%-24s %12s %12s  %s\n", "operation", "store", "bare", "ratio");
    for (const TOp& op : Ops) {
        const TRatio r = reporter.Ratio(std::string(op.Name) + "/store", std::string(op.Name) + "/bare");
        if (r.Ratio.Count == 0) continue;
        std::printf("%-24s %12.2f %12.2f  %s\n", op.Name, r.Ours.Median * 1e3, r.Base.Median * 1e3,
                    RatioText(r).c_str());
    }
}

void PrintFlatTable(const TMedianReporter& reporter) {
    const std::string small = "flat" + Sized(SmallFlat) + "/";
    const std::string large = "flat" + Sized(LargeFlat) + "/";
    std::printf(
        "\nFlat databases (every topic in the default namespace): %s against %s topics, the store and\n"
        "the same statements through bare SQLite beside it, and the store against them at %s (us)\n",
        Sized(LargeFlat).c_str(), Sized(SmallFlat).c_str(), Sized(LargeFlat).c_str());
    std::printf("%-22s %9s %9s  %-25s | %9s %9s  %-25s | %s\n", "operation", Sized(SmallFlat).c_str(),
                Sized(LargeFlat).c_str(), "growth", ("bare " + Sized(SmallFlat)).c_str(),
                ("bare " + Sized(LargeFlat)).c_str(), "growth", "vs bare");
    for (const TOp& op : Ops) {
        const TRatio growth = reporter.Ratio(large + op.Name, small + op.Name);
        if (growth.Ratio.Count == 0) continue;
        std::printf("%-22s %9.2f %9.2f  %-25s", op.Name, growth.Base.Median * 1e3, growth.Ours.Median * 1e3,
                    RatioText(growth).c_str());
        const TRatio bare = reporter.Ratio(large + op.Name + "/bare", small + op.Name + "/bare");
        const TRatio versus = reporter.Ratio(large + op.Name, large + op.Name + "/bare");
        if (bare.Ratio.Count > 0 && versus.Ratio.Count > 0)
            std::printf(" | %9.2f %9.2f  %-25s | %s", bare.Base.Median * 1e3, bare.Ours.Median * 1e3,
                        RatioText(bare).c_str(), RatioText(versus).c_str());
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
        if (!op.Floor) continue;
        benchmark::RegisterBenchmark((name + "/store").c_str(), op.Store, SpreadPath, BenchSpread)
            ->UseRealTime();
        benchmark::RegisterBenchmark((name + "/bare").c_str(), op.Floor, SpreadPath, BenchSpread)
            ->UseRealTime();
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
    TMedianReporter reporter;
    RunBenchmarks(argc, argv, reporter);
    PrintSpreadTable(reporter);
    PrintFlatTable(reporter);
    benchmark::Shutdown();
    return 0;
}
