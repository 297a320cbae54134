// The About window: the logo, the credits and a closing line. At most one is open at a time.
#pragma once

#include <string>

namespace tarvosk {

// Opens the About window unless one is open. `dataFolder` is the plug-in data folder (ending
// in the separator), where "Bitmaps/TVKlogo.png" lives; `separator` is the host's.
void OpenAboutWindow(const std::string& dataFolder, const std::string& separator);

// Whether an About window is open now.
bool AboutWindowOpen();

// Closes the About window if one is open (the plug-in is stopping).
void CloseAboutWindow();

}  // namespace tarvosk
