// SDK graphics calls: the graphics state, and the textures a plug-in binds and numbers. The
// host records them, and sets them in the context when there is one.
#define GL_GLEXT_PROTOTYPES 1
#include "drawing/gl_platform.h"
// After the platform's own headers:
#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

#include "control/host_state.h"
#include "drawing/graphics.h"

using namespace simhost::detail;

void XPLMSetGraphicsState(int enableFog, int numberTexUnits, int enableLighting,
                          int enableAlphaTesting, int enableAlphaBlending, int enableDepthTesting,
                          int enableDepthWriting) {
    if (!HostReady()) return;
    int* s = H().graphicsState;
    s[0] = enableFog;
    s[1] = numberTexUnits;
    s[2] = enableLighting;
    s[3] = enableAlphaTesting;
    s[4] = enableAlphaBlending;
    s[5] = enableDepthTesting;
    s[6] = enableDepthWriting;
    if (!GraphicsUp()) return;
    auto set = [](GLenum cap, int on) { on ? glEnable(cap) : glDisable(cap); };
    set(GL_FOG, enableFog);
    for (int unit = 3; unit >= 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        set(GL_TEXTURE_2D, unit < numberTexUnits);
    }
    set(GL_LIGHTING, enableLighting);
    set(GL_ALPHA_TEST, enableAlphaTesting);
    glAlphaFunc(GL_GREATER, 0.0f);
    set(GL_BLEND, enableAlphaBlending);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    set(GL_DEPTH_TEST, enableDepthTesting);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(enableDepthWriting ? GL_TRUE : GL_FALSE);
}

void XPLMBindTexture2d(int textureNum, int textureUnit) {
    if (!HostReady()) return;
    if (textureUnit < 0 || textureUnit > 3) {
        Fault("XPLMBindTexture2d on texture unit " + std::to_string(textureUnit));
        return;
    }
    H().boundTexture[textureUnit] = textureNum;
    if (!GraphicsUp()) return;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(textureUnit));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(textureNum));
    glActiveTexture(GL_TEXTURE0);
}

void XPLMGenerateTextureNumbers(int* outTextureIds, int count) {
    if (!HostReady() || !outTextureIds) return;
    for (int k = 0; k < count; ++k) {
        outTextureIds[k] = GraphicsUp() ? static_cast<int>(NewTextureName()) : H().nextTexture++;
        H().texturesHandedOut.push_back(outTextureIds[k]);
    }
}
