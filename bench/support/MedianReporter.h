// A console reporter that also keeps every run's time per iteration by benchmark name (with its
// arguments, "BM_Paint/10000"), so that a benchmark's summary can compare medians of repetitions
// rather than single runs. Times are in each benchmark's own unit.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class TMedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override;
    // The median real time per iteration of the runs of Name; 0 when it did not run.
    double Median(const std::string& Name) const;
    // The same of the CPU time of the running thread.
    double MedianCpu(const std::string& Name) const;

private:
    std::map<std::string, std::vector<double>> FReal, FCpu;
};

// Reads the command line and runs every registered benchmark into Reporter (the console when
// null). A command line that does not say how many repetitions gets five, and the Extra flags
// with them (interleaving, say): a median of one run is no median.
void RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter* Reporter,
                   const std::vector<std::string>& Extra = {});
