// A recording fake of the GL and host calls the render library makes, linked into the test
// binary in place of libGL and the host. Every call is kept as one line of text; numbers are
// printed with %g, pointers as offsets where a test can predict them.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fake {

struct Upload {
    int texture = 0;
    int width = 0;
    int height = 0;
    unsigned format = 0;
    int unpackAlignment = 4;
    std::vector<uint8_t> pixels;  // exactly the bytes GL would read
};

struct Host {
    std::vector<std::string> calls;
    bool recording = true;

    // Host side.
    std::map<std::string, float> floatData;  // datarefs by name; unknown names have no handle
    std::map<std::string, int> intData;
    float camera[3] = {0, 0, 0};
    int nextTexture = 1;
    std::set<int> liveTextures;  // generated and not deleted
    int boundTexture = 0;

    // GL side.
    int matrixDepth = 1;  // the model-view stack, as GL starts it
    int maxMatrixDepth = 32;
    int matrixUnderflows = 0;
    int matrixOverflows = 0;
    std::set<unsigned> clientArrays;  // enabled client states
    std::vector<unsigned> pendingErrors;
    int unpackAlignment = 4;
    std::vector<Upload> uploads;
    // Pointer arguments print as "name+offset" from the nearest of these at or below them.
    std::vector<std::pair<std::string, const void*>> bases;
};

// The one fake, reset to its start values.
Host& host();
void reset();

// Calls recorded since the last reset whose text starts with `prefix`.
std::vector<std::string> callsStartingWith(const std::string& prefix);
// Index of the first call equal to `text` at or after `from`, or -1.
int findCall(const std::string& text, size_t from = 0);

}  // namespace fake
