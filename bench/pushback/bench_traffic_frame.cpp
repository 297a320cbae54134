// The traffic watch's cost in one pushback frame with 63 other aircraft around the stand (the
// most X-Plane's TCAS arrays carry): an apron of parked airliners, one of them close behind
// the stand so the band is worked out in full every frame. Its dataref reads are answered by
// the simulated host in-process; the goal is the plug-in's whole frame with them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "config/settings.h"
#include "pushback/host_data.h"
#include "pushback/manual_drive.h"
#include "pushback/pushback.h"
#include "pushback/traffic_sources.h"
#include "pushback/traffic_watch.h"
#include "simhost/simhost.h"
#include "simhost/traffic.h"

#include "counting_new.h"
#include "figure_reporter.h"

namespace {

using namespace tarvosk;

constexpr const char* kClock = "simhost/clock/monotonic_seconds";
long long gWatchAllocations = 0;

bool SetUpApron() {
    simhost::HostConfig config;
    config.sandbox = std::filesystem::temp_directory_path() / "tarvosk-bench-traffic-frame";
    std::string error;
    if (!simhost::Reset(config, &error)) {
        std::fprintf(stderr, "simulated host: %s\n", error.c_str());
        return false;
    }
    simhost::AttachInProcessPlugin("Tarvosk", config.sandbox / "Resources/plugins/Tarvosk.xpl");
    gXplaneVersion = config.xplaneVersion;
    if (!LookupHostDatarefs()) return false;
    LookupTrafficDatarefs();
    ElapsedSeconds();
    simhost::SetDataref("sim/flightmodel/controls/parkbrake", 0.0);
    // Rows of stands either side and across the lane; slot 1 close behind us.
    const char* types[] = {"A320", "B738", "B77W", "A388", "CRJ9", "E190", "AT76", "DH8D"};
    for (int slot = 1; slot <= 63; ++slot) {
        double x = 0, z = 0;
        const double right = slot == 1 ? 0.0 : 45.0 * ((slot % 9) - 4);
        const double aft = slot == 1 ? 64.0 : 110.0 * (slot / 9) - 150.0;
        simhost::LocalFromBody(right, aft, &x, &z);
        if (!simhost::PlaceTraffic(slot, types[slot % 8], x, z, 275.4, &error)) {
            std::fprintf(stderr, "traffic: %s\n", error.c_str());
            return false;
        }
    }
    StopPushback();
    StartPushback(PushKind::Straight);
    gPushback.pushing = true;
    gPushback.truckPhase = TugPhase::Pushing;
    return true;
}

void BM_TrafficFrame(benchmark::State& state) {
    if (!SetUpApron()) {
        state.SkipWithError("the simulated host could not be set up");
        return;
    }
    double now = simhost::Now();
    const long long before = gAllocations;
    for (auto _ : state) {
        now += 1.0 / 30.0;
        simhost::SetDataref(kClock, now);
        gCounting = true;
        benchmark::DoNotOptimize(WatchTraffic(0.033f));
        gCounting = false;
    }
    if (TrafficClearance() >= kNothingNear) state.SkipWithError("no traffic was near");
    gWatchAllocations += gAllocations - before;
    state.counters["allocations"] = static_cast<double>(gAllocations - before);
}
BENCHMARK(BM_TrafficFrame);

// The reads alone: the TCAS arrays through the host.
void BM_TrafficRead(benchmark::State& state) {
    static OtherAircraftList list;
    for (auto _ : state) {
        ReadOtherAircraft(&list);
        benchmark::DoNotOptimize(list.count);
    }
    state.counters["aircraft"] = list.count;
}
BENCHMARK(BM_TrafficRead);

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
        const double watch = r.Ns("BM_TrafficFrame");
        if (watch > 0) {
            std::printf("traffic-watch-frame-63: %.0f ns (goal 5000)\n",
                        watch - r.Ns("BM_ClockWrite"));
            std::printf("traffic-watch-frame-allocations: %lld (goal 0)\n", gWatchAllocations);
        }
    });
}
