#include "pushback/stand_memory.h"

#include <cmath>
#include <memory>

#include "pushback/host_data.h"
#include "pushback/push_path.h"
#include "xplm/host.h"

namespace tarvosk {

PlanState gPlan;

namespace {

// An airport further than this is another airport's business: the stand is keyed without one.
constexpr double kAirportReachMetres = 10000.0;

std::unique_ptr<StandPlans> gStands;

std::string NearestAirport(double latitude, double longitude) {
    float lat = static_cast<float>(latitude), lon = static_cast<float>(longitude);
    const XPLMNavRef ref = XPLMFindNavAid(nullptr, nullptr, &lat, &lon, nullptr, xplm_Nav_Airport);
    if (ref == XPLM_NAV_NOT_FOUND) return {};
    float airportLat = 0.0f, airportLon = 0.0f;
    char id[32] = {};
    char name[256] = {};
    XPLMGetNavAidInfo(ref, nullptr, &airportLat, &airportLon, nullptr, nullptr, nullptr, id, name,
                      nullptr);
    const StandKey here{latitude, longitude, 0.0, {}};
    const StandKey airport{airportLat, airportLon, 0.0, {}};
    if (StandDistanceMetres(here, airport) > kAirportReachMetres) return {};
    id[sizeof id - 1] = '\0';
    return id;
}

}  // namespace

void LoadStandPlans(const std::string& path, std::ostream* log) {
    gStands = std::make_unique<StandPlans>(path, log);
}

void ForgetStandPlans() {
    gStands.reset();
}

void AircraftArrived() {
    gPlan.writtenFromOutside = false;
    gPlan.editedInPlanner = false;
}

StandKey StandHere() {
    const HostDatarefs& d = gHostData;
    StandKey key;
    double altitude = 0.0;
    XPLMLocalToWorld(XPLMGetDatad(d.localX), XPLMGetDatad(d.localY), XPLMGetDatad(d.localZ),
                     &key.latitude, &key.longitude, &altitude);
    key.heading = XPLMGetDataf(d.psi);
    key.airport = NearestAirport(key.latitude, key.longitude);
    return key;
}

bool TakeStandPlan() {
    if (gStands == nullptr || gPlan.writtenFromOutside || gPlan.editedInPlanner) return false;
    const PushPlan* stored = gStands->Find(StandHere());
    if (stored == nullptr) return false;
    gPlan.plan = ClampPlan(*stored, nullptr);
    return true;
}

bool StandHasPlan() {
    return gStands != nullptr && gStands->Find(StandHere()) != nullptr;
}

bool SaveStandPlan() {
    if (gStands == nullptr) return false;
    return gStands->Store(StandHere(), gPlan.plan);
}

}  // namespace tarvosk
