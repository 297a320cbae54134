// Host commands for every menu action and the truck view, so users can bind keys and joystick
// buttons to them in the simulator's own settings.
#pragma once

namespace tarvosk {

// Creates the commands and registers their handlers (start-up).
void CreateCommands();

// Unregisters the handlers (stop); the host keeps the commands themselves.
void DropCommands();

// The simulator's own GPU commands (sim/electrical/GPU_on, GPU_off, GPU_toggle, from 12.1)
// bring and take away the cart while "Handle GPU" is on, and X-Plane 12's pushback commands
// (sim/ground_ops/pushback_*) bring Tarvosk's tug while "Answer X-Plane's pushback commands"
// is: handlers before the simulator's, registered at enable and removed at disable. Each
// command is looked up once.
void TakeOverSimulatorCommands();
void HandBackSimulatorCommands();

}  // namespace tarvosk
