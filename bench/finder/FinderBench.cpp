// finder_bench: searches of the finder window (Find pressed, the result list drawn) against the
// store's own query for the same filter plus a side panel showing what it found, on the store
// benchmark's 100,000-topic database (500 namespaces), in the same rounds: one namespace and two
// tags, one namespace alone, and two tags in every namespace (grouped by namespace). Every search
// changes what is shown: each takes the other of two tag pairs (or of two namespaces) than the one
// before, so both sides let go of the list shown and show another, as a user's next search does.
// Runs under Wine from the program folder; the ratios and the goal are printed at the end.
#include "app/Find.h"
#include "app/FindRules.h"
#include "app/Main.h"
#include "app/NamespaceVisualizer.h"
#include "app/Settings.h"
#include "app/TopicDocument.h"
#include "bench/support/BenchProgram.h"
#include "bench/support/FinderList.h"
#include "bench/support/MedianReporter.h"
#include "bench/store/BenchDatabase.h"
#include "controls/MvCombobox.h"
#include "gui/Forms.h"
#include "store/NotesStore.h"
#include "store/StoreLists.h"

#include <windows.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The searches: one namespace and two tags (the finder's everyday use), one namespace alone, and
// two tags in every namespace. Each search takes the other of two namespaces (one namespace alone)
// or of two tag pairs than the search before.
struct TFilter {
    bool OneNamespace;
    bool TwoTags;
};
const int kNamespaces[2] = {7, 8};
const int kTags[2][2] = {{3, 11}, {5, 13}};

// Where the finder window stands, and the floor's panel with it.
constexpr int kFinderLeft = 40, kFinderTop = 40, kFinderWidth = 384, kFinderHeight = 600;

// The goal of a finder search: at most this much of the store's query and the panel showing
// what it found (the goal scale_bench holds the finder's filter to).
constexpr double kGoal = 1.3;

// The store's query for the same filter and a side panel letting go of the list it shows and
// showing the new one (grouped by namespace over every namespace, as the finder groups it). The
// panel is set up as the finder's list, read from a finder of the same place without a store.
void Find_Store(benchmark::State& State, const std::string& Database, TFilter Filter) {
    TNotesStore Store(Database);
    TForm Form(nullptr);
    TNamespaceVisualizer* Panel = nullptr;
    {
        // The finder keeps a reference to its services: they must outlive it.
        const mv::app::TTopicServices NoServices{};
        TfrmFind Finder(nullptr, NoServices);
        Finder.SetBounds(kFinderLeft, kFinderTop, kFinderWidth, kFinderHeight);
        Finder.Show();
        Pump();
        Panel = AddFinderListLike(Form, Finder);
    }
    Form.Show();
    Pump();
    TStringList Tags[2];
    for (int P = 0; P < 2; ++P)
        for (int T : kTags[P])
            Tags[P].Add(BenchTag(T));
    size_t Found = 0; // by the last search
    auto Search = [&](int Which) {
        Panel->Clear();
        Found = 0;
        const TStrings* TagFilter = Filter.TwoTags ? &Tags[Which] : nullptr;
        if (!Filter.OneNamespace) {
            for (const TPlacedTopic& Topic : Store.FindTopicsWithNamespaces(TagFilter)) {
                Panel->AddEntry(FindItemOfNamespace(Topic.NameSpace), Topic.Title);
                ++Found;
            }
        } else {
            const std::string Namespace = BenchNamespace(kNamespaces[Filter.TwoTags ? 0 : Which]);
            const std::string Item = FindItemOfNamespace(Namespace);
            if (!TagFilter) {
                for (const std::string& Title : Store.FindTopicTitles(Namespace)) {
                    Panel->AddEntry(Item, Title);
                    ++Found;
                }
            } else if (std::unique_ptr<TStringList> Result = Store.FindTopics(Namespace, TagFilter, "")) {
                for (int i = 0; i < Result->Count(); ++i)
                    Panel->AddEntry(Item, ListLineTitle(Result->Get(i)));
                Found = static_cast<size_t>(Result->Count());
            }
        }
        Panel->Render();
        Panel->Update();
        Pump();
    };
    // Shown before the first timed search: the result of the other filter.
    int Which = 0;
    Search(Which);
    for (auto _ : State)
        Search(Which ^= 1);
    State.counters["topics"] = static_cast<double>(Found);
}

// The finder window itself, on the program's own copy of the database.
void Find_Window(benchmark::State& State, const std::string& Folder, TFilter Filter) {
    LoadSettingsFrom(Folder, "");
    auto* Main = new TfrmMain(Application, Folder);
    Main->DoCreate();
    Pump();
    // Each run starts from no remembered filter (the runs share the database).
    for (const char* Key : {"list.namespaces", "list.namespaces.all", "list.tags", "list.tags.all"})
        Main->NotesStore()->Properties().SetValue(Key, "");
    auto* Find = new TfrmFind(Application, Main->TopicServices());
    Find->SetBounds(kFinderLeft, kFinderTop, kFinderWidth, kFinderHeight);
    // As the combo's drop-down list ticks; the first time it opens by its button (the finder lists
    // its tags then), the searches tick the items it already holds.
    auto Check = [](TMvCheckedComboBox* Combo, const std::string& Item, bool On = true, bool Drop = true) {
        if (Drop) Combo->ButtonClick();
        for (int i = 0; i < Combo->Items().Count(); ++i)
            if (Combo->Items().Get(i) == Item) Combo->SetItemChecked(i, On);
        if (Drop) Combo->ClosePopup(Combo, true);
    };
    if (Filter.OneNamespace)
        Check(Find->cbNamespaces, BenchNamespace(kNamespaces[0]));
    else
        Find->aAllNamespaces->Execute();
    if (Filter.TwoTags)
        for (int T : kTags[0])
            Check(Find->cbTags, BenchTag(T));
    else
        Find->aAllTags->Execute();
    // Shown with its filter set, as a user leaves it: the activation searches.
    Find->Show();
    Pump();
    int Which = 0;
    size_t Found = 0; // the most a search found
    for (auto _ : State) {
        // The user's ticks before Find are not the search: the other tag pair, or the other
        // namespace.
        State.PauseTiming();
        Found = std::max(Found, Find->Visualizer->TitleCount());
        const int Next = Which ^ 1;
        if (Filter.TwoTags) {
            for (int i = 0; i < 2; ++i) {
                Check(Find->cbTags, BenchTag(kTags[Which][i]), false, false);
                Check(Find->cbTags, BenchTag(kTags[Next][i]), true, false);
            }
        } else if (Filter.OneNamespace) {
            Check(Find->cbNamespaces, BenchNamespace(kNamespaces[Which]), false, false);
            Check(Find->cbNamespaces, BenchNamespace(kNamespaces[Next]), true, false);
        }
        Which = Next;
        Pump(); // what the ticks asked for (the combo drawn again) is theirs, not the search's
        State.ResumeTiming();
        Find->aFilter->Execute();
        Find->Visualizer->Update();
        Pump();
    }
    Found = std::max(Found, Find->Visualizer->TitleCount());
    State.counters["topics"] = static_cast<double>(Found);
    if (Found == 0) State.SkipWithError("the finder found nothing");
    delete Find;
    Main->aQuit->Execute();
    delete Main;
}

} // namespace

int main(int argc, char** argv) {
    const std::string Folder = ExeFolder();
    const std::string Source = Folder + "\\navigate_bench.mvdb"; // shared with navigate_bench
    std::printf("preparing the %d-topic database...\n", BenchTopics);
    std::fflush(stdout);
    EnsureBenchDatabase(Source);
    CopyOrDie(Source, Folder + "\\finder-store.mvdb");
    const std::string WindowFolder = Folder + "\\finder";
    CreateDirectoryA(WindowFolder.c_str(), nullptr);
    CopyOrDie(Source, WindowFolder + "\\Miravelund.mvdb");
    Application->Initialize();

    const std::string StoreFile = Folder + "\\finder-store.mvdb";
    struct TSearch {
        const char* Name;
        TFilter Filter;
        const char* What;
    };
    const TSearch Searches[] = {
        {"Filter", TFilter{true, true}, "one namespace and two tags: finder / store + panel"},
        {"Namespace", TFilter{true, false}, "one namespace: finder / store + panel"},
        {"AllTagged", TFilter{false, true}, "two tags in every namespace: finder / store + grouped panel"}};
    for (const TSearch& S : Searches) {
        benchmark::RegisterBenchmark((std::string(S.Name) + "/store+panel").c_str(), Find_Store, StoreFile,
                                     S.Filter)
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string(S.Name) + "/window").c_str(), Find_Window, WindowFolder,
                                     S.Filter)
            ->UseRealTime();
    }

    TMedianReporter Reporter;
    RunBenchmarks(argc, argv, Reporter);
    std::printf("\nsearches that change what is shown (medians of the rounds, the lowest and the highest in "
                "brackets):\n");
    for (const TSearch& S : Searches)
        PrintComparison(S.What,
                        Reporter.Ratio(std::string(S.Name) + "/window", std::string(S.Name) + "/store+panel"),
                        "ms", kGoal);
    benchmark::Shutdown();
    DeleteFileA((Folder + "\\finder-store.mvdb").c_str());
    DeleteFileA((WindowFolder + "\\Miravelund.mvdb").c_str());
    return 0;
}
