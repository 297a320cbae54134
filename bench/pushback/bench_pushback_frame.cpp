// The plug-in's own cost of one pushback frame: the push motion loop and the sequence loop,
// with their dataref calls answered by the simulated host in-process. The host's own frame
// work (aircraft model, scheduling) is left out.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "config/settings.h"
#include "pushback/host_data.h"
#include "pushback/pushback.h"
#include "simhost/simhost.h"

// Counts heap allocations while `gCounting` is set: the frame's work must make none.
namespace {
bool gCounting = false;
long long gAllocations = 0;
}  // namespace

// Out of line, so the compiler does not pair an inlined malloc with the library's delete.
__attribute__((noinline)) void* operator new(std::size_t size) {
    if (gCounting) ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* p) noexcept {
    std::free(p);
}
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace tarvosk;

constexpr const char* kClock = "simhost/clock/monotonic_seconds";

bool SetUpPushingHost() {
    simhost::HostConfig config;
    config.sandbox = std::filesystem::temp_directory_path() / "tarvosk-bench-pushback-frame";
    std::string error;
    if (!simhost::Reset(config, &error)) {
        std::fprintf(stderr, "simulated host: %s\n", error.c_str());
        return false;
    }
    simhost::AttachInProcessPlugin("Tarvosk", config.sandbox / "Resources/plugins/Tarvosk.xpl");
    gXplaneVersion = config.xplaneVersion;
    if (!LookupHostDatarefs()) return false;
    ElapsedSeconds();  // its first call looks up the host's clock; that is start-up work
    simhost::SetDataref("sim/flightmodel/controls/parkbrake", 0.0);

    // A manual tail-left turn in full swing, whose end is never reached.
    StartPushbackKind(3);
    gPushback.pushing = true;
    gPushback.truckPhase = 2;
    gPushback.targetHeading = -1;
    return true;
}

void BM_PushbackFrame(benchmark::State& state) {
    if (!SetUpPushingHost()) {
        state.SkipWithError("the simulated host could not be set up");
        return;
    }
    double now = simhost::Now();
    for (auto _ : state) {
        // A frame later: the sequence loop ticks every frame while pushing.
        now += 1.0 / 30.0;
        simhost::SetDataref(kClock, now);
        gCounting = true;
        benchmark::DoNotOptimize(PushMotionLoop(0.033f, 0.033f, 1, nullptr));
        benchmark::DoNotOptimize(PushbackSequenceLoop(0.033f, 0.033f, 1, nullptr));
        gCounting = false;
    }
    if (!gPushback.pushing) state.SkipWithError("the push ended during the measurement");
    state.counters["allocations"] = static_cast<double>(gAllocations);
}
BENCHMARK(BM_PushbackFrame);

// The clock write alone, to subtract from the frame.
void BM_ClockWrite(benchmark::State& state) {
    double now = simhost::Now();
    for (auto _ : state) {
        now += 1.0 / 30.0;
        simhost::SetDataref(kClock, now);
    }
}
BENCHMARK(BM_ClockWrite);

// Prints the comparison line after the usual table.
class Reporter : public benchmark::ConsoleReporter {
  public:
    // No colour codes: the closing lines are read by scripts too.
    Reporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const double ns = run.GetAdjustedCPUTime();  // the machine is shared
            if (run.benchmark_name() == "BM_PushbackFrame") frame_ = ns;
            if (run.benchmark_name() == "BM_ClockWrite") clock_ = ns;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        GetOutputStream().flush();
        if (frame_ > 0) {
            std::printf("pushback-frame: %.0f ns (goal 2000)\n", frame_ - clock_);
            std::printf("pushback-frame-allocations: %lld (goal 0)\n", gAllocations);
        }
    }

  private:
    double frame_ = 0, clock_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
