#include "panels/planner_editor.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "config/plain_numbers.h"

namespace tarvosk {

namespace {

struct FieldOf {
    PlannerControl minus, field, plus;
    PlanValue value;
};
constexpr FieldOf kFields[] = {
    {PlannerControl::kStraightMinus, PlannerControl::kStraightField, PlannerControl::kStraightPlus,
     PlanValue::kStraight},
    {PlannerControl::kTurnMinus, PlannerControl::kTurnField, PlannerControl::kTurnPlus,
     PlanValue::kTurn},
    {PlannerControl::kAfterMinus, PlannerControl::kAfterField, PlannerControl::kAfterPlus,
     PlanValue::kAfter},
};

constexpr const char* kNames[] = {"Straight back", "Turn", "After the turn"};

bool IsTurn(PlanValue v) {
    return v == PlanValue::kTurn;
}

}  // namespace

void PlannerEditor::SetStatus(const char* text) {
    std::snprintf(status_, sizeof status_, "%s", text);
}

void PlannerEditor::SetPlan(const PushPlan& plan) {
    plan_ = ClampPlan(plan, nullptr);
}

double PlannerEditor::Value(PlanValue which) const {
    switch (which) {
        case PlanValue::kStraight:
            return plan_.straight;
        case PlanValue::kTurn:
            return plan_.turn;
        default:
            return plan_.after;
    }
}

void PlannerEditor::Put(PlanValue which, double value) {
    PushPlan next = plan_;
    double* slot = which == PlanValue::kStraight ? &next.straight
                   : which == PlanValue::kTurn   ? &next.turn
                                                 : &next.after;
    *slot = value;
    bool held = false;
    next = ClampPlan(next, &held);
    plan_ = next;
    if (held) {
        char shown[32];
        FormatPlanValue(which, *slot, shown, sizeof shown);
        std::snprintf(status_, sizeof status_, "%s held to %s", kNames[static_cast<int>(which)],
                      shown);
    } else {
        status_[0] = '\0';
    }
}

PlannerAction PlannerEditor::MouseDown(PlannerControl control, int x) {
    PlannerAction action = PlannerAction::kNone;
    if (typing_) action = EndTyping();
    pressed_ = control;
    pressX_ = x;
    dragged_ = false;
    for (const FieldOf& f : kFields) {
        const double step = IsTurn(f.value) ? kDegreeStep : kMetreStep;
        if (control == f.minus || control == f.plus) {
            editing_ = f.value;
            Put(f.value, Value(f.value) + (control == f.plus ? step : -step));
            return PlannerAction::kChanged;
        }
        if (control == f.field) {
            editing_ = f.value;
            pressValue_ = Value(f.value);
            return action;
        }
    }
    switch (control) {
        case PlannerControl::kStart:
            return PlannerAction::kStart;
        case PlannerControl::kSave:
            return PlannerAction::kSave;
        case PlannerControl::kClose:
            return PlannerAction::kClose;
        case PlannerControl::kOrientation:
            return PlannerAction::kTurnView;
        default:
            return action;
    }
}

PlannerAction PlannerEditor::MouseDrag(int x) {
    bool onField = false;
    for (const FieldOf& f : kFields) onField = onField || pressed_ == f.field;
    if (!onField || (!dragged_ && std::abs(x - pressX_) < 3)) return PlannerAction::kNone;
    dragged_ = true;
    const double perPixel = IsTurn(editing_) ? kDegreesPerPixel : kMetresPerPixel;
    double value = pressValue_ + (x - pressX_) * perPixel;
    // Drags land on whole steps: half metres and whole degrees.
    value = IsTurn(editing_) ? std::round(value) : std::round(value * 2.0) / 2.0;
    Put(editing_, value);
    return PlannerAction::kChanged;
}

PlannerAction PlannerEditor::MouseUp(int x) {
    PlannerAction action = MouseDrag(x);
    bool onField = false;
    for (const FieldOf& f : kFields) onField = onField || pressed_ == f.field;
    if (onField && !dragged_) {
        typing_ = true;
        typed_[0] = '\0';
    }
    pressed_ = PlannerControl::kNone;
    return action;
}

PlannerAction PlannerEditor::EndTyping() {
    if (!typing_) return PlannerAction::kNone;
    typing_ = false;
    const char* begin = typed_;
    const char* end = typed_ + std::strlen(typed_);
    if (begin == end) return PlannerAction::kNone;  // nothing typed: the value stays
    double value = 0.0;
    if (!ParsePlainDecimal(std::string_view(begin, static_cast<std::size_t>(end - begin)),
                           &value)) {
        std::snprintf(status_, sizeof status_, "\"%s\" is not a number", typed_);
        return PlannerAction::kNone;
    }
    Put(editing_, value);
    return PlannerAction::kChanged;
}

PlannerAction PlannerEditor::Key(EditKey key, char c) {
    if (!typing_) return PlannerAction::kNone;
    const std::size_t n = std::strlen(typed_);
    switch (key) {
        case EditKey::kBackspace:
            if (n > 0) typed_[n - 1] = '\0';
            return PlannerAction::kNone;
        case EditKey::kEnter:
            return EndTyping();
        case EditKey::kEscape:
            typing_ = false;
            return PlannerAction::kNone;
        case EditKey::kTab: {
            const PlannerAction action = EndTyping();
            editing_ = static_cast<PlanValue>((static_cast<int>(editing_) + 1) % 3);
            typing_ = true;
            typed_[0] = '\0';
            return action;
        }
        case EditKey::kCharacter:
            if (((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+') &&
                n + 1 < sizeof typed_) {
                typed_[n] = c;
                typed_[n + 1] = '\0';
            }
            return PlannerAction::kNone;
    }
    return PlannerAction::kNone;
}

void PlannerEditor::Show(PlannerScene* scene) const {
    scene->plan = plan_;
    scene->editing = editing_;
    scene->typing = typing_;
    std::snprintf(scene->typed, sizeof scene->typed, "%s", typed_);
    std::snprintf(scene->status, sizeof scene->status, "%s", status_);
}

}  // namespace tarvosk
