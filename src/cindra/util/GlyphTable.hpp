// The font's glyphs as a text table (tools/font/cp437-8x8.txt), and the atlas image built from
// it: 256 glyphs of 8 x 8 pixels in a 16 x 16 grid, glyph g in column g / 16, row g % 16.
//
// Table format: lines starting with ';' and empty lines are ignored. Each glyph, in order from
// 0 to 255, is a header line "glyph N" (anything after the number is a free label) followed by
// 8 rows of 8 characters, '#' for a set pixel and '.' for a clear one, top row first.
#pragma once

#include "cindra/util/Png.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace cindra::util {

class GlyphTable {
public:
    static constexpr int kGlyphCount = 256;
    static constexpr int kGlyphSize = 8;
    static constexpr int kGridSize = 16;

    // Parses a table; errors name the source and the line ("name:12: ...").
    static GlyphTable parse(std::string_view text, const std::string& sourceName);
    static GlyphTable load(const std::string& path);

    // x from the left, y from the top of the glyph; no bounds check.
    bool isSet(int glyph, int x, int y) const { return (rows_[index(glyph, y)] >> (7 - x)) & 1; }
    void set(int glyph, int x, int y, bool on);

    // The atlas: white glyph pixels on black, 128 x 128 pixels.
    Image toAtlas() const;

private:
    static std::size_t index(int glyph, int y) {
        return static_cast<std::size_t>(glyph * kGlyphSize + y);
    }
    // One byte per glyph row, the leftmost pixel in the high bit.
    std::array<std::uint8_t, kGlyphCount * kGlyphSize> rows_{};
};

} // namespace cindra::util
