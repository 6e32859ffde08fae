// navigate_bench: the time of one navigation in a note window (save the shown
// topic with its checkpoint, load the target, show it) against the store's own
// save + checkpoint + load of the same topics, on the store benchmark's
// 100,000-topic database; and the time from starting Miravelund.exe to its
// Home window against starting a bare Win32 window, in the same run.
// Runs under Wine (Google Benchmark), from the folder of Miravelund.exe; the
// ratios are printed at the end. With --soak[=N] it runs only a long session
// instead: N navigations (10,000) timed one by one, the first 500 against the
// last 500, with the log window created.
#include "app/Log.h"
#include "app/Main.h"
#include "app/Note.h"
#include "app/Settings.h"
#include "app/TopicViewer.h"
#include "bench/support/BareNoteWindow.h"
#include "bench/support/BenchProgram.h"
#include "bench/support/MedianReporter.h"
#include "bench/store/BenchDatabase.h"
#include "gui/Forms.h"
#include "store/NotesStore.h"

#include <windows.h>
#include <psapi.h>
#include <richedit.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Titles of default-namespace topics of the generated database, visited in turn.
std::vector<std::string> Targets(int Count) {
    std::vector<std::string> Titles;
    for (int I = 0; static_cast<int>(Titles.size()) < Count && I < BenchTopics; ++I)
        if (I % BenchNamespaces == 0) Titles.push_back(BenchTopicTitle(I));
    return Titles;
}

// The user's edit before each navigation: a few characters typed at the start
// of the topic (its last line is the dot-line of its tags).
const char Edit[] = "edited ";

// What a navigation asks of the store: save the shown topic (content and meta
// lines) under its own title, checkpoint, then find and load the target.
class TStoreSide {
public:
    explicit TStoreSide(const std::string& Database) : FStore(Database) {}
    // The target's content.
    std::string Load(const std::string& Title) {
        bool Created = true;
        FShown = FStore.FindTopic("", Title, Created);
        FShownTitle = Title;
        auto Loaded = FStore.GetTopic(FShown, FRect);
        auto LoadedMeta = FStore.GetTopicMeta(FShown);
        benchmark::DoNotOptimize(LoadedMeta);
        return Loaded ? Loaded->DataString() : std::string();
    }
    std::string Navigate(const std::string& Content, const std::string& Title) {
        TStringStream Stream(Content);
        FStore.SaveTopic(FShown, "", FRect, Stream, FShownTitle);
        TStringStream Meta("splitter_pos=150\r\n");
        FStore.SetTopicMeta(FShown, Meta);
        FStore.Commit();
        return Load(Title);
    }

private:
    TNotesStore FStore;
    int32_t FShown = -1;
    std::string FShownTitle;
    TTopicRect FRect{10, 10, 600, 400};
};

// The store alone, one target per iteration. The topic left is saved with what
// was loaded plus an edit of the same size as the windows' (the store does not
// read the RTF).
void Navigate_Store(benchmark::State& State, const std::string& Database) {
    const std::vector<std::string> Titles = Targets(200);
    TStoreSide Store(Database);
    std::string Text = Store.Load("Home");
    size_t Next = 0;
    for (auto _ : State)
        Text = Store.Navigate(Edit + Text, Titles[Next++ % Titles.size()]);
}

// The same topics through the default namespace's note window. Folder is a
// program folder of its own holding the copy as "Miravelund.mvdb", the file the
// program opens first, so that neither a database nor settings beside the real
// program are used or changed.
void Navigate_Window(benchmark::State& State, const std::string& Folder) {
    const std::vector<std::string> Titles = Targets(200);
    LoadSettingsFrom(Folder, "");
    auto* Main = new TfrmMain(Application, Folder);
    Main->DoCreate();
    Pump();
    TfrmNote* Home = NoteWindowsByNamespace.Find("");
    if (Home == nullptr) {
        State.SkipWithError("the Home window did not open");
        delete Main;
        return;
    }
    size_t Next = 0;
    for (auto _ : State) {
        // The user's edit is not part of the navigation; saving it is.
        State.PauseTiming();
        TTopicViewer& Editor = *Home->Editor();
        Editor.SetSelStart(0);
        Editor.SetSelLength(0);
        Editor.SetSelText(Edit);
        Pump();
        State.ResumeTiming();
        Main->ShowTopic(Titles[Next++ % Titles.size()], "");
        Pump();
    }
    // The generated topics hold about 2 KB of text; a window that worked on
    // another database would show only the edits.
    if (Home->Editor()->TextLength() < 1000)
        State.SkipWithError("the window did not show the benchmark's topics");
    Main->aQuit->Execute();
    delete Main;
}

// A long session: Count navigations in the default namespace's window, each
// timed on its own, with the log window created (shown once, then hidden), so
// that every save also adds a line to it. A session that slows down as it
// goes (a log view that grows, say) shows as a last stretch slower than the
// first. Prints the mean time per navigation of the first and the last 500.
int Soak(const std::string& Folder, int Count) {
    const std::vector<std::string> Titles = Targets(200);
    LoadSettingsFrom(Folder, "");
    auto* Main = new TfrmMain(Application, Folder);
    Main->DoCreate();
    Pump();
    TfrmNote* Home = NoteWindowsByNamespace.Find("");
    if (Home == nullptr) {
        std::fprintf(stderr, "the Home window did not open\n");
        return 1;
    }
    Main->aShowLog->Execute();
    Pump();
    Main->aShowLog->Execute();
    Pump();
    if (frmLog == nullptr || !frmLog->mLog->HandleAllocated()) {
        std::fprintf(stderr, "the log window was not created\n");
        return 1;
    }
    // Wall time, and the CPU time of this thread (which other programs on a
    // busy machine do not stretch).
    std::vector<double> Times, CpuTimes;
    Times.reserve(static_cast<size_t>(Count));
    CpuTimes.reserve(static_cast<size_t>(Count));
    auto ThreadSeconds = [] {
        FILETIME Created, Ended, Kernel, User;
        if (!GetThreadTimes(GetCurrentThread(), &Created, &Ended, &Kernel, &User)) return 0.0;
        auto Ticks = [](const FILETIME& T) { return (uint64_t(T.dwHighDateTime) << 32) | T.dwLowDateTime; };
        return double(Ticks(Kernel) + Ticks(User)) / 1e7;
    };
    auto WorkingSet = [] {
        PROCESS_MEMORY_COUNTERS Counters{};
        Counters.cb = sizeof Counters;
        return K32GetProcessMemoryInfo(GetCurrentProcess(), &Counters, sizeof Counters)
                   ? double(Counters.WorkingSetSize) / (1024 * 1024)
                   : 0.0;
    };
    double EarlyMemory = 0;
    for (int I = 0; I < Count; ++I) {
        // The user's edit, typed over the one of the last visit: the topics
        // keep their size, so that the last stretch does the same work as the
        // first one (each topic is visited fifty times).
        TTopicViewer& Editor = *Home->Editor();
        Editor.SetSelStart(0);
        Editor.SetSelLength(static_cast<int>(sizeof Edit - 1));
        if (Editor.SelText() != Edit) Editor.SetSelLength(0);
        Editor.SetSelText(Edit);
        Pump();
        const double CpuStart = ThreadSeconds();
        const TStopwatch Watch;
        Main->ShowTopic(Titles[static_cast<size_t>(I) % Titles.size()], "");
        Pump();
        Times.push_back(Watch.Seconds());
        CpuTimes.push_back(ThreadSeconds() - CpuStart);
        if (I + 1 == 500) EarlyMemory = WorkingSet();
        if ((I + 1) % 1000 == 0) {
            std::printf("  %5d navigations, last one %.2f ms\n", I + 1, Times.back() * 1e3);
            std::fflush(stdout);
        }
    }
    const int Window = std::min(500, Count / 2);
    // Milliseconds per navigation over [From, From + Window): the mean, and the median.
    auto Mean = [&](const std::vector<double>& V, int From) {
        double Sum = 0;
        for (int I = From; I < From + Window; ++I)
            Sum += V[static_cast<size_t>(I)];
        return Window > 0 ? Sum / Window * 1e3 : 0.0;
    };
    auto Median = [&](const std::vector<double>& V, int From) {
        std::vector<double> Part(V.begin() + From, V.begin() + From + Window);
        std::sort(Part.begin(), Part.end());
        return Part.empty() ? 0.0 : Part[Part.size() / 2] * 1e3;
    };
    std::printf("\nsoak: %d navigations with the log window created\n", Count);
    std::printf("  %-22s %12s %12s %8s\n", "ms per navigation", "first", "last", "ratio");
    auto Row = [&](const char* What, double First, double Last) {
        std::printf("  %-22s %12.3f %12.3f %7.3fx\n", What, First, Last, First > 0 ? Last / First : 0.0);
    };
    Row("wall time, mean", Mean(Times, 0), Mean(Times, Count - Window));
    Row("wall time, median", Median(Times, 0), Median(Times, Count - Window));
    Row("thread CPU time, mean", Mean(CpuTimes, 0), Mean(CpuTimes, Count - Window));
    std::printf("  (first and last %d navigations)\n", Window);
    std::printf("  working set after %d: %.1f MB, at the end: %.1f MB\n", std::min(500, Count), EarlyMemory,
                WorkingSet());
    std::printf("  log view: %d lines, %zu characters\n", frmLog->mLog->Lines().Count(),
                frmLog->mLog->Text().size());
    Main->aQuit->Execute();
    delete Main;
    return 0;
}

// The yardstick for the window's share: the same platform steps a navigation
// takes (disable the editor, RTF out, the store's save + checkpoint + load, RTF
// in with drawing held off, caption, enable, focus, paint), done by hand on a
// bare top-level window with a bare RichEdit20A of the note window's size.
void Navigate_BareWindow(benchmark::State& State, const std::string& Database) {
    const std::vector<std::string> Titles = Targets(200);
    TStoreSide Store(Database);
    TBareNoteWindow Bare;
    Bare.LoadRtf(Store.Load("Home"));
    size_t Next = 0;
    for (auto _ : State) {
        State.PauseTiming();
        SendMessageA(Bare.Editor(), EM_SETSEL, 0, 0);
        SendMessageA(Bare.Editor(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Edit));
        Pump();
        State.ResumeTiming();
        const std::string& Title = Titles[Next++ % Titles.size()];
        EnableWindow(Bare.Editor(), FALSE);
        Bare.LoadRtf(Store.Navigate(Bare.SaveRtf(), Title));
        SetWindowTextA(Bare.Form(), (":" + Title).c_str());
        EnableWindow(Bare.Editor(), TRUE);
        SetFocus(Bare.Editor());
        Pump();
    }
}

// Seconds from CreateProcess to a visible top-level window with this caption.
double TimeToWindow(const std::string& Program, const std::string& Arguments, const std::string& Folder,
                    const char* Caption, bool EndSession) {
    std::string CommandLine = "\"" + Program + "\" " + Arguments;
    STARTUPINFOA Startup{};
    Startup.cb = sizeof Startup;
    PROCESS_INFORMATION Info{};
    const TStopwatch Watch;
    if (!CreateProcessA(Program.c_str(), CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        Folder.c_str(), &Startup, &Info))
        return -1;
    HWND Window = nullptr;
    while ((Window = FindWindowA(nullptr, Caption)) == nullptr || !IsWindowVisible(Window)) {
        if (Watch.Seconds() > 120) break;
        Sleep(5);
    }
    const double Seconds = Watch.Seconds();
    if (EndSession) {
        if (HWND Main = FindWindowA("TfrmMain", nullptr)) {
            DWORD_PTR Reply = 0;
            SendMessageTimeoutA(Main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 30000, &Reply);
        }
    } else if (Window) {
        PostMessageA(Window, WM_CLOSE, 0, 0);
    }
    WaitForSingleObject(Info.hProcess, 30000);
    TerminateProcess(Info.hProcess, 0);
    CloseHandle(Info.hProcess);
    CloseHandle(Info.hThread);
    return Seconds;
}

} // namespace

int main(int argc, char** argv) {
    const std::string Folder = ExeFolder();
    const std::string Source = Folder + "\\navigate_bench.mvdb";
    std::printf("preparing the %d-topic database...\n", BenchTopics);
    std::fflush(stdout);
    EnsureBenchDatabase(Source);
    // Each navigation run works on its own copy: the runs change their databases.
    CopyOrDie(Source, Folder + "\\store.mvdb");
    const std::string NavFolder = Folder + "\\navigate";
    CreateDirectoryA(NavFolder.c_str(), nullptr);
    CopyOrDie(Source, NavFolder + "\\Miravelund.mvdb");
    CopyOrDie(Source, Folder + "\\bare.mvdb");
    Application->Initialize();

    // --soak[=N]: only the long session (10,000 navigations by default).
    for (int I = 1; I < argc; ++I)
        if (std::strncmp(argv[I], "--soak", 6) == 0) {
            const int Count = argv[I][6] == '=' ? std::atoi(argv[I] + 7) : 10000;
            const int Result = Soak(NavFolder, std::max(Count, 2));
            DeleteFileA((Folder + "\\store.mvdb").c_str());
            DeleteFileA((NavFolder + "\\Miravelund.mvdb").c_str());
            DeleteFileA((Folder + "\\bare.mvdb").c_str());
            return Result;
        }

    // Start-up: Miravelund.exe to its Home window, against a bare window, from a
    // folder of its own with settings beside the program, so a run leaves nothing elsewhere.
    const std::string StartFolder = Folder + "\\startup";
    CreateDirectoryA(StartFolder.c_str(), nullptr);
    CopyOrDie(Folder + "\\Miravelund.exe", StartFolder + "\\Miravelund.exe");
    CopyOrDie(Folder + "\\Default.mvdb", StartFolder + "\\Default.mvdb");
    HANDLE Ini = CreateFileA((StartFolder + "\\Miravelund.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    CloseHandle(Ini);
    CopyOrDie(Folder + "\\Default.mvdb", StartFolder + "\\Miravelund.mvdb");

    benchmark::RegisterBenchmark("Navigate/store", Navigate_Store, Folder + "\\store.mvdb")->UseRealTime();
    benchmark::RegisterBenchmark("Navigate/window", Navigate_Window, NavFolder)->UseRealTime();
    benchmark::RegisterBenchmark("Navigate/bare-window", Navigate_BareWindow, Folder + "\\bare.mvdb")
        ->UseRealTime();
    benchmark::RegisterBenchmark("Start/bare",
                                 [Folder](benchmark::State& State) {
                                     for (auto _ : State)
                                         State.SetIterationTime(TimeToWindow(Folder + "\\bare_window.exe", "",
                                                                             Folder, "Bare window", false));
                                 })
        ->UseManualTime()
        ->Iterations(1);
    benchmark::RegisterBenchmark("Start/program",
                                 [StartFolder](benchmark::State& State) {
                                     for (auto _ : State)
                                         State.SetIterationTime(TimeToWindow(StartFolder + "\\Miravelund.exe",
                                                                             "", StartFolder, ":Home", true));
                                 })
        ->UseManualTime()
        ->Iterations(1);

    // Five rounds of every run, each round in an order drawn at random, so that the disk's moods
    // fall on all of them alike (a start-up is one run of its own in each round).
    TMedianReporter Reporter;
    RunBenchmarks(argc, argv, Reporter);
    std::printf("\nmedians of the rounds, the lowest and the highest in brackets:\n");
    PrintComparison("navigation / store alone", Reporter.Ratio("Navigate/window", "Navigate/store"), "ms");
    PrintComparison("bare window / store alone", Reporter.Ratio("Navigate/bare-window", "Navigate/store"),
                    "ms");
    PrintComparison("navigation / bare window", Reporter.Ratio("Navigate/window", "Navigate/bare-window"),
                    "ms");
    PrintComparison("start-up / bare window", Reporter.Ratio("Start/program", "Start/bare"), "ms");
    benchmark::Shutdown();
    DeleteFileA((Folder + "\\store.mvdb").c_str());
    DeleteFileA((NavFolder + "\\Miravelund.mvdb").c_str());
    DeleteFileA((Folder + "\\bare.mvdb").c_str());
    return 0;
}
