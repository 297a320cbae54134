// The OpenGL context on Windows: WGL on a window that is never shown (WGL has no context
// without one); the host draws into its own framebuffer objects, as with EGL on Linux.
#include "drawing/gl_platform.h"

namespace simhost::detail {

const char* const kContextApi = "WGL";

bool MakeCurrentContext(std::string* problem) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TarvoskSimGL";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"tarvosk-sim", WS_OVERLAPPEDWINDOW,
                                  0, 0, 64, 64, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        *problem = "no window to draw with (no display)";
        return false;
    }
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 24;
    format.iLayerType = PFD_MAIN_PLANE;
    const int chosen = ChoosePixelFormat(dc, &format);
    if (chosen == 0 || !SetPixelFormat(dc, chosen, &format)) {
        *problem = "no OpenGL pixel format";
        return false;
    }
    // A legacy context: the driver's compatibility profile, which fixed-function GL 1.1 needs.
    HGLRC context = wglCreateContext(dc);
    if (context == nullptr) {
        *problem = "cannot create an OpenGL context";
        return false;
    }
    if (!wglMakeCurrent(dc, context)) {
        *problem = "cannot make the OpenGL context current";
        return false;
    }
    return true;
}

}  // namespace simhost::detail
