// The host draws plug-ins' instances itself, in the aircraft phase, as the simulator does with
// either driver: the object's triangles with the textures its own TEXTURE and TEXTURE_LIT lines
// name, lit by the scene, the lit texture glowing by night.
#include <GL/gl.h>
#include <png.h>

#include <algorithm>
#include <string>
#include <vector>

#include "control/host_state.h"
#include "drawing/graphics_internal.h"
#include "objformat/object_model.h"
#include "simhost/files.h"

namespace simhost::detail {

namespace {

unsigned LoadTexture(const std::filesystem::path& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::string bytes, why;
    if (!ReadWholeFile(file, &bytes, &why)) {
        Log("instance texture " + Utf8(file) + " not read: " + why);
        return 0;
    }
    if (bytes.empty() || !png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        Log("instance texture " + Utf8(file) + " not read: " + image.message);
        return 0;
    }
    image.format = PNG_FORMAT_RGBA;
    if (image.width == 0 || image.height == 0 || image.width > 8192 || image.height > 8192) {
        png_image_free(&image);
        return 0;
    }
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    // Rows bottom-up, as OpenGL's t axis and the object's texture coordinates run.
    const png_int_32 stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), stride, nullptr)) {
        Log("instance texture " + Utf8(file) + " not decoded: " + image.message);
        png_image_free(&image);
        return 0;
    }
    const unsigned name = NewTextureName();
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(image.width),
                 static_cast<GLsizei>(image.height), 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

void LoadTextures(SceneObject& o, const tarvosk::ObjectModel& model) {
    o.texturesLoaded = true;
    const std::filesystem::path folder = o.path.parent_path();
    if (!model.textureName.empty()) o.dayTexture = LoadTexture(folder / model.textureName);
    if (!model.litTextureName.empty()) o.litTexture = LoadTexture(folder / model.litTextureName);
}

void DrawTriangles(const tarvosk::ObjectModel& model) {
    if (model.lods.empty() || model.meshVertices.stride != 8) return;
    const float* v = model.meshVertices.floats.data();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 32, v);
    glNormalPointer(GL_FLOAT, 32, v + 3);
    glTexCoordPointer(2, GL_FLOAT, 32, v + 6);
    // The nearest level of detail: the one a picture of the apron shows.
    for (const tarvosk::ModelCommand& c : model.lods.front().commands)
        if (c.code == tarvosk::CommandCode::TRIS)
            glDrawElements(GL_TRIANGLES, c.count, GL_UNSIGNED_INT, model.indices.data() + c.first);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

}  // namespace

void DrawInstances(float brightness) {
    Host& h = H();
    const DatarefEntry* lights = h.data.FindAny("sim/graphics/scenery/percent_lights_on");
    const float glow = lights ? std::clamp(lights->f, 0.0f, 1.0f) : 0.0f;
    (void)brightness;  // the scene's light carries day and night
    for (auto& instance : h.instances) {
        if (instance->destroyed || !instance->positioned) continue;
        SceneObject& o = *instance->object;
        const auto* model = static_cast<const tarvosk::ObjectModel*>(o.model.get());
        if (model == nullptr) continue;
        if (!o.texturesLoaded) LoadTextures(o, *model);
        const XPLMDrawInfo_t& p = instance->pose;
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glTranslatef(p.x, p.y, p.z);
        glRotatef(-p.heading, 0, 1, 0);
        glRotatef(p.pitch, 1, 0, 0);
        glRotatef(-p.roll, 0, 0, 1);
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        glDisable(GL_CULL_FACE);
        glEnable(GL_LIGHTING);
        glColor4f(1, 1, 1, 1);
        if (o.dayTexture != 0) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, o.dayTexture);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        }
        DrawTriangles(*model);
        if (o.litTexture != 0 && glow > 0.0f) {
            // The lit texture adds its light on top, unshaded, as strong as the night is dark.
            glDisable(GL_LIGHTING);
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, o.litTexture);
            glEnable(GL_BLEND);
            glBlendFunc(GL_ONE, GL_ONE);
            glDepthFunc(GL_LEQUAL);
            glColor4f(glow, glow, glow, 1);
            DrawTriangles(*model);
            glDisable(GL_BLEND);
            glDepthFunc(GL_LESS);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_LIGHTING);
        glPopMatrix();
    }
}

}  // namespace simhost::detail
