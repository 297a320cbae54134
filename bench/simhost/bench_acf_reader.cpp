// Reading a real aircraft file into the simulated host: a generated file of several megabytes
// in the layout X-Plane writes (sorted "P key value" lines, geometry tables, gear, panel blocks),
// timed against a plain scan of the same bytes for line ends; and the corpus's largest aircraft
// when the corpus is there.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "world/aircraft.h"

namespace {

using Clock = std::chrono::steady_clock;

// About 5 MB: 40 parts of 18 by 20 geometry points, 16 wings, 10 gear slots and filler.
std::string BigAircraft() {
    std::string t = "I\r\n1200 Version\r\nACF\r\n\r\nPROPERTIES_BEGIN\r\n";
    char line[128];
    auto add = [&](int n) { t.append(line, static_cast<std::size_t>(n)); };
    for (int p = 0; p < 40; ++p) {
        for (int i = 0; i < 20; ++i)
            for (int j = 0; j < 18; ++j)
                for (int k = 0; k < 3; ++k)
                    add(std::snprintf(line, sizeof line, "P _body/%d/_geo_xyz/%d,%d,%d %.9f\r\n", p,
                                      i, j, k, (i * 7 + j * 3 + k) * 0.125 - 4.0));
        add(std::snprintf(line, sizeof line, "P _body/%d/_part_z %.9f\r\n", p, p * 2.5));
    }
    for (int w = 0; w < 16; ++w) {
        add(std::snprintf(line, sizeof line, "P _wing/%d/_semilen_SEG %.9f\r\n", w, 20.0 + w));
        for (int i = 0; i < 400; ++i)
            add(std::snprintf(line, sizeof line, "P _wing/%d/_geo_xyz/0,%d,%d %.7E\r\n", w, i / 3,
                              i % 3, (i % 3 == 0 ? -1 : 1) * (10.0 + i * 0.1)));
    }
    for (int g = 0; g < 10; ++g) {
        const char* fields[] = {"_gear_x", "_gear_y", "_gear_z", "_leg_len", "_tire_radius"};
        add(std::snprintf(line, sizeof line, "P _gear/%d/_gear_type %d\r\n", g, g < 3 ? 3 : 1));
        for (const char* f : fields)
            add(std::snprintf(line, sizeof line, "P _gear/%d/%s %.9f\r\n", g, f, 1.0 + g));
    }
    for (int k = 0; t.size() < 5'000'000; ++k)
        add(std::snprintf(line, sizeof line, "P _part/%d/_locked/%d,%d 0\r\n", k / 324,
                          (k / 18) % 18, k % 18));
    t += "P acf/_cgZ 60.0\r\nP acf/_m_max "
         "2.2E5\r\nPROPERTIES_END\r\n\r\nPANEL_2D_BEGIN\r\nPANEL_2D_END\r\n";
    return t;
}

template <class F>
double MedianMs(F&& f, int runs) {
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        const auto t0 = Clock::now();
        f();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

bool Read(const std::string& text, const char* name) {
    simhost::detail::Aircraft a;
    std::string error;
    if (simhost::detail::ParseAircraft(text, name, &a, &error)) return true;
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
}

}  // namespace

int main() {
    const std::string text = BigAircraft();
    if (!Read(text, "big.acf")) return 1;
    std::size_t lines = 0;
    const double scan = MedianMs(
        [&] { lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }, 9);
    const double read = MedianMs([&] { Read(text, "big.acf"); }, 9);
    std::printf("generated aircraft file: %.1f MB, %zu lines; line scan %.2f ms, read %.1f ms\n",
                text.size() / 1e6, lines, scan, read);
    std::printf("acf-read-5mb: %.1f ms (goal 250)\n", read);

    const std::filesystem::path tu =
        std::filesystem::path(TARVOSK_CORPUS_DIR) / "aircraft/Unicode4all__Tu-154__tu154.acf";
    std::ifstream in(tu, std::ios::binary);
    if (!in) {
        std::printf("acf-read-corpus: skipped, %s is absent\n", tu.string().c_str());
        return 0;
    }
    std::ostringstream all;
    all << in.rdbuf();
    const std::string real = all.str();
    if (!Read(real, "tu154.acf")) return 1;
    std::printf("acf-read-corpus: %.1f ms for %.1f MB (goal 100)\n",
                MedianMs([&] { Read(real, "tu154.acf"); }, 9), real.size() / 1e6);
    return 0;
}
