// What differs between the platforms in the host's graphics: how the OpenGL context is made
// (EGL without a window on Linux, WGL on a hidden window on Windows) and, on Windows, the
// system headers <GL/gl.h> needs first. OpenGL beyond 1.1 comes from glext.h's prototypes:
// libGL exports them on Linux; on Windows gl_entry_windows.cpp defines them through
// wglGetProcAddress, since opengl32.dll exports only 1.1.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <string>

namespace simhost::detail {

// The name of the context interface, for messages ("EGL", "WGL").
extern const char* const kContextApi;

// Makes an OpenGL 2.1 compatibility context current on this thread for the life of the
// process; false with the reason when the system has none to give (no display).
bool MakeCurrentContext(std::string* problem);

}  // namespace simhost::detail
