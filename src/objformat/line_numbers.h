// The numbers of one line at once, for the vertex and index lines that make up nearly all of a
// large object.
//
// Read number by number, each number's end must be found before the next one can start, so
// the reading runs at the speed of that chain of dependent steps. Where the processor has the
// 512-bit byte instructions, the whole line is classified in a few vector steps, every
// number's digits are gathered side by side, and all of them are converted together.
#pragma once

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

// True when readLineNumbers can take lines whole on this processor.
bool lineNumbersAccelerated();

}  // namespace tarvosk::scan
