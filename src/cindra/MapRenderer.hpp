// Draws the visible window of a map, lit, into a console: the light sum of every drawn cell
// (ambient light plus each light's contribution) and the lit colours. Kept apart from Map
// so that its work buffers live between frames.
#pragma once

#include "cindra/Console.hpp"
#include "cindra/LightSource.hpp"

#include <cstdint>
#include <vector>

namespace cindra {

class Map;

class MapRenderer {
public:
    // Draws map cells [offset, offset + (128, 96)) that lie inside both the map and the console
    // into console cells [0, 128) x [0, 96), glyph and lit colours (the console cells' fourth
    // colour bytes are kept). The lights' light maps must be up to date. Cost: one pass over
    // the drawn cells plus, per light, one pass over the part of its square that is drawn.
    void render(const Map& map, Console& console, GridPos offset);

    // A colour channel lit by a light level: 255 when channel * level > 65280, else
    // (channel * level) >> 8 (an arithmetic shift, kept to its low byte).
    static std::uint8_t litChannel(std::uint8_t channel, std::int64_t level);

private:
    // The map cells that one render draws: [x0, x0 + w) x [y0, y0 + h).
    struct Window {
        std::int64_t x0 = 0;
        std::int64_t y0 = 0;
        std::int64_t w = 0;
        std::int64_t h = 0;
    };

    bool sumPacked(const Map& map, const Window& window);
    void sumWide(const Map& map, const Window& window);
    // kNonNegative: every light level is at least 0 (the common case, with a faster formula).
    template <bool kNonNegative, typename LevelAt>
    void draw(const Map& map, Console& console, GridPos offset, const Window& window,
              LevelAt levelAt) const;

    // Light sums per drawn cell, row-major over the window. Packed: the three channels of
    // the lights' sum in 21 bits each of one word (used when ambient light and lights are at
    // least 0 and the lights cannot overflow them); wide: one 64-bit sum per channel,
    // ambient included.
    std::vector<std::uint64_t> packed_;
    std::vector<std::int64_t> red_, green_, blue_;
};

} // namespace cindra
