#include "objformat/text_scanner.h"

#include <limits>

namespace tarvosk {

size_t lineNumberAt(const char* data, size_t size, size_t offset) {
    if (offset > size) offset = size;
    size_t line = 1;
    for (size_t i = 0; i < offset; ++i) {
        if (data[i] == '\n') {
            ++line;
        } else if (data[i] == '\r') {
            if (i + 1 < size && data[i + 1] == '\n') ++i;
            ++line;
        }
    }
    return line;
}

int32_t truncateToInt32(float value) {
    if (std::isnan(value)) return std::numeric_limits<int32_t>::min();
    if (value <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    if (value >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

}  // namespace tarvosk
