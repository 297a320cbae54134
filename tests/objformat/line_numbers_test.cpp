// Whole-line number reading against number-by-number reading: wherever a line is taken whole,
// the same bits and the same end; and the lines real objects are made of are taken.
#include "objformat/line_numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "objformat/text_scanner.h"

namespace {

using namespace tarvosk;

std::string printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        out += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : hex;
    }
    return out;
}

// Reads `count` numbers at `at` both ways; true when the line was taken whole, after checking
// that it agrees with the number-by-number reading.
bool takenAndAgrees(const std::string& buffer, size_t at, unsigned count) {
    const char* begin = buffer.data() + at;
    const char* end = buffer.data() + buffer.size();
    float whole[scan::kMaxLineNumbers];
    const char* after = scan::readLineNumbers(begin, end, count, whole);
    if (!after) return false;
    TextScanner one(begin, end);
    const std::string where =
        "count " + std::to_string(count) + " in \"" + printable(buffer.substr(at, 100)) + "\"";
    for (unsigned k = 0; k < count; ++k) {
        const float expected = one.readFloat(false);
        EXPECT_EQ(std::bit_cast<uint32_t>(whole[k]), std::bit_cast<uint32_t>(expected))
            << "number " << k << " (" << whole[k] << " instead of " << expected << "), " << where;
    }
    EXPECT_EQ(after - begin, one.position() - begin) << where;
    return true;
}

// A number as printf's "%f" and "%d" write them, and the shorter forms modellers' exporters
// write: an optional sign, digits with at most one '.', eight digits at most.
std::string ordinaryNumber(std::mt19937& random) {
    std::uniform_int_distribution<int> pick(0, 9);
    std::string digits(1 + random() % 8, '0');
    for (char& d : digits) d = static_cast<char>('0' + pick(random));
    const unsigned shape = random() % 8;
    if (shape < 5) {
        // The '.' may lead or trail; eight decimals and nothing before them are left to the
        // number-by-number reading.
        const size_t at = random() % (digits.size() + 1);
        if (at == 0 && digits.size() == 8) digits.pop_back();
        digits.insert(at, ".");
    }
    const char* signs[] = {"", "", "-", "+"};
    return signs[random() % 4] + digits;
}

TEST(LineNumbers, TakesTheLinesOfWrittenObjectsWhole) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> position(-40.0f, 40.0f);
    std::string text = "VT";
    std::vector<std::pair<size_t, unsigned>> lines;  // where each line's numbers start
    for (int line = 0; line < 2000; ++line) {
        const unsigned count = line % 4 == 0 ? 10 : line % 4 == 1 ? 1 : line % 4 == 2 ? 6 : 8;
        text += count == 10 ? "IDX10" : count == 1 ? "IDX" : count == 6 ? "VLINE" : "VT";
        lines.emplace_back(text.size(), count);
        for (unsigned k = 0; k < count; ++k) {
            char number[32];
            if (count >= 10 || count == 1) {
                std::snprintf(number, sizeof number, " %d", static_cast<int>(random() % 3000000));
            } else {
                std::snprintf(number, sizeof number, " %f", static_cast<double>(position(random)));
            }
            text += number;
        }
        text += line % 3 == 0 ? "\r\n" : "\n";
    }
    for (const auto& [at, count] : lines) {
        const bool taken = takenAndAgrees(text, at, count);
        EXPECT_EQ(taken, scan::lineNumbersAccelerated()) << printable(text.substr(at, 90));
    }
}

TEST(LineNumbers, OrdinaryNumbersAreTakenWholeUpToTheBufferEnd) {
    if (!scan::lineNumbersAccelerated()) GTEST_SKIP() << "this processor reads number by number";
    std::mt19937 random(5);
    const std::string terminators[] = {"\n", "\r", " ", "\t", std::string(1, '\0')};
    for (int trial = 0; trial < 20000; ++trial) {
        const unsigned count = 1 + random() % scan::kMaxLineNumbers;
        std::string line;
        for (unsigned k = 0; k < count; ++k) line += " " + ordinaryNumber(random);
        // Trailing text after the last number is left to the caller.
        line += terminators[random() % 5];
        if (trial % 3 == 0) line += " 12 junk";
        // Sometimes the line is the last thing in the buffer, so the windows run past its end.
        const std::string buffer = trial % 2 ? "VT" + line : "VT" + line + std::string(200, '7');
        EXPECT_TRUE(takenAndAgrees(buffer, 2, count)) << printable(line);
    }
}

// Near misses of the ordinary shape: each is either declined or read exactly as number by
// number, never read differently.
TEST(LineNumbers, NearMissesAreDeclinedOrAgree) {
    const std::vector<std::pair<std::string, unsigned>> cases = {
        {" 123456789 1\n", 2},           // nine digits
        {" 12345.6789 1\n", 2},          // nine digits around a '.'
        {" .12345678 1\n", 2},           // eight decimals, nothing before the '.'
        {" 1.2.3 4\n", 2},               // two points
        {" 1-2 3\n", 2},                 // a sign inside
        {" --1 3\n", 2},                 // two signs
        {" - 3\n", 2},                   // a sign alone
        {" . 3\n", 2},                   // a point alone
        {" -. 3\n", 2},                  // a sign and a point alone
        {" 1  2\n", 2},                  // two spaces
        {" 1\t2\n", 2},                  // a tab between
        {"\t1 2\n", 2},                  // a tab before
        {" 1\x01 2\n", 2},               // a control byte is part of a number
        {" 1 2\x01\n", 2},               // ... also at the end
        {" 1 2\n 3\n", 3},               // the line holds fewer numbers
        {" 1 2", 2},                     // the buffer ends with the number
        {" 1e5 2\n", 2},                 // no exponents: 'e' is a digit of its own
        {" 1\x80 2\n", 2},               // a high byte
        {" 0.5 -0 +0.0 -.5 5. 1\n", 6},  // zeros, signs and bare points
        {" 99999999 -99999999 0.00000001 9999999.9\n", 4},
        {" 1 2 3 4 5 6 7 8 9 10 11\n", 10},
    };
    for (const auto& [line, count] : cases) {
        takenAndAgrees("VT" + line, 2, count);
        takenAndAgrees("VT" + line + std::string(100, ' '), 2, count);
    }
    if (scan::lineNumbersAccelerated()) {
        EXPECT_TRUE(takenAndAgrees("VT 0.5 -0 +0.0 -.5 5. 1\n", 2, 6));
        EXPECT_FALSE(takenAndAgrees("VT 123456789 1\n", 2, 2));
        EXPECT_FALSE(takenAndAgrees("VT 1 2", 2, 2));
    }
}

// Random bytes from an alphabet of the characters that matter, in lines of random counts.
TEST(LineNumbers, RandomTextAgreesWheneverTaken) {
    std::mt19937 random(9);
    const std::string alphabet = std::string("0123456789012345678901234567890123456789  ..--+") +
                                 std::string("\t\n\r\x01\x7f\x80xe", 8) + std::string(1, '\0');
    size_t taken = 0;
    for (int trial = 0; trial < 50000; ++trial) {
        std::string line = " ";
        const size_t length = random() % 100;
        for (size_t i = 0; i < length; ++i) line += alphabet[random() % alphabet.size()];
        const unsigned count = 1 + random() % scan::kMaxLineNumbers;
        taken += takenAndAgrees(line, 0, count);
    }
    // The alphabet is mostly digits and spaces, so many lines have the ordinary shape.
    if (scan::lineNumbersAccelerated()) {
        EXPECT_GT(taken, 1000u);
    }
}

}  // namespace
