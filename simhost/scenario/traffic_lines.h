// The traffic lines of a scenario: other aircraft placed, moved and removed.
//   traffic place SLOT TYPE at X Z heading H
//   traffic place SLOT TYPE offset RIGHT AFT heading H
//   traffic move SLOT speed S [heading H]
//   traffic move SLOT to X Z speed S
//   traffic move SLOT to offset RIGHT AFT speed S
//   traffic stop SLOT
//   traffic remove SLOT
#pragma once

#include <string>
#include <vector>

#include "lines.h"
#include "scenario.h"

namespace simhost::scenario {

// The words of a traffic line (its name first) into `s`; false with *why.
bool ParseTrafficLine(const std::vector<Token>& t, Step* s, std::string* why);
// Carries a parsed traffic line out on the host; false with *why.
bool RunTrafficStep(const Step& s, std::string* why);

}  // namespace simhost::scenario
