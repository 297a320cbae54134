// The console table, then the closing comparison lines that `make bench` and scripts read
// ("<name>: <figure> (goal <goal>)"). Each program says what to print from the benchmarks'
// CPU times per iteration (adjusted, in nanoseconds; the machine is shared).
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

class FigureReporter : public benchmark::ConsoleReporter {
  public:
    // `print` runs once every benchmark has reported; it asks for figures with Ns.
    explicit FigureReporter(std::function<void(const FigureReporter&)> print)
        // No colour codes: the closing lines are read by scripts too.
        : ConsoleReporter(OO_Tabular), print_(std::move(print)) {}

    // Nanoseconds per iteration of benchmark `name`; 0 when it did not run or failed.
    double Ns(const std::string& name) const {
        const auto found = ns_.find(name);
        return found == ns_.end() ? 0.0 : found->second;
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred) ns_[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        GetOutputStream().flush();
        print_(*this);
    }

  private:
    std::function<void(const FigureReporter&)> print_;
    std::map<std::string, double> ns_;
};

// Runs the program's benchmarks with `print` for the closing lines.
inline int RunWithFigures(int argc, char** argv, std::function<void(const FigureReporter&)> print) {
    benchmark::Initialize(&argc, argv);
    FigureReporter reporter(std::move(print));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
