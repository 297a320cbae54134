// The tug's geometry: where the pushed gear is, where the tug starts, how it drives up to the
// gear, swings while pushing and turns away at the end. State lives in gTruck (pushback.h).
#pragma once

#include "pushback/push_kinds.h"

namespace tarvosk {

struct WorldPoint {
    double x, y, z;
};

// The host's gear table, as much of it as the choice of the pushed wheel needs: metres, body
// axes (x right, z aft) relative to the centre of gravity.
inline constexpr int kGearSlots = 10;
struct GearTable {
    int count = 0;
    int type[kGearSlots] = {};  // 0 none, 1 skid, 2 and up wheels
    int steers[kGearSlots] = {};
    float x[kGearSlots] = {}, z[kGearSlots] = {}, tyreRadius[kGearSlots] = {};
};

// Slots of the nose gear (the steering or castoring wheel furthest ahead of the centre of
// gravity) and the main gear (the wheel behind it nearest the centre line, the lower slot on a
// tie); -1 where the aircraft has none. Skids, dummy wheels (tyre radius under 5 cm) and unused
// slots never count. Pure.
struct GearChoice {
    int nose = -1, main = -1;
};
GearChoice ChooseGears(const GearTable& table);

// Reads the host's table; false when the host has none (older simulators).
bool ReadGearTable(GearTable* table);

// Refusals when the aircraft has no wheel for the push FRONT_WHEEL asks for.
inline constexpr int kNoNoseWheel = -8;
inline constexpr int kNoRearWheel = -9;
// 0 when the pushed wheel exists (or the host has no gear table), else one of the codes above.
int PushedGearCheck();

// Gear indices: from the gear table where the host has one, else by host version (0/1 from
// version 800 on, else 67/68); the pushed gear by FRONT_WHEEL. Stored in gTruck. Without a
// wheel of its kind the index keeps the fixed slot (the GPU still stands by it), and
// PushedGearCheck refuses the push.
void SelectGears();

// World position of gear `gear`: its body offset rotated by roll, pitch and heading.
WorldPoint GearWorldPosition(int gear);

// Local y of the ground under the pushed gear.
double GroundHeightAtGear();

// Puts the tug 15 units ahead of the pushed front gear (behind the rear one), shows it and
// moves the sequence to its announced phase.
void PlaceTruckAtStart();

// True when the tug has reached or passed the gear in both axes, on a 0.1 grid.
bool TruckArrived(double gearX, double gearZ);
bool TruckArrivedAt(double gearX, double gearZ, float aircraftHeading);  // pure form

// One approach step of truckSpeedFactor (or `distance`) along the aircraft's axis.
void StepTruckTowardGear();
void StepTruckTowardGear(double distance);

// The tug swings toward the side the tail goes; `heading` is the aircraft's. Pure.
void UpdateTruckSwing(PushDirection side, float heading);

// Heading at which the departure turn ends.
float DepartureHeading();

// One departure step; true while the tug is still backing off or turning away. Pure. The plain
// form drives truckSpeedFactor and turns 0.4 degrees; the other drives `distance` on the arc of
// the default speed.
bool StepTruckDeparture();
bool StepTruckDeparture(double distance);

// How far the released tug backs off before it turns away, for steps of `step` units.
double DepartureBackOff(double step);

}  // namespace tarvosk
