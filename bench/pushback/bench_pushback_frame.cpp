// The plug-in's own cost of one pushback frame: the push motion loop and the sequence loop,
// with their dataref calls answered by the simulated host in-process, for a fixed turn and for
// a manual push being steered. The host's own frame work (aircraft model, scheduling) is left
// out.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "config/settings.h"
#include "pushback/host_data.h"
#include "pushback/manual_drive.h"
#include "pushback/planned_motion.h"
#include "pushback/pushback.h"
#include "pushback/stand_memory.h"
#include "simhost/simhost.h"

#include "counting_new.h"
#include "figure_reporter.h"

namespace {
long long gFixedAllocations = 0, gManualAllocations = 0, gPlannedAllocations = 0;
}  // namespace

namespace {

using namespace tarvosk;

constexpr const char* kClock = "simhost/clock/monotonic_seconds";

bool SetUpHost() {
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
    return true;
}

bool SetUpPushingHost() {
    if (!SetUpHost()) return false;
    // A manual tail-left turn in full swing, whose end is never reached.
    StopPushback();
    StartPushback(PushKind::TurnTailLeft);
    gPushback.pushing = true;
    gPushback.truckPhase = TugPhase::Pushing;
    gPushback.targetHeading = -1;
    return true;
}

void BM_PushbackFrame(benchmark::State& state) {
    if (!SetUpPushingHost()) {
        state.SkipWithError("the simulated host could not be set up");
        return;
    }
    double now = simhost::Now();
    const long long before = gAllocations;
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
    gFixedAllocations += gAllocations - before;
    state.counters["allocations"] = static_cast<double>(gAllocations - before);
}
BENCHMARK(BM_PushbackFrame);

// A manual push at its target speed with the tail swinging left on a held steer command and
// the pedals read: the frame the pilot drives.
void BM_ManualPushFrame(benchmark::State& state) {
    if (!SetUpHost()) {
        state.SkipWithError("the simulated host could not be set up");
        return;
    }
    StopPushback();
    StartPushback(PushKind::ManualPush);
    gPushback.pushing = true;
    gPushback.truckPhase = TugPhase::Pushing;
    HoldSteer(-1, true);
    double now = simhost::Now();
    // Up to its speed first, so the measurement is of the steady frame.
    for (int k = 0; k < 200; ++k) PushMotionLoop(0.033f, 0.033f, 1, nullptr);
    const long long before = gAllocations;
    for (auto _ : state) {
        now += 1.0 / 30.0;
        simhost::SetDataref(kClock, now);
        gCounting = true;
        benchmark::DoNotOptimize(PushMotionLoop(0.033f, 0.033f, 1, nullptr));
        benchmark::DoNotOptimize(PushbackSequenceLoop(0.033f, 0.033f, 1, nullptr));
        gCounting = false;
    }
    if (!gPushback.pushing || gPace.speed <= 0.0 || gManual.steer != -1.0f)
        state.SkipWithError("the manual push was not moving and steering");
    HoldSteer(-1, false);
    gManualAllocations += gAllocations - before;
    state.counters["allocations"] = static_cast<double>(gAllocations - before);
}
BENCHMARK(BM_ManualPushFrame);

// A planned push in its turn, nose wheel steering and tug swinging: the path is walked by
// distance each frame. Near its end the walk starts over, so it never ends.
void BM_PlannedPushFrame(benchmark::State& state) {
    if (!SetUpHost()) {
        state.SkipWithError("the simulated host could not be set up");
        return;
    }
    gPlan.plan = {10.0, 180.0, 10.0};
    gPlan.writtenFromOutside = true;
    StopPushback();
    StartPushback(PushKind::Planned);
    gPushback.pushing = true;
    gPushback.truckPhase = TugPhase::Pushing;
    for (int k = 0; k < 200; ++k) PushMotionLoop(0.033f, 0.033f, 1, nullptr);  // into the turn
    double now = simhost::Now();
    const double restartAt = gPlanned.path.Length() - 15.0;
    const long long before = gAllocations;
    for (auto _ : state) {
        now += 1.0 / 30.0;
        simhost::SetDataref(kClock, now);
        if (gPlanned.travelled > restartAt) gPlanned.travelled = 12.0;
        gCounting = true;
        benchmark::DoNotOptimize(PushMotionLoop(0.033f, 0.033f, 1, nullptr));
        benchmark::DoNotOptimize(PushbackSequenceLoop(0.033f, 0.033f, 1, nullptr));
        gCounting = false;
    }
    if (!gPushback.pushing || gPace.speed <= 0.0 || gPushback.kind != PushKind::Planned)
        state.SkipWithError("the planned push was not moving");
    gPlannedAllocations += gAllocations - before;
    state.counters["allocations"] = static_cast<double>(gAllocations - before);
}
BENCHMARK(BM_PlannedPushFrame);

// The clock write alone, to subtract from the frame.
void BM_ClockWrite(benchmark::State& state) {
    double now = simhost::Now();
    for (auto _ : state) {
        now += 1.0 / 30.0;
        simhost::SetDataref(kClock, now);
    }
}
BENCHMARK(BM_ClockWrite);

}  // namespace

int main(int argc, char** argv) {
    return RunWithFigures(argc, argv, [](const FigureReporter& r) {
        const double clock = r.Ns("BM_ClockWrite");
        const double frame = r.Ns("BM_PushbackFrame"), manual = r.Ns("BM_ManualPushFrame");
        const double planned = r.Ns("BM_PlannedPushFrame");
        if (frame > 0) {
            std::printf("pushback-frame: %.0f ns (goal 2000)\n", frame - clock);
            std::printf("pushback-frame-allocations: %lld (goal 0)\n", gFixedAllocations);
        }
        if (manual > 0) {
            std::printf("manual-push-frame: %.0f ns, fixed kind's %.0f ns (goal 2000)\n",
                        manual - clock, frame - clock);
            std::printf("manual-push-frame-allocations: %lld (goal 0)\n", gManualAllocations);
        }
        if (planned > 0) {
            std::printf("planned-push-frame: %.0f ns (goal 1000)\n", planned - clock);
            std::printf("planned-push-frame-allocations: %lld (goal 0)\n", gPlannedAllocations);
        }
    });
}
