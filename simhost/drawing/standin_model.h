// The host's drawing of an aircraft loaded from a real aircraft file: a plain stand-in with
// the file's size and the file's gear, in place of the generated airliner.
#pragma once

#include "world/aircraft.h"

namespace simhost::detail {

// Draws `a` at a local position (its centre of gravity) and attitude (degrees), lit by the
// scene's light.
void DrawStandIn(const Aircraft& a, const double position[3], double psi, double theta, double phi);

}  // namespace simhost::detail
