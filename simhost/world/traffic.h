// Other aircraft: AI traffic and other pilots online, standing or moving around the user's
// aircraft, published as the simulator publishes them.
//
// Two sets of datarefs carry them. Every simulator from 8.60 on has the multiplayer ones,
// sim/multiplayer/position/planeN_x, _y, _z (double) and planeN_psi (float) for N = 1 to 19;
// from 11.50 on the TCAS arrays (64 slots, slot 0 the user's aircraft) add the position, the
// heading and the ICAO type of each, with tcas_num_acf counting the slots in use, and 12 adds
// each one's wing span. Slot N of the TCAS arrays is planeN of the multiplayer set.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace simhost::detail {

struct DatarefEntry;
class DatarefRegistry;

inline constexpr int kTcasSlots = 64;         // slot 0 is the user's aircraft
inline constexpr int kMultiplayerSlots = 19;  // planeN_*, N = 1 to 19
inline constexpr int kIcaoBytes = 8;          // per slot in icao_type
inline constexpr int kFirstTcasVersion = 11500;
inline constexpr int kFirstWingSpanVersion = 12000;

// The host's own sizes per ICAO type, for publishing the wing span and drawing a stand-in:
// span and length in metres, and the height of the reference point above the ground.
struct TrafficType {
    const char* icao;
    float span, length, height;
};
const TrafficType& TrafficTypeOf(const std::string& icao);  // a narrow-body for unknown types

// Who writes a slot: nobody, the host for the user's aircraft (slot 0), a traffic line, or a
// script that wrote the slot's datarefs itself (the host then leaves it alone).
enum class SlotDriver { Empty, Own, Traffic, Script };
// Which set a script wrote last for a slot: what a picture shows for it.
enum class ScriptedSet { Multiplayer, Tcas };

struct TrafficSlot {
    SlotDriver driver = SlotDriver::Empty;
    ScriptedSet scripted = ScriptedSet::Multiplayer;
    std::string icao;
    double x = 0, y = 0, z = 0;  // local position of the reference point
    float heading = 0;           // degrees true: the direction it faces and moves in
    double speed = 0;            // metres per second along the heading
    bool toTarget = false;       // stops at (targetX, targetZ)
    double targetX = 0, targetZ = 0;
};

struct Traffic {
    int version = 0;
    std::array<TrafficSlot, kTcasSlots> slots;
    bool countHeld = false;  // a script wrote tcas_num_acf: kept until a traffic line changes
    // Multiplayer entries by slot (index 0 unused); null where omitted.
    std::array<DatarefEntry*, kMultiplayerSlots + 1> mpX{}, mpY{}, mpZ{}, mpPsi{};
    // The TCAS arrays; null below 11500 (wing span below 12000) or where omitted.
    DatarefEntry *tcasX = nullptr, *tcasY = nullptr, *tcasZ = nullptr, *tcasPsi = nullptr;
    DatarefEntry *icaoType = nullptr, *count = nullptr, *wingSpan = nullptr;

    // The highest slot the version publishes other aircraft in: 19, or 63 with TCAS arrays.
    int LastSlot() const {
        return version >= kFirstTcasVersion ? kTcasSlots - 1 : kMultiplayerSlots;
    }
};

// The user's aircraft as slot 0 of the TCAS arrays sees it.
struct OwnAircraft {
    double x, y, z;
    float heading, span;
};

// Registers the datarefs the version has (names in `omitted` stay unfindable).
void RegisterTrafficDatarefs(DatarefRegistry& data, int version,
                             const std::vector<std::string>& omitted, Traffic* t);
// One frame: moving aircraft advance, and every slot the host drives is published.
void UpdateTraffic(Traffic& t, const OwnAircraft& own, double dt);

// What traffic lines do; false with *why for a slot the version lacks or a bad value.
bool PlaceTraffic(Traffic& t, int slot, const std::string& icao, double x, double groundY, double z,
                  float heading, std::string* why);
bool MoveTraffic(Traffic& t, int slot, double speed, float heading, std::string* why);
bool MoveTrafficTo(Traffic& t, int slot, double x, double z, double speed, std::string* why);
bool RemoveTraffic(Traffic& t, int slot, std::string* why);

// After the host wrote `count` elements from `offset` of `e` for a script: the slots it
// touched become the script's until a traffic line takes them.
void TrafficWrittenByScript(Traffic& t, const DatarefEntry* e, int offset, int count);

// An aircraft in a slot as published, for pictures: false for an empty slot and slot 0.
struct TrafficPose {
    std::string icao;
    double x, y, z;
    float heading;
};
bool TrafficPoseOf(const Traffic& t, int slot, TrafficPose* out);

}  // namespace simhost::detail
