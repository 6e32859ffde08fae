#include "bench/support/MedianReporter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

TSpread SpreadOf(std::vector<double> Values) {
    TSpread S;
    if (Values.empty()) return S;
    std::sort(Values.begin(), Values.end());
    const size_t Mid = Values.size() / 2;
    S.Median = Values.size() % 2 ? Values[Mid] : (Values[Mid - 1] + Values[Mid]) / 2;
    S.Low = Values.front();
    S.High = Values.back();
    S.Count = Values.size();
    return S;
}

TRatio RatioOf(const std::vector<double>& Ours, const std::vector<double>& Base) {
    TRatio R;
    R.Ours = SpreadOf(Ours);
    R.Base = SpreadOf(Base);
    for (size_t I = 0; I < std::min(Ours.size(), Base.size()); ++I)
        if (Base[I] > 0) R.Rounds.push_back(Ours[I] / Base[I]);
    R.Ratio = SpreadOf(R.Rounds);
    return R;
}

size_t TRatio::RoundsAtMost(double Goal) const {
    return static_cast<size_t>(
        std::count_if(Rounds.begin(), Rounds.end(), [Goal](double V) { return V <= Goal; }));
}

namespace {

std::string Figure(double Value, const char* Unit) {
    char Text[64];
    if (std::strcmp(Unit, "ms") != 0)
        std::snprintf(Text, sizeof Text, "%.1f %s", Value, Unit);
    else if (Value >= 1000)
        std::snprintf(Text, sizeof Text, "%.2f s", Value / 1000);
    else if (Value >= 1)
        std::snprintf(Text, sizeof Text, "%.2f ms", Value);
    else if (Value >= 0.001)
        std::snprintf(Text, sizeof Text, "%.2f us", Value * 1000);
    else
        std::snprintf(Text, sizeof Text, "%.1f ns", Value * 1e6);
    return Text;
}

std::string WithSpread(const TSpread& S, const char* Unit) {
    const std::string Median = Figure(S.Median, Unit);
    if (S.Count < 2) return Median;
    // The spread in the median's unit, without repeating it.
    std::string Low = Figure(S.Low, Unit), High = Figure(S.High, Unit);
    const size_t Space = Median.rfind(' ');
    const std::string Suffix = Median.substr(Space);
    auto Bare = [&](std::string T) {
        return T.size() > Suffix.size() && T.compare(T.size() - Suffix.size(), Suffix.size(), Suffix) == 0
                   ? T.substr(0, T.size() - Suffix.size())
                   : T;
    };
    return Median + " (" + Bare(Low) + "-" + Bare(High) + ")";
}

} // namespace

bool PrintComparison(const std::string& What, const TRatio& R, const char* Unit, double Goal) {
    if (R.Ours.Count == 0 || R.Base.Count == 0 || R.Ratio.Count == 0) return false;
    std::printf("  %s\n    %s / %s = %.2fx", What.c_str(), WithSpread(R.Ours, Unit).c_str(),
                WithSpread(R.Base, Unit).c_str(), R.Ratio.Median);
    if (R.Ratio.Count > 1) std::printf(" (%.2f-%.2f)", R.Ratio.Low, R.Ratio.High);
    const bool Met = Goal <= 0 || R.Ratio.Median <= Goal;
    if (Goal > 0)
        std::printf("  goal at most %gx: %s (%zu of %zu rounds)", Goal, Met ? "met" : "MISSED",
                    R.RoundsAtMost(Goal), R.Ratio.Count);
    std::printf("\n");
    return Met;
}

void PrintPlatformBound(const std::string& What, const TRatio& Platform, const char* Unit, double Goal) {
    if (!PrintComparison(What, Platform, Unit)) return;
    if (Platform.Ratio.Median > Goal)
        std::printf("    the platform alone misses at most %gx: the goal is bounded by the platform\n", Goal);
    else
        std::printf("    the platform alone meets at most %gx: the goal is not bounded by the platform\n",
                    Goal);
}

bool TMedianReporter::ReportContext(const Context& C) {
    // Every round starts with the context; it is the same each time.
    if (FContextShown) return true;
    FContextShown = true;
    return ConsoleReporter::ReportContext(C);
}

void TMedianReporter::ReportRuns(const std::vector<Run>& Runs) {
    for (const Run& R : Runs)
        if (R.run_type == Run::RT_Iteration && !R.error_occurred) {
            const std::string Name =
                R.run_name.function_name + (R.run_name.args.empty() ? "" : "/" + R.run_name.args);
            FReal[Name].push_back(R.GetAdjustedRealTime());
            FCpu[Name].push_back(R.GetAdjustedCPUTime());
            FMs[Name].push_back(R.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(R.time_unit) *
                                1e3);
        }
    ConsoleReporter::ReportRuns(Runs);
}

double TMedianReporter::Median(const std::string& Name) const {
    const auto Found = FReal.find(Name);
    return Found == FReal.end() ? 0 : SpreadOf(Found->second).Median;
}

double TMedianReporter::MedianCpu(const std::string& Name) const {
    const auto Found = FCpu.find(Name);
    return Found == FCpu.end() ? 0 : SpreadOf(Found->second).Median;
}

const std::vector<double>& TMedianReporter::Ms(const std::string& Name) const {
    static const std::vector<double> None;
    const auto Found = FMs.find(Name);
    return Found == FMs.end() ? None : Found->second;
}

void RunBenchmarks(int argc, char** argv, TMedianReporter& Reporter, const std::vector<std::string>& Extra) {
    // The rounds replace Google Benchmark's repetitions: it would run a benchmark's repetitions one
    // after the other, or shuffle them all, so that no two benchmarks' k-th runs are near in time.
    int Rounds = 5;
    std::vector<char*> Arguments;
    for (int I = 0; I < argc; ++I) {
        if (I > 0 && std::strncmp(argv[I], "--benchmark_repetitions=", 24) == 0) {
            Rounds = std::max(1, std::atoi(argv[I] + 24));
            continue;
        }
        Arguments.push_back(argv[I]);
    }
    std::vector<std::string> Added = {"--benchmark_repetitions=1",
                                      "--benchmark_enable_random_interleaving=true"};
    Added.insert(Added.end(), Extra.begin(), Extra.end());
    for (std::string& Flag : Added)
        Arguments.push_back(Flag.data());
    int Count = static_cast<int>(Arguments.size());
    benchmark::Initialize(&Count, Arguments.data());
    for (int Round = 1; Round <= Rounds; ++Round) {
        if (Rounds > 1) std::printf("-- round %d of %d\n", Round, Rounds);
        std::fflush(stdout);
        benchmark::RunSpecifiedBenchmarks(&Reporter);
    }
}
