// The message box: shows messageText (";" starts a new line) under a title, with an OK button.
#pragma once

namespace tarvosk {

// The shared text the message box shows; at most 255 characters and a terminator.
extern char messageText[256];

// Opens the message box titled `title` showing messageText.
void OpenMessageBox(const char* title);

}  // namespace tarvosk
