// scale_bench: the program at the sizes of a user's real notebook. For databases of 1, 1,000,
// 10,000 and 100,000 topics in one namespace, and 100,000 over 500 namespaces, one session each:
// start to the Home window shown, a new topic (the Home window navigates to an unknown title, so
// that every side panel gains a line), opening the finder (it lists everything), filtering the
// finder by one tag, and quitting; with the resident memory after start and with the finder open.
// Beside the filter it times its floor: the store's query for the same tag and a panel that shows
// every topic grouped by namespace, as the finder did, letting go of them and showing what the
// query found.
//
// Each session runs in a process of its own (this program started again with --session), on its
// own copy of the database, driving the program's main window in process as the tray menu and the
// note window would: memory figures then belong to that session alone. Five rounds, each running
// one session per database in an order drawn at random; the table prints medians, the goals the
// medians of the rounds' ratios with their spread. Runs under Wine from the program folder; the
// databases are generated once (through the store's schema) and cached beside it.
#include "app/Find.h"
#include "bench/support/BenchProgram.h"
#include "bench/support/MedianReporter.h"
#include "app/FindRules.h"
#include "app/Main.h"
#include "app/NamespaceVisualizer.h"
#include "app/Note.h"
#include "app/Settings.h"
#include "bench/store/BenchDatabase.h"
#include "controls/MvCombobox.h"
#include "gui/Forms.h"
#include "store/NotesStore.h"

#include <windows.h>
#include <psapi.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
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
// what a session's work adds is its figures less this one.
const char* const Fields[] = {"start", "new",       "finder",     "filter",  "floor",
                              "quit",  "mem-start", "mem-finder", "mem-load"};

// The tag the finder is filtered by: about three topics in one namespace, about 300 over 500.
int FilterTag(const TBenchShape& Shape) {
    return std::min(3, Shape.Tags - 1);
}

// ---- one session, in its own process ----

// Ticks an item as its drop-down list does: the list opens by its button (the finder lists its
// tags then), the mark is set, the list closes.
bool CheckItem(TMvCheckedComboBox* Combo, const std::string& Item) {
    Combo->ButtonClick();
    bool Found = false;
    for (int i = 0; i < Combo->Items().Count() && !Found; ++i)
        if (Combo->Items().Get(i) == Item) {
            Combo->SetItemChecked(i, true);
            Found = true;
        }
    Combo->ClosePopup(Combo, true);
    return Found;
}

size_t Listed(const TNamespaceVisualizer& Panel) {
    size_t Count = 0;
    for (const auto& Namespace : Panel.Namespaces())
        Count += Panel.Titles(Namespace).size();
    return Count;
}

int Session(const std::string& Folder, int Tag, const std::string& Out) {
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

    // One tag in every namespace: "All" tags unchecked, the tag checked, Find.
    const std::string TagName = BenchTag(Tag);
    if (frmFind->aAllTags->Checked()) frmFind->aAllTags->Execute();
    if (!CheckItem(frmFind->cbTags, TagName)) {
        std::fprintf(stderr, "no tag %s in the finder\n", TagName.c_str());
        return 1;
    }
    const TStopwatch Filter;
    frmFind->aFilter->Execute();
    frmFind->Visualizer->Update();
    Pump();
    R["filter"] = Filter.Ms();
    const size_t Found = Listed(*frmFind->Visualizer);

    // The filter's floor: a panel of the finder's size and font showing what the finder showed
    // (every topic, grouped by namespace), then the store's query for the tag, the panel letting
    // go of its list and drawing the result grouped by namespace.
    {
        TForm Form(nullptr);
        Form.SetBounds(frmFind->Left(), frmFind->Top(), frmFind->Width(), frmFind->Height());
        auto* Panel = new TNamespaceVisualizer(&Form);
        Panel->SetParent(&Form);
        Panel->SetAlign(TAlign::alClient);
        Panel->SetScrollBars(THvScrollStyle::ssVertical);
        Panel->SetBorderStyle(THTMLBorderStyle::htNone);
        Panel->SetDefBackground(clWindow);
        Panel->SetDefFontName(Main->Font().Name());
        Panel->SetDefFontSize(Main->Font().Size());
        Panel->Font().Assign(Main->Font());
        Form.Show();
        for (const TPlacedTopic& Topic : Main->NotesStore()->FindTopicsWithNamespaces(nullptr))
            Panel->AddEntry(FindItemOfNamespace(Topic.NameSpace), Topic.Title);
        Panel->Render();
        Panel->Update();
        Pump();
        const TStopwatch Floor;
        TStringList Tags;
        Tags.Add(TagName);
        const std::vector<TPlacedTopic> Tagged = Main->NotesStore()->FindTopicsWithNamespaces(&Tags);
        Panel->Clear();
        for (const TPlacedTopic& Topic : Tagged)
            Panel->AddEntry(FindItemOfNamespace(Topic.NameSpace), Topic.Title);
        Panel->Render();
        Panel->Update();
        Pump();
        R["floor"] = Floor.Ms();
    }
    Pump();

    const TStopwatch Quit;
    Main->aQuit->Execute();
    Pump();
    delete Main;
    R["quit"] = Quit.Ms();

    std::ofstream File(Out);
    for (const char* Field : Fields)
        File << Field << ' ' << R[Field] << '\n';
    File << "listed " << All << "\nfound " << Found << '\n';
    return File ? 0 : 1;
}

// ---- the runner ----

std::map<std::string, std::map<std::string, std::vector<double>>> Samples; // shape, field

// Runs one session on a fresh copy of the database; the figures, or an empty map.
std::map<std::string, double> RunSession(const std::string& Folder, const std::string& Database,
                                         const TScaleShape& Shape) {
    return RunSessionProcess(Folder, "scale_bench.exe", "scale-run", Database,
                             std::to_string(FilterTag(Shape.Shape)));
}

void BM_Session(benchmark::State& State, std::string Folder, std::string Database, TScaleShape Shape) {
    for (auto _ : State) {
        const std::map<std::string, double> R = RunSession(Folder, Database, Shape);
        if (R.empty()) {
            State.SkipWithError("the session failed");
            return;
        }
        double Total = 0;
        for (const char* Field : Fields) {
            const double V = R.at(Field);
            Samples[Shape.Name][Field].push_back(V);
            State.counters[Field] = V;
            if (std::strncmp(Field, "mem", 3) != 0 && std::strcmp(Field, "floor") != 0) Total += V;
        }
        State.counters["listed"] = R.count("listed") ? R.at("listed") : 0;
        State.counters["found"] = R.count("found") ? R.at("found") : 0;
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
    // --session FOLDER TAG OUT: one session (the runner starts these).
    if (argc == 5 && std::strcmp(argv[1], "--session") == 0)
        return Session(argv[2], std::atoi(argv[3]), argv[4]);

    const std::string Folder = ExeFolder();
    std::printf("preparing the databases...\n");
    std::fflush(stdout);
    for (const TScaleShape& S : Shapes) {
        const std::string Database = Folder + "\\scale-" + S.Name + ".mvdb";
        EnsureBenchDatabase(Database, S.Shape);
        benchmark::RegisterBenchmark((std::string("Session/") + S.Name).c_str(), BM_Session, Folder, Database,
                                     S)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }

    TMedianReporter Reporter;
    RunBenchmarks(argc, argv, Reporter);

    std::printf("\nmedians (ms; MB resident)   %9s %9s %9s %9s %9s %9s %9s %9s %9s\n", "start", "new",
                "finder", "filter", "floor", "quit", "mem-start", "mem-find", "mem-load");
    for (const TScaleShape& S : Shapes) {
        if (Samples[S.Name].empty()) continue;
        std::printf("  %-25s", S.Name);
        for (const char* Field : Fields)
            std::printf(" %9.1f", Median(S.Name, Field));
        std::printf("\n");
    }
    std::printf("\ngoals (medians of the rounds, the lowest and the highest in brackets)\n");
    PrintComparison("start to Home, 100,000 vs 1 topic", Rounds("100000", "start", "1", "start"), "ms", 1.3);
    PrintComparison("start to Home, 100,000 over 500 namespaces vs 1 topic",
                    Rounds("100000x500", "start", "1", "start"), "ms", 1.3);
    PrintComparison("a new topic, 100,000 vs 1 topic", Rounds("100000", "new", "1", "new"), "ms", 1.5);
    PrintComparison("open the finder, 100,000 vs 1,000", Rounds("100000", "finder", "1000", "finder"), "ms",
                    3.0);
    PrintComparison("filter by one tag, 100,000 in one namespace vs store + grouped panel",
                    Rounds("100000", "filter", "100000", "floor"), "ms", 1.3);
    PrintComparison("filter by one tag, 100,000 over 500 namespaces vs store + grouped panel",
                    Rounds("100000x500", "filter", "100000x500", "floor"), "ms", 1.3);
    PrintComparison("filter by one tag, 100,000: one namespace vs 500",
                    Rounds("100000", "filter", "100000x500", "filter"), "ms", 2.0);
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
    if (!Samples["1"].empty()) {
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
