// tarvosk-objtool: inspect, check and convert the host's text object files.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "drawing_paths.h"
#include "object_loading.h"
#include "objformat/obj8_writer.h"

namespace tarvosk::objtool {
namespace {

const char* const kUsage =
    "usage: tarvosk-objtool info FILE          what the object holds, and what is wrong with it\n"
    "       tarvosk-objtool check FILE...      one line per file; exits 1 when any fails to load,\n"
    "                                          falls short of its POINT_COUNTS in vertices or\n"
    "                                          indices or runs past them; warns of line vertices\n"
    "                                          and lights short of them, of textures not beside\n"
    "                                          the object and of textures OpenGL and instances\n"
    "                                          would draw apart\n"
    "       tarvosk-objtool convert IN OUT     writes IN (version 8, 7 or 2) as a version-8 file;\n"
    "                                          refuses, writing nothing, what check fails\n"
    "       tarvosk-objtool --help\n";

// The usage lines of one verb, "check" with its continuation line.
std::string verbUsage(const std::string& verb) {
    const std::string text = kUsage;
    std::string out;
    bool inVerb = false;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start + 1);
        start = end + 1;
        const size_t word = line.find("tarvosk-objtool ");
        if (word != std::string::npos) {
            const size_t from = word + std::strlen("tarvosk-objtool ");
            inVerb = line.compare(from, verb.size() + 1, verb + " ") == 0;
        }
        if (inVerb) out += line;
    }
    if (out.rfind("usage: ", 0) != 0) out = "usage: " + out.substr(out.find("tarvosk-objtool"));
    return out;
}

std::string formatName(int version) {
    switch (version) {
        case 800:
            return "OBJ8 (version 800)";
        case 700:
            return "OBJ7 (version 700)";
        case 2:
            return "OBJ2 (version 2)";
        default:
            return "unknown";
    }
}

std::string keywordOf(CommandCode code) {
    const KeywordRow* row = lookupCode(code);
    return row && row->keyword ? row->keyword : "code " + std::to_string(static_cast<int>(code));
}

size_t commandCount(const ObjectModel& model) {
    size_t n = 0;
    for (const LodRange& range : model.lods) n += range.commands.size();
    return n;
}

std::string countsText(const ObjectModel& model) {
    return std::to_string(model.meshVertices.count()) + " vertices, " +
           std::to_string(model.lineVertices.count()) + " line vertices, " +
           std::to_string(model.lightVertices.count()) + " lights, " +
           std::to_string(model.indices.size()) + " indices, " +
           std::to_string(commandCount(model)) + " commands in " +
           std::to_string(model.lods.size()) + " LOD range" + (model.lods.size() == 1 ? "" : "s");
}

void printModel(const ObjectModel& model) {
    std::printf("texture:       %s\n",
                model.textureName.empty() ? "(none)" : model.textureName.c_str());
    std::printf("lit texture:   %s\n",
                model.litTextureName.empty() ? "(none)" : model.litTextureName.c_str());
    std::printf("model:         %s\n", countsText(model).c_str());
    for (size_t i = 0; i < model.lods.size(); ++i) {
        const LodRange& range = model.lods[i];
        std::printf("  LOD range %zu: near %g, far %g%s, %zu commands\n", i, range.nearDistance,
                    range.farDistance, range.farDistance == 0.0f ? " (no distances)" : "",
                    range.commands.size());
    }
    std::map<std::string, size_t> byKind;
    int depth = 0, lowest = 0;
    for (const LodRange& range : model.lods) {
        for (const ModelCommand& command : range.commands) {
            ++byKind[keywordOf(command.code)];
            if (command.code == CommandCode::ANIM_begin) ++depth;
            if (command.code == CommandCode::ANIM_end) lowest = std::min(lowest, --depth);
        }
    }
    std::printf("commands:\n");
    for (const auto& [keyword, count] : byKind)
        std::printf("  %-20s %zu\n", keyword.c_str(), count);
    std::printf("animations:    %zu\n", model.animations.size());
    if (depth != 0 || lowest < 0) {
        std::printf("note:          ANIM_begin and ANIM_end do not pair up (%+d at the end)\n",
                    depth);
    }
}

int info(const std::string& path) {
    const LoadedObject object = loadObject(path);
    std::printf("file:          %s\n", path.c_str());
    if (object.version == 0) {
        std::printf("error:         %s\n", object.error.c_str());
        return 1;
    }
    std::printf("format:        %s%s\n", formatName(object.version).c_str(),
                object.version == 800 ? "" : ", converted to version 8 below");
    if (object.version == 800) {
        const Obj8ReadDetails& d = object.details;
        std::printf("declared:      %d vertices, %d line vertices, %d lights, %d indices\n",
                    d.declaredCounts[0], d.declaredCounts[1], d.declaredCounts[2],
                    d.declaredCounts[3]);
        std::printf("filled:        %zu VT, %zu VLINE, %zu VLIGHT lines, %zu indices\n",
                    d.filledCounts[0], d.filledCounts[1], d.filledCounts[2], d.filledCounts[3]);
        if (d.stoppedEarly) {
            std::printf(
                "note:          reading stopped at line %zu: its table was already full;"
                " the rest of the file is ignored\n",
                d.stopLine);
        }
    } else if (!object.original.commands.empty() || object.loaded) {
        std::map<std::string, size_t> byKeyword;
        for (const Obj7Command& command : object.original.commands) {
            ++byKeyword[keywordOf(command.code)];
        }
        std::printf("original:      texture \"%s\", %zu commands\n",
                    object.original.textureName.c_str(), object.original.commands.size());
        for (const auto& [keyword, count] : byKeyword) {
            std::printf("  %-20s %zu\n", keyword.c_str(), count);
        }
    }
    if (!object.loaded && object.issues.empty()) {
        std::printf("error:         %s\n", object.error.c_str());
        return 1;
    }
    printModel(object.model);
    for (const std::string& warning : object.countWarnings)
        std::printf("warning:       %s\n", warning.c_str());
    for (const std::string& issue : object.countIssues)
        std::printf("error:         %s\n", issue.c_str());
    if (object.issues.empty()) {
        std::printf("validation:    %s\n",
                    object.countIssues.empty() ? "ok" : "the tables do not match POINT_COUNTS");
        return object.countIssues.empty() ? 0 : 1;
    }
    std::printf("validation:    %zu issue%s%s (the object would not load)\n", object.issues.size(),
                object.issues.size() == 1 ? "" : "s", object.issues.size() >= 50 ? " or more" : "");
    for (const std::string& issue : object.issues) std::printf("  %s\n", issue.c_str());
    return 1;
}

// X-Plane's own loader (instances, X-Plane 12) reads the textures the object names, from the
// object's folder; one it cannot find leaves the object untextured there.
bool textureFound(const std::filesystem::path& folder, const std::string& name) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(folder / name, ec)) return true;
    if (std::filesystem::path(name).has_extension()) return false;
    for (const char* extension : {".png", ".bmp", ".tga"}) {  // version-7 names go without
        if (std::filesystem::is_regular_file(folder / (name + extension), ec)) return true;
    }
    return false;
}

void warnAboutTextures(const std::string& path, const ObjectModel& model) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const std::pair<const char*, const std::string*> lines[] = {
        {"TEXTURE", &model.textureName}, {"TEXTURE_LIT", &model.litTextureName}};
    for (const auto& [keyword, name] : lines) {
        if (name->empty() || textureFound(folder, *name)) continue;
        std::printf("warn  %s: %s %s is not beside the object; X-Plane draws it without\n",
                    path.c_str(), keyword, name->c_str());
    }
}

int check(const std::vector<std::string>& paths) {
    size_t failed = 0;
    for (const std::string& path : paths) {
        const LoadedObject object = loadObject(path);
        if (const std::string refusal = object.refusal(); !refusal.empty()) {
            ++failed;
            std::printf("FAIL  %s: %s\n", path.c_str(), refusal.c_str());
            continue;
        }
        std::printf("ok    %s  (%s: %s)\n", path.c_str(), formatName(object.version).c_str(),
                    countsText(object.model).c_str());
        for (const std::string& warning : object.countWarnings)
            std::printf("warn  %s: %s\n", path.c_str(), warning.c_str());
        warnAboutTextures(path, object.model);
        for (const std::string& difference : drawingPathDifferences(path, object.model))
            std::printf("warn  %s: %s\n", path.c_str(), difference.c_str());
    }
    if (paths.size() > 1) {
        std::printf("checked %zu files: %zu passed, %zu failed\n", paths.size(),
                    paths.size() - failed, failed);
    }
    return failed == 0 ? 0 : 1;
}

int convert(const std::string& in, const std::string& out) {
    const LoadedObject object = loadObject(in);
    // Whatever check fails is not converted: a cut file would come out whole-looking, its
    // missing vertices and indices as zeros that check then passes.
    if (const std::string refusal = object.refusal(); !refusal.empty()) {
        std::fprintf(stderr, "tarvosk-objtool: %s: %s\n", in.c_str(), refusal.c_str());
        return 1;
    }
    std::string error;
    if (!writeObj8(out, object.model, &error)) {
        std::fprintf(stderr, "tarvosk-objtool: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s from %s (%s): %s\n", out.c_str(), in.c_str(),
                formatName(object.version).c_str(), countsText(object.model).c_str());
    return 0;
}

int run(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // "VERB --help" asks for the verb's usage; it is never a file to open.
    const bool verb = command == "info" || command == "check" || command == "convert";
    for (size_t k = 1; verb && k < args.size(); ++k) {
        if (args[k] != "--help" && args[k] != "-h") continue;
        std::fputs(verbUsage(command).c_str(), stdout);
        return 0;
    }
    if (command == "info" && args.size() == 2) return info(args[1]);
    if (command == "check" && args.size() >= 2) return check({args.begin() + 1, args.end()});
    if (command == "convert" && args.size() == 3) return convert(args[1], args[2]);
    std::fprintf(stderr, "tarvosk-objtool: %s\n%s",
                 command == "info" || command == "check" || command == "convert"
                     ? ("wrong number of arguments for " + command).c_str()
                     : ("unknown command '" + command + "'").c_str(),
                 kUsage);
    return 2;
}

}  // namespace
}  // namespace tarvosk::objtool

int main(int argc, char** argv) {
    return tarvosk::objtool::run(argc, argv);
}
