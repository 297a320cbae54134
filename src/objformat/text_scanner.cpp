#include "objformat/text_scanner.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tarvosk {
namespace {

// value * 10 + digit, rounded once to float. The product is exact in double (24 + 4 bits);
// the sum may round, so it is made round-to-odd (an inexact sum gets its last bit set toward
// the exact value), after which the conversion to float rounds as the exact sum would.
// Neither long double nor std::fmaf will do: long double is only as precise as the x87
// precision control of the process that loaded us (53 bits on 64-bit Windows), and
// mingw-w64's fmaf is not a correctly rounded fused multiply-add.
float roundedStep(float value, int digit) {
    const double product = static_cast<double>(value) * 10.0;
    double sum = product + digit;
    if (!std::isfinite(sum)) return static_cast<float>(sum);
    // Exact, as |product| > 10 * 2^24 > |digit| (Fast2Sum).
    const double error = (product - sum) + digit;
    if (error != 0.0) {
        uint64_t bits;
        std::memcpy(&bits, &sum, sizeof bits);
        if ((bits & 1) == 0) sum = std::nextafter(sum, error > 0 ? HUGE_VAL : -HUGE_VAL);
    }
    return static_cast<float>(sum);
}

}  // namespace

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
            value = roundedStep(value, digit);
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
