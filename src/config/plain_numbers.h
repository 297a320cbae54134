// Decimal numbers in files and fields a person writes, read and written the same way whatever
// the process's locale (the simulator's may use a decimal comma) and whatever the C++ library
// (the portable build's has no floating-point charconv).
#pragma once

#include <string>
#include <string_view>

namespace tarvosk {

// "-12.5", "+3", ".25", "7.": an optional sign, digits, an optional point and digits; no
// exponent, at most 40 characters. False for anything else. Good to about 15 significant
// digits, which is all a plan or a stand needs.
bool ParsePlainDecimal(std::string_view text, double* value);

// `value` with `decimals` digits after the point (at most 9), trailing zeros dropped but one
// digit kept: "47.4582", "90.0", "-0.125". Values beyond 1e9 in size are held to it.
std::string FormatPlainDecimal(double value, int decimals);

}  // namespace tarvosk
