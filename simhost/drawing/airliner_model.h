// The user's aircraft as the host draws it: a twin-engined narrow-body airliner, generated
// from code as an OBJ8 object and read back with the project's object reader, like any other
// object file the simulator loads.
#pragma once

#include <string>

namespace tarvosk {
struct ObjectModel;
}

namespace simhost::detail {

// The object file's text (body axes: x right, y up, z aft; origin at the aircraft's reference
// point, the ground 3.2 m below it as in the default aircraft).
std::string AirlinerObjectText();
// The model, read once with readObj8FromBuffer; null if the reader refused it.
const tarvosk::ObjectModel* AirlinerModel(std::string* error = nullptr);
// Draws it at a local position and attitude (degrees), lit by the scene's light; `scale`
// (body x, y, z) stretches it into a stand-in for another aircraft.
void DrawAirliner(const double position[3], double psi, double theta, double phi, float brightness,
                  const double* scale = nullptr);
// The model's own size: span, length, and the reference point's height above the ground.
inline constexpr double kAirlinerSpan = 34.4, kAirlinerLength = 38.6, kAirlinerHeight = 3.2;

}  // namespace simhost::detail
