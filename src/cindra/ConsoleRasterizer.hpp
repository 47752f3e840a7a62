// A software rendering of a console that gives exactly the pixels the GL glyph and background
// passes draw at one atlas texel per screen pixel, and the reverse: reading a cell back from
// such a picture. Screenshot tests and the map renderer rely on both being exact.
#pragma once

#include "cindra/Console.hpp"
#include "cindra/FontAtlas.hpp"
#include "cindra/util/Png.hpp"

namespace cindra {

struct Texel {
    int x = 0;
    int y = 0;
};

// The atlas texel that pixel (i, j) of a cell showing glyph samples, i from the left and j
// from the top of the cell: the texture coordinate at the pixel's centre, with the glyph's
// grid column glyph / 16 and row glyph % 16 in truncating integer arithmetic, taken to the
// nearest texel and clamped to the atlas edge as GL_CLAMP_TO_EDGE does. Glyphs outside
// 0..255 therefore sample the atlas border.
Texel glyphTexel(const FontAtlas& atlas, int glyph, int i, int j);

// The foreground channel c scaled by a texel intensity, as GL_MODULATE rounds it.
constexpr std::uint8_t modulate(std::uint8_t c, std::uint8_t intensity) {
    return static_cast<std::uint8_t>((c * intensity + 127) / 255);
}

// The console as drawn into a window of width x glyphWidth by height x glyphHeight pixels:
// every cell filled with its background, then every pixel whose texel intensity is above
// one half (at least 128) set to the foreground modulated by that intensity. Console row
// y = 0 is the bottom of the image.
util::Image rasterize(const Console& console, const FontAtlas& atlas);

struct DecodedCell {
    int glyph = 0;
    Color foreground;
    Color background;
    bool ok = false;
};

// Reads cell (cellX, cellY) of a console of consoleHeight rows back from its picture: the
// lowest glyph 0..255 whose mask (texels of intensity at least 128) explains the pixels, that
// is, all other pixels are one background colour and the mask pixels are one foreground
// modulated by their intensities. The foreground reported is the lowest such colour. A glyph
// with an empty mask explains a uniform cell with foreground = background, and a full mask
// reports the background equal to the foreground. ok is false when no glyph fits. Raises
// Error when the cell lies outside the picture.
DecodedCell decodeCell(const util::Image& screen, int cellX, int cellY, int consoleHeight,
                       const FontAtlas& atlas);

} // namespace cindra
