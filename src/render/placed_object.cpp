// The object manager: the fixed naming rules that find an object's files, the version-7
// conversion cache, and the textures each object owns.
#include "render/placed_object.h"

#include <GL/gl.h>

#include <algorithm>
#include <filesystem>

#include "config/log.h"
#include "objformat/conversion_cache.h"
#include "objformat/file_buffer.h"
#include "objformat/obj7_convert.h"
#include "objformat/obj7_reader.h"
#include "objformat/obj8_reader.h"
#include "platform/files.h"

namespace tarvosk {

// Both live for the whole library. Their destruction makes no GL call (no context may be
// current then): the shell unloads them at stop, while the host's context is.
PlacedObject truckObject;
PlacedObject gpuObject;

namespace {

using Loader = bool (*)(Texture&, const std::string&);

enum class Format { Png, Tga, Bmp };

struct Candidate {
    std::string path;
    Loader load;
    Format format;
};

std::string WithExtension(const std::string& pngName, const char* extension) {
    return pngName.substr(0, pngName.size() - 3) + extension;
}

void DeleteTexture(int32_t number) {
    const auto name = static_cast<GLuint>(number);
    glDeleteTextures(1, &name);
}

// Deletes every owned texture that is not in `keep`, and keeps only those.
void ReleaseTexturesExcept(PlacedObject& object, const std::vector<int32_t>& keep) {
    for (const int32_t number : object.ownedTextures) {
        if (std::find(keep.begin(), keep.end(), number) == keep.end()) DeleteTexture(number);
    }
    object.ownedTextures = keep;
}

}  // namespace

bool LoadObjectModel(const std::string& path, ObjectModel& model, std::string* error) {
    std::string obj8Error;
    bool version8 = false;
    if (readObj8(path, model, &obj8Error, ShortTables::Refused, &version8)) return true;
    // A refused version-8 object is no business of the older reader.
    if (version8) {
        if (error != nullptr) *error = obj8Error;
        return false;
    }

    FileBuffer original;
    std::string obj7Error;
    Obj7Object obj7;
    if (!readWholeFile(path, original, &obj7Error)) {
        // A file that cannot be opened gives both readers the same reason: say it once.
        if (error != nullptr) {
            *error = obj7Error == obj8Error ? obj8Error
                                            : obj8Error + " (as version 7: " + obj7Error + ")";
        }
        return false;
    }
    if (!readObj7FromBuffer(original.begin(), original.size, obj7, &obj7Error)) {
        if (error != nullptr) {
            obj7Error = path + ": " + obj7Error;
            // A version-7 or version-2 header: the older reader's reason is the one.
            *error = objectHeaderVersion(original.begin(), original.size) != 0
                         ? obj7Error
                         : obj8Error + " (as version 7: " + obj7Error + ")";
        }
        return false;
    }
    if (!convertObj7(obj7, model, error)) return false;
    // The rewrite is a cache: the next load reads version 8 directly. Its failure (a
    // read-only folder, a backup name already taken) changes nothing for this load.
    std::string reason;
    if (replaceWithConversion(path, original.begin(), original.size, model, &reason)) {
        Log("Converted version-7 object " + path + " to version 8; the original is kept as " +
            obj7BackupPath(path) + "\n");
    } else {
        Log("[WRNG] Version-7 object " + path + " converted for this load only: " + reason + "\n");
    }
    return true;
}

bool LoadPlacedObject(PlacedObject& object, const std::string& basePath, std::string* error) {
    Texture& slot = object.textureSlot;
    slot.uploadOnLoad = true;

    const std::string objectFile = basePath + ".obj";
    if (!LoadObjectModel(objectFile, object.model, error)) {
        object.objectPath.clear();
        return false;
    }
    object.objectPath = objectFile;

    const std::string n1 = basePath + ".png";
    const std::string n2 = basePath + ".PNG";
    const Candidate day[] = {
        {n1, LoadPngTexture, Format::Png},
        {n2, LoadPngTexture, Format::Png},
        {WithExtension(n1, "tga"), LoadTgaTexture, Format::Tga},
        {WithExtension(n2, "TGA"), LoadTgaTexture, Format::Tga},
        {WithExtension(n1, "bmp"), LoadBmpTexture, Format::Bmp},
        {WithExtension(n2, "BMP"), LoadBmpTexture, Format::Bmp},
    };
    const Candidate* found = nullptr;
    for (const Candidate& candidate : day) {
        if (candidate.load(slot, candidate.path)) {
            found = &candidate;
            break;
        }
    }
    if (found == nullptr) {
        // Say which files were there and could not be read: a damaged texture otherwise
        // looks like a missing object in the log.
        if (error != nullptr) {
            std::string unreadable;
            for (const Candidate& candidate : day) {
                std::error_code ignored;
                if (!std::filesystem::is_regular_file(platform::FsPath(candidate.path), ignored))
                    continue;
                if (unreadable.find(candidate.path) != std::string::npos) continue;
                unreadable += (unreadable.empty() ? "" : ", ") + candidate.path;
            }
            *error = "no texture could be read for " + basePath + " (.png, .tga or .bmp)" +
                     (unreadable.empty() ? std::string(": none found")
                                         : "; not a readable image: " + unreadable);
        }
        return false;
    }
    object.dayTexture = slot.textureNumber;
    std::vector<int32_t> created{slot.textureNumber};

    // The lit texture is looked for only in the day texture's format.
    const std::string l1 = basePath + "LIT.png";
    const std::string l2 = basePath + "LIT.PNG";
    std::string lit[2];
    switch (found->format) {
        case Format::Png:
            lit[0] = l1;
            lit[1] = l2;
            break;
        case Format::Tga:
            lit[0] = WithExtension(l1, "tga");
            lit[1] = WithExtension(l2, "TGA");
            break;
        case Format::Bmp:
            lit[0] = WithExtension(l1, "bmp");
            lit[1] = WithExtension(l2, "BMP");
            break;
    }
    object.litTexture = -1;
    for (const std::string& path : lit) {
        if (found->load(slot, path)) {
            object.litTexture = slot.textureNumber;
            created.push_back(slot.textureNumber);
            break;
        }
    }

    // The previous load's textures are no longer drawn: give them back to the host.
    ReleaseTexturesExcept(object, created);
    return true;
}

void LoadTruckObject(const std::string& folder, const std::string& name) {
    const std::string path = folder + name;
    std::string reason;
    if (LoadPlacedObject(truckObject, path, &reason)) {
        Log("Meshes and textures for object " + path + " succesfuly loaded\n");
    } else {
        Log("[WRNG] Failed to load object " + path + " (path: " + folder + ")\n");
        if (!reason.empty()) Log("[WRNG] " + reason + "\n");
    }
}

void UnloadPlacedObject(PlacedObject& object) {
    ReleaseTexturesExcept(object, {});
    object.dayTexture = 0;
    object.litTexture = -1;
    object.textureSlot.pixels = {};
    object.textureSlot.textureNumber = 0;
    resetModel(object.model);
    object.objectPath.clear();
}

}  // namespace tarvosk
