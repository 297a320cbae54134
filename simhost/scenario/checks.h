// What a scenario checks, apart from running it: conditions and expectations.
#pragma once

#include <string>

#include "scenario.h"

namespace simhost::scenario {

// "%.6g", and "unknown" for NaN: how checks and the runner's messages show a value.
std::string Num(double v);

// "time >= 3 +- 0.1", as a failure message quotes the condition.
std::string Describe(const Condition& c);

// The value of one of the host's own quantities a condition may name ("time", "frames",
// "camera.controlled", ...); false for any other name.
bool HostValue(const std::string& name, int pluginId, double* value);

// Evaluates a condition (plugin_enabled asks about `pluginId`); `known` false when its left
// side does not exist (yet); `actual` is the value found, for messages.
bool Evaluate(const Condition& c, int pluginId, bool* known, std::string* actual);

// An `expect` line; false with the reason in *why.
bool Expect(const Step& s, std::string* why);

}  // namespace simhost::scenario
