// The numbers of one line at once, for the vertex and index lines that make up nearly all of a
// large object.
//
// Read number by number, each number's end must be found before the next one can start, so
// the reading runs at the speed of that chain of dependent steps. Where the processor has the
// 512-bit byte instructions, the whole line is classified in a few vector steps, every
// number's digits are gathered side by side, and all of them are converted together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarvosk::scan {

// The most numbers one call reads (an IDX10 line).
inline constexpr unsigned kMaxLineNumbers = 10;

// Reads `count` numbers (1 to kMaxLineNumbers) of the line at `p`, in a buffer that ends at
// `end`, with exactly the bits and end position of `count` TextScanner::readFloat(false)
// calls from `p`. Only the common shape is taken: each number after a single space, an
// optional sign, one to eight digits with at most one '.', and a blank or line end after the
// last. Returns the position after the last number, or nullptr (with `out` unspecified) for
// any other line, and always where the processor lacks those instructions: the caller then
// reads number by number.
const char* readLineNumbers(const char* p, const char* end, unsigned count, float* out);

// Lines read one after another by readFloatLines or readIndexLines: how many, and where the
// scanner's skipLine leaves the last of them (the start of the next line, or the buffer end).
struct LineRun {
    size_t lines = 0;
    const char* next = nullptr;
};

// Reads consecutive lines that each start at a line start `p` with `keyword`, one space and
// `count` (6, 8 or 10) numbers of the shape readLineNumbers takes, up to `maxLines` of them;
// each line's numbers go to `out`, `count` a line, with the bits readFloat(false) gives them.
// Stops before the first line of another shape, which is left to the caller. Reads no line
// where the processor lacks the instructions.
LineRun readFloatLines(const char* p, const char* end, std::string_view keyword, unsigned count,
                       size_t maxLines, float* out);

// The same for index lines, each number truncated toward zero as truncateToInt32 does.
LineRun readIndexLines(const char* p, const char* end, std::string_view keyword, unsigned count,
                       size_t maxLines, int32_t* out);

// True when readLineNumbers can take lines whole on this processor.
bool lineNumbersAccelerated();

}  // namespace tarvosk::scan
