// damage_bench: the check of the whole notes file for damage at a user's real size (100,000
// topics, about 430 MB), and what it costs the program around it.
//
// Check/100000 is the program's check (TNotesStore::StartDamageCheck on an open store, to its
// outcome) and Floor/100000 the same work done bare: a read-only connection running SQLite's quick
// check over the same file. CheckUnderReads/100000 is the program's check while the store reads a
// topic every 55 to 70 ms, against Check/100000 (goal at most 3). All read a warm file. Five
// rounds, each running every case once in an order drawn at random; the table prints medians, the
// comparisons the rounds' ratios.
//
// The sessions start the program in a process of its own on a fresh copy of the file, as
// scale_bench does, with the check (on) and with its timer switched off (off): the start to the
// Home window drawn; when the check begins; then, 400 ms after Home (the check starts 250 ms after it and is
// reading), a new topic (a navigation and a commit, which stops the check) and the quit, or the quit at once
// (which stops the check); and, with the check, the time from Home until the program has its
// outcome (when it would tell the user).
#include "app/Main.h"
#include "app/Note.h"
#include "app/Settings.h"
#include "bench/store/BenchDatabase.h"
#include "bench/support/BenchProgram.h"
#include "bench/support/MedianReporter.h"
#include "gui/Forms.h"
#include "gui/Timers.h"
#include "store/NotesStore.h"

#include <windows.h>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const Fields[] = {"start", "begun", "new", "quit", "checked"};

// The sessions: whether the check runs, and what follows the start.
struct TSessionKind {
    const char* Name;
    bool Check;
    const char* Then; // "new" (a new topic, then quit), "quit" (at once) or "wait" (for the check)
};
const TSessionKind Kinds[] = {{"off-new", false, "new"},
                              {"on-new", true, "new"},
                              {"off-quit", false, "quit"},
                              {"on-quit", true, "quit"},
                              {"on-wait", true, "wait"}};

// ---- one session, in its own process ----

int Session(const std::string& Folder, const TSessionKind& Kind, const std::string& Out) {
    std::map<std::string, double> R;
    Application->Initialize();
    LoadSettingsFrom(Folder, "");

    TStopwatch Start;
    auto* Main = new TfrmMain(Application, Folder);
    Application->SetMainForm(Main);
    Main->DoCreate();
    if (!Kind.Check) Main->tCheckFile->SetEnabled(false);
    Main->CreateKeptForms();
    TfrmNote* Home = nullptr;
    if (!PumpUntil([&] { return (Home = NoteWindowsByNamespace.Find("")) && Home->Visible(); }, 1)) {
        std::fprintf(stderr, "the Home window did not open\n");
        return 1;
    }
    UpdateWindow(Home->Handle());
    Pump();
    R["start"] = Start.Ms();
    const TStopwatch SinceHome;

    const TNotesStore& Store = *Main->NotesStore();
    // When the check begins, after Home is drawn.
    auto Begun = [&] {
        if (!Store.DamageCheck()) return false;
        if (!R.count("begun")) R["begun"] = SinceHome.Ms();
        return true;
    };
    if (Kind.Check && Begun()) {
        std::fprintf(stderr, "the check began before Home was drawn\n");
        return 1;
    }
    if (std::strcmp(Kind.Then, "wait") == 0) {
        // Until the program has heard the outcome (its timer stops then), as a program that waits for
        // its next message.
        if (!PumpUntil([&] { return Begun() && !Main->tCheckFile->Enabled(); }, 100)) {
            std::fprintf(stderr, "the check did not end\n");
            return 1;
        }
        if (Store.DamageCheck()->Outcome() != TDamageCheck::TOutcome::Sound) {
            std::fprintf(stderr, "the check found: %s\n", Store.DamageCheck()->Details().c_str());
            return 1;
        }
        R["checked"] = SinceHome.Ms();
    } else {
        PumpUntil(
            [&] {
                if (Kind.Check) Begun(); // notes when
                return SinceHome.Ms() >= 400;
            },
            1);
        if (Kind.Check && !Begun()) {
            std::fprintf(stderr, "the check did not start\n");
            return 1;
        }
        if (std::strcmp(Kind.Then, "new") == 0) {
            const TStopwatch New;
            Main->ShowTopic("Zz new topic", "");
            Pump();
            R["new"] = New.Ms();
        }
    }

    const TStopwatch Quit;
    Main->aQuit->Execute();
    Pump();
    delete Main;
    R["quit"] = Quit.Ms();

    std::ofstream File(Out);
    for (const auto& [Field, Value] : R)
        File << Field << ' ' << Value << '\n';
    return File ? 0 : 1;
}

// ---- the runner ----

std::map<std::string, std::map<std::string, std::vector<double>>> Samples; // kind, field

std::map<std::string, double> RunSession(const std::string& Folder, const std::string& Database,
                                         const TSessionKind& Kind) {
    return RunSessionProcess(Folder, "damage_bench.exe", "damage-run", Database, Kind.Name);
}

void BM_Session(benchmark::State& State, std::string Folder, std::string Database, TSessionKind Kind) {
    for (auto _ : State) {
        const std::map<std::string, double> R = RunSession(Folder, Database, Kind);
        if (R.empty()) {
            State.SkipWithError("the session failed");
            return;
        }
        for (const auto& [Field, Value] : R) {
            Samples[Kind.Name][Field].push_back(Value);
            State.counters[Field] = Value;
        }
        State.SetIterationTime(R.at("start") / 1e3);
    }
}

// The program's check: an open store (its connection holds the file as the program's does) checks
// the whole file beside it, start to outcome.
void BM_Check(benchmark::State& State, std::string Database) {
    for (auto _ : State) {
        TNotesStore Store(Database);
        const TStopwatch Watch;
        Store.StartDamageCheck();
        while (Store.DamageCheck()->Outcome() == TDamageCheck::TOutcome::Running)
            Sleep(10); // a finer poll slows the check under Wine
        State.SetIterationTime(Watch.Seconds());
        Samples["check"]["ms"].push_back(Watch.Ms());
        if (Store.DamageCheck()->Outcome() != TDamageCheck::TOutcome::Sound) {
            State.SkipWithError(("the check found: " + Store.DamageCheck()->Details()).c_str());
            return;
        }
    }
}

// The program's check while the program's connection reads a topic every 55 to 70 ms (random, the
// same series each time), as the program's short reads come: the check gives way to each, and
// still has to end within a few times its run at idle.
void BM_CheckUnderReads(benchmark::State& State, std::string Database) {
    std::mt19937 Random(20261208);
    std::uniform_int_distribution<int> Spacing(55, 70), Topic(1, 100000);
    for (auto _ : State) {
        TNotesStore Store(Database);
        const TStopwatch Watch;
        Store.StartDamageCheck();
        double NextRead = 0;
        int Reads = 0;
        while (Store.DamageCheck()->Outcome() == TDamageCheck::TOutcome::Running) {
            if (Watch.Ms() >= NextRead) {
                TTopicRect Rect;
                if (!Store.GetTopic(Topic(Random), Rect)) {
                    State.SkipWithError("a topic of the file is missing");
                    return;
                }
                ++Reads;
                NextRead = Watch.Ms() + Spacing(Random);
            }
            Sleep(static_cast<DWORD>(std::clamp(NextRead - Watch.Ms(), 1.0, 10.0)));
        }
        State.SetIterationTime(Watch.Seconds());
        State.counters["reads"] = Reads;
        Samples["check-reads"]["ms"].push_back(Watch.Ms());
        if (Store.DamageCheck()->Outcome() != TDamageCheck::TOutcome::Sound) {
            State.SkipWithError(("the check found: " + Store.DamageCheck()->Details()).c_str());
            return;
        }
    }
}

// The floor: the same quick check, bare, on a read-only connection of its own.
void BM_Floor(benchmark::State& State, std::string Database) {
    for (auto _ : State) {
        const TStopwatch Watch;
        sqlite3* Db = nullptr;
        sqlite3_stmt* Statement = nullptr;
        bool Ok = sqlite3_open_v2(Database.c_str(), &Db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
                  sqlite3_prepare_v2(Db, "PRAGMA quick_check(10);", -1, &Statement, nullptr) == SQLITE_OK;
        std::string First;
        int Rc = SQLITE_ROW;
        while (Ok && (Rc = sqlite3_step(Statement)) == SQLITE_ROW)
            if (First.empty()) First = reinterpret_cast<const char*>(sqlite3_column_text(Statement, 0));
        sqlite3_finalize(Statement);
        sqlite3_close(Db);
        State.SetIterationTime(Watch.Seconds());
        Samples["floor"]["ms"].push_back(Watch.Ms());
        if (!Ok || Rc != SQLITE_DONE || First != "ok") {
            State.SkipWithError("the bare quick check failed");
            return;
        }
    }
}

double Median(const std::string& Kind, const std::string& Field) {
    return SpreadOf(Samples[Kind][Field]).Median;
}

// Ours against Base, round by round (each round runs every case once).
TRatio Rounds(const char* OursKind, const char* OursField, const char* BaseKind, const char* BaseField) {
    return RatioOf(Samples[OursKind][OursField], Samples[BaseKind][BaseField]);
}

} // namespace

int main(int argc, char** argv) {
    // --session FOLDER KIND OUT: one session (the runner starts these).
    if (argc == 5 && std::strcmp(argv[1], "--session") == 0) {
        for (const TSessionKind& Kind : Kinds)
            if (std::strcmp(argv[3], Kind.Name) == 0) return Session(argv[2], Kind, argv[4]);
        return 2;
    }

    const std::string Folder = ExeFolder();
    // scale_bench's database of 100,000 topics, cached beside both.
    const std::string Database = Folder + "\\scale-100000.mvdb";
    std::printf("preparing the database...\n");
    std::fflush(stdout);
    EnsureBenchDatabase(Database, BenchFlat(100000));

    benchmark::RegisterBenchmark("Check/100000", BM_Check, Database)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("CheckUnderReads/100000", BM_CheckUnderReads, Database)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("Floor/100000", BM_Floor, Database)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    for (const TSessionKind& Kind : Kinds)
        benchmark::RegisterBenchmark((std::string("Session/") + Kind.Name).c_str(), BM_Session, Folder,
                                     Database, Kind)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);

    TMedianReporter Reporter;
    RunBenchmarks(argc, argv, Reporter);

    std::printf("\nmedians (ms)  %9s %9s %9s %9s %9s\n", "start", "begun", "new", "quit", "checked");
    for (const TSessionKind& Kind : Kinds) {
        if (Samples[Kind.Name].empty()) continue;
        std::printf("  %-12s", Kind.Name);
        for (const char* Field : Fields) {
            const double V = Median(Kind.Name, Field);
            if (V > 0)
                std::printf(" %9.1f", V);
            else
                std::printf(" %9s", "-");
        }
        std::printf("\n");
    }
    std::printf("\ncomparisons (medians of the rounds, the lowest and the highest in brackets)\n");
    PrintComparison("the check of 100,000 topics vs a bare quick check of the file",
                    Rounds("check", "ms", "floor", "ms"), "ms");
    PrintComparison("the check while the program reads a topic every 55-70 ms vs the check alone",
                    Rounds("check-reads", "ms", "check", "ms"), "ms", 3);
    PrintComparison("start to Home, with the check vs without", Rounds("on-new", "start", "off-new", "start"),
                    "ms", 1.1);
    PrintComparison("a new topic while the check reads vs without the check",
                    Rounds("on-new", "new", "off-new", "new"), "ms");
    PrintComparison("the quit while the check reads vs without the check",
                    Rounds("on-quit", "quit", "off-quit", "quit"), "ms");
    benchmark::Shutdown();
    return 0;
}
