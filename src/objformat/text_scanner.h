// Scanning rules shared by the object readers: lines, tokens, keywords and numbers.
//
// The scanner walks a buffer that holds the whole file; it never copies, never looks past
// the current line unless asked to, and raises no error for a malformed number.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tarvosk {

namespace scan {

enum : uint8_t { kOther = 0, kBlank = 1, kLineEnd = 2 };

// Blanks are space and tab; NUL, CR and LF end a line.
inline constexpr struct CharClasses {
    uint8_t of[256]{};
    constexpr CharClasses() {
        of[32] = kBlank;  // space
        of[9] = kBlank;   // tab
        of[0] = kLineEnd;
        of[13] = kLineEnd;  // CR
        of[10] = kLineEnd;  // LF
    }
} kClasses;

inline bool isBlank(char c) {
    return kClasses.of[static_cast<unsigned char>(c)] == kBlank;
}
inline bool isLineEnd(char c) {
    return kClasses.of[static_cast<unsigned char>(c)] == kLineEnd;
}
inline bool isDelimiter(char c) {
    return kClasses.of[static_cast<unsigned char>(c)] != kOther;
}

// 10^d rounded to single precision; the compiler rounds each literal exactly.
inline constexpr float kPowersOfTen[] = {
    1e0f,  1e1f,  1e2f,  1e3f,  1e4f,  1e5f,  1e6f,  1e7f,  1e8f,  1e9f,  1e10f, 1e11f, 1e12f,
    1e13f, 1e14f, 1e15f, 1e16f, 1e17f, 1e18f, 1e19f, 1e20f, 1e21f, 1e22f, 1e23f, 1e24f, 1e25f,
    1e26f, 1e27f, 1e28f, 1e29f, 1e30f, 1e31f, 1e32f, 1e33f, 1e34f, 1e35f, 1e36f, 1e37f, 1e38f};

// Every integer up to 2^24 is exact in single precision, so while the running value stays
// within it the per-step rounding changes nothing and integer arithmetic gives the same bits.
inline constexpr int32_t kExactLimit = 1 << 24;

// Digits the fast path takes: below 10^14 < 2^47, value * 10 + digit is an integer that a
// double holds exactly, so converting it to float is the step's one correct rounding.
inline constexpr unsigned kSimpleDigits = 14;

// Bytes that must remain for parseSimpleFloat to run without end checks: a sign, the digits,
// a '.' and the character after them.
inline constexpr ptrdiff_t kSimpleSpan = 24;

// The common shape of a number: an optional leading sign, at most kSimpleDigits decimal
// digits with at most one '.', then a delimiter. For that shape the general rules reduce to
// exact integer steps up to 2^24, exact double steps rounded once each beyond, and one
// division, so the bits are the same. False (and `p` untouched) for anything else. Needs
// kSimpleSpan bytes after `p`.
inline bool parseSimpleFloat(const char*& p, float& out) {
    const char* q = p;
    const bool negative = *q == '-';
    q += negative || *q == '+';
    const char* first = q;
    uint64_t value = 0;
    unsigned digits = 0;
    unsigned digit;
    while ((digit = static_cast<unsigned char>(*q) - 48u) <= 9 && digits < kSimpleDigits) {
        value = value * 10 + digit;
        ++digits;
        ++q;
    }
    unsigned decimals = 0;
    if (*q == '.') {
        ++q;
        const unsigned before = digits;
        while ((digit = static_cast<unsigned char>(*q) - 48u) <= 9 && digits < kSimpleDigits) {
            value = value * 10 + digit;
            ++digits;
            ++q;
        }
        decimals = digits - before;
    }
    if (!isDelimiter(*q)) return false;
    float number;
    // While every digit but the last keeps the running value within 2^24, the steps are exact
    // up to the last one, whose single rounding is the conversion of the whole integer.
    if (value <= uint64_t{kExactLimit} * 10 + 9) {
        // Through a signed integer: one conversion instruction where unsigned needs several.
        number = static_cast<float>(static_cast<int32_t>(value));
    } else {
        // Replay the digits: exact while within 2^24, then one rounding per digit.
        uint32_t exact = 0;
        const char* c = first;
        for (; exact <= uint32_t{kExactLimit}; ++c) {
            if (*c != '.') exact = exact * 10 + static_cast<uint32_t>(*c - 48);
        }
        number = static_cast<float>(exact);
        for (; c < q; ++c) {
            if (*c != '.') number = static_cast<float>(double{number} * 10.0 + (*c - 48));
        }
    }
    // The sign flips the sign bit without a branch: signs are as random as the data, and a
    // mispredicted branch per number costs more than the whole conversion.
    uint32_t bits;
    const float result = number / kPowersOfTen[decimals];
    std::memcpy(&bits, &result, sizeof bits);
    bits ^= uint32_t{negative} << 31;
    std::memcpy(&out, &bits, sizeof bits);
    p = q;
    return true;
}

}  // namespace scan

class TextScanner {
  public:
    TextScanner(const char* begin, const char* end) : begin_(begin), cur_(begin), end_(end) {}

    bool atEnd() const { return cur_ >= end_; }
    const char* position() const { return cur_; }
    size_t offset() const { return static_cast<size_t>(cur_ - begin_); }
    size_t remaining() const { return static_cast<size_t>(end_ - cur_); }
    const char* end() const { return end_; }

    // Moves the cursor forward to `p`, a position of this buffer that a faster reading of the
    // same text has reached.
    void moveTo(const char* p) { cur_ = p; }

    void skipBlanks() {
        while (cur_ < end_ && scan::isBlank(*cur_)) ++cur_;
    }

    // Passes the rest of this line and every blank and empty line after it.
    void skipLine() {
        const char* p = cur_;
        while (p < end_ && !scan::isLineEnd(*p)) ++p;
        while (p < end_ && scan::isDelimiter(*p)) ++p;
        cur_ = p;
    }

    // The characters up to the next blank or line end, after blanks; never crosses a line.
    std::string_view readToken() {
        skipBlanks();
        const char* start = cur_;
        while (cur_ < end_ && !scan::isDelimiter(*cur_)) ++cur_;
        return {start, static_cast<size_t>(cur_ - start)};
    }

    // True when the keyword stands next, followed by a blank (or, with allowLineEnd, a line
    // end or the end of the buffer); the cursor then stands after it. Blanks stay skipped.
    bool matchKeyword(std::string_view keyword, bool allowLineEnd) {
        skipBlanks();
        if (remaining() < keyword.size()) return false;
        if (std::memcmp(cur_, keyword.data(), keyword.size()) != 0) return false;
        const char* after = cur_ + keyword.size();
        const bool matched = after == end_           ? allowLineEnd
                             : scan::isBlank(*after) ? true
                                                     : allowLineEnd && scan::isLineEnd(*after);
        if (matched) cur_ = after;
        return matched;
    }

    float readFloat(bool crossLines);
    int32_t readInt();

  private:
    float readFloatGeneral(const char* p);

    const char* begin_;
    const char* cur_;
    const char* end_;
};

// The number format has no exponent and takes any character as a digit; signs may stand
// anywhere (the last counts). The running value is rounded to single precision after every
// digit and the result is value / 10^d, both in single precision.
inline float TextScanner::readFloat(bool crossLines) {
    const char* p = cur_;
    if (crossLines) {
        while (p < end_ && scan::isDelimiter(*p)) ++p;
    } else {
        while (p < end_ && scan::isBlank(*p)) ++p;
    }
    float simple;
    if (end_ - p >= scan::kSimpleSpan && scan::parseSimpleFloat(p, simple)) {
        cur_ = p;
        return simple;
    }
    return readFloatGeneral(p);
}

inline int32_t TextScanner::readInt() {
    skipBlanks();
    uint32_t sign = 1;
    if (cur_ < end_ && *cur_ == '-') {
        sign = static_cast<uint32_t>(-1);
        ++cur_;
    }
    if (cur_ < end_ && *cur_ == '+') {
        sign = 1;
        ++cur_;
    }
    uint32_t value = 0;  // wraps like the 32-bit arithmetic of the format, without overflow UB
    while (cur_ < end_ && !scan::isDelimiter(*cur_)) {
        value = value * 10 + static_cast<uint32_t>(static_cast<unsigned char>(*cur_) - 48);
        ++cur_;
    }
    return static_cast<int32_t>(sign * value);
}

// 1-based number of the line holding `offset`; LF, CR and CR LF each end one line.
size_t lineNumberAt(const char* data, size_t size, size_t offset);

// Truncates toward zero into 32 bits; out-of-range values saturate and NaN gives INT32_MIN,
// so no float-to-int conversion is undefined.
int32_t truncateToInt32(float value);

}  // namespace tarvosk
