#include "config/plain_numbers.h"

#include <cmath>
#include <cstdint>

namespace tarvosk {

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9, 1e10,
                                   1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20};
constexpr std::size_t kMaxLength = 40;
constexpr int kMaxDigits = 18;  // whole digits kept in the 64-bit mantissa
constexpr double kLargest = 1e9;

}  // namespace

bool ParsePlainDecimal(std::string_view text, double* value) {
    if (text.empty() || text.size() > kMaxLength) return false;
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        ++i;
    }
    std::uint64_t mantissa = 0;
    int kept = 0, scale = 0, digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return false;
        ++digits;
        if (kept < kMaxDigits) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
            if (mantissa != 0) ++kept;
            if (point) ++scale;
        } else if (!point) {
            --scale;  // a whole digit beyond the kept ones still counts a ten
        }
    }
    if (digits == 0) return false;
    double v = static_cast<double>(mantissa);
    while (scale > 20) v /= kPowersOfTen[20], scale -= 20;
    while (scale < -20) v *= kPowersOfTen[20], scale += 20;
    v = scale >= 0 ? v / kPowersOfTen[scale] : v * kPowersOfTen[-scale];
    *value = negative ? -v : v;
    return std::isfinite(*value);
}

std::string FormatPlainDecimal(double value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    if (!std::isfinite(value)) value = 0.0;
    if (value > kLargest) value = kLargest;
    if (value < -kLargest) value = -kLargest;
    const auto unit = static_cast<std::uint64_t>(kPowersOfTen[decimals]);
    const auto scaled = static_cast<std::uint64_t>(std::llround(std::fabs(value) * unit));
    const std::uint64_t whole = scaled / unit;
    std::uint64_t fraction = scaled % unit;
    std::string text = (value < 0 && scaled != 0) ? "-" : "";
    text += std::to_string(whole);
    text += '.';
    std::string tail(static_cast<std::size_t>(decimals), '0');
    for (int k = decimals - 1; k >= 0; --k, fraction /= 10) {
        tail[static_cast<std::size_t>(k)] = static_cast<char>('0' + fraction % 10);
    }
    while (tail.size() > 1 && tail.back() == '0') tail.pop_back();
    if (tail.empty()) tail = "0";
    return text + tail;
}

}  // namespace tarvosk
