// png-decode-vs-libpng: our decode of the default tug texture (with the loader's colour step)
// against libpng's simplified reader of the same bytes into the same RGBA layout.
// draw-frame: the plug-in's own CPU cost of drawing the tug and the GPU cart in one frame.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "objformat/obj8_reader.h"
#include "render/object_renderer.h"
#include "render/placed_object.h"
#include "render/texture.h"

namespace tarvosk {
namespace {

std::vector<uint8_t> gPng;
PlacedObject gTruck;
PlacedObject gGpu;

// A 128 x 128 RGBA picture with smooth shading and some noise, like the generated tug.
std::vector<uint8_t> MakeRepresentativePng() {
    const int size = 128;
    std::vector<uint8_t> pixels(size * size * 4);
    uint32_t seed = 12345;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            seed = seed * 1664525u + 1013904223u;
            uint8_t* p = &pixels[(y * size + x) * 4];
            p[0] = static_cast<uint8_t>(200 - y / 2 + (seed >> 29));
            p[1] = static_cast<uint8_t>(150 + x / 4);
            p[2] = static_cast<uint8_t>(40 + ((x / 16 + y / 16) % 2) * 30);
            p[3] = 255;
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = size;
    image.height = size;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t bytes = 0;
    png_image_write_to_memory(&image, nullptr, &bytes, 0, pixels.data(), 0, nullptr);
    std::vector<uint8_t> out(bytes);
    png_image_write_to_memory(&image, out.data(), &bytes, 0, pixels.data(), 0, nullptr);
    out.resize(bytes);
    return out;
}

void BM_OurPngDecode(benchmark::State& state) {
    for (auto _ : state) {
        ImageBuffer image;
        if (!DecodePng(gPng.data(), gPng.size(), image)) state.SkipWithError("decode failed");
        ApplyColourKey(image);
        benchmark::DoNotOptimize(image.pixels.data());
    }
}

void BM_LibpngSimplified(benchmark::State& state) {
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, gPng.data(), gPng.size())) {
            state.SkipWithError("libpng refused");
        }
        image.format = PNG_FORMAT_RGBA;
        std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
        // Negative stride: bottom-up rows, as ours.
        png_image_finish_read(&image, nullptr, pixels.data(),
                              -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(image)), nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
}

void BM_DrawFrame(benchmark::State& state) {
    for (auto _ : state) {
        DrawPlacedObject(gTruck);
        DrawPlacedObject(gGpu);
    }
}

BENCHMARK(BM_OurPngDecode)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_LibpngSimplified)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_DrawFrame)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    RecordingReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) microseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> microseconds;
};

// The generated content when it was built, else a model of the same kind made here: a few
// hundred triangles in coloured parts, with a wheel animation.
bool LoadContentOrFallback(PlacedObject& object, const std::string& basePath) {
    if (LoadPlacedObject(object, basePath)) return true;
    std::printf("(%s not available: drawing a made-up model)\n", basePath.c_str());
    ObjectModel& m = object.model;
    resetModel(m);
    m.meshVertices.resize(600);
    for (int32_t i = 0; i < 600; ++i) m.indices.push_back(i);
    m.animations.push_back(
        AnimRecord{"sim/flightmodel/position/groundspeed", {1, 0, 0, 0, 0}, {1, 0, 0, 360, 10}});
    LodRange range;
    range.farDistance = 1000.0f;
    for (int32_t part = 0; part < 10; ++part) {
        ModelCommand colour;
        colour.code = CommandCode::ATTR_diffuse_rgb;
        colour.params = {0.1f * part, 0.5f, 0.5f, 0.0f};
        range.commands.push_back(colour);
        if (part == 9) range.commands.push_back(ModelCommand{CommandCode::ANIM_begin});
        if (part == 9) range.commands.push_back(ModelCommand{CommandCode::ANIM_rotate});
        range.commands.push_back(ModelCommand{CommandCode::TRIS, {}, part * 60, 60});
        if (part == 9) range.commands.push_back(ModelCommand{CommandCode::ANIM_end});
    }
    m.lods.push_back(range);
    return false;
}

}  // namespace
}  // namespace tarvosk

int main(int argc, char** argv) {
    using namespace tarvosk;
    benchmark::Initialize(&argc, argv);
    const std::string content = TARVOSK_CONTENT_DIR;
    if (!ReadWholeFile(content + "/TVKdefault.png", gPng)) {
        std::printf("generated tug texture not found; decoding a representative 128x128 RGBA\n");
        gPng = MakeRepresentativePng();
    }
    const bool haveTruck = LoadContentOrFallback(gTruck, content + "/TVKdefault");
    const bool haveGpu = LoadContentOrFallback(gGpu, content + "/GroundServices/GPU");
    if (!haveTruck || !haveGpu) {
        std::printf("the draw-frame figure needs the generated content (build tarvosk_content)\n");
    }
    gTruck.x = gGpu.x = 5.0f;
    std::printf("tug: %zu indices, %zu commands; GPU: %zu indices\n", gTruck.model.indices.size(),
                gTruck.model.lods.empty() ? size_t{0} : gTruck.model.lods[0].commands.size(),
                gGpu.model.indices.size());

    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double ours = reporter.microseconds["BM_OurPngDecode/min_time:1.000"];
    const double libpng = reporter.microseconds["BM_LibpngSimplified/min_time:1.000"];
    const double frame = reporter.microseconds["BM_DrawFrame/min_time:1.000"];
    if (ours <= 0 || libpng <= 0 || frame <= 0) {
        std::printf("missing results; run without a benchmark filter\n");
        return 1;
    }
    std::printf("png-decode-vs-libpng: %.2f (goal 1.2)\n", ours / libpng);
    std::printf("draw-frame: %.2f us (goal 5)\n", frame);
    return 0;
}
