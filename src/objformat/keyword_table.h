// The one table of object-file keywords shared by both readers and the writer.
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvosk {

// Command numbering, taken from the code column of KeywordTable. Codes 0 to 11 are
// version-7 primitives; an ObjectModel holds only codes 12 to 20 and 22 to 40.
enum class CommandCode : int32_t {
    end = 0,
    light = 1,
    line = 2,
    tri = 3,
    quad = 4,
    quad_hard = 5,
    quad_cockpit = 6,
    quad_movie = 7,
    polygon = 8,
    quad_strip = 9,
    tri_strip = 10,
    tri_fan = 11,
    ATTR_shade_flat = 12,
    ATTR_shade_smooth = 13,
    ATTR_ambient_rgb = 14,
    ATTR_diffuse_rgb = 15,
    ATTR_emission_rgb = 16,
    ATTR_specular_rgb = 17,
    ATTR_shiny_rat = 18,
    ATTR_no_depth = 19,
    ATTR_depth = 20,
    ATTR_LOD = 21,
    ATTR_reset = 22,
    ATTR_cull = 23,
    ATTR_no_cull = 24,
    ATTR_poly_os = 25,
    smoke_black = 26,
    smoke_white = 27,
    TRIS = 28,
    LINES = 29,
    LIGHTS = 30,
    ATTR_no_cockpit = 31,
    ATTR_cockpit = 32,
    ATTR_no_blend = 33,
    ATTR_blend = 34,
    ATTR_hard = 35,
    ATTR_no_hard = 36,
    ANIM_begin = 37,
    ANIM_end = 38,
    ANIM_rotate = 39,
    ANIM_trans = 40,
    table_end = 41,  // names no command; marks the end of the table
};

// Row kinds.
enum : int32_t {
    kKindEnd = 0,
    kKindColouredPrimitive = 1,  // point or line with coloured vertices
    kKindTexturedPrimitive = 2,  // polygon with textured vertices
    kKindAttribute = 3,          // attribute, smoke or LOD, with float arguments
    kKindRange = 4,              // version-8 TRIS, LINES, LIGHTS
    kKindAnimation = 5,
};

struct KeywordRow {
    CommandCode code;
    int32_t kind;
    const char* keyword;  // nullptr in the ending row
    int32_t argCount;     // kind 2: vertex count (0: given in the file); kind 1: vertex count
    bool version7;
    bool version8;
};

inline constexpr int kKeywordRowCount = 44;

// 44 rows and the ending row, in table order.
extern const KeywordRow KeywordTable[kKeywordRowCount + 1];

// First row whose keyword equals the token exactly and that is accepted in the given
// version (7 or 8); nullptr when there is none. Never returns the ending row.
const KeywordRow* lookupKeyword(std::string_view token, int version);

// First row with the code, whatever its version flags; nullptr when no row carries it.
const KeywordRow* lookupCode(CommandCode code);

}  // namespace tarvosk
