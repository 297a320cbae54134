// The syntax of a scenario line, shared by the parser and the actions' argument parsing.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "scenario.h"

namespace simhost::scenario {

// A word of a line; quoted text is one word, with \" and \n unescaped.
struct Token {
    std::string text;
    bool quoted = false;
};

// A number: decimal, or hex as a 32-bit pattern (as message codes and int datarefs hold them).
bool ParseNumber(const std::string& s, double* v);
// A message code: a whole number, decimal or hex, that fits 32 bits.
bool ParseCode(const std::string& s, double* v);

// Lines about modern windows and the earth (window_lines.cpp): whether an action line is a
// window line, its words into `s`, and running it; a configuration line of the earth into
// the script (*handled false when it is none).
bool IsWindowLine(const std::vector<Token>& t);
bool ParseWindowLine(const std::vector<Token>& t, Step* s, std::string* why);
bool RunWindowLine(const Step& s, std::string* why);
bool ParseWorldLine(const std::vector<Token>& t, Script* script, bool* handled, std::string* why);

// The words of an action line (its name first) into `s`; false with *why.
bool ParseAction(const std::vector<Token>& t, const std::filesystem::path& folder, Step* s,
                 std::string* why);

}  // namespace simhost::scenario
