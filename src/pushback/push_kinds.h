// The kinds of pushback, described once: the menu, the commands, the status dataref and the
// start read this table, so a new kind is a row here plus its own motion.
#pragma once

#include <cstddef>

namespace tarvosk {

// Which way the tail goes: also the side the tug swings to and the nose wheel steers.
enum class PushDirection : int { Straight = 0, TailLeft = 1, TailRight = 2 };

// How a fixed kind steers: not at all, a straight leg then the turn, or turning from the start.
enum class Steering : int { None = 0, LegFirst = 1, Turning = 2 };

// Where the tug is in the procedure.
enum class TugPhase : int { Idle = -2, Announced = 0, Approach = 1, Pushing = 2, Departing = 3 };

// The tug is at the aircraft or on its way, and the push not yet over.
constexpr bool TugEngaged(TugPhase p) {
    return p == TugPhase::Announced || p == TugPhase::Approach || p == TugPhase::Pushing;
}

// What moves the aircraft each frame.
enum class KindMotion { Fixed, Manual, Planned };

enum class PushKind : int {
    Straight,
    TurnTailRight,
    TurnTailLeft,
    AutoTailRight,
    AutoTailLeft,
    Planned,
    ManualPush,
    ManualTow,
};

struct PushKindInfo {
    PushKind kind;
    const char* menuText;
    int menuGroup;  // a separator goes between groups
    const char* command;
    const char* commandDescription;
    int statusWrite;  // the value written to the status dataref that starts it; 0 none
    PushDirection direction;
    Steering steering;
    KindMotion motion;
    const char* wording;  // "Ok, <tail> we are ready to <wording>."
};

// In menu order; indexed by PushKind.
inline constexpr PushKindInfo kPushKinds[] = {
    {PushKind::Straight, "Push straight back", 0, "quorren/tarvosk/push_straight",
     "Tarvosk: push straight back", 1, PushDirection::Straight, Steering::LegFirst,
     KindMotion::Fixed, "push back straight"},
    {PushKind::TurnTailRight, "Turn tail right", 0, "quorren/tarvosk/turn_tail_right",
     "Tarvosk: push back, turning the tail right", 2, PushDirection::TailRight, Steering::Turning,
     KindMotion::Fixed, "push back tail right"},
    {PushKind::TurnTailLeft, "Turn tail left", 0, "quorren/tarvosk/turn_tail_left",
     "Tarvosk: push back, turning the tail left", 3, PushDirection::TailLeft, Steering::Turning,
     KindMotion::Fixed, "push back tail left"},
    {PushKind::AutoTailRight, "Automated tail right", 1, "quorren/tarvosk/auto_tail_right",
     "Tarvosk: push straight back, then turn the tail right", 4, PushDirection::TailRight,
     Steering::LegFirst, KindMotion::Fixed, "push back tail right"},
    {PushKind::AutoTailLeft, "Automated tail left", 1, "quorren/tarvosk/auto_tail_left",
     "Tarvosk: push straight back, then turn the tail left", 5, PushDirection::TailLeft,
     Steering::LegFirst, KindMotion::Fixed, "push back tail left"},
    {PushKind::Planned, "Planned pushback", 2, "quorren/tarvosk/planned_push",
     "Tarvosk: push back as planned for this stand", 0, PushDirection::Straight, Steering::None,
     KindMotion::Planned, "push back as planned"},
    {PushKind::ManualPush, "Manual pushback", 3, "quorren/tarvosk/manual_push",
     "Tarvosk: manual pushback, steered by the pilot", 0, PushDirection::Straight, Steering::None,
     KindMotion::Manual, "push back straight"},
    {PushKind::ManualTow, "Manual tow forward", 3, "quorren/tarvosk/manual_tow",
     "Tarvosk: manual tow forward, steered by the pilot", 0, PushDirection::Straight,
     Steering::None, KindMotion::Manual, "tow forward"},
};

inline constexpr std::size_t kPushKindCount = sizeof kPushKinds / sizeof kPushKinds[0];

constexpr bool KindsInEnumOrder() {
    for (std::size_t i = 0; i < kPushKindCount; ++i) {
        if (static_cast<std::size_t>(kPushKinds[i].kind) != i) return false;
    }
    return true;
}
static_assert(KindsInEnumOrder(), "kPushKinds is indexed by PushKind");

constexpr const PushKindInfo& KindInfo(PushKind kind) {
    return kPushKinds[static_cast<std::size_t>(kind)];
}

// The kind a status write of `value` starts, or nullptr.
constexpr const PushKindInfo* KindForStatusWrite(int value) {
    if (value == 0) return nullptr;
    for (const PushKindInfo& info : kPushKinds) {
        if (info.statusWrite == value) return &info;
    }
    return nullptr;
}

// What the status dataref reads while a push is ordered: 1 straight, 2 tail right, 3 tail left.
constexpr int StatusRead(PushDirection direction) {
    constexpr int kRead[] = {1, 3, 2};
    return kRead[static_cast<int>(direction)];
}

}  // namespace tarvosk
