// The fake GL and host functions, with C linkage and the real names.
#include "fake_host.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "xplm/host.h"

namespace fake {

Host& host() {
    static Host instance;  // function-local: the library resolves datarefs at load time
    return instance;
}

void reset() {
    host() = Host{};
}

std::vector<std::string> callsStartingWith(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& call : host().calls) {
        if (call.rfind(prefix, 0) == 0) out.push_back(call);
    }
    return out;
}

int findCall(const std::string& text, size_t from) {
    for (size_t i = from; i < host().calls.size(); ++i) {
        if (host().calls[i] == text) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace fake

namespace {

template <typename... Args>
void record(const char* format, Args... args) {
    if (!fake::host().recording) return;
    char line[256];
    std::snprintf(line, sizeof line, format, args...);
    fake::host().calls.emplace_back(line);
}

void record(const char* text) {
    if (fake::host().recording) fake::host().calls.emplace_back(text);
}

std::string where(const void* p) {
    const auto* bytes = static_cast<const char*>(p);
    const std::pair<std::string, const void*>* best = nullptr;
    for (const auto& base : fake::host().bases) {
        const auto* start = static_cast<const char*>(base.second);
        if (start <= bytes && (best == nullptr || start > static_cast<const char*>(best->second))) {
            best = &base;
        }
    }
    if (best == nullptr) return "?";
    return best->first + "+" + std::to_string(bytes - static_cast<const char*>(best->second));
}

// Datarefs are handles into a name table that lives as long as the process.
std::vector<std::string>& names() {
    static std::vector<std::string> table;
    return table;
}

const std::string* nameOf(XPLMDataRef ref) {
    if (ref == nullptr) return nullptr;
    return &names()[reinterpret_cast<uintptr_t>(ref) - 1];
}

const char* capName(GLenum cap) {
    switch (cap) {
        case GL_TEXTURE_2D:
            return "GL_TEXTURE_2D";
        case GL_DEPTH_TEST:
            return "GL_DEPTH_TEST";
        case GL_CULL_FACE:
            return "GL_CULL_FACE";
        case GL_BLEND:
            return "GL_BLEND";
        case GL_POLYGON_OFFSET_FILL:
            return "GL_POLYGON_OFFSET_FILL";
        case GL_VERTEX_ARRAY:
            return "GL_VERTEX_ARRAY";
        case GL_NORMAL_ARRAY:
            return "GL_NORMAL_ARRAY";
        case GL_TEXTURE_COORD_ARRAY:
            return "GL_TEXTURE_COORD_ARRAY";
        case GL_COLOR_ARRAY:
            return "GL_COLOR_ARRAY";
        case GL_FRONT:
            return "GL_FRONT";
        case GL_EMISSION:
            return "GL_EMISSION";
        case GL_SPECULAR:
            return "GL_SPECULAR";
        case GL_AMBIENT:
            return "GL_AMBIENT";
        case GL_DIFFUSE:
            return "GL_DIFFUSE";
        case GL_SHININESS:
            return "GL_SHININESS";
        case GL_LIGHT0:
            return "GL_LIGHT0";
        case GL_FLAT:
            return "GL_FLAT";
        case GL_SMOOTH:
            return "GL_SMOOTH";
        case GL_TRIANGLES:
            return "GL_TRIANGLES";
        case GL_LINES:
            return "GL_LINES";
        case GL_POINTS:
            return "GL_POINTS";
        case GL_MODELVIEW:
            return "GL_MODELVIEW";
        default:
            return "?";
    }
}

}  // namespace

extern "C" {

// ---- Host --------------------------------------------------------------------------------
XPLMDataRef XPLMFindDataRef(const char* name) {
    auto& table = names();
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i] == name) return reinterpret_cast<XPLMDataRef>(i + 1);
    }
    table.emplace_back(name);
    return reinterpret_cast<XPLMDataRef>(table.size());
}

float XPLMGetDataf(XPLMDataRef ref) {
    const std::string* name = nameOf(ref);
    record("XPLMGetDataf(%s)", name ? name->c_str() : "null");
    auto it = fake::host().floatData.find(name ? *name : std::string());
    return it == fake::host().floatData.end() ? 0.0f : it->second;
}

int XPLMGetDatai(XPLMDataRef ref) {
    const std::string* name = nameOf(ref);
    record("XPLMGetDatai(%s)", name ? name->c_str() : "null");
    auto it = fake::host().intData.find(name ? *name : std::string());
    return it == fake::host().intData.end() ? 0 : it->second;
}

void XPLMSetGraphicsState(int fog, int units, int lighting, int alphaTest, int alphaBlend,
                          int depthTest, int depthWrite) {
    record("XPLMSetGraphicsState(%d,%d,%d,%d,%d,%d,%d)", fog, units, lighting, alphaTest,
           alphaBlend, depthTest, depthWrite);
}

void XPLMBindTexture2d(int number, int unit) {
    fake::host().boundTexture = number;
    record("XPLMBindTexture2d(%d,%d)", number, unit);
}

void XPLMGenerateTextureNumbers(int* out, int count) {
    for (int i = 0; i < count; ++i) {
        out[i] = fake::host().nextTexture++;
        fake::host().liveTextures.insert(out[i]);
    }
    record("XPLMGenerateTextureNumbers(%d)", count);
}

void XPLMReadCameraPosition(XPLMCameraPosition_t* camera) {
    *camera = XPLMCameraPosition_t{};
    camera->x = fake::host().camera[0];
    camera->y = fake::host().camera[1];
    camera->z = fake::host().camera[2];
    record("XPLMReadCameraPosition");
}

// ---- GL ----------------------------------------------------------------------------------
void glDeleteTextures(GLsizei n, const GLuint* textures) {
    for (GLsizei i = 0; i < n; ++i) {
        fake::host().liveTextures.erase(static_cast<int>(textures[i]));
        record("glDeleteTextures(%u)", textures[i]);
    }
}
void glTexParameterf(GLenum, GLenum pname, GLfloat value) {
    record("glTexParameterf(%s,%g)", pname == GL_TEXTURE_MIN_FILTER ? "MIN" : "MAG", value);
}
void glPixelStorei(GLenum, GLint value) {
    fake::host().unpackAlignment = value;
    record("glPixelStorei(GL_UNPACK_ALIGNMENT,%d)", value);
}
void glTexImage2D(GLenum, GLint level, GLint, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum, const GLvoid* pixels) {
    fake::Upload upload;
    upload.texture = fake::host().boundTexture;
    upload.width = width;
    upload.height = height;
    upload.format = format;
    upload.unpackAlignment = fake::host().unpackAlignment;
    const size_t channels = format == GL_RGB ? 3 : 4;
    const size_t align = static_cast<size_t>(upload.unpackAlignment);
    const size_t row = (static_cast<size_t>(width) * channels + align - 1) / align * align;
    const auto* bytes = static_cast<const uint8_t*>(pixels);
    upload.pixels.assign(bytes, bytes + row * static_cast<size_t>(height));
    fake::host().uploads.push_back(std::move(upload));
    record("glTexImage2D(%d,%d,%d,%s)", level, width, height, format == GL_RGB ? "RGB" : "RGBA");
    (void)border;
}
GLenum glGetError(void) {
    auto& pending = fake::host().pendingErrors;
    if (pending.empty()) return GL_NO_ERROR;
    const GLenum error = pending.front();
    pending.erase(pending.begin());
    return error;
}
void glGetIntegerv(GLenum pname, GLint* out) {
    if (pname == GL_MODELVIEW_STACK_DEPTH) *out = fake::host().matrixDepth;
    if (pname == GL_MAX_MODELVIEW_STACK_DEPTH) *out = fake::host().maxMatrixDepth;
}
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    record("glColor4f(%g,%g,%g,%g)", r, g, b, a);
}
void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    record("glColor3f(%g,%g,%g)", r, g, b);
}
void glColor3fv(const GLfloat* c) {
    record("glColor3fv(%g,%g,%g)", c[0], c[1], c[2]);
}
void glMatrixMode(GLenum mode) {
    record("glMatrixMode(%s)", capName(mode));
}
void glPushMatrix(void) {
    auto& h = fake::host();
    if (h.matrixDepth >= h.maxMatrixDepth) {
        ++h.matrixOverflows;
    } else {
        ++h.matrixDepth;
    }
    record("glPushMatrix");
}
void glPopMatrix(void) {
    auto& h = fake::host();
    if (h.matrixDepth <= 1) {
        ++h.matrixUnderflows;
    } else {
        --h.matrixDepth;
    }
    record("glPopMatrix");
}
void glLoadIdentity(void) {
    record("glLoadIdentity");
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    record("glTranslatef(%g,%g,%g)", x, y, z);
}
void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
    record("glRotatef(%g,%g,%g,%g)", a, x, y, z);
}
void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    record("glScalef(%g,%g,%g)", x, y, z);
}
void glBegin(GLenum) {
    record("glBegin(GL_QUADS)");
}
void glEnd(void) {
    record("glEnd");
}
void glTexCoord2f(GLfloat s, GLfloat t) {
    record("glTexCoord2f(%g,%g)", s, t);
}
void glVertex2f(GLfloat x, GLfloat y) {
    record("glVertex2f(%g,%g)", x, y);
}
void glEnable(GLenum cap) {
    record("glEnable(%s)", capName(cap));
}
void glDisable(GLenum cap) {
    record("glDisable(%s)", capName(cap));
}
void glEnableClientState(GLenum array) {
    fake::host().clientArrays.insert(array);
    record("glEnableClientState(%s)", capName(array));
}
void glDisableClientState(GLenum array) {
    fake::host().clientArrays.erase(array);
    record("glDisableClientState(%s)", capName(array));
}
void glVertexPointer(GLint size, GLenum, GLsizei stride, const GLvoid* p) {
    record("glVertexPointer(%d,%d,%s)", size, stride, where(p).c_str());
}
void glNormalPointer(GLenum, GLsizei stride, const GLvoid* p) {
    record("glNormalPointer(%d,%s)", stride, where(p).c_str());
}
void glTexCoordPointer(GLint size, GLenum, GLsizei stride, const GLvoid* p) {
    record("glTexCoordPointer(%d,%d,%s)", size, stride, where(p).c_str());
}
void glColorPointer(GLint size, GLenum, GLsizei stride, const GLvoid* p) {
    record("glColorPointer(%d,%d,%s)", size, stride, where(p).c_str());
}
void glDrawElements(GLenum mode, GLsizei count, GLenum, const GLvoid* indices) {
    record("glDrawElements(%s,%d,%s)", capName(mode), count, where(indices).c_str());
}
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    record("glDrawArrays(%s,%d,%d)", capName(mode), first, count);
}
void glShadeModel(GLenum mode) {
    record("glShadeModel(%s)", capName(mode));
}
void glMaterialfv(GLenum face, GLenum pname, const GLfloat* v) {
    record("glMaterialfv(%s,%s,%g,%g,%g,%g)", capName(face), capName(pname), v[0], v[1], v[2],
           v[3]);
}
void glMateriali(GLenum face, GLenum pname, GLint v) {
    record("glMateriali(%s,%s,%d)", capName(face), capName(pname), v);
}
void glLightfv(GLenum light, GLenum pname, const GLfloat* v) {
    record("glLightfv(%s,%s,%g,%g,%g,%g)", capName(light), capName(pname), v[0], v[1], v[2], v[3]);
}
void glPolygonOffset(GLfloat factor, GLfloat units) {
    record("glPolygonOffset(%g,%g)", factor, units);
}
void glDepthMask(GLboolean flag) {
    record("glDepthMask(%d)", flag);
}

}  // extern "C"
