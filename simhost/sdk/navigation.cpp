// The navigation database: the airports the host knows (the default one and those a scenario
// adds), searched by XPLMFindNavAid and described by XPLMGetNavAidInfo. A navaid's reference
// is its index, from 0: XPLM_NAV_NOT_FOUND (-1) is the only reference that finds nothing.
#include <cstdio>
#include <cstring>
#include <limits>

#include "control/host_state.h"
#include "world/geodesy.h"

using namespace simhost::detail;

XPLMNavRef XPLMFindNavAid(TARVOSK_XPLM_ARG(XPLMFindNavAid, 0) nameFragment,
                          TARVOSK_XPLM_ARG(XPLMFindNavAid, 1) idFragment, float* latitude,
                          float* longitude, int* frequency, XPLMNavType type) {
    if (!HostReady()) return XPLM_NAV_NOT_FOUND;
    const auto& airports = H().airports;
    // Airports pass a frequency filter: they have no frequency to screen them out.
    (void)frequency;
    if (!(type & xplm_Nav_Airport)) return XPLM_NAV_NOT_FOUND;
    const bool nearest = latitude && longitude;
    XPLMNavRef found = XPLM_NAV_NOT_FOUND;
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; k < airports.size(); ++k) {
        const simhost::AirportInfo& a = airports[k];
        if (nameFragment && a.name.find(nameFragment) == std::string::npos) continue;
        if (idFragment && a.id.find(idFragment) == std::string::npos) continue;
        if (!nearest) {
            found = static_cast<XPLMNavRef>(k);  // the last one found
            continue;
        }
        const double d = SurfaceDistance(*latitude, *longitude, a.latitude, a.longitude);
        if (d < best) {
            best = d;
            found = static_cast<XPLMNavRef>(k);
        }
    }
    return found;
}

void XPLMGetNavAidInfo(XPLMNavRef ref, XPLMNavType* outType, float* outLatitude,
                       float* outLongitude, float* outHeight, int* outFrequency, float* outHeading,
                       char* outID, char* outName, char* outReg) {
    if (!HostReady()) return;
    const auto& airports = H().airports;
    if (ref < 0 || ref >= static_cast<int>(airports.size())) {
        ++H().badAccesses;
        Log("XPLMGetNavAidInfo of navaid " + std::to_string(ref) + ", which does not exist, from " +
            PluginLabel(CurrentPlugin()));
        return;
    }
    const simhost::AirportInfo& a = airports[static_cast<std::size_t>(ref)];
    if (outType) *outType = xplm_Nav_Airport;
    if (outLatitude) *outLatitude = static_cast<float>(a.latitude);
    if (outLongitude) *outLongitude = static_cast<float>(a.longitude);
    if (outHeight) *outHeight = static_cast<float>(a.elevation);
    if (outFrequency) *outFrequency = 0;
    if (outHeading) *outHeading = 0;
    // As the simulator does: the whole text, however small the caller's buffer.
    if (outID) std::memcpy(outID, a.id.c_str(), a.id.size() + 1);
    if (outName) std::memcpy(outName, a.name.c_str(), a.name.size() + 1);
    if (outReg) *outReg = 1;
}
