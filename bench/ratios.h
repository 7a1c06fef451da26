#pragma once

// Runs the registered benchmarks, printing as usual, then each named benchmark's time as a ratio
// to that of its "...Minimum" twin: the least the same work could cost. With repetitions the
// mean is used.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace orvane::bench {

class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred ||
                (run.run_type == Run::RT_Aggregate && run.aggregate_name != "mean"))
                continue;
            times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

// ratios: pairs of a label and a benchmark's name.
inline int runWithRatios(int argc, char** argv,
                         const std::vector<std::pair<const char*, std::string>>& ratios) {
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    std::printf("\n");
    for (const auto& [label, name] : ratios) {
        const auto it = collector.times.find(name);
        const auto base = collector.times.find(name + "Minimum");
        if (it != collector.times.end() && base != collector.times.end() && base->second > 0)
            std::printf("%-16s %6.1f x the minimum\n", label, it->second / base->second);
    }
    return 0;
}

} // namespace orvane::bench
