// The tug's geometry: where the pushed gear is, where the tug starts, how it drives up to the
// gear, swings while pushing and turns away at the end. State lives in gTruck (pushback.h).
#pragma once

namespace tarvosk {

struct WorldPoint {
    double x, y, z;
};

// Gear indices by host version (0/1 from version 800 on, else 67/68) and the pushed gear by
// FRONT_WHEEL, stored in gTruck.
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

// kind 0 tail right, 1 tail left, 2 straight; `heading` is the aircraft's. Pure.
void UpdateTruckSwing(int kind, float heading);

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
