// Object reading against the cost of merely finding its line ends, and the conversion of a
// large version-7 object. Ends with the comparison lines the project's benchmarks print.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "objformat/file_buffer.h"
#include "objformat/obj7_convert.h"
#include "objformat/obj7_reader.h"
#include "objformat/obj8_reader.h"
#include "objformat/obj8_writer.h"
#include "simhost/owned_folder.h"

namespace {

using namespace tarvosk;

constexpr size_t kVertices = 1'000'000;
constexpr size_t kQuads = 150'000;
constexpr double kConvertGoalMs = 100.0;  // 23 MB of version-7 text, read and converted

std::string gFolder;
std::string gObj8Path;
std::string gObj7Path;
FileBuffer gObj8Bytes;

// A million textured vertices with a matching index per vertex, as the writer formats them.
void writeLargeObj8(const std::string& path) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> position(-40.0f, 40.0f);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> texture(0.0f, 1.0f);
    ObjectModel model;
    resetModel(model);
    model.textureName = "large.png";
    model.meshVertices.floats.reserve(kVertices * 8);
    for (size_t i = 0; i < kVertices; ++i) {
        const float v[8] = {position(random), position(random), position(random), unit(random),
                            unit(random),     unit(random),     texture(random),  texture(random)};
        model.meshVertices.append(v);
        model.indices.push_back(static_cast<int32_t>(i));
    }
    model.lods.emplace_back();
    ModelCommand tris;
    tris.code = CommandCode::TRIS;
    tris.first = 0;
    tris.count = static_cast<int32_t>(kVertices - kVertices % 3);
    model.lods[0].commands.push_back(tris);
    std::string error;
    if (!writeObj8(path, model, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
        std::exit(1);
    }
}

// Quads in hard and plain runs, strips, fans and lights, the way old objects mix them.
void writeLargeObj7(const std::string& path) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> coordinate(-4000, 4000);
    auto number = [&] { return std::to_string(coordinate(random) / 100.0).substr(0, 7); };
    std::string text = "I\n700\nOBJ\n\nlarge_texture\n";
    auto vertex = [&] { text += number() + " " + number() + " " + number() + " 0.25 0.75\n"; };
    for (size_t i = 0; i < kQuads; ++i) {
        text += i % 7 == 0 ? "quad_hard\n" : "quad\n";
        for (int k = 0; k < 4; ++k) vertex();
        if (i % 50 == 0) {
            text += "tri_strip 8\n";
            for (int k = 0; k < 8; ++k) vertex();
            text += "tri_fan 6\n";
            for (int k = 0; k < 6; ++k) vertex();
            text += "light\n" + number() + " " + number() + " " + number() + " 10 5 0\n";
        }
    }
    text += "end\n";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size()) std::exit(1);
    std::fclose(file);
}

void BM_ReadObj8(benchmark::State& state) {
    ObjectModel model;
    for (auto _ : state) {
        if (!readObj8(gObj8Path, model)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(model.indices.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * gObj8Bytes.size));
}

// The two halves of a read, for telling where its time goes: the file's bytes alone, and
// the parsing of bytes already in memory.
void BM_ReadFileWhole(benchmark::State& state) {
    FileBuffer buffer;
    std::string error;
    for (auto _ : state) {
        if (!readWholeFile(gObj8Path, buffer, &error)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(buffer.begin());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * gObj8Bytes.size));
}

void BM_ParseObj8InMemory(benchmark::State& state) {
    ObjectModel model;
    for (auto _ : state) {
        if (!readObj8FromBuffer(gObj8Bytes.begin(), gObj8Bytes.size, model)) {
            state.SkipWithError("parse failed");
        }
        benchmark::DoNotOptimize(model.indices.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * gObj8Bytes.size));
}

void BM_LineScan(benchmark::State& state) {
    for (auto _ : state) {
        size_t lines = 0;
        const char* p = gObj8Bytes.begin();
        const char* end = gObj8Bytes.end();
        while ((p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr) {
            ++lines;
            ++p;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * gObj8Bytes.size));
}

void BM_ConvertObj7(benchmark::State& state) {
    for (auto _ : state) {
        Obj7Object object;
        ObjectModel model;
        if (!readObj7(gObj7Path, object) || !convertObj7(object, model)) {
            state.SkipWithError("conversion failed");
        }
        benchmark::DoNotOptimize(model.indices.data());
    }
}

BENCHMARK(BM_ReadObj8)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadFileWhole)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ParseObj8InMemory)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LineScan)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ConvertObj7)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps each run's rate and time for the comparison lines.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    // No colour codes: the closing lines are read by scripts too.
    RecordingReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            auto rate = run.counters.find("bytes_per_second");
            if (rate != run.counters.end()) bytesPerSecond[name] = rate->second.value;
            milliseconds[name] = run.GetAdjustedRealTime();  // every benchmark here is in ms
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> bytesPerSecond;
    std::map<std::string, double> milliseconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string pattern =
        (std::filesystem::temp_directory_path() / "bench-objformat-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 1;
    const std::string unique = pattern;
    gFolder = unique + "/files";
    if (!simhost::MakeOwnedFolder(gFolder, nullptr)) return 1;
    gObj8Path = gFolder + "/large8.obj";
    gObj7Path = gFolder + "/large7.obj";
    writeLargeObj8(gObj8Path);
    writeLargeObj7(gObj7Path);
    std::string error;
    if (!readWholeFile(gObj8Path, gObj8Bytes, &error)) return 1;
    std::printf("OBJ8 file: %.1f MB, %zu VT lines, %zu indices; OBJ7 file: %.1f MB, %zu quads\n",
                gObj8Bytes.size / 1e6, kVertices, kVertices,
                std::filesystem::file_size(gObj7Path) / 1e6, kQuads);

    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    simhost::RemoveOwnedFolder(gFolder, nullptr);
    std::filesystem::remove(unique);  // only when empty

    const double read = reporter.bytesPerSecond["BM_ReadObj8/min_time:2.000"];
    const double scan = reporter.bytesPerSecond["BM_LineScan/min_time:1.000"];
    const double convert = reporter.milliseconds["BM_ConvertObj7/min_time:2.000"];
    if (read <= 0 || scan <= 0 || convert <= 0) {
        std::printf("missing results; run without a benchmark filter\n");
        return 1;
    }
    std::printf(
        "obj8-read: %.0f MB/s (file bytes alone %.0f MB/s, parsing from memory %.0f MB/s)\n",
        read / 1e6, reporter.bytesPerSecond["BM_ReadFileWhole/min_time:1.000"] / 1e6,
        reporter.bytesPerSecond["BM_ParseObj8InMemory/min_time:1.000"] / 1e6);
    std::printf("line-scan: %.0f MB/s\n", scan / 1e6);
    // The rates count the calling thread's processor time; the reading also has a helper thread.
    // By the clock on the wall:
    const double readWall = reporter.milliseconds["BM_ReadObj8/min_time:2.000"];
    const double scanWall = reporter.milliseconds["BM_LineScan/min_time:1.000"];
    std::printf("obj8-read by the clock: %.1f ms, %.2f times the line scan's %.2f ms\n", readWall,
                readWall / scanWall, scanWall);
    std::printf("obj7-convert: %.1f ms (goal %.0f)\n", convert, kConvertGoalMs);
    std::printf("obj8-read-vs-line-scan: %.2f (goal 5)\n", scan / read);
    return 0;
}
