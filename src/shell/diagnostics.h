// Diagnostic datarefs for the simulated host's scenarios.
#pragma once

namespace tarvosk {

// Registers "tarvosk/diagnostics/truck_phase" (read-only int, the pushback's truck phase), but
// only when the host publishes "simhost/clock/monotonic_seconds", i.e. under the simulated
// host: in the simulator the plug-in publishes exactly its twelve datarefs.
void RegisterDiagnosticDatarefs();

// Removes it again, if it was registered.
void UnregisterDiagnosticDatarefs();

}  // namespace tarvosk
