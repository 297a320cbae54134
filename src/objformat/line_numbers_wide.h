// The 512-bit steps of whole-line number reading; line_numbers.cpp is their only user, on
// x86-64 with GCC or Clang.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "objformat/text_scanner.h"

namespace tarvosk::scan {

// An unnamed namespace although in a header: the functions must not become inline functions
// shared with other files (see TARVOSK_WIDE), and one file includes this.
namespace {

// Only the functions marked so use these instructions, and they call nothing inline from
// elsewhere: a shared inline function compiled here could be the copy the linker keeps.
#define TARVOSK_WIDE \
    __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi2")))

// The constants, each as the whole 64-byte row it fills.
struct alignas(64) Constants {
    int8_t positions[64];   // each byte's own position
    int8_t slotOf[64];      // eight bytes for each number
    int8_t byteInSlot[64];  // -8 .. -1: from eight before the end
    int8_t lineFeed[64], carriageReturn[64];
    int8_t space[64], point[64], minus[64], plus[64], zero[64], nine[64], one[64];
    int8_t pairWeights[64];   // 10, 1: digit pairs
    int16_t fourWeights[32];  // 100, 1: pairs of pairs
    int64_t tenThousand[8];
    float powers[16];  // 10^0 .. 10^15
    int32_t signBit[16];
};

constexpr Constants makeConstants() {
    Constants c{};
    float power = 1.0f;
    for (int i = 0; i < 64; ++i) {
        c.positions[i] = static_cast<int8_t>(i);
        c.slotOf[i] = static_cast<int8_t>(i / 8);
        c.byteInSlot[i] = static_cast<int8_t>(i % 8 - 8);
        c.lineFeed[i] = '\n';
        c.carriageReturn[i] = '\r';
        c.space[i] = ' ';
        c.point[i] = '.';
        c.minus[i] = '-';
        c.plus[i] = '+';
        c.zero[i] = '0';
        c.nine[i] = 9;
        c.one[i] = 1;
        c.pairWeights[i] = i % 2 ? 1 : 10;
        if (i < 32) c.fourWeights[i] = i % 2 ? 1 : 100;
        if (i < 16) {
            c.powers[i] = power;  // exact up to 10^10, and numbers of at most eight digits
            power *= 10.0f;       // never have more decimals than that
            c.signBit[i] = INT32_MIN;
        }
        if (i < 8) c.tenThousand[i] = 10000;
    }
    return c;
}

constexpr Constants kConstants = makeConstants();

// Bytes ahead of the reading that are asked into the cache: about fifty lines.
constexpr ptrdiff_t kPrefetchAhead = 4096;

template <typename T>
TARVOSK_WIDE inline __m512i row(const T* values) {
    return _mm512_load_si512(values);
}

// What the text of one window says about its first numbers.
struct Window {
    __m512i text;     // its 64 bytes; zero past the buffer
    __m512i endAt;    // byte i: where number i ends
    __m512i pointAt;  // byte i: where number i has its '.', or its end where it has none
    __m512i startAt;  // byte i: where number i starts (sign included)
    unsigned stop;    // where the last one ends
};

// Finds `count` (1 to 8) numbers in the window at `w`, which must start with the space before
// the first, and checks the shape of the text around them.
TARVOSK_WIDE inline bool scanWindow(const char* w, const char* end, unsigned count, Window& found) {
    const Constants& c = kConstants;
    const ptrdiff_t available = end - w;
    if (available <= 0) return false;
    __m512i x;
    uint64_t beyond = 0;  // bytes past the buffer
    if (available >= 64) {
        x = _mm512_loadu_si512(w);
    } else {
        beyond = ~uint64_t{0} << available;
        x = _mm512_maskz_loadu_epi8(~beyond, w);  // masked bytes are never touched
    }
    const uint64_t space = _mm512_cmpeq_epi8_mask(x, row(c.space));
    // Bytes up to the space, and the bytes past the buffer, close a number.
    const uint64_t closing = _mm512_cmple_epu8_mask(x, row(c.space)) | beyond;
    if (!(space & 1)) return false;
    const uint64_t ends = closing & ~(closing << 1) & ~uint64_t{1};
    const uint64_t last = _pdep_u64(uint64_t{1} << (count - 1), ends);
    if (last == 0) return false;  // fewer numbers in the window
    const auto stop = static_cast<unsigned>(__builtin_ctzll(last));
    if (static_cast<ptrdiff_t>(stop) >= available) return false;
    // What ends the last number must be a blank or a line end (other control bytes belong to
    // a number in this format), and inside the numbers only single spaces may part them.
    const auto terminator = static_cast<unsigned char>(w[stop]);
    if (!(terminator == ' ' || terminator == '\t' || terminator == '\n' || terminator == '\r' ||
          terminator == 0)) {
        return false;
    }
    const uint64_t inside = last - 1;
    if ((closing & ~space & inside) != 0 || (space & (space >> 1) & inside) != 0) return false;

    const uint64_t numberEnds = (space & inside & ~uint64_t{1}) | last;
    // In the order of the dots and ends, a number's dots come right before its end: two dots in
    // a row share a number. Marking each number's dot, or its end where it has none, gives one
    // mark per number.
    const uint64_t dots = _mm512_cmpeq_epi8_mask(x, row(c.point)) & inside;
    const uint64_t marks = dots | numberEnds;
    const uint64_t denseDots = _pext_u64(dots, marks);
    if (denseDots & (denseDots << 1)) return false;
    const uint64_t denseEnds = _pext_u64(numberEnds, marks);
    const uint64_t pointOrEnd = _pdep_u64(denseDots | (denseEnds & ~(denseDots << 1)), marks);

    found.text = x;
    found.endAt = _mm512_maskz_compress_epi8(numberEnds, row(c.positions));
    found.pointAt = _mm512_maskz_compress_epi8(pointOrEnd, row(c.positions));
    // Each number starts one byte after the end of the one before, the first at byte 1.
    found.startAt = _mm512_add_epi8(_mm512_bslli_epi128(found.endAt, 1), row(c.one));
    found.stop = stop;
    return true;
}

// The converted numbers of `mask`'s slots, as floats or as indices. Numbers of the taken shape
// are below 10^8 in magnitude, where truncation needs none of truncateToInt32's saturation.
TARVOSK_WIDE inline void storeNumbers(float* out, __mmask8 mask, __m256 values) {
    _mm256_mask_storeu_ps(out, mask, values);
}
TARVOSK_WIDE inline void storeNumbers(int32_t* out, __mmask8 mask, __m256 values) {
    _mm256_mask_storeu_epi32(out, mask, _mm256_cvttps_epi32(values));
}

// Converts `count` (1 to 8) numbers whose positions index the 128 bytes of `low` and `high`,
// each into a slot of eight bytes that holds its digits right-aligned.
template <typename Out>
TARVOSK_WIDE inline bool convertNumbers(__m512i low, __m512i high, __m512i endAt, __m512i pointAt,
                                        __m512i startAt, unsigned count, Out* out) {
    const Constants& c = kConstants;
    const __m512i one = row(c.one);
    const __m512i slotEnd = _mm512_permutexvar_epi8(row(c.slotOf), endAt);
    const __m512i slotPoint = _mm512_permutexvar_epi8(row(c.slotOf), pointAt);
    const __m512i slotStart = _mm512_permutexvar_epi8(row(c.slotOf), startAt);
    const uint64_t slotBytes = count == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * count)) - 1;

    // A leading sign is not a digit.
    const __m512i firstByte = _mm512_permutex2var_epi8(low, slotStart, high);
    const uint64_t negative = _mm512_cmpeq_epi8_mask(firstByte, row(c.minus));
    const uint64_t hasSign = negative | _mm512_cmpeq_epi8_mask(firstByte, row(c.plus));
    const __m512i firstDigit = _mm512_mask_add_epi8(slotStart, hasSign, slotStart, one);

    // Byte j of a slot takes the number's byte j - 8 from its end, one further back at and
    // before the '.', which so drops out.
    const uint64_t hasPoint = _mm512_cmpneq_epi8_mask(slotPoint, slotEnd);
    __m512i source = _mm512_add_epi8(slotEnd, row(c.byteInSlot));
    const uint64_t beforePoint = _mm512_cmple_epi8_mask(source, slotPoint) & hasPoint;
    source = _mm512_mask_sub_epi8(source, beforePoint, source, one);
    const uint64_t keep = _mm512_cmpge_epi8_mask(source, firstDigit) & slotBytes;
    // Every number has a digit (byte 7 kept) and at most eight (byte 0 reaches its first).
    const uint64_t lastBytes = 0x8080808080808080ull & slotBytes;
    const uint64_t firstBytes = 0x0101010101010101ull & slotBytes;
    if ((keep & lastBytes) != lastBytes) return false;
    if ((_mm512_cmpgt_epi8_mask(source, firstDigit) & firstBytes) != 0) return false;
    const __m512i digits = _mm512_maskz_sub_epi8(
        keep, _mm512_maskz_permutex2var_epi8(keep, low, source, high), row(c.zero));
    if (_mm512_mask_cmpgt_epu8_mask(keep, digits, row(c.nine)) != 0) return false;

    // Eight digits to one integer, the first the most significant: pairs, fours, eights.
    const __m512i pairs = _mm512_maddubs_epi16(digits, row(c.pairWeights));
    const __m512i fours = _mm512_madd_epi16(pairs, row(c.fourWeights));
    const __m512i eights =
        _mm512_add_epi64(_mm512_mul_epu32(fours, row(c.tenThousand)), _mm512_srli_epi64(fours, 32));
    const __m256i integers = _mm512_cvtepi64_epi32(eights);

    // Below 10^8 the integer rounds once to single precision, then one division by the power
    // of ten of its decimals, and the sign bit: the same steps, and so the same bits, as the
    // number-by-number path.
    const __m512i decimals = _mm512_subs_epu8(_mm512_subs_epu8(endAt, pointAt), one);
    const __m256i powerIndex = _mm256_cvtepu8_epi32(_mm512_castsi512_si128(decimals));
    const __m256 powers =
        _mm256_permutex2var_ps(_mm256_load_ps(c.powers), powerIndex, _mm256_load_ps(c.powers + 8));
    const __m256 values = _mm256_div_ps(_mm256_cvtepi32_ps(integers), powers);
    // One sign bit per slot: the slot's first byte.
    const auto negativeSlots = static_cast<__mmask8>(_pext_u64(negative, firstBytes));
    const __m256i signBit = _mm256_load_si256(reinterpret_cast<const __m256i*>(c.signBit));
    const __m256i withSigns = _mm256_mask_xor_epi32(_mm256_castps_si256(values), negativeSlots,
                                                    _mm256_castps_si256(values), signBit);
    storeNumbers(out, static_cast<__mmask8>((1u << count) - 1), _mm256_castsi256_ps(withSigns));
    return true;
}

// The positions of the second window's numbers, moved to the second table (+64) and to the
// slots after the first window's `first` numbers.
template <unsigned first>
TARVOSK_WIDE inline __m512i joined(__m512i a, __m512i b) {
    const __m512i moved = _mm512_add_epi8(b, _mm512_set1_epi8(64));
    return _mm512_mask_blend_epi8((uint64_t{1} << first) - 1, _mm512_bslli_epi128(moved, first), a);
}

// `count` numbers in two windows of up to five each (five of the longest taken shape fit in
// one): found window by window, converted together while they fit the eight slots.
template <unsigned count, typename Out>
TARVOSK_WIDE inline const char* readWide(const char* p, const char* end, Out* out) {
    constexpr unsigned first = (count + 1) / 2;
    Window a;
    if (!scanWindow(p, end, first, a)) return nullptr;
    if constexpr (count == first) {
        if (!convertNumbers(a.text, a.text, a.endAt, a.pointAt, a.startAt, count, out)) {
            return nullptr;
        }
        return p + a.stop;
    } else {
        const char* second = p + a.stop;
        Window b;
        if (!scanWindow(second, end, count - first, b)) return nullptr;
        if constexpr (count <= 8) {
            if (!convertNumbers(a.text, b.text, joined<first>(a.endAt, b.endAt),
                                joined<first>(a.pointAt, b.pointAt),
                                joined<first>(a.startAt, b.startAt), count, out)) {
                return nullptr;
            }
        } else {
            if (!convertNumbers(a.text, a.text, a.endAt, a.pointAt, a.startAt, first, out) ||
                !convertNumbers(b.text, b.text, b.endAt, b.pointAt, b.startAt, count - first,
                                out + first)) {
                return nullptr;
            }
        }
        return second + b.stop;
    }
}

// Two lines at once, their steps side by side. Each line's reading is one long chain of
// dependent steps, and the processor overlaps two of them only where they stand close
// together in the instruction stream. True when both lines were read, with the second one's
// end in `after`; where the first line is declined, nothing is written.
template <unsigned count, typename Out>
TARVOSK_WIDE inline bool readWidePair(const char* p0, const char* p1, const char* end, Out* out0,
                                      Out* out1, const char*& after) {
    constexpr unsigned first = (count + 1) / 2;
    Window a0, a1;
    // Both scanned before either is judged, so neither waits for the other's verdict.
    const bool found0 = scanWindow(p0, end, first, a0);
    const bool found1 = scanWindow(p1, end, first, a1);
    if (!(found0 && found1)) return false;
    if constexpr (count == first) {
        if (!convertNumbers(a0.text, a0.text, a0.endAt, a0.pointAt, a0.startAt, count, out0) ||
            !convertNumbers(a1.text, a1.text, a1.endAt, a1.pointAt, a1.startAt, count, out1)) {
            return false;
        }
        after = p1 + a1.stop;
    } else {
        const char* second0 = p0 + a0.stop;
        const char* second1 = p1 + a1.stop;
        Window b0, b1;
        const bool found2 = scanWindow(second0, end, count - first, b0);
        const bool found3 = scanWindow(second1, end, count - first, b1);
        if (!(found2 && found3)) return false;
        if constexpr (count <= 8) {
            if (!convertNumbers(a0.text, b0.text, joined<first>(a0.endAt, b0.endAt),
                                joined<first>(a0.pointAt, b0.pointAt),
                                joined<first>(a0.startAt, b0.startAt), count, out0) ||
                !convertNumbers(a1.text, b1.text, joined<first>(a1.endAt, b1.endAt),
                                joined<first>(a1.pointAt, b1.pointAt),
                                joined<first>(a1.startAt, b1.startAt), count, out1)) {
                return false;
            }
        } else {
            if (!convertNumbers(a0.text, a0.text, a0.endAt, a0.pointAt, a0.startAt, first, out0) ||
                !convertNumbers(b0.text, b0.text, b0.endAt, b0.pointAt, b0.startAt, count - first,
                                out0 + first) ||
                !convertNumbers(a1.text, a1.text, a1.endAt, a1.pointAt, a1.startAt, first, out1) ||
                !convertNumbers(b1.text, b1.text, b1.endAt, b1.pointAt, b1.startAt, count - first,
                                out1 + first)) {
                return false;
            }
        }
        after = second1 + b1.stop;
    }
    return true;
}

// Where the line-by-line walk has its first line start at or after `at`.
inline const char* lineStartFrom(const char* at, const char* end) {
    while (at < end && kClasses.of[static_cast<unsigned char>(*at)] != kLineEnd) ++at;
    while (at < end && kClasses.of[static_cast<unsigned char>(*at)] != kOther) ++at;
    return at;
}

// The same for a line whose numbers are not read yet: its first line end found 64 bytes at a
// time. Where the line's numbers are read whole, they hold no line end, so this is where the
// walk goes on after them too.
TARVOSK_WIDE inline const char* nextLineStart(const char* at, const char* end) {
    const Constants& c = kConstants;
    while (end - at >= 64) {
        const __m512i x = _mm512_loadu_si512(at);
        const uint64_t lineEnds = _mm512_cmpeq_epi8_mask(x, row(c.lineFeed)) |
                                  _mm512_cmpeq_epi8_mask(x, row(c.carriageReturn)) |
                                  _mm512_testn_epi8_mask(x, x);
        if (lineEnds) return lineStartFrom(at + __builtin_ctzll(lineEnds), end);
        at += 64;
    }
    return lineStartFrom(at, end);
}

}  // namespace

}  // namespace tarvosk::scan
