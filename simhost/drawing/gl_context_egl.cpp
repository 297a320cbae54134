// The OpenGL context on Linux: EGL on Mesa's surfaceless platform, no window and no display
// server; the host draws into its own framebuffer objects.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "drawing/gl_platform.h"

namespace simhost::detail {

const char* const kContextApi = "EGL";

bool MakeCurrentContext(std::string* problem) {
    auto refuse = [problem](const char* why) {
        *problem = why;
        return false;
    };
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return refuse("EGL lacks eglGetPlatformDisplayEXT");
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) return refuse("no surfaceless EGL display");
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) return refuse("eglInitialize failed");
    if (!eglBindAPI(EGL_OPENGL_API)) return refuse("EGL offers no desktop OpenGL");
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1)
        config = nullptr;  // a context without a config is fine: we draw into our own targets
    // Fixed-function GL 1.1 needs the compatibility profile.
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                        2,
                                        EGL_CONTEXT_MINOR_VERSION,
                                        1,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                        EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) return refuse("cannot create an OpenGL context");
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
        return refuse("cannot make the context current without a surface");
    return true;
}

}  // namespace simhost::detail
