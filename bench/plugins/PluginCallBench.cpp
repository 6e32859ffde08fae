// plugin_bench: the time of one call of a plug-in's dot-line handler as the
// topic editor makes it (the host's handler, with a topic and its meta lines),
// against the same command called straight through the module's interface.
// Runs under Wine (Google Benchmark, cross-built); the difference is what the
// host adds to every handler call at each topic load and save.
#include "base/StringList.h"
#include "bench/support/MedianReporter.h"
#include "plugins/MvPluginManager.h"
#include "sdk/MvPluginAbi.h"

#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// What a handler sees of its topic, as the topic editor passes it.
class TBenchTopic final : public TObject, public IMvPluginTopicHost {
public:
    TBenchTopic() {
        FView.Title = "Home";
        FView.Lines = {"Home", "some text", ".bench"};
        FView.DotLineIndex = 2;
        FMeta.Add("splitter_pos=200");
    }
    TStrings& PluginMeta() override { return FMeta; }
    const TMvPluginTopicView* PluginTopic() const override { return &FView; }

private:
    TStringList FMeta;
    TMvPluginTopicView FView;
};

std::string TempFolder() {
    char Temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, Temp);
    const std::string Folder = std::string(Temp) + "mv-plugin-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(Folder.c_str(), nullptr);
    return Folder;
}

void BM_HandlerCall(benchmark::State& State) {
    const std::string Folder = TempFolder();
    TNotifyEvent Handler;
    {
        TMvPluginManager Manager(nullptr);
        Manager.PluginFolder = Folder;
        Manager.OnNewCommand = [&](TObject*, const std::string&, const std::string&, const std::string&,
                                   uint16_t, const TMvPluginBitmap&,
                                   const TNotifyEvent& Event) { Handler = Event; };
        Manager.LoadPlugin(MV_BENCH_PLUGIN, plgDLL);
        if (Manager.PluginCount() != 1 || !Handler) {
            State.SkipWithError("the benchmark plug-in did not load");
            return;
        }
        TBenchTopic Topic;
        for (auto _ : State)
            Handler(&Topic);
    }
    RemoveDirectoryA(Folder.c_str());
}
BENCHMARK(BM_HandlerCall);

// The floor: the module's command called directly, with no topic.
void BM_BareModuleCall(benchmark::State& State) {
    HMODULE Module = LoadLibraryA(MV_BENCH_PLUGIN);
    auto Register = Module ? reinterpret_cast<MvPluginAbi::TRegisterPluginProc>(
                                 reinterpret_cast<void*>(GetProcAddress(Module, MvPluginAbi::EntryPointName)))
                           : nullptr;
    MvPluginAbi::IMvPlugin* Plugin = Register ? Register() : nullptr;
    if (!Plugin) {
        State.SkipWithError("the benchmark plug-in did not load");
        return;
    }
    // The module describes its commands when asked how many it has.
    MvPluginAbi::IMvPluginCommand* Command = Plugin->CommandCount() > 0 ? Plugin->Command(0) : nullptr;
    if (!Command) {
        State.SkipWithError("the benchmark plug-in has no command");
        return;
    }
    for (auto _ : State)
        benchmark::DoNotOptimize(Command->ExecuteOnTopic(nullptr));
    Plugin->Destroy();
    FreeLibrary(Module);
}
BENCHMARK(BM_BareModuleCall);

} // namespace

int main(int argc, char** argv) {
    TMedianReporter Reporter;
    RunBenchmarks(argc, argv, Reporter);
    std::printf("\nmedians of the rounds, the lowest and the highest in brackets:\n");
    PrintComparison("one handler call through the host / the same call straight into the module",
                    Reporter.Ratio("BM_HandlerCall", "BM_BareModuleCall"), "ms");
    benchmark::Shutdown();
    return 0;
}
