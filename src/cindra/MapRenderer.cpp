#include "cindra/MapRenderer.hpp"

#include "cindra/Map.hpp"

#include <algorithm>
#include <array>

namespace cindra {

namespace {

constexpr int kFieldBits = 21;
constexpr std::uint64_t kFieldMask = (std::uint64_t{1} << kFieldBits) - 1;

// The part of a light's square that the window draws, in map coordinates.
struct Overlap {
    std::int64_t fromX, toX, fromY, toY;
    bool empty() const { return fromX >= toX || fromY >= toY; }
};

// The part of the light's square inside the window; empty for a light never calculated.
template <typename Window> Overlap overlap(const LightSource& light, const Window& window) {
    if (light.getIntensities().empty()) {
        return {0, 0, 0, 0};
    }
    const std::int64_t d = light.getDiameter();
    return {std::max(window.x0, light.getAreaX()),
            std::min(window.x0 + window.w, light.getAreaX() + d),
            std::max(window.y0, light.getAreaY()),
            std::min(window.y0 + window.h, light.getAreaY() + d)};
}

// A light's contribution per intensity byte and channel: what addContribution adds.
std::array<std::array<std::int64_t, 256>, 3> contributionTable(const LightSource& light) {
    std::array<std::array<std::int64_t, 256>, 3> table{};
    for (std::int64_t v = 0; v < 256; ++v) {
        const std::int64_t scaled = (std::int64_t{light.fade} * v) >> 8;
        table[0][static_cast<std::size_t>(v)] = (light.color.r * scaled) >> 8;
        table[1][static_cast<std::size_t>(v)] = (light.color.g * scaled) >> 8;
        table[2][static_cast<std::size_t>(v)] = (light.color.b * scaled) >> 8;
    }
    return table;
}

// Calls add(windowIndex, intensity) for every drawn cell of the light's square.
template <typename Add>
void forEachLitCell(const LightSource& light, const Overlap& o, std::int64_t x0, std::int64_t y0,
                    std::int64_t w, Add add) {
    const std::int64_t d = light.getDiameter();
    for (std::int64_t y = o.fromY; y < o.toY; ++y) {
        const std::uint8_t* v =
            light.getIntensities().data() + (y - light.getAreaY()) * d - light.getAreaX();
        const std::int64_t row = (y - y0) * w - x0;
        for (std::int64_t x = o.fromX; x < o.toX; ++x) {
            add(static_cast<std::size_t>(row + x), v[x]);
        }
    }
}

} // namespace

std::uint8_t MapRenderer::litChannel(std::uint8_t channel, std::int64_t level) {
    if (level < 0) {
        // Bits 8 to 15 of the product only depend on the low bits of the factors.
        return static_cast<std::uint8_t>((channel * static_cast<std::uint32_t>(level)) >> 8);
    }
    // From 65281 on, every channel but 0 saturates: clamp to keep the product small.
    const auto product = channel * static_cast<std::uint32_t>(std::min<std::int64_t>(level, 65281));
    return product > 65280 ? 255 : static_cast<std::uint8_t>(product >> 8);
}

void MapRenderer::render(const Map& map, Console& console, GridPos offset) {
    Window window;
    window.x0 = std::max<std::int64_t>(0, offset.x);
    window.y0 = std::max<std::int64_t>(0, offset.y);
    const std::int64_t toX = std::min<std::int64_t>(
        std::int64_t{offset.x} + std::min(Map::kViewWidth, console.width()), map.width());
    const std::int64_t toY = std::min<std::int64_t>(
        std::int64_t{offset.y} + std::min(Map::kViewHeight, console.height()), map.height());
    if (window.x0 >= toX || window.y0 >= toY) {
        return;
    }
    window.w = toX - window.x0;
    window.h = toY - window.y0;
    const LightLevel ambient = map.getAmbientLight();
    if (ambient.red >= 0 && ambient.green >= 0 && ambient.blue >= 0 && sumPacked(map, window)) {
        draw<true>(map, console, offset, window, [&](std::size_t i) {
            const std::uint64_t p = packed_[i];
            return LightLevel{ambient.red + static_cast<std::int64_t>(p & kFieldMask),
                              ambient.green +
                                  static_cast<std::int64_t>(p >> kFieldBits & kFieldMask),
                              ambient.blue + static_cast<std::int64_t>(p >> (2 * kFieldBits))};
        });
    } else {
        sumWide(map, window);
        draw<false>(map, console, offset, window, [&](std::size_t i) {
            return LightLevel{red_[i], green_[i], blue_[i]};
        });
    }
}

// Sums the lights in 21-bit fields when every contribution is at least 0 and the largest
// possible sums fit; returns false (having done nothing useful) otherwise.
bool MapRenderer::sumPacked(const Map& map, const Window& window) {
    std::array<std::int64_t, 3> most{};
    for (const auto& light : map.getLights()) {
        if (light->fade < 0) {
            return false;
        }
        // Contributions grow with the intensity: the largest is at 255.
        const std::int64_t scaled = (std::int64_t{light->fade} * 255) >> 8;
        most[0] += (light->color.r * scaled) >> 8;
        most[1] += (light->color.g * scaled) >> 8;
        most[2] += (light->color.b * scaled) >> 8;
        if (std::max({most[0], most[1], most[2]}) > static_cast<std::int64_t>(kFieldMask)) {
            return false;
        }
    }
    packed_.assign(static_cast<std::size_t>(window.w * window.h), 0);
    for (const auto& light : map.getLights()) {
        const Overlap o = overlap(*light, window);
        if (o.empty()) {
            continue;
        }
        std::array<std::uint64_t, 256> fields;
        const std::int64_t fade = light->fade;
        const Color color = light->color;
        for (std::size_t v = 0; v < 256; ++v) {
            const std::int64_t scaled = (fade * static_cast<std::int64_t>(v)) >> 8;
            fields[v] = static_cast<std::uint64_t>((color.r * scaled) >> 8) |
                        static_cast<std::uint64_t>((color.g * scaled) >> 8) << kFieldBits |
                        static_cast<std::uint64_t>((color.b * scaled) >> 8) << (2 * kFieldBits);
        }
        std::uint64_t* sums = packed_.data();
        forEachLitCell(*light, o, window.x0, window.y0, window.w,
                       [&](std::size_t i, std::uint8_t v) { sums[i] += fields[v]; });
    }
    return true;
}

void MapRenderer::sumWide(const Map& map, const Window& window) {
    const auto cells = static_cast<std::size_t>(window.w * window.h);
    red_.assign(cells, map.getAmbientLight().red);
    green_.assign(cells, map.getAmbientLight().green);
    blue_.assign(cells, map.getAmbientLight().blue);
    for (const auto& light : map.getLights()) {
        const Overlap o = overlap(*light, window);
        if (o.empty()) {
            continue;
        }
        const auto table = contributionTable(*light);
        forEachLitCell(*light, o, window.x0, window.y0, window.w,
                       [&](std::size_t i, std::uint8_t v) {
                           red_[i] += table[0][v];
                           green_[i] += table[1][v];
                           blue_[i] += table[2][v];
                       });
    }
}

// Writes glyphs and lit colours straight into the console's cells (what setChar,
// setForeground and setBackground do, without a virtual call per cell and channel).
template <bool kNonNegative, typename LevelAt>
void MapRenderer::draw(const Map& map, Console& console, GridPos offset, const Window& window,
                       LevelAt levelAt) const {
    std::size_t i = 0;
    for (std::int64_t y = window.y0; y < window.y0 + window.h; ++y) {
        const MapCell* cell = &map.getCell(static_cast<int>(window.x0), static_cast<int>(y));
        ConsoleChar* out =
            &console.at(static_cast<int>(window.x0 - offset.x), static_cast<int>(y - offset.y));
        for (std::int64_t x = 0; x < window.w; ++x, ++i, ++cell, ++out) {
            const LightLevel level = levelAt(i);
            out->glyph = static_cast<std::int32_t>(cell->glyph);
            if constexpr (kNonNegative) {
                // Levels from 65281 on saturate every channel but 0, so clamping there keeps
                // the products in 32 bits; min(product, 65535) >> 8 is then the lit value.
                const auto r = static_cast<std::uint32_t>(std::min<std::int64_t>(level.red, 65281));
                const auto g =
                    static_cast<std::uint32_t>(std::min<std::int64_t>(level.green, 65281));
                const auto b =
                    static_cast<std::uint32_t>(std::min<std::int64_t>(level.blue, 65281));
                auto lit = [](std::uint8_t c, std::uint32_t l) {
                    return static_cast<std::uint8_t>(std::min(c * l, 65535u) >> 8);
                };
                out->foreground.r = lit(cell->foreground.r, r);
                out->foreground.g = lit(cell->foreground.g, g);
                out->foreground.b = lit(cell->foreground.b, b);
                out->background.r = lit(cell->background.r, r);
                out->background.g = lit(cell->background.g, g);
                out->background.b = lit(cell->background.b, b);
            } else {
                out->foreground.r = litChannel(cell->foreground.r, level.red);
                out->foreground.g = litChannel(cell->foreground.g, level.green);
                out->foreground.b = litChannel(cell->foreground.b, level.blue);
                out->background.r = litChannel(cell->background.r, level.red);
                out->background.g = litChannel(cell->background.g, level.green);
                out->background.b = litChannel(cell->background.b, level.blue);
            }
        }
    }
}

} // namespace cindra
