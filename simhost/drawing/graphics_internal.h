// Pieces the graphics files share: the camera of a frame, what a picture frame is for, and the
// host's scene.
#pragma once

#include <string>

#include "drawing/graphics.h"
#include "simhost/simhost.h"

namespace simhost::detail {

struct Host;

// What a drawn frame is for: its view and size; `fixedTop` pins a top view's centre and the
// direction at the top of the picture (an animation keeps one place in view while the aircraft
// moves through it).
struct FrameRequest {
    std::string view = "outside";
    int width = 1280, height = 720;
    int screenLeft = 0, screenBottom = 0;  // view screen: the part of the screen shown
    bool fixedTop = false;
    double centreX = 0, centreZ = 0, height_m = 0;
    double upX = 0, upZ = -1;  // the direction shown at the top of the picture
};

struct Camera {
    double projection[16] = {}, modelview[16] = {};  // column-major
    double eye[3] = {};
};

Camera MakeCamera(const FrameRequest& request, const Host& h, int width, int height);
const Camera& FrameCamera();
void Begin3DCallback();  // the frame's camera, as every 3-D callback gets it

// Whether the coming frame is drawn in full, and for what (pictures first, then animations).
bool NextFrameRequest(FrameRequest* request);
bool PictureWanted();  // a picture is pending or an animation is running
void DeliverFrame(const FrameRequest& request, Picture&& picture);
void ForgetPictureJobs();  // a new host: no picture pending, no animation running

// The scene's light: 1 by day, down to about 0.15 at night (from percent_lights_on).
float SceneBrightness(const Host& h);
void SetSceneLights(float brightness);

// The plug-ins' instances, drawn by the host in the aircraft phase (instance_drawing.cpp).
void DrawInstances(float brightness);
// Other aircraft as parked airliners of their type's size, in the aircraft phase
// (traffic_drawing.cpp).
void DrawTraffic(float brightness);

}  // namespace simhost::detail
