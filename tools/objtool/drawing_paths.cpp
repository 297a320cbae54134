#include "drawing_paths.h"

#include <filesystem>

namespace tarvosk::objtool {

namespace {

namespace fs = std::filesystem;

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

// The OpenGL path: <base>.png, .PNG, .tga, .TGA, .bmp, .BMP for the day texture, the first
// that is there; the lit one only as <base>LIT in the day texture's format.
struct OpenGlTextures {
    fs::path day, lit;  // empty when none would be found
    std::string looksFor;
};

OpenGlTextures openGlTextures(const fs::path& object) {
    const std::string base = (object.parent_path() / object.stem()).string();
    OpenGlTextures found;
    found.looksFor = object.stem().string() + ".png, .tga or .bmp";
    for (const char* extension : {"png", "tga", "bmp"}) {
        for (const bool upper : {false, true}) {
            std::string ext = extension;
            if (upper) {
                for (char& c : ext) c = static_cast<char>(c - 'a' + 'A');
            }
            if (!isFile(base + "." + ext)) continue;
            found.day = base + "." + ext;
            const fs::path lower = base + "LIT." + std::string(extension);
            const fs::path capital = base + "LIT." + ext;
            if (isFile(lower)) {
                found.lit = lower;
            } else if (isFile(capital)) {
                found.lit = capital;
            }
            return found;
        }
    }
    return found;
}

// The instanced path: the name on the line, in the object's folder (version-7 names may come
// without an extension).
fs::path instancedTexture(const fs::path& folder, const std::string& name) {
    if (name.empty()) return {};
    if (isFile(folder / name)) return folder / name;
    if (fs::path(name).has_extension()) return {};
    for (const char* extension : {".png", ".bmp", ".tga"}) {
        if (isFile(folder / (name + extension))) return folder / (name + extension);
    }
    return {};
}

std::string compare(const char* keyword, const std::string& name, const fs::path& instanced,
                    const fs::path& openGl, const std::string& openGlLooksFor, bool day) {
    const std::string line = std::string(keyword) + (name.empty() ? "" : " " + name);
    if (instanced.empty() && openGl.empty()) return {};
    if (!instanced.empty() && !openGl.empty()) {
        if (sameFile(instanced, openGl)) return {};
        return line + " is drawn as an instance, but with OpenGL the plug-in draws " +
               openGl.filename().string() + ": X-Plane 11 and 12 show different textures";
    }
    if (openGl.empty()) {
        return line + " is drawn as an instance, but with OpenGL the plug-in looks for " +
               openGlLooksFor + " beside the object and finds none" +
               (day ? ": there the object does not load" : "");
    }
    return "with OpenGL the plug-in draws " + openGl.filename().string() + ", but " +
           (name.empty() ? std::string("there is no ") + keyword + " line"
                         : line + " is not beside the object") +
           ", so an instance is drawn without it";
}

}  // namespace

std::vector<std::string> drawingPathDifferences(const std::string& objectPath,
                                                const ObjectModel& model) {
    const fs::path object(objectPath);
    const fs::path folder = object.parent_path();
    const OpenGlTextures openGl = openGlTextures(object);
    std::vector<std::string> out;
    const std::string day =
        compare("TEXTURE", model.textureName, instancedTexture(folder, model.textureName),
                openGl.day, openGl.looksFor, true);
    if (!day.empty()) out.push_back(day);
    // Without a day texture the OpenGL path does not load the object, lit texture or not.
    if (openGl.day.empty()) return out;
    const std::string lit =
        compare("TEXTURE_LIT", model.litTextureName, instancedTexture(folder, model.litTextureName),
                openGl.lit, object.stem().string() + "LIT in the day texture's format", false);
    if (!lit.empty()) out.push_back(lit);
    return out;
}

}  // namespace tarvosk::objtool
