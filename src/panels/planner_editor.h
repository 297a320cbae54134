// How the pilot edits a plan in the planner: a click on "-" or "+" steps a value, a drag
// across a value field slides it, a click on a field without a drag lets the pilot type it
// (Enter takes it, Escape drops it, Tab moves on). Values out of range are held to it and the
// status line says so. Pure: the window turns host events into these calls.
#pragma once

#include "panels/planner_view.h"

namespace tarvosk {

enum class PlannerAction : uint8_t { kNone, kChanged, kStart, kSave, kClose, kTurnView, kPopOut };

// Keys the editor knows besides printable characters.
enum class EditKey : uint8_t { kCharacter, kBackspace, kEnter, kEscape, kTab };

class PlannerEditor {
  public:
    // Metres or degrees a pixel of drag moves a value, and a "-"/"+" click.
    static constexpr double kMetresPerPixel = 0.25;
    static constexpr double kDegreesPerPixel = 0.5;
    static constexpr double kMetreStep = 1.0;
    static constexpr double kDegreeStep = 5.0;

    const PushPlan& Plan() const { return plan_; }
    // A plan from outside (a stand's, the datarefs'): taken as it is, held to its limits. What
    // the pilot is typing stays.
    void SetPlan(const PushPlan& plan);

    // Mouse: down, drag (while held) and up, with the control under the pointer at down.
    PlannerAction MouseDown(PlannerControl control, int x);
    PlannerAction MouseDrag(int x);
    PlannerAction MouseUp(int x);
    PlannerAction Key(EditKey key, char character);
    // A click elsewhere, or the window losing the keyboard, ends typing as Enter does.
    PlannerAction EndTyping();

    bool Typing() const { return typing_; }
    PlanValue Editing() const { return editing_; }
    const char* Typed() const { return typed_; }
    const char* Status() const { return status_; }
    void SetStatus(const char* text);
    // Copies what the view shows of the editor into `scene`.
    void Show(PlannerScene* scene) const;

  private:
    double Value(PlanValue which) const;
    // Stores `value` held to its range; says so in the status when it had to hold it.
    void Put(PlanValue which, double value);

    PushPlan plan_;
    PlanValue editing_ = PlanValue::kStraight;
    bool typing_ = false;
    char typed_[12] = {};
    char status_[64] = {};
    // The drag in progress.
    PlannerControl pressed_ = PlannerControl::kNone;
    int pressX_ = 0;
    double pressValue_ = 0.0;
    bool dragged_ = false;
};

}  // namespace tarvosk
