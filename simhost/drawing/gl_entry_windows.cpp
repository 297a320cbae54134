// OpenGL beyond 1.1 on Windows: opengl32.dll exports only 1.1, so each newer function the host
// calls is defined here and forwards to the driver's entry point, found with wglGetProcAddress
// on first use (the host has one context for the life of the process).
#define GL_GLEXT_PROTOTYPES 1
#include "drawing/gl_platform.h"
// After windows.h:
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstdlib>

namespace {

template <typename Function>
Function Entry(const char* name) {
    PROC found = wglGetProcAddress(name);
    if (found == nullptr) {
        // Only called with a context current, which the host has made to have them.
        std::fprintf(stderr, "tarvosk-sim: the OpenGL driver lacks %s\n", name);
        std::abort();
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

}  // namespace

#define TARVOSK_GL_ENTRY(name, type) static const auto f = Entry<type>(#name)

extern "C" {

void APIENTRY glActiveTexture(GLenum texture) {
    TARVOSK_GL_ENTRY(glActiveTexture, PFNGLACTIVETEXTUREPROC);
    f(texture);
}
void APIENTRY glBindFramebuffer(GLenum target, GLuint framebuffer) {
    TARVOSK_GL_ENTRY(glBindFramebuffer, PFNGLBINDFRAMEBUFFERPROC);
    f(target, framebuffer);
}
void APIENTRY glBindRenderbuffer(GLenum target, GLuint renderbuffer) {
    TARVOSK_GL_ENTRY(glBindRenderbuffer, PFNGLBINDRENDERBUFFERPROC);
    f(target, renderbuffer);
}
void APIENTRY glBlitFramebuffer(GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0,
                                GLint dstY0, GLint dstX1, GLint dstY1, GLbitfield mask,
                                GLenum filter) {
    TARVOSK_GL_ENTRY(glBlitFramebuffer, PFNGLBLITFRAMEBUFFERPROC);
    f(srcX0, srcY0, srcX1, srcY1, dstX0, dstY0, dstX1, dstY1, mask, filter);
}
void APIENTRY glDeleteFramebuffers(GLsizei n, const GLuint* framebuffers) {
    TARVOSK_GL_ENTRY(glDeleteFramebuffers, PFNGLDELETEFRAMEBUFFERSPROC);
    f(n, framebuffers);
}
void APIENTRY glDeleteRenderbuffers(GLsizei n, const GLuint* renderbuffers) {
    TARVOSK_GL_ENTRY(glDeleteRenderbuffers, PFNGLDELETERENDERBUFFERSPROC);
    f(n, renderbuffers);
}
void APIENTRY glFramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbuffertarget,
                                        GLuint renderbuffer) {
    TARVOSK_GL_ENTRY(glFramebufferRenderbuffer, PFNGLFRAMEBUFFERRENDERBUFFERPROC);
    f(target, attachment, renderbuffertarget, renderbuffer);
}
void APIENTRY glGenFramebuffers(GLsizei n, GLuint* framebuffers) {
    TARVOSK_GL_ENTRY(glGenFramebuffers, PFNGLGENFRAMEBUFFERSPROC);
    f(n, framebuffers);
}
void APIENTRY glGenRenderbuffers(GLsizei n, GLuint* renderbuffers) {
    TARVOSK_GL_ENTRY(glGenRenderbuffers, PFNGLGENRENDERBUFFERSPROC);
    f(n, renderbuffers);
}
void APIENTRY glGenerateMipmap(GLenum target) {
    TARVOSK_GL_ENTRY(glGenerateMipmap, PFNGLGENERATEMIPMAPPROC);
    f(target);
}
void APIENTRY glRenderbufferStorageMultisample(GLenum target, GLsizei samples,
                                               GLenum internalformat, GLsizei width,
                                               GLsizei height) {
    TARVOSK_GL_ENTRY(glRenderbufferStorageMultisample, PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC);
    f(target, samples, internalformat, width, height);
}

}  // extern "C"
