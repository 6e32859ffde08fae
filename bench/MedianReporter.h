// A console reporter that also keeps every run's real time per iteration by
// benchmark name (with its arguments, "BM_Paint/10000"), so that a benchmark's summary can compare medians of
// repetitions rather than single runs.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override {
        for (const Run& R : Runs)
            if (R.run_type == Run::RT_Iteration)
                Times[R.run_name.function_name + (R.run_name.args.empty() ? "" : "/" + R.run_name.args)]
                    .push_back(R.GetAdjustedRealTime());
        ConsoleReporter::ReportRuns(Runs);
    }
    double Median(const std::string& Name) const {
        const auto Found = Times.find(Name);
        if (Found == Times.end() || Found->second.empty()) return 0;
        std::vector<double> Sorted = Found->second;
        std::sort(Sorted.begin(), Sorted.end());
        const size_t Mid = Sorted.size() / 2;
        return Sorted.size() % 2 ? Sorted[Mid] : (Sorted[Mid - 1] + Sorted[Mid]) / 2;
    }
    std::map<std::string, std::vector<double>> Times;
};
