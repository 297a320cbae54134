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
    __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi,bmi2")))

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
    const __m128i decimals =
        _mm_subs_epu8(_mm_subs_epu8(_mm512_castsi512_si128(endAt), _mm512_castsi512_si128(pointAt)),
                      _mm512_castsi512_si128(one));
    const __m256i powerIndex = _mm256_cvtepu8_epi32(decimals);
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

// The packed positions of the second 64 bytes placed behind the `lowCount` of the first.
TARVOSK_WIDE inline __m512i merged(__m512i low, unsigned lowCount, __m512i high) {
    return _mm512_mask_expand_epi8(low, ~uint64_t{0} << lowCount, high);
}

// One line's 128 bytes, from the space before its first number, and what they say.
struct Line {
    __m512i low, high;
    uint64_t beyondLow = 0, beyondHigh = 0;  // bytes past the buffer
    __m512i endAt, pointAt, startAt;         // byte i: where number i ends, has its '.', starts
    unsigned stop = 0;                       // where the last number ends
};

// The line's bytes, zero past the buffer, which is never read beyond its end.
TARVOSK_WIDE inline bool loadLine(const char* w, const char* end, Line& line) {
    const ptrdiff_t available = end - w;
    if (available <= 0) return false;
    if (available >= 128) {
        line.low = _mm512_loadu_si512(w);
        line.high = _mm512_loadu_si512(w + 64);
    } else if (available >= 64) {
        line.low = _mm512_loadu_si512(w);
        line.beyondHigh = ~uint64_t{0} << (available - 64);
        line.high = _mm512_maskz_loadu_epi8(~line.beyondHigh, w + 64);  // never touched
    } else {
        line.beyondLow = ~uint64_t{0} << available;
        line.beyondHigh = ~uint64_t{0};
        line.low = _mm512_maskz_loadu_epi8(~line.beyondLow, w);
        line.high = _mm512_setzero_si512();
    }
    return true;
}

// Finds `count` (1 to 10) numbers in a loaded line, which must start with the space before the
// first, and checks the shape of the text around them. One pass over 128 bytes: eleven numbers
// of the longest taken shape fit, and no step waits for another window's result.
template <unsigned count>
TARVOSK_WIDE inline bool scanLine(const char* w, const char* end, Line& line) {
    static_assert(count >= 1 && count <= 10);
    using Bits = unsigned __int128;
    const Constants& c = kConstants;
    auto join = [](uint64_t a, uint64_t b) { return static_cast<Bits>(b) << 64 | a; };
    const Bits space = join(_mm512_cmpeq_epi8_mask(line.low, row(c.space)),
                            _mm512_cmpeq_epi8_mask(line.high, row(c.space)));
    // Bytes up to the space, and the bytes past the buffer, close a number.
    const Bits closing = join(_mm512_cmple_epu8_mask(line.low, row(c.space)) | line.beyondLow,
                              _mm512_cmple_epu8_mask(line.high, row(c.space)) | line.beyondHigh);
    if (!(space & 1)) return false;
    const Bits ends = closing & ~(closing << 1) & ~Bits{1};
    const auto endsLow = static_cast<uint64_t>(ends);
    const auto endsHigh = static_cast<uint64_t>(ends >> 64);
    const auto lowEnds = static_cast<unsigned>(__builtin_popcountll(endsLow));
    Bits last;
    if (lowEnds >= count) {
        last = _pdep_u64(uint64_t{1} << (count - 1), endsLow);
    } else {
        last = static_cast<Bits>(_pdep_u64(uint64_t{1} << (count - 1 - lowEnds), endsHigh)) << 64;
        if (last == 0) return false;  // fewer numbers in the 128 bytes
    }
    const auto lastLow = static_cast<uint64_t>(last);
    const unsigned stop =
        lastLow ? static_cast<unsigned>(__builtin_ctzll(lastLow))
                : 64 + static_cast<unsigned>(__builtin_ctzll(static_cast<uint64_t>(last >> 64)));
    if (static_cast<ptrdiff_t>(stop) >= end - w) return false;
    // What ends the last number must be a blank or a line end (other control bytes belong to
    // a number in this format), and inside the numbers only single spaces may part them.
    if (kClasses.of[static_cast<unsigned char>(w[stop])] == kOther) return false;
    const Bits inside = last - 1;
    if ((closing & ~space & inside) != 0 || (space & (space >> 1) & inside) != 0) return false;

    const Bits numberEnds = (space & inside & ~Bits{1}) | last;
    // In the order of the dots and ends, a number's dots come right before its end: two dots in
    // a row share a number. Marking each number's dot, or its end where it has none, gives one
    // mark per number. At most two marks a number: the dense forms fit one word.
    const Bits dots = join(_mm512_cmpeq_epi8_mask(line.low, row(c.point)),
                           _mm512_cmpeq_epi8_mask(line.high, row(c.point))) &
                      inside;
    const Bits marks = dots | numberEnds;
    const auto marksLow = static_cast<uint64_t>(marks);
    const auto marksHigh = static_cast<uint64_t>(marks >> 64);
    const auto lowMarks = static_cast<unsigned>(__builtin_popcountll(marksLow));
    const uint64_t denseDots = _pext_u64(static_cast<uint64_t>(dots), marksLow) |
                               _pext_u64(static_cast<uint64_t>(dots >> 64), marksHigh) << lowMarks;
    if (denseDots & (denseDots << 1)) return false;
    const uint64_t denseEnds = _pext_u64(static_cast<uint64_t>(numberEnds), marksLow) |
                               _pext_u64(static_cast<uint64_t>(numberEnds >> 64), marksHigh)
                                   << lowMarks;
    const uint64_t chosen = denseDots | (denseEnds & ~(denseDots << 1));
    const uint64_t pointOrEndLow = _pdep_u64(chosen, marksLow);
    const uint64_t pointOrEndHigh = _pdep_u64(chosen >> lowMarks, marksHigh);
    const auto numberEndsLow = static_cast<uint64_t>(numberEnds);
    const auto numberEndsHigh = static_cast<uint64_t>(numberEnds >> 64);

    // The positions in the second half are 64 on; each half's are packed, the second's
    // behind the first's.
    const __m512i positions = row(c.positions);
    const __m512i upper = _mm512_add_epi8(positions, _mm512_set1_epi8(64));
    line.endAt = merged(_mm512_maskz_compress_epi8(numberEndsLow, positions),
                        static_cast<unsigned>(__builtin_popcountll(numberEndsLow)),
                        _mm512_maskz_compress_epi8(numberEndsHigh, upper));
    line.pointAt = merged(_mm512_maskz_compress_epi8(pointOrEndLow, positions),
                          static_cast<unsigned>(__builtin_popcountll(pointOrEndLow)),
                          _mm512_maskz_compress_epi8(pointOrEndHigh, upper));
    // Each number starts one byte after the end of the one before, the first at byte 1.
    line.startAt = _mm512_add_epi8(_mm512_bslli_epi128(line.endAt, 1), row(c.one));
    line.stop = stop;
    return true;
}

template <unsigned count, typename Out>
TARVOSK_WIDE inline bool convertLine(const Line& line, Out* out) {
    if constexpr (count <= 8) {
        return convertNumbers(line.low, line.high, line.endAt, line.pointAt, line.startAt, count,
                              out);
    } else {
        return convertNumbers(line.low, line.high, line.endAt, line.pointAt, line.startAt, 8,
                              out) &&
               convertNumbers(line.low, line.high, _mm512_bsrli_epi128(line.endAt, 8),
                              _mm512_bsrli_epi128(line.pointAt, 8),
                              _mm512_bsrli_epi128(line.startAt, 8), count - 8, out + 8);
    }
}

// Reads `count` numbers from the 128 bytes at `w`, which must start with the space before the
// first. Returns the position after the last number, or nullptr where the line is not of the
// taken shape or its numbers run past the 128 bytes. Always inlined: a call would keep one line's
// steps from overlapping the next one's.
template <unsigned count, typename Out>
TARVOSK_WIDE __attribute__((always_inline)) inline const char* readLine(const char* w,
                                                                        const char* end, Out* out) {
    Line line;
    if (!loadLine(w, end, line) || !scanLine<count>(w, end, line) || !convertLine<count>(line, out))
        return nullptr;
    return w + line.stop;
}

// Where the line-by-line walk has its first line start at or after `at`.
inline const char* lineStartFrom(const char* at, const char* end) {
    while (at < end && kClasses.of[static_cast<unsigned char>(*at)] != kLineEnd) ++at;
    while (at < end && kClasses.of[static_cast<unsigned char>(*at)] != kOther) ++at;
    return at;
}

// The same after a line's last number, taking at once the usual case of a line feed there and
// a line of text right after it.
inline const char* lineStartAfter(const char* at, const char* end) {
    if (end - at >= 2 && at[0] == '\n' && kClasses.of[static_cast<unsigned char>(at[1])] == kOther)
        return at + 1;
    return lineStartFrom(at, end);
}

}  // namespace

}  // namespace tarvosk::scan
