// finder_bench: searches of the finder window (Find pressed, the result list drawn)
// against the store's own FindTopics for the same filter plus drawing the same list
// in a side panel, on the store benchmark's 100,000-topic database, in the same run:
// one namespace and two tags, one namespace alone, two tags in every namespace (the
// finder's result grouped by namespace, from one query), and the same with the tag
// pair changing at every search, so that no search finds what is already shown.
// Runs under Wine from the program folder; the ratios are printed at the end.
#include "app/Find.h"
#include "app/Main.h"
#include "app/NamespaceVisualizer.h"
#include "app/Settings.h"
#include "bench/support/BenchProgram.h"
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
#include <map>
#include <string>
#include <vector>

namespace {

// The searches: one namespace and two tags (the finder's everyday use), one namespace
// alone, and two tags in every namespace.
struct TFilter {
    bool OneNamespace;
    bool TwoTags;
    // Each search takes the other of two tag pairs, so no search finds what is shown.
    bool Alternate = false;
};
const int kNamespace = 7;
const int kTags[2] = {3, 11};
const int kOtherTags[2] = {5, 13};

// The baseline: the store's query for the same filter and a side panel drawing the list.
void Find_Store(benchmark::State& State, const std::string& Database, TFilter Filter, bool Grouped) {
    TNotesStore Store(Database);
    TForm Form(nullptr);
    Form.SetBounds(40, 40, 384, 600);
    auto* Panel = new TNamespaceVisualizer(&Form);
    Panel->SetParent(&Form);
    Panel->SetAlign(TAlign::alClient);
    Form.Show();
    Pump();
    TStringList Tags, OtherTags;
    for (int T : kTags)
        Tags.Add(BenchTag(T));
    for (int T : kOtherTags)
        OtherTags.Add(BenchTag(T));
    const std::string Namespace = Filter.OneNamespace ? BenchNamespace(kNamespace) : "*";
    size_t Found = 0;
    size_t Run = 0;
    for (auto _ : State) {
        const TStrings* TagFilter = !Filter.TwoTags                 ? nullptr
                                    : Filter.Alternate && Run++ % 2 ? &OtherTags
                                                                    : &Tags;
        Panel->Clear();
        std::unique_ptr<TStringList> Result = Store.FindTopics(Namespace, TagFilter, "");
        Found = Result ? static_cast<size_t>(Result->Count()) : 0;
        for (size_t i = 0; i < Found; ++i) {
            const std::string Line = Result->Get(static_cast<int>(i));
            // Grouped: each title in its namespace's box, as the finder shows it. The store's
            // list has no namespaces; the benchmark database's layout gives them for free
            // (topic id n is in namespace (n - 1) mod 500), a floor for any grouping.
            std::string Box = Namespace;
            if (Grouped) {
                Box = BenchNamespace((ListLineID(Line) - 1) % BenchNamespaces);
                if (Box.empty()) Box = "Default";
            }
            Panel->AddEntry(Box, ListLineTitle(Line));
        }
        Panel->Render();
        Panel->Update();
        Pump();
    }
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
    Find->SetBounds(40, 40, 384, 600);
    // As the combo's drop-down list ticks; the first time it opens by its button (the finder
    // lists its tags then), the searches tick the items it already holds.
    auto Check = [](TMvCheckedComboBox* Combo, const std::string& Item, bool On = true, bool Drop = true) {
        if (Drop) Combo->ButtonClick();
        for (int i = 0; i < Combo->Items().Count(); ++i)
            if (Combo->Items().Get(i) == Item) Combo->SetItemChecked(i, On);
        if (Drop) Combo->ClosePopup(Combo, true);
    };
    if (Filter.OneNamespace)
        Check(Find->cbNamespaces, BenchNamespace(kNamespace));
    else
        Find->aAllNamespaces->Execute();
    if (Filter.TwoTags)
        for (int T : kTags)
            Check(Find->cbTags, BenchTag(T));
    else
        Find->aAllTags->Execute();
    // Shown with its filter set, as a user leaves it: each activation searches again.
    Find->Show();
    Pump();
    size_t Found = 0;
    size_t Run = 0;
    for (auto _ : State) {
        if (Filter.Alternate) {
            // Uncheck the pair of the search before, check the other.
            const bool Other = Run++ % 2 != 0;
            for (int i = 0; i < 2; ++i) {
                Check(Find->cbTags, BenchTag(Other ? kTags[i] : kOtherTags[i]), false, false);
                Check(Find->cbTags, BenchTag(Other ? kOtherTags[i] : kTags[i]), true, false);
            }
        }
        Find->aFilter->Execute();
        Find->Visualizer->Update();
        Pump();
    }
    for (const auto& Namespace : Find->Visualizer->Namespaces())
        Found += Find->Visualizer->Titles(Namespace).size();
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
    const std::pair<const char*, TFilter> Searches[] = {{"Filter", TFilter{true, true}},
                                                        {"Namespace", TFilter{true, false}},
                                                        {"AllTagged", TFilter{false, true}},
                                                        {"AllTaggedNew", TFilter{false, true, true}}};
    for (const auto& [Name, Filter] : Searches) {
        benchmark::RegisterBenchmark((std::string(Name) + "/store+panel").c_str(), Find_Store, StoreFile,
                                     Filter, false)
            ->UseRealTime();
        if (!Filter.OneNamespace)
            benchmark::RegisterBenchmark((std::string(Name) + "/store+grouped panel").c_str(), Find_Store,
                                         StoreFile, Filter, true)
                ->UseRealTime();
        benchmark::RegisterBenchmark((std::string(Name) + "/window").c_str(), Find_Window, WindowFolder,
                                     Filter)
            ->UseRealTime();
    }

    TMedianReporter Reporter;
    RunBenchmarks(argc, argv, &Reporter, {"--benchmark_enable_random_interleaving=true"});
    for (const char* Kind : {"Filter", "Namespace", "AllTagged", "AllTaggedNew"}) {
        const double Ours = Reporter.Median(std::string(Kind) + "/window");
        const double Base = Reporter.Median(std::string(Kind) + "/store+panel");
        if (Ours > 0 && Base > 0)
            std::printf("%-12s finder %8.2f ms, store + panel %8.2f ms, ratio %.2fx\n", Kind, Ours / 1e6,
                        Base / 1e6, Ours / Base);
        const double Grouped = Reporter.Median(std::string(Kind) + "/store+grouped panel");
        if (Ours > 0 && Grouped > 0)
            std::printf("%-12s finder %8.2f ms, store + grouped panel %8.2f ms, ratio %.2fx\n", Kind,
                        Ours / 1e6, Grouped / 1e6, Ours / Grouped);
    }
    benchmark::Shutdown();
    DeleteFileA((Folder + "\\finder-store.mvdb").c_str());
    DeleteFileA((WindowFolder + "\\Miravelund.mvdb").c_str());
    return 0;
}
