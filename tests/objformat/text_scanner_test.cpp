#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "objformat/text_scanner.h"

namespace tarvosk {
namespace {

float floatOf(const std::string& text, bool crossLines = false) {
    TextScanner sc(text.data(), text.data() + text.size());
    return sc.readFloat(crossLines);
}

int32_t intOf(const std::string& text) {
    TextScanner sc(text.data(), text.data() + text.size());
    return sc.readInt();
}

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// One step of the rules, value * 10 + digit rounded once to float, by integer arithmetic: the
// value is M * 2^e with a 24-bit M, so the exact sum is 10M * 2^e + digit. Below 2^36 long
// double (64 bits in this process) holds it exactly. Above, e >= 12 puts the digit below the
// last bit of 10M * 2^e: it only says whether the exact sum lies above or below that.
float exactStep(float value, int digit) {
    if (std::isinf(value)) return value;
    if (std::fabs(value) < 0x1p36f) {
        return static_cast<float>(static_cast<long double>(value) * 10 + digit);
    }
    const bool negative = value < 0;
    const int toward = negative ? -digit : digit;  // the digit's sign, on the magnitude
    int exponent;
    const float fraction = std::frexp(std::fabs(value), &exponent);
    const auto m = static_cast<uint64_t>(std::ldexp(fraction, 24));
    const uint64_t n = 10 * m;  // 25 to 28 bits
    int shift = 0;
    while ((n >> shift) >= (uint64_t{1} << 24)) ++shift;
    uint64_t q = n >> shift;
    const uint64_t rest = n & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    const bool up = rest > half || (rest == half && (toward > 0 || (toward == 0 && (q & 1))));
    q += up;
    const float magnitude = std::ldexp(static_cast<float>(q), shift + exponent - 24);
    return negative ? -magnitude : magnitude;
}

// The number rules written out literally, each step rounded once (exactStep); the power of
// ten comes from the C library's correctly rounded decimal conversion.
float literalReadFloat(const std::string& token) {
    float value = 0.0f;
    bool negative = false;
    bool decimals = false;
    int d = 0;
    for (unsigned char c : token) {
        if (c == '-') {
            negative = true;
        } else if (c == '+') {
            negative = false;
        } else if (c == '.') {
            decimals = true;
        } else {
            value = exactStep(value, int(c) - 48);
            if (decimals) ++d;
        }
    }
    const float power = std::strtof(("1e" + std::to_string(d)).c_str(), nullptr);
    const float result = value / power;
    return negative ? -result : result;
}

TEST(TextScannerFloat, SignsMayStandAnywhereAndTheLastCounts) {
    EXPECT_EQ(floatOf("-0.5"), -0.5f);
    EXPECT_EQ(floatOf("+3"), 3.0f);
    EXPECT_EQ(floatOf("3-"), -3.0f);
    EXPECT_EQ(floatOf("-3+"), 3.0f);
    EXPECT_EQ(floatOf("1-2"), -12.0f);
    EXPECT_TRUE(std::signbit(floatOf("-0")));
}

TEST(TextScannerFloat, AnyOtherCharacterIsADigitAndThereIsNoExponent) {
    // "1e3": 1, then 'e' (101 - 48 = 53), then 3.
    EXPECT_EQ(floatOf("1e3"), 633.0f);
    EXPECT_NE(floatOf("1e3"), 1000.0f);
    // A second '.' only marks decimals again: 1.2.3 reads as 123 / 10^2.
    EXPECT_EQ(floatOf("1.2.3"), 1.23f);
    EXPECT_EQ(floatOf(".5"), 0.5f);
    EXPECT_EQ(floatOf("5."), 5.0f);
}

TEST(TextScannerFloat, StopsAtBlanksAndLineEndsAndMissingNumbersAreZero) {
    const std::string text = "  1.5\t-2 \n 7";
    TextScanner sc(text.data(), text.data() + text.size());
    EXPECT_EQ(sc.readFloat(false), 1.5f);
    EXPECT_EQ(sc.readFloat(false), -2.0f);
    EXPECT_EQ(sc.readFloat(false), 0.0f);  // nothing left on the line
    EXPECT_EQ(sc.readFloat(false), 0.0f);
    EXPECT_EQ(sc.readFloat(true), 7.0f);  // crossing lines finds the next number
    EXPECT_EQ(sc.readFloat(true), 0.0f);  // end of buffer
    EXPECT_TRUE(sc.atEnd());
}

TEST(TextScannerFloat, CrossingLinesPassesEveryKindOfLineEnd) {
    const std::string text = std::string("1\r\n2\r3\n\n4") + '\0' + "5";
    TextScanner sc(text.data(), text.data() + text.size());
    for (float expected : {1.0f, 2.0f, 3.0f, 4.0f, 5.0f}) EXPECT_EQ(sc.readFloat(true), expected);
}

TEST(TextScannerFloat, RoundsToSinglePrecisionAfterEachDigit) {
    // 16777217 is not a float; each later digit works on the rounded running value.
    EXPECT_EQ(floatOf("16777217"), 16777216.0f);
    EXPECT_EQ(bitsOf(floatOf("123456789.123")), bitsOf(literalReadFloat("123456789.123")));
    // More decimals than single precision has powers of ten: 10^39 is infinite, so 0.
    EXPECT_EQ(floatOf("0." + std::string(39, '0') + "1"), 0.0f);
    EXPECT_TRUE(std::isnan(floatOf("0." + std::string(40, '1'))));  // infinite value and power
}

// Random tokens of `shortest` to `longest` characters from `alphabet` read to the literal
// rules' bits, near the end of the buffer and with room after it (different paths).
void ExpectRandomTokensMatchTheRules(unsigned seed, const std::string& alphabet, int count,
                                     int shortest, int longest) {
    std::mt19937 random(seed);
    for (int i = 0; i < count; ++i) {
        const int length = shortest + static_cast<int>(random() % (longest - shortest + 1));
        std::string token;
        for (int k = 0; k < length; ++k) token += alphabet[random() % alphabet.size()];
        const float want = literalReadFloat(token);
        for (const std::string& text : {token, token + std::string(40, ' ')}) {
            const float got = floatOf(text);
            if (std::isnan(want)) {
                EXPECT_TRUE(std::isnan(got)) << token;
            } else {
                ASSERT_EQ(bitsOf(got), bitsOf(want)) << "token " << token;
            }
        }
    }
}

TEST(TextScannerFloat, MatchesTheLiteralRulesBitForBit) {
    ExpectRandomTokensMatchTheRules(12345, "0123456789012345678901234567890123456789.-+eE,x",
                                    200000, 1, 17);
}

TEST(TextScannerFloat, OrdinaryNumbersMatchTheLiteralRulesOnBothPaths) {
    std::mt19937 random(777);
    const std::string digits = "00112233445566778899.";
    for (int i = 0; i < 200000; ++i) {
        std::string token = random() % 3 == 0 ? "-" : "";
        const int length = 1 + static_cast<int>(random() % 17);
        for (int k = 0; k < length; ++k) token += digits[random() % digits.size()];
        const float want = literalReadFloat(token);
        ASSERT_EQ(bitsOf(floatOf(token)), bitsOf(want)) << token;
        ASSERT_EQ(bitsOf(floatOf(token + std::string(30, '\t'))), bitsOf(want)) << token;
    }
}

// Eight-digit values just past 2^24 take one rounding at their last digit; with digits beyond
// that the rounding happens earlier. Both sides of 10 * 2^24 + 9, with and without a point.
TEST(TextScannerFloat, IntegersAroundTenTimesTwoToTheTwentyFourRoundLikeTheRules) {
    const int64_t edges[] = {16777215,  16777216,  16777217,  16777219,  99999999, 167772159,
                             167772169, 167772170, 167772171, 167772185, 999999999};
    for (int64_t edge : edges) {
        for (int64_t v = edge - 40; v <= edge + 40; ++v) {
            std::string digits = std::to_string(v);
            for (size_t point = 0; point <= digits.size(); point += 3) {
                std::string token = digits;
                if (point < digits.size()) token.insert(point, ".");
                const float want = literalReadFloat(token);
                ASSERT_EQ(bitsOf(floatOf(token + std::string(30, ' '))), bitsOf(want)) << token;
                ASSERT_EQ(bitsOf(floatOf("-" + token + "\n" + std::string(30, ' '))),
                          bitsOf(literalReadFloat("-" + token)))
                    << token;
            }
        }
    }
}

// Every '.' position in one to ten digits, and the bytes that sit next to the digits in the
// character set ('/', ':') or above it, must give the rules' bits with room after the token
// (the fast path) and without (the digit-by-digit path).
TEST(TextScannerFloat, EveryPointPositionAndNeighbouringBytesMatchTheRules) {
    const std::string digits = "9071234568";
    const char afters[] = {' ', '\t', '\n', '\r', '\0'};
    for (size_t count = 1; count <= digits.size(); ++count) {
        for (size_t point = 0; point <= count; ++point) {
            std::string token = digits.substr(0, count);
            if (point < count) token.insert(point, ".");
            for (const char* sign : {"", "-", "+"}) {
                const std::string signed_ = sign + token;
                const float want = literalReadFloat(signed_);
                for (const char after : afters) {
                    const std::string text = signed_ + std::string(1, after) + "7 8 9";
                    ASSERT_EQ(bitsOf(floatOf(text + std::string(30, ' '))), bitsOf(want))
                        << signed_;
                    ASSERT_EQ(bitsOf(floatOf(signed_)), bitsOf(want)) << signed_;
                }
            }
        }
    }
    for (const char odd : {'/', ':', '\x80', '\xB0', '\xFF', 'e', ','}) {
        for (size_t at = 0; at <= 8; ++at) {
            std::string token = "1234.5678";
            token.insert(at, 1, odd);
            const float want = literalReadFloat(token);
            ASSERT_EQ(bitsOf(floatOf(token + std::string(30, ' '))), bitsOf(want)) << at;
        }
    }
}

// Past 19 digits the running value leaves what even long double holds exactly: every step
// must still round once, up to where the value becomes infinite.
TEST(TextScannerFloat, LongNumbersRoundOncePerStepUpToInfinity) {
    ExpectRandomTokensMatchTheRules(4242, "0123456789012345678901234567890123456789.-!~", 50000, 19,
                                    45);
    EXPECT_TRUE(std::isinf(floatOf(std::string(40, '9'))));
}

#if defined(__x86_64__) || defined(__i386__)
// A plug-in runs with the x87 precision its host process set: 64-bit Windows starts every
// process with 53 bits, where long double is no wider than double. Numbers must read the same.
class X87Precision {
  public:
    explicit X87Precision(unsigned short bits) {
        __asm__ __volatile__("fnstcw %0" : "=m"(saved_) : : "memory");
        const unsigned short control = static_cast<unsigned short>((saved_ & ~0x300u) | bits);
        __asm__ __volatile__("fldcw %0" : : "m"(control) : "memory");
    }
    ~X87Precision() { __asm__ __volatile__("fldcw %0" : : "m"(saved_) : "memory"); }
    static constexpr unsigned short k53Bits = 0x200;

  private:
    unsigned short saved_ = 0;
};

TEST(TextScannerFloat, NumbersReadTheSameUnderTheX87PrecisionOfWindows) {
    std::mt19937 random(53);
    std::vector<std::string> tokens;
    std::vector<float> want;
    for (int i = 0; i < 20000; ++i) {
        std::string token = std::to_string(1 + random() % 9);
        const int length = 15 + static_cast<int>(random() % 4);  // below 2^60: exact here
        while (static_cast<int>(token.size()) < length) token += char('0' + random() % 10);
        if (random() % 2) token.insert(1 + random() % (token.size() - 1), ".");
        tokens.push_back(token);
        want.push_back(literalReadFloat(token));
    }
    std::vector<float> got, narrowLongDouble;
    {
        const X87Precision windows(X87Precision::k53Bits);
        for (const std::string& token : tokens) {
            got.push_back(floatOf(token));
            float value = 0.0f;
            for (char c : token) {
                if (c != '.')
                    value = static_cast<float>(static_cast<long double>(value) * 10 + (c - 48));
            }
            narrowLongDouble.push_back(value);
        }
    }
    int differs = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        ASSERT_EQ(bitsOf(got[i]), bitsOf(want[i])) << tokens[i];
        float value = 0.0f;
        for (char c : tokens[i]) {
            if (c != '.') value = exactStep(value, c - 48);
        }
        differs += bitsOf(narrowLongDouble[i]) != bitsOf(value);
    }
    // The tokens reach the values where a 53-bit long double step rounds twice.
    EXPECT_GT(differs, 0);
}
#endif

TEST(TextScannerInt, SignRulesAndLooseDigits) {
    EXPECT_EQ(intOf("-12"), -12);
    EXPECT_EQ(intOf("+12"), 12);
    EXPECT_EQ(intOf("-+12"), 12);
    EXPECT_EQ(intOf("  800\n"), 800);
    EXPECT_EQ(intOf(""), 0);
    EXPECT_EQ(intOf("\n5"), 0);
    EXPECT_EQ(intOf("12a"), 169);  // 'a' counts as the digit 49
    EXPECT_EQ(intOf("I"), 25);     // a header letter is no version
    EXPECT_EQ(intOf("99999999999"), static_cast<int32_t>(99999999999LL & 0xffffffff));
}

TEST(TextScannerLines, SkipLinePassesTheRestAndEmptyLines) {
    const std::string text = "first line  \r\n\r\n \t \n\tsecond";
    TextScanner sc(text.data(), text.data() + text.size());
    sc.skipLine();
    EXPECT_EQ(sc.readToken(), "second");
    sc.skipLine();
    EXPECT_TRUE(sc.atEnd());
}

TEST(TextScannerLines, TokensNeverCrossALine) {
    const std::string text = "  TEXTURE\nname";
    TextScanner sc(text.data(), text.data() + text.size());
    EXPECT_EQ(sc.readToken(), "TEXTURE");
    EXPECT_EQ(sc.readToken(), "");
}

TEST(TextScannerKeywords, MatchNeedsABlankOrAnAllowedLineEnd) {
    auto match = [](const std::string& text, const char* keyword, bool allowLineEnd) {
        TextScanner sc(text.data(), text.data() + text.size());
        return sc.matchKeyword(keyword, allowLineEnd);
    };
    EXPECT_TRUE(match("TEXTURE a.png", "TEXTURE", false));
    EXPECT_FALSE(match("TEXTURE_LIT a.png", "TEXTURE", false));
    EXPECT_FALSE(match("IDX10 1", "IDX", false));
    EXPECT_FALSE(match("OBJ\n", "OBJ", false));
    EXPECT_TRUE(match("OBJ\n", "OBJ", true));
    EXPECT_TRUE(match("OBJ", "OBJ", true));  // the end of the buffer is a line end
    EXPECT_FALSE(match("OBJ", "OBJ", false));
    EXPECT_FALSE(match("OB", "OBJ", true));
    EXPECT_TRUE(match(" \tOBJ\t", "OBJ", false));
}

TEST(TextScannerKeywords, FailedMatchLeavesTheBlanksSkipped) {
    const std::string text = "   TEXTURE_LIT x";
    TextScanner sc(text.data(), text.data() + text.size());
    EXPECT_FALSE(sc.matchKeyword("TEXTURE", false));
    EXPECT_EQ(sc.offset(), 3u);
    EXPECT_TRUE(sc.matchKeyword("TEXTURE_LIT", false));
    EXPECT_EQ(sc.readToken(), "x");
}

TEST(TextScannerLines, LineNumbersCountEveryLineEndStyle) {
    const std::string text = "a\nb\r\nc\rd";
    EXPECT_EQ(lineNumberAt(text.data(), text.size(), 0), 1u);
    EXPECT_EQ(lineNumberAt(text.data(), text.size(), 2), 2u);
    EXPECT_EQ(lineNumberAt(text.data(), text.size(), 5), 3u);
    EXPECT_EQ(lineNumberAt(text.data(), text.size(), 7), 4u);
}

TEST(TextScannerNumbers, TruncationSaturatesInsteadOfOverflowing) {
    EXPECT_EQ(truncateToInt32(7.9f), 7);
    EXPECT_EQ(truncateToInt32(-2.5f), -2);
    EXPECT_EQ(truncateToInt32(1e20f), INT32_MAX);
    EXPECT_EQ(truncateToInt32(-1e20f), INT32_MIN);
    EXPECT_EQ(truncateToInt32(NAN), INT32_MIN);
}

}  // namespace
}  // namespace tarvosk
