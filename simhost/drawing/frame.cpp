// The OpenGL context, and the frame's drawing target and camera.
#define GL_GLEXT_PROTOTYPES 1
#include "drawing/graphics.h"

#include "drawing/gl_platform.h"
// After the platform's own headers:
#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "control/host_state.h"
#include "drawing/graphics_internal.h"

using namespace simhost::detail;

namespace simhost::detail {

namespace {

struct Context {
    bool tried = false;
    bool ok = false;
    std::string problem;
};

Context& Ctx() {
    static Context c;
    return c;
}

bool MakeContext(Context& c) {
    const char* off = std::getenv("TARVOSK_SIM_NO_GL");
    if (off && *off && std::strcmp(off, "0") != 0) {
        c.problem = "graphics switched off (TARVOSK_SIM_NO_GL)";
        return false;
    }
    if (!MakeCurrentContext(&c.problem)) return false;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!version) {
        c.problem = "the OpenGL context answers no version";
        return false;
    }
    return true;
}

// Off-screen targets: a tiny one for ordinary frames, a multisampled one (resolved into a
// plain one) for pictures.
struct Target {
    GLuint fbo = 0, colour = 0, depth = 0;
    int width = 0, height = 0, samples = 0;
};

void MakeTarget(Target& t, int width, int height, int samples) {
    if (t.fbo && t.width == width && t.height == height && t.samples == samples) return;
    if (t.fbo) {
        glDeleteFramebuffers(1, &t.fbo);
        glDeleteRenderbuffers(1, &t.colour);
        glDeleteRenderbuffers(1, &t.depth);
    }
    glGenFramebuffers(1, &t.fbo);
    glGenRenderbuffers(1, &t.colour);
    glGenRenderbuffers(1, &t.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, t.colour);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, t.depth);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, t.fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, t.colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, t.depth);
    t.width = width;
    t.height = height;
    t.samples = samples;
}

struct FrameGraphics {
    Target tiny, scene, resolve;
    std::vector<unsigned> textures;  // handed out by XPLMGenerateTextureNumbers
    bool frameActive = false;        // Begin bound a target this frame
    bool pictureFrame = false;
    bool screenCleared = false;  // a screen picture's background, once: windows, then widgets
    FrameRequest request;
    Camera camera;
    int width = 8, height = 8;
};

FrameGraphics& G() {
    static FrameGraphics g;
    return g;
}

void LoadCamera3D() {
    const Camera& cam = G().camera;
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(cam.projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(cam.modelview);
}

void LogGraphics() {
    if (!HostReady()) return;
    if (!Ctx().ok) {
        Log("graphics: none (" + Ctx().problem + "); the draw phases are skipped");
        return;
    }
    Log(std::string("graphics: ") + reinterpret_cast<const char*>(glGetString(GL_RENDERER)) +
        ", OpenGL " + reinterpret_cast<const char*>(glGetString(GL_VERSION)));
}

}  // namespace

// Made on first need (a plug-in starting, a texture, a draw callback, a picture): starting
// Mesa costs most of a second, which tests of datarefs and menus need not pay.
bool GraphicsUp() {
    Context& c = Ctx();
    if (!c.tried) {
        c.tried = true;
        c.ok = MakeContext(c);
        if (!c.ok)
            std::fprintf(stderr, "tarvosk-sim: no OpenGL through %s (%s); draw phases skipped\n",
                         kContextApi, c.problem.c_str());
        LogGraphics();
    }
    return c.ok;
}

const std::string& GraphicsProblem() {
    return Ctx().problem;
}

void GraphicsNewHost() {
    FrameGraphics& g = G();
    g.pictureFrame = false;
    ForgetPictureJobs();
    if (!Ctx().tried) return;
    LogGraphics();
    if (!Ctx().ok) return;
    if (!g.textures.empty()) {
        glDeleteTextures(static_cast<GLsizei>(g.textures.size()), g.textures.data());
        g.textures.clear();
    }
}

unsigned NewTextureName() {
    GLuint name = 0;
    glGenTextures(1, &name);
    G().textures.push_back(name);
    return name;
}

bool TextureAlive(int number) {
    return GraphicsUp() && number > 0 && glIsTexture(static_cast<GLuint>(number)) == GL_TRUE;
}

bool PictureFrame() {
    return G().pictureFrame;
}

const Camera& FrameCamera() {
    return G().camera;
}

void BeginFrameGraphics() {
    FrameGraphics& g = G();
    g.frameActive = false;
    if (H().drawCallbacks.empty() && !PictureWanted()) return;
    if (!GraphicsUp()) return;
    g.frameActive = true;
    g.screenCleared = false;
    g.pictureFrame = NextFrameRequest(&g.request);
    Host& h = H();
    if (g.pictureFrame) {
        MakeTarget(g.scene, g.request.width, g.request.height, 4);
        g.width = g.request.width;
        g.height = g.request.height;
        glBindFramebuffer(GL_FRAMEBUFFER, g.scene.fbo);
        g.camera = MakeCamera(g.request, h, g.width, g.height);
    } else {
        // The plug-ins draw as every frame; nobody looks, so a few pixels will do.
        MakeTarget(g.tiny, 8, 8, 0);
        g.width = g.height = 8;
        glBindFramebuffer(GL_FRAMEBUFFER, g.tiny.fbo);
        FrameRequest asIs;
        asIs.view = "tug";
        g.camera = MakeCamera(asIs, h, 8, 8);
    }
    glViewport(0, 0, g.width, g.height);
    glDisable(GL_SCISSOR_TEST);
    if (g.pictureFrame) {
        glDisable(GL_RASTERIZER_DISCARD);
        glDepthMask(GL_TRUE);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    } else {
        // Nobody looks at this frame: the plug-ins' calls run, nothing is rasterised.
        glEnable(GL_RASTERIZER_DISCARD);
    }
    LoadCamera3D();
    SetSceneLights(SceneBrightness(h));
    glEnable(GL_NORMALIZE);
}

void Begin3DCallback() {
    LoadCamera3D();
}

void Begin2D() {
    FrameGraphics& g = G();
    const HostConfig& c = H().config;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (g.pictureFrame && g.request.view == "screen") {
        // The screen alone: no scene behind the windows, one picture pixel per screen pixel.
        if (!g.screenCleared) {
            glClearColor(0.20f, 0.24f, 0.30f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glClearColor(0, 0, 0, 1);
            g.screenCleared = true;
        }
        const double left = g.request.screenLeft, bottom = g.request.screenBottom;
        glOrtho(left, left + g.width, bottom, bottom + g.height, -1, 1);
    } else {
        glOrtho(0, c.screenWidth, 0, c.screenHeight, -1, 1);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
}

void DrawCockpitLamps() {
    const FrameGraphics& g = G();
    const ExternalPowerRefs& power = H().power;
    if (!g.pictureFrame || g.request.view == "screen" || !power.annunciator) return;
    // The cockpit's "EXT PWR" annunciator, lower right: amber when lit, dark when not.
    const HostConfig& c = H().config;
    const bool lit = power.annunciator->i != 0;
    const float face[4] = {lit ? 0.95f : 0.16f, lit ? 0.66f : 0.15f, lit ? 0.12f : 0.13f, 1};
    const float rim[4] = {0.05f, 0.05f, 0.05f, 1};
    const float text[3] = {lit ? 0.10f : 0.42f, lit ? 0.07f : 0.40f, lit ? 0.02f : 0.36f};
    constexpr int kScale = 3, kWidth = 7 * kCharWidth * kScale + 24, kHeight = 10 * kScale + 18;
    const int right = c.screenWidth - 24, left = right - kWidth, bottom = 24;
    FillRect2D(left, bottom + kHeight, right, bottom, face);
    OutlineRect2D(left, bottom + kHeight, right, bottom, rim);
    glPushMatrix();
    glTranslatef(static_cast<float>(left + 12), static_cast<float>(bottom + 12), 0);
    glScalef(kScale, kScale, 1);
    DrawText2D(0, 0, "EXT PWR", text);
    glPopMatrix();
}

void EndFrameGraphics() {
    FrameGraphics& g = G();
    if (!g.frameActive) return;
    g.frameActive = false;
    if (!g.pictureFrame) return;
    g.pictureFrame = false;
    MakeTarget(g.resolve, g.width, g.height, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, g.scene.fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, g.resolve.fbo);
    glBlitFramebuffer(0, 0, g.width, g.height, 0, 0, g.width, g.height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, g.resolve.fbo);
    Picture picture;
    picture.width = g.width;
    picture.height = g.height;
    const std::size_t row = static_cast<std::size_t>(g.width) * 4;
    std::vector<std::uint8_t> upsideDown(row * static_cast<std::size_t>(g.height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, g.width, g.height, GL_RGBA, GL_UNSIGNED_BYTE, upsideDown.data());
    picture.rgba.resize(upsideDown.size());
    for (int y = 0; y < g.height; ++y)
        std::memcpy(&picture.rgba[static_cast<std::size_t>(y) * row],
                    &upsideDown[static_cast<std::size_t>(g.height - 1 - y) * row], row);
    for (std::size_t k = 0; k < picture.rgba.size(); k += 4) picture.rgba[k + 3] = 255;
    std::memcpy(picture.projection, g.camera.projection, sizeof picture.projection);
    std::memcpy(picture.modelview, g.camera.modelview, sizeof picture.modelview);
    glBindFramebuffer(GL_FRAMEBUFFER, g.tiny.fbo);
    DeliverFrame(g.request, std::move(picture));
}

}  // namespace simhost::detail
