#include "cindra/ConsoleRasterizer.hpp"

#include "cindra/Error.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace cindra {

namespace {

constexpr std::uint8_t kAlphaTestThreshold = 128;

// Nearest texel along one axis for the pixel centre `pixel` of a cell placed at grid index
// `cell`, clamped to the edge. Computed in double: for grid indices 0..15 every step is exact,
// and outside them the coordinate is below 0 or at least 1 whatever the precision.
int texelIndex(int cell, int pixel, int cellPixels, int atlasSize) {
    double coord = (cell + (pixel + 0.5) / cellPixels) / FontAtlas::kGridSize;
    double texel = std::floor(coord * atlasSize);
    if (texel < 0) {
        return 0;
    }
    return texel >= atlasSize ? atlasSize - 1 : static_cast<int>(texel);
}

constexpr int kGlyphCount = FontAtlas::kGridSize * FontAtlas::kGridSize;

bool inGrid(int glyph) {
    return glyph >= 0 && glyph < kGlyphCount;
}

// The top-left texel of a glyph's atlas cell. For glyphs 0..255 pixel (i, j) of a screen cell
// samples exactly texel origin + (i, j): with power-of-two sizes every step of glyphTexel's
// arithmetic is exact and the pixel centre lands on the texel centre.
Texel cellOrigin(const FontAtlas& atlas, int glyph) {
    return {glyph / FontAtlas::kGridSize * atlas.glyphWidth(),
            glyph % FontAtlas::kGridSize * atlas.glyphHeight()};
}

// The texel rows and columns one glyph samples, worked out once per cell.
struct GlyphSampling {
    std::vector<int> xs;
    std::vector<int> ys;

    explicit GlyphSampling(const FontAtlas& atlas)
        : xs(static_cast<std::size_t>(atlas.glyphWidth())),
          ys(static_cast<std::size_t>(atlas.glyphHeight())) {}

    void aim(const FontAtlas& atlas, int glyph) {
        if (inGrid(glyph)) {
            Texel origin = cellOrigin(atlas, glyph);
            for (std::size_t i = 0; i < xs.size(); ++i) {
                xs[i] = origin.x + static_cast<int>(i);
            }
            for (std::size_t j = 0; j < ys.size(); ++j) {
                ys[j] = origin.y + static_cast<int>(j);
            }
            return;
        }
        for (std::size_t i = 0; i < xs.size(); ++i) {
            xs[i] = glyphTexel(atlas, glyph, static_cast<int>(i), 0).x;
        }
        for (std::size_t j = 0; j < ys.size(); ++j) {
            ys[j] = glyphTexel(atlas, glyph, 0, static_cast<int>(j)).y;
        }
    }
};

void drawCell(util::Image& img, const ConsoleChar& cell, int left, int top, const FontAtlas& atlas,
              const GlyphSampling& s) {
    Color bg(cell.background.r, cell.background.g, cell.background.b);
    for (std::size_t j = 0; j < s.ys.size(); ++j) {
        for (std::size_t i = 0; i < s.xs.size(); ++i) {
            std::uint8_t red = atlas.intensity(s.xs[i], s.ys[j]);
            Color c = bg;
            if (red >= kAlphaTestThreshold) {
                c = Color(modulate(cell.foreground.r, red), modulate(cell.foreground.g, red),
                          modulate(cell.foreground.b, red));
            }
            img.setPixel(left + static_cast<int>(i), top + static_cast<int>(j), c);
        }
    }
}

// The foreground values that could have given one channel of the mask pixels seen so far.
struct ChannelRange {
    int low = 0;
    int high = 255;

    // Narrows to the c with modulate(c, intensity) == seen; false when none is left.
    bool narrow(std::uint8_t seen, std::uint8_t intensity) {
        if (intensity == 255) { // the common case: the colour is the foreground itself
            low = std::max(low, static_cast<int>(seen));
            high = std::min(high, static_cast<int>(seen));
            return low <= high;
        }
        int lowest = 255 * seen - 127;
        lowest = lowest <= 0 ? 0 : (lowest + intensity - 1) / intensity;
        int highest = (255 * seen + 127) / intensity;
        low = std::max(low, lowest);
        high = std::min(high, highest);
        return low <= high;
    }
};

// Whether glyph explains a cell whose pixels (rows from the top) are given; fills the colours
// when it does.
bool explains(const std::vector<Color>& pixels, const FontAtlas& atlas, int glyph,
              DecodedCell& out) {
    int gw = atlas.glyphWidth();
    int gh = atlas.glyphHeight();
    Texel origin = cellOrigin(atlas, glyph);
    ChannelRange range[3];
    bool anyMask = false;
    bool anyBackground = false;
    const Color* p = pixels.data();
    for (int j = 0; j < gh; ++j) {
        for (int i = 0; i < gw; ++i, ++p) {
            std::uint8_t red = atlas.intensity(origin.x + i, origin.y + j);
            if (red < kAlphaTestThreshold) {
                if (anyBackground && *p != out.background) {
                    return false;
                }
                out.background = *p;
                anyBackground = true;
            } else if (!range[0].narrow(p->r, red) || !range[1].narrow(p->g, red) ||
                       !range[2].narrow(p->b, red)) {
                return false;
            } else {
                anyMask = true;
            }
        }
    }
    Color fg(static_cast<std::uint8_t>(range[0].low), static_cast<std::uint8_t>(range[1].low),
             static_cast<std::uint8_t>(range[2].low));
    out.foreground = anyMask ? fg : out.background;
    out.background = anyBackground ? out.background : out.foreground;
    return true;
}

} // namespace

Texel glyphTexel(const FontAtlas& atlas, int glyph, int i, int j) {
    int column = glyph / FontAtlas::kGridSize;
    int row = glyph % FontAtlas::kGridSize;
    return {texelIndex(column, i, atlas.glyphWidth(), atlas.width()),
            texelIndex(row, j, atlas.glyphHeight(), atlas.height())};
}

util::Image rasterize(const Console& console, const FontAtlas& atlas) {
    int gw = atlas.glyphWidth();
    int gh = atlas.glyphHeight();
    util::Image img(console.width() * gw, console.height() * gh);
    GlyphSampling sampling(atlas);
    for (int y = 0; y < console.height(); ++y) {
        for (int x = 0; x < console.width(); ++x) {
            const ConsoleChar& cell = console.at(x, y);
            sampling.aim(atlas, cell.glyph);
            drawCell(img, cell, x * gw, (console.height() - 1 - y) * gh, atlas, sampling);
        }
    }
    return img;
}

DecodedCell decodeCell(const util::Image& screen, int cellX, int cellY, int consoleHeight,
                       const FontAtlas& atlas) {
    int gw = atlas.glyphWidth();
    int gh = atlas.glyphHeight();
    long long left = static_cast<long long>(cellX) * gw;
    long long top = (static_cast<long long>(consoleHeight) - 1 - cellY) * gh;
    if (cellX < 0 || cellY < 0 || top < 0 || left + gw > screen.width || top + gh > screen.height) {
        throw Error("Cell (" + std::to_string(cellX) + "," + std::to_string(cellY) +
                    ") lies outside the " + std::to_string(screen.width) + " x " +
                    std::to_string(screen.height) + " picture");
    }
    std::vector<Color> pixels;
    pixels.reserve(static_cast<std::size_t>(gw) * static_cast<std::size_t>(gh));
    for (int j = 0; j < gh; ++j) {
        for (int i = 0; i < gw; ++i) {
            pixels.push_back(screen.pixel(static_cast<int>(left) + i, static_cast<int>(top) + j));
        }
    }
    DecodedCell out;
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) {
        if (explains(pixels, atlas, glyph, out)) {
            out.glyph = glyph;
            out.ok = true;
            return out;
        }
    }
    return DecodedCell{};
}

} // namespace cindra
