// The message box: shows messageText (";" starts a new line) under a title.
//
// Until the panel toolkit exists this is a plain host window with the title and the lines,
// closed by a click anywhere in it; a newer box replaces an older one.
#pragma once

namespace tarvosk {

// The shared text the message box shows; at most 255 characters and a terminator.
extern char messageText[256];

// Opens the message box titled `title` showing messageText.
void OpenMessageBox(const char* title);

// Destroys the box if there is one (the plug-in is stopping).
void CloseMessageBox();

}  // namespace tarvosk
