#include "objformat/keyword_table.h"

namespace tarvosk {

namespace {
using C = CommandCode;
constexpr bool Y = true;
constexpr bool N = false;
}  // namespace

// Several codes are deliberately out of keyword order (quad_cockpit 6 / quad_hard 5,
// ATTR_hard 35 / ATTR_no_hard 36); lookups take the first row that matches.
const KeywordRow KeywordTable[kKeywordRowCount + 1] = {
    {C::end, 0, "end", 0, Y, N},
    {C::light, 1, "light", 1, Y, N},
    {C::line, 1, "line", 2, Y, N},
    {C::tri, 2, "tri", 3, Y, N},
    {C::quad, 2, "quad", 4, Y, N},
    {C::quad_cockpit, 2, "quad_cockpit", 4, Y, N},
    {C::quad_hard, 2, "quad_hard", 4, Y, N},
    {C::smoke_black, 3, "smoke_black", 4, Y, Y},
    {C::smoke_white, 3, "smoke_white", 4, Y, Y},
    {C::quad_movie, 2, "quad_movie", 4, Y, N},
    {C::polygon, 2, "polygon", 0, Y, N},
    {C::quad_strip, 2, "quad_strip", 0, Y, N},
    {C::tri_strip, 2, "tri_strip", 0, Y, N},
    {C::tri_fan, 2, "tri_fan", 0, Y, N},
    {C::ATTR_shade_flat, 3, "ATTR_shade_flat", 0, Y, Y},
    {C::ATTR_shade_smooth, 3, "ATTR_shade_smooth", 0, Y, Y},
    {C::ATTR_shade_flat, 3, "shade_flat", 0, Y, N},
    {C::ATTR_shade_smooth, 3, "shade_smooth", 0, Y, N},
    {C::ATTR_ambient_rgb, 3, "ATTR_ambient_rgb", 3, Y, Y},
    {C::ATTR_diffuse_rgb, 3, "ATTR_diffuse_rgb", 3, Y, Y},
    {C::ATTR_diffuse_rgb, 3, "ATTR_difuse_rgb", 3, Y, Y},
    {C::ATTR_emission_rgb, 3, "ATTR_emission_rgb", 3, Y, Y},
    {C::ATTR_specular_rgb, 3, "ATTR_specular_rgb", 3, Y, Y},
    {C::ATTR_shiny_rat, 3, "ATTR_shiny_rat", 1, Y, Y},
    {C::ATTR_no_depth, 3, "ATTR_no_depth", 0, Y, Y},
    {C::ATTR_depth, 3, "ATTR_depth", 0, Y, Y},
    {C::ATTR_LOD, 3, "ATTR_LOD", 2, Y, Y},
    {C::ATTR_reset, 3, "ATTR_reset", 0, Y, Y},
    {C::ATTR_cull, 3, "ATTR_cull", 0, Y, Y},
    {C::ATTR_no_cull, 3, "ATTR_no_cull", 0, Y, Y},
    {C::ATTR_poly_os, 3, "ATTR_poly_os", 1, Y, Y},
    {C::TRIS, 4, "TRIS", 2, N, Y},
    {C::LINES, 4, "LINES", 2, N, Y},
    {C::LIGHTS, 4, "LIGHTS", 2, N, Y},
    {C::ATTR_no_cockpit, 3, "ATTR_no_cockpit", 0, N, Y},
    {C::ATTR_cockpit, 3, "ATTR_cockpit", 0, N, Y},
    {C::ATTR_no_blend, 3, "ATTR_no_blend", 0, N, Y},
    {C::ATTR_blend, 3, "ATTR_blend", 0, N, Y},
    {C::ATTR_no_hard, 3, "ATTR_no_hard", 0, N, Y},
    {C::ATTR_hard, 3, "ATTR_hard", 0, N, Y},
    {C::ANIM_begin, 5, "ANIM_begin", 0, N, Y},
    {C::ANIM_end, 5, "ANIM_end", 0, N, Y},
    {C::ANIM_rotate, 5, "ANIM_rotate", 7, N, Y},
    {C::ANIM_trans, 5, "ANIM_trans", 8, N, Y},
    {C::table_end, 0, nullptr, 0, N, N},
};

const KeywordRow* lookupKeyword(std::string_view token, int version) {
    for (int i = 0; i < kKeywordRowCount; ++i) {
        const KeywordRow& row = KeywordTable[i];
        const bool accepted = version == 7 ? row.version7 : version == 8 ? row.version8 : false;
        if (accepted && token == row.keyword) return &row;
    }
    return nullptr;
}

const KeywordRow* lookupCode(CommandCode code) {
    for (int i = 0; i < kKeywordRowCount; ++i) {
        if (KeywordTable[i].code == code) return &KeywordTable[i];
    }
    return nullptr;
}

}  // namespace tarvosk
