// tarvosk-sim --contact-sheet: one contact sheet from pictures already written, in sections.
#pragma once

namespace simhost::tool {

// argv[first] is the output file; the rest are the options and pictures. Returns the exit code.
int RunContactSheet(int argc, char** argv, int first);

// tarvosk-sim --shrink IN.png OUT.png WIDTH: a smaller copy of a picture (the README's).
int RunShrink(int argc, char** argv, int first);

}  // namespace simhost::tool
