// Converting the settings to and from their text form in the properties map.
#pragma once

#include "config/properties.h"

namespace tarvosk {

// Reads every setting from `properties` (the enable step). A value that does not parse gives
// that setting its default, a number outside its range is held to it (both are logged);
// TruckView_KF reading 0 resets the key to 123 (F12).
void ReadSettings(QN_Properties& properties);

// Stores every setting into `properties` (the disable step), with VERSION and TruckView_KF.
void StoreSettings(QN_Properties& properties);

}  // namespace tarvosk
