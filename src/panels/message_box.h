// The message box: a small modeless window showing messageText, one line per ";"-separated
// piece, with one OK button that closes it. Several boxes may be open at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvosk {

// The shared text the message box shows; at most 255 characters and a terminator. Writers
// fill it completely before opening a box; each box copies it when it opens.
extern char messageText[256];

// A second button beside OK: pressing it closes the box and then calls `run(reference)`.
struct MessageBoxChoice {
    const char* label;
    void (*run)(intptr_t reference);
    intptr_t reference;
};

// Builds and shows a box titled `title` for the current messageText, with `choice` beside OK
// when given; returns at once.
void ShowMessageBox(const char* title, const MessageBoxChoice* choice = nullptr);

// The lines of `text` split at ";" (the ";" removed; a trailing ";" gives an empty last line).
std::vector<std::string> MessageLines(const char* text);

// Destroys every box still open (the plug-in is stopping).
void CloseAllMessageBoxes();

}  // namespace tarvosk
