// scale_bench: the program at the sizes of a user's real notebook. For databases of 1, 1,000,
// 10,000 and 100,000 topics in one namespace, and 100,000 over 500 namespaces, one session each:
// start to the Home window shown, a new topic (the Home window navigates to an unknown title, so
// that every side panel gains a line), opening the finder (it lists everything), filtering the
// finder by tags, and quitting; with the resident memory after start and with the finder open.
// Both databases of 100,000 topics filter to the same number of titles (see FilterTagsOf). Beside
// the filter it times its floor: the store's query for the same tags and a panel set up as the
// finder's list that shows every topic grouped by namespace, as the finder did, letting go of them
// and showing what the query found. Both run once the check of the file for damage is done, each
// after the store's connection let go of the pages it keeps and a moment's wait (see Settle); the
// quit after such a wait too. At 100,000 topics it times one more search of the finder while the
// check reads beside the program, and the same search once the check is done.
//
// Each session runs in a process of its own (this program started again with --session), on its
// own copy of the database, driving the program's main window in process as the tray menu and the
// note window would: memory figures then belong to that session alone. Five rounds, each running
// one session per database in an order drawn at random; the table prints medians, the goals the
// medians of the rounds' ratios with their spread. Runs under Wine from the program folder; the
// databases are generated once (through the store's schema) and cached beside it.
#include "app/Find.h"
#include "bench/support/BenchProgram.h"
#include "bench/support/FinderList.h"
#include "bench/support/MedianReporter.h"
#include "app/FindRules.h"
#include "app/Main.h"
#include "app/NamespaceVisualizer.h"
#include "app/Note.h"
#include "app/Settings.h"
#include "bench/store/BenchDatabase.h"
#include "controls/MvCheckedText.h"
#include "controls/MvCombobox.h"
#include "gui/Forms.h"
#include "gui/Timers.h"
#include "store/NotesStore.h"

#include <windows.h>
#include <psapi.h>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

double ResidentMB() {
    PROCESS_MEMORY_COUNTERS Counters{};
    Counters.cb = sizeof Counters;
    return K32GetProcessMemoryInfo(GetCurrentProcess(), &Counters, sizeof Counters)
               ? double(Counters.WorkingSetSize) / (1024 * 1024)
               : 0.0;
}

// The databases, by name: Topics in one namespace, or spread over 500.
struct TScaleShape {
    const char* Name;
    TBenchShape Shape;
};
const TScaleShape Shapes[] = {{"1", BenchFlat(1)},
                              {"1000", BenchFlat(1000)},
                              {"10000", BenchFlat(10000)},
                              {"100000", BenchFlat(100000)},
                              {"100000x500", BenchSpread}};

// What one session measures, in milliseconds and megabytes, in the order the table prints them.
// mem-load is the process before the program starts: what Wine's loading of this executable
// keeps resident. It moves by several MB from one build to the next with no code of ours run, so
// what a session's work adds is its figures less this one. find-checking and find-checked, the
// same search while the damage check reads and once it is done, only at 100,000 topics.
const char* const Fields[] = {"start",     "new",        "finder",   "filter",        "floor",       "quit",
                              "mem-start", "mem-finder", "mem-load", "find-checking", "find-checked"};

// What the finder is filtered by (tag names) and the titles that finds.
struct TFilterTags {
    std::vector<std::string> Tags;
    size_t Titles = 0;
};

// Every tag of a file with the topics it carries, the tags carrying most first (then by name).
std::vector<std::pair<std::string, std::vector<int64_t>>> TagsOf(sqlite3* Db) {
    std::map<std::string, std::vector<int64_t>> Tagged;
    sqlite3_stmt* Statement = nullptr;
    sqlite3_prepare_v2(Db, "SELECT tag.title, topic_id FROM tag_link JOIN tag ON tag.id = tag_link.tag_id",
                       -1, &Statement, nullptr);
    while (sqlite3_step(Statement) == SQLITE_ROW)
        Tagged[reinterpret_cast<const char*>(sqlite3_column_text(Statement, 0))].push_back(
            sqlite3_column_int64(Statement, 1));
    sqlite3_finalize(Statement);
    std::vector<std::pair<std::string, std::vector<int64_t>>> Tags(Tagged.begin(), Tagged.end());
    std::stable_sort(Tags.begin(), Tags.end(),
                     [](const auto& A, const auto& B) { return A.second.size() > B.second.size(); });
    return Tags;
}

// The filters of the databases. Over 500 namespaces the filter takes the tag carrying the fewest
// topics (about 250); in one namespace, where a tag carries about three and the finder's tag text
// holds under 256 characters, the tags carrying most, as many as together carry exactly as many
// topics: the two databases of 100,000 topics then show the same number of titles. The smaller
// databases take one tag.
std::map<std::string, TFilterTags> FilterTagsOf(const std::string& Folder) {
    std::map<std::string, TFilterTags> Filters;
    for (const TScaleShape& S : Shapes) {
        sqlite3* Db = nullptr;
        const std::string Database = Folder + "\\scale-" + S.Name + ".mvdb";
        sqlite3_open_v2(Database.c_str(), &Db, SQLITE_OPEN_READONLY, nullptr);
        const auto Tags = TagsOf(Db);
        sqlite3_close(Db);
        TFilterTags& Filter = Filters[S.Name];
        if (S.Shape.Namespaces > 1) {
            Filter.Tags = {Tags.back().first};
            Filter.Titles = Tags.back().second.size();
        } else if (S.Shape.Topics < 100000) {
            const std::string Tag = BenchTag(std::min(3, S.Shape.Tags - 1));
            Filter.Tags = {Tag};
            for (const auto& [Name, Topics] : Tags)
                if (Name == Tag) Filter.Titles = Topics.size();
        }
    }
    TFilterTags& Flat = Filters["100000"];
    const size_t Titles = Filters["100000x500"].Titles;
    sqlite3* Db = nullptr;
    sqlite3_open_v2((Folder + "\\scale-100000.mvdb").c_str(), &Db, SQLITE_OPEN_READONLY, nullptr);
    std::set<int64_t> Found;
    size_t Text = 0; // the length of the finder's tag text, the names joined by commas
    for (const auto& [Name, Topics] : TagsOf(Db)) {
        if (Found.size() == Titles) break;
        size_t More = 0;
        for (int64_t Topic : Topics)
            More += Found.count(Topic) == 0;
        if (More == 0 || Found.size() + More > Titles || Text + Name.size() + 1 >= kMvCheckedTextLimit)
            continue;
        Found.insert(Topics.begin(), Topics.end());
        Flat.Tags.push_back(Name);
        Text += (Text ? 1 : 0) + Name.size();
    }
    sqlite3_close(Db);
    Flat.Titles = Found.size();
    return Filters;
}

// ---- one session, in its own process ----

// Activates the window as a click into it does before the click does anything (the finder
// searches again then). Another program may have taken the foreground since (a test run beside
// this one shares Wine's desktop): a step driven by code would then activate the finder in its
// middle, opening the tag list focuses its combo, and that activation's search turns "All" on
// again under the ticks. Nothing is pumped once it is active, so that it stays so for the step.
void ActivateAsAClickDoes(TForm& Form) {
    PumpUntil([&] {
        if (GetActiveWindow() == Form.Handle()) return true;
        SetActiveWindow(Form.Handle());
        return false;
    });
}

// Ticks tags of the finder (or takes their ticks away) as a user does: "All" tags off, the
// drop-down list opened by its button (the finder lists its tags then), the marks set, the list
// closed. False when one is missing.
bool TickTags(const std::vector<std::string>& Items, bool On = true) {
    ActivateAsAClickDoes(*frmFind);
    if (frmFind->aAllTags->Checked()) frmFind->aAllTags->Execute();
    TMvCheckedComboBox* Combo = frmFind->cbTags;
    Combo->ButtonClick();
    size_t Found = 0;
    for (int i = 0; i < Combo->Items().Count(); ++i)
        if (std::find(Items.begin(), Items.end(), Combo->Items().Get(i)) != Items.end()) {
            Combo->SetItemChecked(i, On);
            ++Found;
        }
    Combo->ClosePopup(Combo, true);
    return Found == Items.size();
}

size_t Listed(const TNamespaceVisualizer& Panel) {
    size_t Count = 0;
    for (const auto& Namespace : Panel.Namespaces())
        Count += Panel.Titles(Namespace).size();
    return Count;
}

// "tag3,tag17" as names.
std::vector<std::string> TagNames(const std::string& Text) {
    std::vector<std::string> Names;
    std::istringstream In(Text);
    for (std::string Name; std::getline(In, Name, ',');)
        Names.push_back(Name);
    return Names;
}

// The program as it waits for its next message for a moment, as between a user's clicks: the step
// before leaves none of its work to the next, the system's included (letting go of a panel of
// 100,000 titles leaves it freeing their memory for some tens of milliseconds, on this thread's
// processor, once the thread yields it).
void WaitForTheNextClick() {
    const TStopwatch Idle;
    PumpUntil([&] { return Idle.Ms() >= 300; }, 50);
}

// As WaitForTheNextClick, the store's connection having let go of the pages it keeps: a search
// then reads its pages from the file as one for tags not searched before does. The filter and its
// floor, and the searches beside the damage check, each start from here.
void Settle(TNotesStore& Store) {
    sqlite3_db_release_memory(Store.Connection().Handle());
    WaitForTheNextClick();
}

// The check of the file ended, and found it sound.
bool CheckEnds(TfrmMain& Main) {
    const bool Ended = PumpUntil([&] { return !Main.tCheckFile->Enabled(); }, 100);
    const TDamageCheck* Check = Main.NotesStore()->DamageCheck();
    if (Ended && Check && Check->Outcome() == TDamageCheck::TOutcome::Sound) return true;
    std::fprintf(stderr, "the check did not end well: %s\n",
                 Check ? Check->Details().c_str() : "it never began");
    return false;
}

// Find pressed and the list drawn.
double TimedFind() {
    const TStopwatch Find;
    frmFind->aFilter->Execute();
    frmFind->Visualizer->Update();
    Pump();
    return Find.Ms();
}

// The finder's search while the damage check reads, and the same search once it is done: from
// another tag's list to the filter's, after Settle. The median of three searches each; neither
// when the check is not reading all through them: the round then has no such pair. The filter's
// tags are ticked before and after.
bool FindsBesideTheCheck(TfrmMain& Main, const std::vector<std::string>& Tags,
                         std::map<std::string, double>& R) {
    TNotesStore& Store = *Main.NotesStore();
    std::string Other = BenchTag(5);
    while (std::find(Tags.begin(), Tags.end(), Other) != Tags.end())
        Other += "1"; // tag51, tag511: another tag of the file
    auto Finds = [&](const char* Field) {
        std::vector<double> Ms;
        for (int i = 0; i < 3; ++i) {
            TickTags(Tags, false);
            TickTags({Other});
            TimedFind();
            TickTags({Other}, false);
            TickTags(Tags);
            Settle(Store);
            Ms.push_back(TimedFind());
        }
        R[Field] = SpreadOf(Ms).Median;
    };
    // The program as it waits for its next message until the check reads: a commit of the steps
    // before holds it back for a while.
    if (!PumpUntil([&] { return Store.DamageCheck() && Store.DamageCheck()->PagesRead() > 0; }, 100)) {
        std::fprintf(stderr, "the check did not begin\n");
        return false;
    }
    const TDamageCheck* Check = Store.DamageCheck();
    Finds("find-checking");
    if (Check->Outcome() != TDamageCheck::TOutcome::Running || Check->PagesRead() == 0) {
        std::fprintf(stderr, "the check was not reading all through the searches\n");
        R.erase("find-checking");
    }
    if (!CheckEnds(Main)) return false;
    if (R.count("find-checking")) Finds("find-checked");
    return true;
}

// Tags: the filter's tags ("tag3,tag17"); BesideTheCheck: whether the searches beside the damage
// check follow.
int Session(const std::string& Folder, const std::string& Tags, bool BesideTheCheck, const std::string& Out) {
    std::map<std::string, double> R;
    R["mem-load"] = ResidentMB();
    Application->Initialize();
    LoadSettingsFrom(Folder, "");

    TStopwatch Start;
    // As the program starts: the main window (which opens the store and shows Home), then the
    // forms it keeps.
    auto* Main = new TfrmMain(Application, Folder);
    Application->SetMainForm(Main);
    Main->DoCreate();
    Main->CreateKeptForms();
    TfrmNote* Home = nullptr;
    if (!PumpUntil([&] { return (Home = NoteWindowsByNamespace.Find("")) && Home->Visible(); })) {
        std::fprintf(stderr, "the Home window did not open\n");
        return 1;
    }
    UpdateWindow(Home->Handle());
    Pump();
    R["start"] = Start.Ms();
    R["mem-start"] = ResidentMB();

    // A new topic: the Home window leaves its topic for an unknown title.
    const TStopwatch New;
    Main->ShowTopic("Zz new topic", "");
    Pump();
    R["new"] = New.Ms();

    // The finder, opened from the tray menu with no remembered filter: it lists everything.
    const TStopwatch Open;
    Main->aFind->Execute();
    if (!PumpUntil([] { return frmFind && frmFind->Visible(); })) {
        std::fprintf(stderr, "the finder did not open\n");
        return 1;
    }
    // Shown: activated (a search) and drawn.
    Pump();
    frmFind->Visualizer->Update();
    Pump();
    R["finder"] = Open.Ms();
    R["mem-finder"] = ResidentMB();
    const size_t All = Listed(*frmFind->Visualizer);

    // The tags in every namespace: "All" tags off, the tags ticked.
    const std::vector<std::string> TagList = TagNames(Tags);
    if (!TickTags(TagList)) {
        std::fprintf(stderr, "the finder lacks one of the tags %s\n", Tags.c_str());
        return 1;
    }
    if (BesideTheCheck && !FindsBesideTheCheck(*Main, TagList, R)) return 1;

    // The filter and its floor once the check is done, which neither then shares the machine
    // with. The filter: the finder listing every topic as it opened (an empty filter turns "All"
    // on again), the tags ticked, Find.
    TNotesStore& Store = *Main->NotesStore();
    if (!CheckEnds(*Main)) return 1;
    TickTags(TagList, false);
    frmFind->aFilter->Execute();
    frmFind->Visualizer->Update();
    Pump();
    if (Listed(*frmFind->Visualizer) != All) {
        std::fprintf(stderr, "the finder lists %zu topics again, not %zu\n", Listed(*frmFind->Visualizer),
                     All);
        return 1;
    }
    TickTags(TagList);
    Settle(Store);
    R["filter"] = TimedFind();
    const size_t Found = Listed(*frmFind->Visualizer);

    // The filter's floor: a panel set up as the finder's list showing what the finder showed
    // (every topic, grouped by namespace), then the store's query for the tags, the panel letting
    // go of its list and drawing the result grouped by namespace.
    {
        TForm Form(nullptr);
        TNamespaceVisualizer* Panel = AddFinderListLike(Form, *frmFind);
        Form.Show();
        for (const TPlacedTopic& Topic : Store.FindTopicsWithNamespaces(nullptr))
            Panel->AddEntry(FindItemOfNamespace(Topic.NameSpace), Topic.Title);
        Panel->Render();
        Panel->Update();
        Pump();
        Settle(Store);
        const TStopwatch Floor;
        TStringList TagStrings;
        for (const std::string& Tag : TagList)
            TagStrings.Add(Tag);
        const std::vector<TPlacedTopic> Tagged = Store.FindTopicsWithNamespaces(&TagStrings);
        Panel->Clear();
        for (const TPlacedTopic& Topic : Tagged)
            Panel->AddEntry(FindItemOfNamespace(Topic.NameSpace), Topic.Title);
        Panel->Render();
        Panel->Update();
        Pump();
        R["floor"] = Floor.Ms();
    }
    // The quit, from the tray menu a user opens a moment after the last step: timed straight after
    // the floor let go of its panel of every topic, it paid for the system freeing that memory.
    WaitForTheNextClick();
    const TStopwatch Quit;
    Main->aQuit->Execute();
    Pump();
    delete Main;
    R["quit"] = Quit.Ms();

    std::ofstream File(Out);
    for (const auto& [Field, Value] : R)
        File << Field << ' ' << Value << '\n';
    File << "listed " << All << "\nfound " << Found << '\n';
    return File ? 0 : 1;
}

// ---- the runner ----

std::map<std::string, std::map<std::string, std::vector<double>>> Samples; // shape, field

// Runs one session on a fresh copy of the database; the figures, or an empty map. The searches
// beside the damage check only at 100,000 topics, where the check outlasts the steps before them.
std::map<std::string, double> RunSession(const std::string& Folder, const std::string& Database,
                                         const TScaleShape& Shape, const TFilterTags& Filter) {
    std::string Tags;
    for (const std::string& Tag : Filter.Tags)
        Tags += (Tags.empty() ? "" : ",") + Tag;
    const bool BesideTheCheck = Shape.Shape.Topics >= 100000;
    return RunSessionProcess(Folder, "scale_bench.exe", "scale-run", Database,
                             Tags + (BesideTheCheck ? " 1" : " 0"));
}

void BM_Session(benchmark::State& State, std::string Folder, std::string Database, TScaleShape Shape,
                TFilterTags Filter) {
    for (auto _ : State) {
        const std::map<std::string, double> R = RunSession(Folder, Database, Shape, Filter);
        if (R.empty()) {
            State.SkipWithError("the session failed");
            return;
        }
        // A filter that found another number of titles than its tags carry compares nothing.
        if (R.at("found") != double(Filter.Titles)) {
            State.SkipWithError(("the filter found " + std::to_string(R.at("found")) + " titles, not " +
                                 std::to_string(Filter.Titles))
                                    .c_str());
            return;
        }
        double Total = 0;
        for (const char* Field : Fields) {
            if (!R.count(Field)) continue;
            const double V = R.at(Field);
            Samples[Shape.Name][Field].push_back(V);
            State.counters[Field] = V;
            if (std::strncmp(Field, "mem", 3) != 0 && std::strncmp(Field, "find", 4) != 0 &&
                std::strcmp(Field, "floor") != 0)
                Total += V;
        }
        State.counters["listed"] = R.at("listed");
        State.counters["found"] = R.at("found");
        State.SetIterationTime(Total / 1e3);
    }
}

double Median(const std::string& Shape, const std::string& Field) {
    return SpreadOf(Samples[Shape][Field]).Median;
}

// Ours against Base, round by round (each round runs one session per database).
TRatio Rounds(const char* OursShape, const char* OursField, const char* BaseShape, const char* BaseField) {
    return RatioOf(Samples[OursShape][OursField], Samples[BaseShape][BaseField]);
}

// What a session adds to the process as loaded, round by round.
std::vector<double> Added(const char* Shape, const char* Field) {
    const std::vector<double>& All = Samples[Shape][Field];
    const std::vector<double>& Load = Samples[Shape]["mem-load"];
    std::vector<double> Out;
    for (size_t I = 0; I < std::min(All.size(), Load.size()); ++I)
        Out.push_back(All[I] - Load[I]);
    return Out;
}

} // namespace

int main(int argc, char** argv) {
    // --session FOLDER TAGS BESIDE-THE-CHECK OUT: one session (the runner starts these).
    if (argc == 6 && std::strcmp(argv[1], "--session") == 0)
        return Session(argv[2], argv[3], std::strcmp(argv[4], "1") == 0, argv[5]);

    const std::string Folder = ExeFolder();
    std::printf("preparing the databases...\n");
    std::fflush(stdout);
    for (const TScaleShape& S : Shapes)
        EnsureBenchDatabase(Folder + "\\scale-" + S.Name + ".mvdb", S.Shape);
    const std::map<std::string, TFilterTags> Filters = FilterTagsOf(Folder);
    for (const TScaleShape& S : Shapes)
        benchmark::RegisterBenchmark((std::string("Session/") + S.Name).c_str(), BM_Session, Folder,
                                     Folder + "\\scale-" + S.Name + ".mvdb", S, Filters.at(S.Name))
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);

    TMedianReporter Reporter;
    RunBenchmarks(argc, argv, Reporter);

    std::printf("\nmedians (ms; MB resident)   %9s %9s %9s %9s %9s %9s %9s %9s %9s %9s %9s\n", "start", "new",
                "finder", "filter", "floor", "quit", "mem-start", "mem-find", "mem-load", "find-chkg",
                "find-chkd");
    for (const TScaleShape& S : Shapes) {
        if (Samples[S.Name].empty()) continue;
        std::printf("  %-25s", S.Name);
        for (const char* Field : Fields) {
            if (Samples[S.Name][Field].empty())
                std::printf(" %9s", "-");
            else
                std::printf(" %9.1f", Median(S.Name, Field));
        }
        std::printf("\n");
    }
    for (const TScaleShape& S : Shapes)
        std::printf("  %-25s the filter: %zu tag%s, %zu titles\n", S.Name, Filters.at(S.Name).Tags.size(),
                    Filters.at(S.Name).Tags.size() == 1 ? "" : "s", Filters.at(S.Name).Titles);
    std::printf("\ngoals (medians of the rounds, the lowest and the highest in brackets)\n");
    PrintComparison("start to Home, 100,000 vs 1 topic", Rounds("100000", "start", "1", "start"), "ms", 1.3);
    PrintComparison("start to Home, 100,000 over 500 namespaces vs 1 topic",
                    Rounds("100000x500", "start", "1", "start"), "ms", 1.3);
    PrintComparison("a new topic, 100,000 vs 1 topic", Rounds("100000", "new", "1", "new"), "ms", 1.5);
    PrintComparison("open the finder, 100,000 vs 1,000", Rounds("100000", "finder", "1000", "finder"), "ms",
                    3.0);
    const size_t Titles = Filters.at("100000x500").Titles;
    PrintComparison("filter by tags, 100,000 in one namespace vs store + grouped panel",
                    Rounds("100000", "filter", "100000", "floor"), "ms", 1.3);
    PrintComparison("filter by a tag, 100,000 over 500 namespaces vs store + grouped panel",
                    Rounds("100000x500", "filter", "100000x500", "floor"), "ms", 1.3);
    PrintComparison("filter to " + std::to_string(Titles) + " titles, 100,000: one namespace (" +
                        std::to_string(Filters.at("100000").Tags.size()) + " tags) vs 500 (1 tag)",
                    Rounds("100000", "filter", "100000x500", "filter"), "ms", 2.0);
    PrintComparison("a search of the finder while the damage check reads vs once it is done, 100,000",
                    Rounds("100000", "find-checking", "100000", "find-checked"), "ms", 1.2);
    PrintComparison("the same over 500 namespaces",
                    Rounds("100000x500", "find-checking", "100000x500", "find-checked"), "ms", 1.2);
    PrintComparison("quit, 100,000 vs 1 topic", Rounds("100000", "quit", "1", "quit"), "ms", 1.5);
    PrintComparison("memory after start, 100,000 vs 1 topic", Rounds("100000", "mem-start", "1", "mem-start"),
                    "MB", 1.3);
    PrintComparison("memory with the finder open, 100,000 vs 1 topic",
                    Rounds("100000", "mem-finder", "1", "mem-finder"), "MB", 1.5);
    PrintComparison("memory with the finder open, 100,000 over 500 namespaces vs 1 topic",
                    Rounds("100000x500", "mem-finder", "1", "mem-finder"), "MB", 1.5);
    // The memory goals hold the whole working set, and Wine's loading of this executable keeps tens
    // of MB of it before any code of ours runs (it moves by several MB from one build to the next):
    // the platform bounds those ratios from below. Beside them, what the sessions add to it.
    if (!Samples["1"]["mem-load"].empty()) {
        std::printf("  bounded by the platform: the process as loaded keeps %.1f MB before the program "
                    "starts;\n  what the sessions add to it:\n",
                    Median("1", "mem-load"));
        PrintComparison("added after start, 100,000 vs 1 topic",
                        RatioOf(Added("100000", "mem-start"), Added("1", "mem-start")), "MB");
        PrintComparison("added with the finder open, 100,000 vs 1 topic",
                        RatioOf(Added("100000", "mem-finder"), Added("1", "mem-finder")), "MB");
        PrintComparison("added with the finder open, 100,000 over 500 namespaces vs 1 topic",
                        RatioOf(Added("100000x500", "mem-finder"), Added("1", "mem-finder")), "MB");
    }
    benchmark::Shutdown();
    return 0;
}
