// Host commands for every menu action and the truck view, so users can bind keys and joystick
// buttons to them in the simulator's own settings.
#pragma once

namespace tarvosk {

// Creates the commands and registers their handlers (start-up).
void CreateCommands();

// Unregisters the handlers (stop); the host keeps the commands themselves.
void DropCommands();

}  // namespace tarvosk
