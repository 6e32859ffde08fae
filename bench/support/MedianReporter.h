// A console reporter that also keeps every run's time per iteration by benchmark name (with its
// arguments, "BM_Paint/10000"), so that a benchmark's summary can compare medians of repetitions
// rather than single runs; and the rounds the benchmarks run in, and the lines that compare two of
// them against a goal.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// The median of a series and its spread (the lowest and the highest value).
struct TSpread {
    double Median = 0, Low = 0, High = 0;
    size_t Count = 0;
};
TSpread SpreadOf(std::vector<double> Values);

// Two series measured in the same rounds: each round's ratio (ours / base) and their spread. A
// machine that slows down for a while slows both sides of a round alike, so the rounds' ratios
// swing less than the two sides' times do.
struct TRatio {
    TSpread Ours, Base, Ratio;
    size_t RoundsAtMost(double Goal) const; // rounds whose ratio meets the goal
    std::vector<double> Rounds;
};
TRatio RatioOf(const std::vector<double>& Ours, const std::vector<double>& Base);

// Prints a comparison on two lines: What, then both medians with their spread in Unit ("ms": times
// in milliseconds, shown in the unit that suits them; anything else is printed as it is) and the
// ratio's. With a goal (Goal > 0: the ratio is to be at most Goal) it says whether the median meets
// it and in how many rounds. Returns whether it is met (true without a goal); prints nothing and
// returns false when either side did not run.
bool PrintComparison(const std::string& What, const TRatio& R, const char* Unit, double Goal = 0);
// The platform's own figure for a goal held against work the program does not share with it (a
// scroll against drawing without a scroll bar, a picture note against a text note): the same two
// steps done by the platform alone. Printed as PrintComparison prints, and then whether the platform
// alone misses the goal, which then bounds it.
void PrintPlatformBound(const std::string& What, const TRatio& Platform, const char* Unit, double Goal);

class TMedianReporter : public benchmark::ConsoleReporter {
public:
    bool ReportContext(const Context& C) override;
    void ReportRuns(const std::vector<Run>& Runs) override;
    // The median real time per iteration of the runs of Name, in its own unit; 0 when it did not run.
    double Median(const std::string& Name) const;
    // The same of the CPU time of the running thread.
    double MedianCpu(const std::string& Name) const;
    // Every run's real time per iteration of Name in milliseconds, in the order they ran (one a
    // round).
    const std::vector<double>& Ms(const std::string& Name) const;
    // Ours against Base, round by round, in milliseconds.
    TRatio Ratio(const std::string& Ours, const std::string& Base) const {
        return RatioOf(Ms(Ours), Ms(Base));
    }

private:
    std::map<std::string, std::vector<double>> FReal, FCpu, FMs;
    bool FContextShown = false;
};

// Reads the command line and runs every registered benchmark into Reporter in rounds: each round
// runs every benchmark once, in an order drawn at random, so that a swing of the machine falls on
// both sides of a ratio alike. Five rounds unless the command line says --benchmark_repetitions=N
// (N rounds). The Extra flags are passed to Google Benchmark too.
void RunBenchmarks(int argc, char** argv, TMedianReporter& Reporter,
                   const std::vector<std::string>& Extra = {});
