#include "cindra/util/LineGlyph.hpp"

#include <array>

namespace cindra::util {

namespace {

struct LineGlyphs {
    int single;
    int doubled;
};

// Indexed by the orthogonal mask; zeros where no glyph joins that set of neighbours.
constexpr std::array<LineGlyphs, 16> kLineGlyphs = {{
    {0, 0},
    {0, 0},
    {0, 0},
    {192, 200}, // -, N, E, NE
    {0, 0},
    {179, 186},
    {218, 201},
    {195, 204}, // S, NS, ES, NES
    {0, 0},
    {217, 188},
    {196, 205},
    {193, 202}, // W, NW, EW, NEW
    {191, 187},
    {180, 185},
    {194, 203},
    {197, 206}, // SW, NSW, ESW, NESW
}};

} // namespace

int lineGlyph(std::int8_t style, std::uint32_t mask) {
    if (mask >= kLineGlyphs.size()) {
        return kNoGlyph;
    }
    return style >= 1 ? kLineGlyphs[mask].doubled : kLineGlyphs[mask].single;
}

} // namespace cindra::util
