// The object renderer: per-object frame and the command interpreter.
#include "render/object_renderer.h"

#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "render/lighting.h"
#include "xplm/host.h"

namespace tarvosk {

namespace {

void EnableTexturing(int) {
    glEnable(GL_TEXTURE_2D);
}

void DisableTexturing(int) {
    glDisable(GL_TEXTURE_2D);
}

float AnimValueHook(const std::string& name, float, float) {
    return ReadAnimValue(name);
}

void Check() {
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) std::printf("GL ERROR: %d\n", static_cast<int>(error));
}

enum class TextureMode { None, Mesh, CockpitMesh, Lines, Lights };
enum class BoundArrays { None, Mesh, Lines, Lights };

// Client arrays, as bits of the set this call has left enabled.
enum : unsigned { kVertexArray = 1, kNormalArray = 2, kTexCoordArray = 4, kColorArray = 8 };

constexpr GLenum kClientArrays[] = {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_TEXTURE_COORD_ARRAY,
                                    GL_COLOR_ARRAY};

struct RenderState {
    const ObjectModel& model;
    GLfloat colour[3] = {1.0f, 1.0f, 1.0f};
    bool cockpit = false;
    TextureMode textureMode = TextureMode::None;
    BoundArrays bound = BoundArrays::None;
    unsigned enabledArrays = 0;

    // ANIM_begin nesting: `depth` levels are open, of which the outer `pushed` pushed a GL
    // matrix. Levels past the GL stack's room push nothing, so their ends pop nothing.
    int depth = 0;
    int pushed = 0;
    int stackRoom = -1;  // free GL matrix stack entries, asked for at the first ANIM_begin
};

void SetClientArray(RenderState& s, unsigned bit, bool enable) {
    const GLenum array = kClientArrays[__builtin_ctz(bit)];
    if (enable) {
        glEnableClientState(array);
        s.enabledArrays |= bit;
    } else {
        glDisableClientState(array);
        s.enabledArrays &= ~bit;
    }
    Check();
}

bool IndexRangeFits(const ObjectModel& model, const ModelCommand& c) {
    return c.first >= 0 && c.count >= 0 &&
           static_cast<size_t>(c.first) + static_cast<size_t>(c.count) <= model.indices.size();
}

void SetTextureMode(RenderState& s, TextureMode wanted) {
    if (s.textureMode == wanted) return;
    switch (wanted) {
        case TextureMode::Mesh:
            kModelDrawHooks.meshTexturing(0);
            break;
        case TextureMode::CockpitMesh:
            kModelDrawHooks.cockpitMeshTexturing(0);
            break;
        case TextureMode::Lines:
            kModelDrawHooks.linesTexturing(0);
            break;
        case TextureMode::Lights:
            kModelDrawHooks.lightsTexturing(0);
            break;
        case TextureMode::None:
            break;
    }
    Check();
    s.textureMode = wanted;
}

void DrawTris(RenderState& s, const ModelCommand& c) {
    if (!IndexRangeFits(s.model, c)) return;
    SetTextureMode(s, s.cockpit ? TextureMode::CockpitMesh : TextureMode::Mesh);
    if (s.bound != BoundArrays::Mesh) {
        const GLfloat* start = s.model.meshVertices.floats.data();
        glVertexPointer(3, GL_FLOAT, 32, start);
        Check();
        glNormalPointer(GL_FLOAT, 32, start + 3);
        Check();
        kModelDrawHooks.texCoordPointer(2, GL_FLOAT, 32, start + 6);
        Check();
        s.bound = BoundArrays::Mesh;
    }
    SetClientArray(s, kVertexArray, true);
    SetClientArray(s, kNormalArray, true);
    SetClientArray(s, kTexCoordArray, true);
    SetClientArray(s, kColorArray, false);
    glColor3fv(s.colour);
    Check();
    glDrawElements(GL_TRIANGLES, c.count, GL_UNSIGNED_INT, s.model.indices.data() + c.first);
    Check();
}

void BindColouredArrays(RenderState& s, BoundArrays which, const VertexTable& table) {
    if (s.bound != which) {
        const GLfloat* start = table.floats.data();
        glVertexPointer(3, GL_FLOAT, 24, start);
        Check();
        glColorPointer(3, GL_FLOAT, 24, start + 3);
        Check();
        s.bound = which;
    }
    SetClientArray(s, kVertexArray, true);
    SetClientArray(s, kNormalArray, false);
    SetClientArray(s, kTexCoordArray, false);
    SetClientArray(s, kColorArray, true);
}

void DrawLines(RenderState& s, const ModelCommand& c) {
    if (!IndexRangeFits(s.model, c)) return;
    SetTextureMode(s, TextureMode::Lines);
    BindColouredArrays(s, BoundArrays::Lines, s.model.lineVertices);
    glDrawElements(GL_LINES, c.count, GL_UNSIGNED_INT, s.model.indices.data() + c.first);
    Check();
}

void DrawLights(RenderState& s, const ModelCommand& c) {
    if (c.first < 0 || c.count < 0 ||
        static_cast<size_t>(c.first) + static_cast<size_t>(c.count) >
            s.model.lightVertices.count()) {
        return;
    }
    SetTextureMode(s, TextureMode::Lights);
    BindColouredArrays(s, BoundArrays::Lights, s.model.lightVertices);
    glDrawArrays(GL_POINTS, c.first, c.count);
    Check();
}

void BeginAnimation(RenderState& s) {
    if (s.stackRoom < 0) {
        GLint depth = 0;
        GLint maxDepth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxDepth);
        s.stackRoom = maxDepth > depth ? maxDepth - depth : 0;
    }
    if (s.pushed == s.depth && s.pushed < s.stackRoom) {
        glPushMatrix();
        Check();
        ++s.pushed;
    }
    ++s.depth;
}

void EndAnimation(RenderState& s) {
    if (s.depth == 0) return;  // an end without a begin: the matrix below is not ours
    if (s.pushed == s.depth) {
        glPopMatrix();
        Check();
        --s.pushed;
    }
    --s.depth;
}

const AnimRecord* Animation(const RenderState& s, const ModelCommand& c) {
    if (c.first < 0 || static_cast<size_t>(c.first) >= s.model.animations.size()) return nullptr;
    return &s.model.animations[static_cast<size_t>(c.first)];
}

void Rotate(const RenderState& s, const ModelCommand& c) {
    const AnimRecord* a = Animation(s, c);
    if (a == nullptr) return;
    const float v = kModelDrawHooks.animValue(a->datarefName, a->keyFrom.value, a->keyTo.value);
    const float angle =
        InterpolateKey(a->keyFrom.value, a->keyTo.value, a->keyFrom.angle, a->keyTo.angle, v);
    glRotatef(angle, a->keyFrom.x, a->keyFrom.y, a->keyFrom.z);
}

void Translate(const RenderState& s, const ModelCommand& c) {
    const AnimRecord* a = Animation(s, c);
    if (a == nullptr) return;
    const float v = kModelDrawHooks.animValue(a->datarefName, a->keyFrom.value, a->keyTo.value);
    const AnimKey& f = a->keyFrom;
    const AnimKey& t = a->keyTo;
    glTranslatef(InterpolateKey(f.value, t.value, f.x, t.x, v),
                 InterpolateKey(f.value, t.value, f.y, t.y, v),
                 InterpolateKey(f.value, t.value, f.z, t.z, v));
}

void Execute(RenderState& s, const ModelCommand& c) {
    const float* p = c.params.data();
    switch (c.code) {
        case CommandCode::ATTR_shade_flat:
            glShadeModel(GL_FLAT);
            Check();
            break;
        case CommandCode::ATTR_shade_smooth:
            glShadeModel(GL_SMOOTH);
            Check();
            break;
        case CommandCode::ATTR_diffuse_rgb:
            s.colour[0] = p[0];
            s.colour[1] = p[1];
            s.colour[2] = p[2];
            glColor3fv(s.colour);
            Check();
            break;
        case CommandCode::ATTR_emission_rgb:
            glMaterialfv(GL_FRONT, GL_EMISSION, p);
            Check();
            break;
        case CommandCode::ATTR_shiny_rat: {
            const GLfloat specular[4] = {p[0], p[0], p[0], 1.0f};
            glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
            glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
            glMateriali(GL_FRONT, GL_SHININESS, 128);
            break;
        }
        case CommandCode::ATTR_no_depth:
            glDisable(GL_DEPTH_TEST);
            Check();
            break;
        case CommandCode::ATTR_depth:
            glEnable(GL_DEPTH_TEST);
            Check();
            break;
        case CommandCode::ATTR_reset: {
            static const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
            static const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
            static const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
            glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
            glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
            glMaterialfv(GL_FRONT, GL_SPECULAR, black);
            glMaterialfv(GL_FRONT, GL_EMISSION, black);
            glColor3f(1.0f, 1.0f, 1.0f);
            s.colour[0] = s.colour[1] = s.colour[2] = 1.0f;
            glMateriali(GL_FRONT, GL_SHININESS, 0);
            Check();
            break;
        }
        case CommandCode::ATTR_cull:
            glEnable(GL_CULL_FACE);
            Check();
            break;
        case CommandCode::ATTR_no_cull:
            glDisable(GL_CULL_FACE);
            Check();
            break;
        case CommandCode::ATTR_poly_os:
            if (p[0] == 0.0f) {
                glDisable(GL_POLYGON_OFFSET_FILL);
                glPolygonOffset(0.0f, 0.0f);
                glDepthMask(GL_TRUE);
            } else {
                glEnable(GL_POLYGON_OFFSET_FILL);
                glPolygonOffset(-5.0f * p[0], -1.0f);
                glDepthMask(GL_FALSE);
            }
            Check();
            break;
        case CommandCode::ATTR_no_cockpit:
            s.cockpit = false;
            s.textureMode = TextureMode::None;
            break;
        case CommandCode::ATTR_cockpit:
            s.cockpit = true;
            break;
        case CommandCode::ATTR_no_blend:
            glDisable(GL_BLEND);
            Check();
            break;
        case CommandCode::ATTR_blend:
            glEnable(GL_BLEND);
            Check();
            break;
        case CommandCode::ANIM_begin:
            BeginAnimation(s);
            break;
        case CommandCode::ANIM_end:
            EndAnimation(s);
            break;
        case CommandCode::ANIM_rotate:
            Rotate(s, c);
            break;
        case CommandCode::ANIM_trans:
            Translate(s, c);
            break;
        case CommandCode::TRIS:
            DrawTris(s, c);
            break;
        case CommandCode::LINES:
            DrawLines(s, c);
            break;
        case CommandCode::LIGHTS:
            DrawLights(s, c);
            break;
        default:
            break;  // ambient, specular, hard surfaces, smoke: nothing to draw
    }
}

}  // namespace

const ModelDrawHooks kModelDrawHooks = {
    EnableTexturing,  EnableTexturing,   DisableTexturing,
    DisableTexturing, glTexCoordPointer, AnimValueHook,
};

float InterpolateKey(float fromValue, float toValue, float fromOut, float toOut, float value) {
    if (fromValue == toValue) return fromOut;
    return fromOut + (value - fromValue) * (toOut - fromOut) / (toValue - fromValue);
}

float ReadAnimValue(const std::string& name) {
    // Kept for the life of the library; a name the host does not know stays null (reads 0).
    static std::unordered_map<std::string, XPLMDataRef> handles;
    auto it = handles.find(name);
    if (it == handles.end()) it = handles.emplace(name, XPLMFindDataRef(name.c_str())).first;
    return it->second != nullptr ? XPLMGetDataf(it->second) : 0.0f;
}

void RenderModel(const ObjectModel& model, float distance) {
    if (model.lods.empty()) return;
    const LodRange* chosen = &model.lods.back();
    for (const LodRange& range : model.lods) {
        if (range.nearDistance <= distance && distance <= range.farDistance) chosen = &range;
    }

    RenderState state{model};
    for (const ModelCommand& command : chosen->commands) Execute(state, command);

    // Whatever the model's nesting, the matrices it pushed are popped, and the arrays it
    // enabled are off again, so the next object and the host start from a clean slate.
    while (state.pushed > 0) {
        glPopMatrix();
        Check();
        --state.pushed;
    }
    for (unsigned bit = kVertexArray; bit <= kColorArray; bit <<= 1) {
        if ((state.enabledArrays & bit) != 0)
            glDisableClientState(kClientArrays[__builtin_ctz(bit)]);
    }
}

void DrawPlacedObject(const PlacedObject& object) {
    if (object.drawDistance != 0) {
        XPLMCameraPosition_t camera{};
        XPLMReadCameraPosition(&camera);
        const double dx = double{camera.x} - object.x;
        const double dy = double{camera.y} - object.y;
        const double dz = double{camera.z} - object.z;
        if (static_cast<double>(object.drawDistance) < std::sqrt(dx * dx + dy * dy + dz * dz)) {
            return;
        }
    }

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(object.x, object.y, object.z);
    glRotatef(-object.heading, 0.0f, 1.0f, 0.0f);
    glRotatef(object.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(-object.roll, 0.0f, 0.0f, 1.0f);

    const bool night = UseLitTexture(object.litTexture);
    XPLMSetGraphicsState(0, 1, night ? 0 : 1, 1, 1, 1, 1);
    XPLMBindTexture2d(night ? object.litTexture : object.dayTexture, 0);
    glColor4f(1.0f, 1.0f, 1.0f, object.alpha);
    glScalef(object.scaleX, object.scaleY, object.scaleZ);

    RenderModel(object.model, MODEL_VIEW_DISTANCE);

    glEnable(GL_CULL_FACE);
    glPopMatrix();
}

}  // namespace tarvosk
