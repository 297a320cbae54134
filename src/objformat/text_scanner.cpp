#include "objformat/text_scanner.h"

#include <limits>

namespace tarvosk {

// Every shape of number, digit by digit; the exact integer range first, then one single
// rounding per digit.
float TextScanner::readFloatGeneral(const char* p) {
    int32_t exact = 0;
    float value = 0.0f;
    bool rounding = false;  // the value left the exact integer range; go on in float
    bool negative = false;
    bool inDecimals = false;
    size_t decimals = 0;
    for (; p < end_; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        const int digit = static_cast<int>(c) - 48;
        if (static_cast<unsigned>(digit) > 9) {
            if (scan::kClasses.of[c] != scan::kOther) break;
            if (c == '-') {
                negative = true;
                continue;
            }
            if (c == '+') {
                negative = false;
                continue;
            }
            if (c == '.') {
                inDecimals = true;
                continue;
            }
        }
        decimals += inDecimals;
        if (!rounding) {
            exact = exact * 10 + digit;
            if (exact > scan::kExactLimit || exact < -scan::kExactLimit) {
                rounding = true;
                value = static_cast<float>(exact);  // the one rounding of this step
            }
        } else {
            // The step as the format defines it: value * 10 + digit in long double, then
            // rounded to float. Not std::fmaf: mingw-w64's is not a correctly rounded fused
            // multiply-add, and gave the last bit wrong on Windows.
            value = static_cast<float>(static_cast<long double>(value) * 10 + digit);
        }
    }
    cur_ = p;
    if (!rounding) value = static_cast<float>(exact);
    const float power =
        decimals < std::size(scan::kPowersOfTen) ? scan::kPowersOfTen[decimals] : HUGE_VALF;
    const float result = value / power;
    return negative ? -result : result;
}

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
