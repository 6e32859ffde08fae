#include "bench/support/MedianReporter.h"

#include <algorithm>
#include <cstring>

namespace {

double MedianOf(const std::map<std::string, std::vector<double>>& Times, const std::string& Name) {
    const auto Found = Times.find(Name);
    if (Found == Times.end() || Found->second.empty()) return 0;
    std::vector<double> Sorted = Found->second;
    std::sort(Sorted.begin(), Sorted.end());
    const size_t Mid = Sorted.size() / 2;
    return Sorted.size() % 2 ? Sorted[Mid] : (Sorted[Mid - 1] + Sorted[Mid]) / 2;
}

} // namespace

void TMedianReporter::ReportRuns(const std::vector<Run>& Runs) {
    for (const Run& R : Runs)
        if (R.run_type == Run::RT_Iteration) {
            const std::string Name =
                R.run_name.function_name + (R.run_name.args.empty() ? "" : "/" + R.run_name.args);
            FReal[Name].push_back(R.GetAdjustedRealTime());
            FCpu[Name].push_back(R.GetAdjustedCPUTime());
        }
    ConsoleReporter::ReportRuns(Runs);
}

double TMedianReporter::Median(const std::string& Name) const {
    return MedianOf(FReal, Name);
}

double TMedianReporter::MedianCpu(const std::string& Name) const {
    return MedianOf(FCpu, Name);
}

void RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter* Reporter,
                   const std::vector<std::string>& Extra) {
    std::vector<std::string> Added;
    bool Given = false;
    for (int I = 1; I < argc; ++I)
        Given = Given || std::strncmp(argv[I], "--benchmark_repetitions", 23) == 0;
    if (!Given) {
        Added.push_back("--benchmark_repetitions=5");
        Added.insert(Added.end(), Extra.begin(), Extra.end());
    }
    std::vector<char*> Arguments(argv, argv + argc);
    for (std::string& Flag : Added)
        Arguments.push_back(Flag.data());
    int Count = static_cast<int>(Arguments.size());
    benchmark::Initialize(&Count, Arguments.data());
    if (Reporter)
        benchmark::RunSpecifiedBenchmarks(Reporter);
    else
        benchmark::RunSpecifiedBenchmarks();
}
