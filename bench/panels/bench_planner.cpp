// The planner's own cost of one drawn frame: the layout of the stand, the swept band of the
// longest plan, sixteen other aircraft and the controls. The GL calls that draw the lists are
// the host's work and are left out.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "counting_new.h"
#include "figure_reporter.h"
#include "panels/planner_view.h"

namespace {

using namespace tarvosk;

PlannerLayout gLayout;  // large: not on the benchmark's stack

void BM_PlannerLayout(benchmark::State& state) {
    PlannerScene scene;
    scene.plan = {200, -180, 200};
    scene.start = {1000, -400, 123};
    scene.outline = OutlineFromSize(64.8, 73.9, 2);
    scene.shape = {{64.8, 73.9}, 2};
    scene.pushedWheel = {0, -28};
    scene.wheelCount = 3;
    scene.wheels[1] = {-5, 3};
    scene.wheels[2] = {5, 3};
    scene.trafficCount = 16;
    for (int i = 0; i < 16; ++i) {
        scene.traffic[i].box = BoxAt(1000 + 70 * (i % 4), -400 + 80 * (i / 4), 90 * i, {36, 40});
    }
    scene.northUp = false;
    for (auto _ : state) {
        gCounting = true;
        LayOutPlanner(scene, {0, 520, 440, 0}, &gLayout);
        gCounting = false;
        benchmark::DoNotOptimize(gLayout.lineCount);
    }
    state.counters["allocations"] = static_cast<double>(gAllocations);
}
BENCHMARK(BM_PlannerLayout);

}  // namespace

int main(int argc, char** argv) {
    return RunWithFigures(argc, argv, [](const FigureReporter& r) {
        const double ns = r.Ns("BM_PlannerLayout");
        if (ns > 0) {
            std::printf("planner-frame: %.1f us (goal 50)\n", ns / 1000.0);
            std::printf("planner-frame-allocations: %lld (goal 0)\n", gAllocations);
        }
    });
}
