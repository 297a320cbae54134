// GL and host calls that do nothing, so the benchmark measures only the plug-in's own work.
#include <GL/gl.h>

#include "xplm/host.h"

extern "C" {
XPLMDataRef XPLMFindDataRef(const char*) {
    static int handle;
    return &handle;
}
float XPLMGetDataf(XPLMDataRef) {
    return 0.5f;
}
int XPLMGetDatai(XPLMDataRef) {
    return 0;
}
void XPLMSetGraphicsState(int, int, int, int, int, int, int) {}
void XPLMBindTexture2d(int, int) {}
void XPLMGenerateTextureNumbers(int* out, int count) {
    static int next = 1;
    for (int i = 0; i < count; ++i) out[i] = next++;
}
void XPLMReadCameraPosition(XPLMCameraPosition_t* camera) {
    *camera = XPLMCameraPosition_t{};
    camera->x = 10.0f;
    camera->y = 2.0f;
    camera->z = 30.0f;
}
void glDeleteTextures(GLsizei, const GLuint*) {}
void glTexParameterf(GLenum, GLenum, GLfloat) {}
void glPixelStorei(GLenum, GLint) {}
void glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*) {}
GLenum glGetError(void) {
    return GL_NO_ERROR;
}
void glGetIntegerv(GLenum pname, GLint* out) {
    *out = pname == GL_MAX_MODELVIEW_STACK_DEPTH ? 32 : 2;
}
void glColor4f(GLfloat, GLfloat, GLfloat, GLfloat) {}
void glColor3f(GLfloat, GLfloat, GLfloat) {}
void glColor3fv(const GLfloat*) {}
void glMatrixMode(GLenum) {}
void glPushMatrix(void) {}
void glPopMatrix(void) {}
void glLoadIdentity(void) {}
void glTranslatef(GLfloat, GLfloat, GLfloat) {}
void glRotatef(GLfloat, GLfloat, GLfloat, GLfloat) {}
void glScalef(GLfloat, GLfloat, GLfloat) {}
void glBegin(GLenum) {}
void glEnd(void) {}
void glTexCoord2f(GLfloat, GLfloat) {}
void glVertex2f(GLfloat, GLfloat) {}
void glEnable(GLenum) {}
void glDisable(GLenum) {}
void glEnableClientState(GLenum) {}
void glDisableClientState(GLenum) {}
void glVertexPointer(GLint, GLenum, GLsizei, const GLvoid*) {}
void glNormalPointer(GLenum, GLsizei, const GLvoid*) {}
void glTexCoordPointer(GLint, GLenum, GLsizei, const GLvoid*) {}
void glColorPointer(GLint, GLenum, GLsizei, const GLvoid*) {}
void glDrawElements(GLenum, GLsizei, GLenum, const GLvoid*) {}
void glDrawArrays(GLenum, GLint, GLsizei) {}
void glShadeModel(GLenum) {}
void glMaterialfv(GLenum, GLenum, const GLfloat*) {}
void glMateriali(GLenum, GLenum, GLint) {}
void glLightfv(GLenum, GLenum, const GLfloat*) {}
void glPolygonOffset(GLfloat, GLfloat) {}
void glDepthMask(GLboolean) {}
}
