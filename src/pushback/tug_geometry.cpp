#include "pushback/tug_geometry.h"

#include <cmath>

#include "config/settings.h"
#include "pushback/heading_math.h"
#include "pushback/host_io.h"
#include "pushback/pushback.h"

namespace tarvosk {

bool ReadGearTable(GearTable* t) {
    const HostDatarefs& d = gHostData;
    if (d.gearType == nullptr || d.gearSteers == nullptr) return false;
    *t = GearTable{};
    const int types = XPLMGetDatavi(d.gearType, t->type, 0, kGearSlots);
    const int steers = XPLMGetDatavi(d.gearSteers, t->steers, 0, kGearSlots);
    XPLMGetDatavf(d.gearX, t->x, 0, kGearSlots);
    XPLMGetDatavf(d.gearZ, t->z, 0, kGearSlots);
    XPLMGetDatavf(d.gearTyreRadius, t->tyreRadius, 0, kGearSlots);
    t->count = types < steers ? types : steers;
    if (t->count < 0) t->count = 0;
    return true;
}

int PushedGearCheck() {
    GearTable table;
    if (gXplaneVersion < 800 || !ReadGearTable(&table)) return 0;
    const GearChoice c = ChooseGears(table);
    if (gSettings.FRONT_WHEEL) return c.nose < 0 ? kNoNoseWheel : 0;
    return c.main < 0 ? kNoRearWheel : 0;
}

void SelectGears() {
    const bool modern = gXplaneVersion >= 800;
    gTruck.noseGear = modern ? 0 : 67;
    gTruck.mainGear = modern ? 1 : 68;
    GearTable table;
    if (modern && ReadGearTable(&table)) {
        const GearChoice c = ChooseGears(table);
        if (c.nose >= 0) gTruck.noseGear = c.nose;
        if (c.main >= 0) gTruck.mainGear = c.main;
    }
    gTruck.pushedGear = gSettings.FRONT_WHEEL ? gTruck.noseGear : gTruck.mainGear;
}

WorldPoint GearWorldPosition(int gear) {
    const HostDatarefs& d = gHostData;
    const double px = XPLMGetDatad(d.localX);
    const double py = XPLMGetDatad(d.localY);
    const double pz = XPLMGetDatad(d.localZ);
    const double psi = XPLMGetDataf(d.psi) * kDegToRad64;
    const double theta = XPLMGetDataf(d.theta) * kDegToRad64;
    const double phi = XPLMGetDataf(d.phi) * kDegToRad64;
    const double x = ReadArrayElement(d.gearX, gear);
    const double y = ReadArrayElement(d.gearY, gear);
    const double z = ReadArrayElement(d.gearZ, gear);

    const double x1 = x * std::cos(phi) + y * std::sin(phi);
    const double y1 = y * std::cos(phi) - x * std::sin(phi);
    const double y2 = y1 * std::cos(theta) - z * std::sin(theta);
    const double z1 = y1 * std::sin(theta) + z * std::cos(theta);
    const double x2 = x1 * std::cos(psi) - z1 * std::sin(psi);
    const double z2 = x1 * std::sin(psi) + z1 * std::cos(psi);
    return {px + x2, py + y2, pz + z2};
}

double GroundHeightAtGear() {
    const int gear = gTruck.pushedGear;
    const double leg = ReadArrayElement(gHostData.gearLegLength, gear);
    const double tyre = ReadArrayElement(gHostData.gearTyreRadius, gear);
    return GearWorldPosition(gear).y - (leg + tyre);
}

void PlaceTruckAtStart() {
    SelectGears();
    const float psi = XPLMGetDataf(gHostData.psi);
    const WorldPoint gear = GearWorldPosition(gTruck.pushedGear);
    const HeadingTrig t = HeadingTrig64(psi);
    const double side = gSettings.FRONT_WHEEL ? 15.0 : -15.0;
    gTruck.truckX = gear.x + side * t.sinH;
    gTruck.truckZ = gear.z - side * t.cosH;
    gTruck.truckVisible = true;
    gTruck.truckHeading = gSettings.FRONT_WHEEL ? psi : psi - 180.0f;
    gPushback.truckPhase = TugPhase::Announced;
}

bool TruckArrived(double gearX, double gearZ) {
    return TruckArrivedAt(gearX, gearZ, XPLMGetDataf(gHostData.psi));
}

void StepTruckTowardGear() {
    StepTruckTowardGear(gSettings.truckSpeedFactor);
}

void StepTruckTowardGear(double distance) {
    const double s = gSettings.FRONT_WHEEL ? distance : -distance;
    const HeadingTrig t = HeadingTrig64(XPLMGetDataf(gHostData.psi));
    gTruck.truckZ += s * t.cosH;
    gTruck.truckX -= s * t.sinH;
}

float DepartureHeading() {
    const float psi = XPLMGetDataf(gHostData.psi);
    return Wrap360(gSettings.FRONT_WHEEL ? psi + 180.0f : psi);
}

}  // namespace tarvosk

namespace tarvosk {

void ReadAircraftSize() {
    // The size datarefs are optional: without them the leg keeps its length.
    if (gHostData.sizeZ == nullptr) return;
    XPLMGetDataf(gHostData.sizeX);  // read as the host expects; its value is not used
    const float size = XPLMGetDataf(gHostData.sizeZ);
    // A nonsensical length must not turn into an undefined integer conversion.
    const int length =
        std::isfinite(size) && std::fabs(size) < 100000.0f ? static_cast<int>(size) : 0;
    gTruck.legLength = static_cast<int>(0.75 * length);
}

}  // namespace tarvosk
