// The soak: N random operations on the real plug-in in the simulated host, with the system's
// invariants checked after each one. A seed makes every run repeatable.
#pragma once

#include <cstdint>
#include <filesystem>

namespace simhost::soak {

struct SoakOptions {
    long long operations = 10000;
    std::uint64_t seed = 1;
    std::filesystem::path plugin, content, sandbox;
    std::filesystem::path aircraft;  // empty: the default airliner
    bool quiet = false;
};

// 0 when every invariant held after every operation; 1 with the seed, the operation and the
// broken invariant printed; 2 when the host or the plug-in could not be set up.
int RunSoak(const SoakOptions& options);

}  // namespace simhost::soak
