// navigate_bench: the time of one navigation in a note window (save the shown
// topic with its checkpoint, load the target, show it) against the store's own
// save + checkpoint + load of the same topics, on the store benchmark's
// 100,000-topic database; and the time from starting Miravelund.exe to its
// Home window against starting a bare Win32 window, in the same run.
// Runs under Wine; times with QueryPerformanceCounter.
//
// Usage: navigate_bench [navigations]   (from the folder of Miravelund.exe)
#include "app/Main.h"
#include "app/Note.h"
#include "app/Settings.h"
#include "app/TopicViewer.h"
#include "bench/store/BenchDatabase.h"
#include "gui/Forms.h"
#include "store/NotesStore.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class TStopwatch {
public:
    TStopwatch() {
        QueryPerformanceFrequency(&FFrequency);
        QueryPerformanceCounter(&FStart);
    }
    double Seconds() const {
        LARGE_INTEGER Now;
        QueryPerformanceCounter(&Now);
        return double(Now.QuadPart - FStart.QuadPart) / double(FFrequency.QuadPart);
    }

private:
    LARGE_INTEGER FFrequency{}, FStart{};
};

std::string ExeFolder() {
    char Path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Folder = Path;
    return Folder.substr(0, Folder.find_last_of("\\/"));
}

void Pump() {
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&Msg);
        DispatchMessageA(&Msg);
    }
}

// Titles of default-namespace topics of the generated database, visited in turn.
std::vector<std::string> Targets(int Count) {
    std::vector<std::string> Titles;
    for (int I = 0; static_cast<int>(Titles.size()) < Count && I < BenchTopics; ++I)
        if (I % BenchNamespaces == 0) Titles.push_back(BenchTopicTitle(I));
    return Titles;
}

const std::string Edit = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs16 edited text\\par}";

// The store alone: what one navigation asks of it.
double StoreNavigations(const std::string& Database, const std::vector<std::string>& Titles) {
    TNotesStore Store(Database);
    bool Created = true;
    int32_t Shown = Store.FindTopic("", "Home", Created);
    TTopicRect Rect{10, 10, 600, 400};
    const TStopwatch Watch;
    for (const std::string& Title : Titles) {
        TStringStream Content(Edit);
        Store.SaveTopic(Shown, "", Rect, Content, "T" + std::to_string(Shown));
        TStringStream Meta("splitter_pos=150\r\n");
        Store.SetTopicMeta(Shown, Meta);
        Store.Commit();
        Created = true;
        Shown = Store.FindTopic("", Title, Created);
        auto Loaded = Store.GetTopic(Shown, Rect);
        auto LoadedMeta = Store.GetTopicMeta(Shown);
    }
    return Watch.Seconds() / static_cast<double>(Titles.size());
}

// The same topics through the default namespace's note window.
double WindowNavigations(const std::string& Folder, const std::vector<std::string>& Titles) {
    Settings().SetValue("database", Folder + "\\nav.mvdb");
    auto* Main = new TfrmMain(Application, Folder);
    Main->DoCreate();
    Pump();
    TfrmNote* Home = NoteWindowsByNamespace.Find("");
    if (Home == nullptr) {
        std::fprintf(stderr, "the Home window did not open\n");
        std::exit(1);
    }
    double Seconds = 0;
    for (const std::string& Title : Titles) {
        // The user's edit is not part of the navigation; saving it is.
        Home->Editor()->SetText("edited text");
        Pump();
        const TStopwatch Watch;
        Main->ShowTopic(Title, "");
        Pump();
        Seconds += Watch.Seconds();
    }
    const double PerNavigation = Seconds / static_cast<double>(Titles.size());
    Main->aQuit->Execute();
    delete Main;
    return PerNavigation;
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

// A copy of the file (the runs change their databases).
void CopyOrDie(const std::string& From, const std::string& To) {
    if (!CopyFileA(From.c_str(), To.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy %s to %s\n", From.c_str(), To.c_str());
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    const int Count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const std::string Folder = ExeFolder();
    const std::string Source = Folder + "\\navigate_bench.mvdb";
    std::printf("preparing the %d-topic database...\n", BenchTopics);
    std::fflush(stdout);
    EnsureBenchDatabase(Source);
    const std::vector<std::string> Titles = Targets(Count);

    CopyOrDie(Source, Folder + "\\store.mvdb");
    const double Store = StoreNavigations(Folder + "\\store.mvdb", Titles);
    DeleteFileA((Folder + "\\store.mvdb").c_str());

    Application->Initialize();
    CopyOrDie(Source, Folder + "\\nav.mvdb");
    const double Window = WindowNavigations(Folder, Titles);
    DeleteFileA((Folder + "\\nav.mvdb").c_str());

    std::printf("navigations: %zu\n", Titles.size());
    std::printf("store save + checkpoint + load: %8.3f ms\n", Store * 1000);
    std::printf("note window navigation:         %8.3f ms  (%.2fx the store)\n", Window * 1000,
                Window / Store);

    // Start-up: Miravelund.exe to its Home window, against a bare window.
    const std::string StartFolder = Folder + "\\startup";
    CreateDirectoryA(StartFolder.c_str(), nullptr);
    CopyOrDie(Folder + "\\Miravelund.exe", StartFolder + "\\Miravelund.exe");
    CopyOrDie(Folder + "\\Default.mvdb", StartFolder + "\\Default.mvdb");
    // Settings beside the program, so the run leaves nothing elsewhere.
    HANDLE Ini = CreateFileA((StartFolder + "\\Miravelund.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    CloseHandle(Ini);
    CopyOrDie(Folder + "\\Default.mvdb", StartFolder + "\\Miravelund.mvdb");
    const double Bare = TimeToWindow(Folder + "\\bare_window.exe", "", Folder, "Bare window", false);
    const double Program = TimeToWindow(StartFolder + "\\Miravelund.exe", "", StartFolder, ":Home", true);
    std::printf("start to a bare window:         %8.1f ms\n", Bare * 1000);
    std::printf("start to Home shown:            %8.1f ms  (%.2fx the bare window)\n", Program * 1000,
                Program / Bare);
    return 0;
}
