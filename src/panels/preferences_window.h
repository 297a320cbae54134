// The Preferences window: the seven switches (as eight check boxes), the truck speed and the
// truck-view key, written into the process-wide settings on OK. The speed slider and Defaults
// take effect at once; Cancel and the close box give back the settings the window opened with.
#pragma once

#include "xplm/host.h"

namespace tarvosk {

// The truck-view hot key the window replaces on OK: the handle's owner and the toggle.
struct TruckViewHotKey {
    XPLMHotKeyID* handle = nullptr;
    XPLMHotKey_f toggle = nullptr;
};

// Builds and shows the Preferences window, or brings the open one to the front.
void OpenPreferencesWindow(const TruckViewHotKey& hotKey);

// Closes every Preferences window without applying anything (the plug-in is stopping).
void CloseAllPreferencesWindows();

// Description of a virtual key (its low 8 bits) as the host names it; never null.
const char* KeyDescription(int virtualKey);

}  // namespace tarvosk
