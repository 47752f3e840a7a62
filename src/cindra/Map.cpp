#include "cindra/Map.hpp"

#include "cindra/Error.hpp"
#include "cindra/util/Util.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace cindra {

namespace {

std::size_t checkedCellCount(std::int64_t width, std::int64_t height) {
    if (width < 0 || height < 0 || width * height > mapfile::kMaxCells) {
        throw Error(fmt::format("Invalid map size {} x {} (at most {} cells)", width, height,
                                mapfile::kMaxCells));
    }
    return static_cast<std::size_t>(width * height);
}

// The cells of the map that one render draws: [x0, x0 + w) x [y0, y0 + h).
struct Window {
    std::int64_t x0 = 0;
    std::int64_t y0 = 0;
    std::int64_t w = 0;
    std::int64_t h = 0;
};

// The light sum of every drawn cell, one array per channel, kept between frames.
struct LightBuffer {
    std::vector<std::int64_t> red, green, blue;

    void reset(std::size_t cells, const LightLevel& ambient) {
        red.assign(cells, ambient.red);
        green.assign(cells, ambient.green);
        blue.assign(cells, ambient.blue);
    }
};

LightBuffer& lightBuffer() {
    thread_local LightBuffer buffer;
    return buffer;
}

// Adds the light's contribution to every drawn cell of its lit square. The contribution
// depends only on the intensity byte, so it is tabulated once per light and frame.
void addLightToWindow(const LightSource& light, const Window& window, LightBuffer& buffer) {
    const std::int64_t d = light.getDiameter();
    const std::int64_t fromX = std::max(window.x0, light.getAreaX());
    const std::int64_t toX = std::min(window.x0 + window.w, light.getAreaX() + d);
    const std::int64_t fromY = std::max(window.y0, light.getAreaY());
    const std::int64_t toY = std::min(window.y0 + window.h, light.getAreaY() + d);
    if (fromX >= toX || fromY >= toY || light.getIntensities().empty()) {
        return;
    }
    std::int64_t table[3][256];
    for (std::int64_t v = 0; v < 256; ++v) {
        const std::int64_t scaled = (std::int64_t{light.fade} * v) >> 8;
        table[0][v] = (light.color.r * scaled) >> 8;
        table[1][v] = (light.color.g * scaled) >> 8;
        table[2][v] = (light.color.b * scaled) >> 8;
    }
    for (std::int64_t y = fromY; y < toY; ++y) {
        const std::uint8_t* v = light.getIntensities().data() + (y - light.getAreaY()) * d;
        const auto out = static_cast<std::size_t>((y - window.y0) * window.w - window.x0);
        for (std::int64_t x = fromX; x < toX; ++x) {
            const std::uint8_t level = v[x - light.getAreaX()];
            const auto i = out + static_cast<std::size_t>(x);
            buffer.red[i] += table[0][level];
            buffer.green[i] += table[1][level];
            buffer.blue[i] += table[2][level];
        }
    }
}

// A colour channel lit by a light level: 255 above 65280, else the product's high bits.
std::uint8_t litChannel(std::uint8_t channel, std::int64_t level) {
    const std::int64_t product = channel * level;
    return product > 65280 ? 255 : static_cast<std::uint8_t>(product >> 8);
}

} // namespace

Map::Map(int width, int height)
    : width_(width), height_(height), cells_(checkedCellCount(width, height)) {}

void Map::load(const std::string& fileName, const ChunkHandler& handler) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        throw Error(fmt::format("Cannot open map file {}: {}", fileName, std::strerror(errno)));
    }
    load(in, fileName, handler);
}

void Map::load(std::istream& in, const std::string& fileName, const ChunkHandler& handler) {
    mapfile::read(*this, in, fileName, handler);
}

void Map::save(std::ostream& out) const {
    mapfile::write(*this, out);
}

void Map::setAmbientLight(int red, int green, int blue) {
    ambientLight_ = LightLevel{red, green, blue};
}

void Map::setWalkable(int x, int y, bool walkable) {
    if (!isInside(x, y)) {
        return;
    }
    MapCell& cell = getCell(x, y);
    cell.flags = walkable ? cell.flags & ~CellFlag::Blocked : cell.flags | CellFlag::Blocked;
}

void Map::setTransparent(int x, int y, bool transparent) {
    if (!isInside(x, y)) {
        return;
    }
    MapCell& cell = getCell(x, y);
    cell.flags = transparent ? cell.flags & ~CellFlag::Opaque : cell.flags | CellFlag::Opaque;
    for (const auto& light : lights_) {
        if (light->coversCell({x, y})) {
            light->markForRecalculation();
        }
    }
}

MapRegion* Map::getRegion(std::string_view name) {
    for (MapRegion& region : regions_) {
        if (region.name == name) {
            return &region;
        }
    }
    return nullptr;
}

const MapRegion* Map::getRegion(std::string_view name) const {
    return const_cast<Map*>(this)->getRegion(name);
}

void Map::clampToMap(GridPos& p) const {
    p.x = util::clamp(p.x, 0, width_ - 1);
    p.y = util::clamp(p.y, 0, height_ - 1);
}

void Map::resize(int left, int right, int top, int bottom) {
    const std::int64_t newWidth = std::int64_t{width_} + left + right;
    const std::int64_t newHeight = std::int64_t{height_} + top + bottom;
    std::vector<MapCell> fresh(checkedCellCount(newWidth, newHeight));
    // Copy the overlap of the old and the new map row by row.
    const std::int64_t fromX = std::max<std::int64_t>(0, left);
    const std::int64_t toX = std::min<std::int64_t>(newWidth, std::int64_t{width_} + left);
    for (std::int64_t ny = std::max<std::int64_t>(0, top);
         ny < std::min<std::int64_t>(newHeight, std::int64_t{height_} + top); ++ny) {
        if (fromX >= toX) {
            break;
        }
        const MapCell* from =
            &cells_[index(static_cast<int>(fromX - left), static_cast<int>(ny - top))];
        std::copy(from, from + (toX - fromX),
                  fresh.begin() + static_cast<std::ptrdiff_t>(ny * newWidth + fromX));
    }
    cells_ = std::move(fresh);
    width_ = static_cast<std::int32_t>(newWidth);
    height_ = static_cast<std::int32_t>(newHeight);
    std::erase_if(lights_, [&](const std::shared_ptr<LightSource>& light) {
        const std::int64_t x = std::int64_t{light->position.x} + left;
        const std::int64_t y = std::int64_t{light->position.y} + top;
        if (x < 0 || x >= width_ || y < 0 || y >= height_) {
            return true;
        }
        light->position = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
        light->markForRecalculation();
        return false;
    });
    for (MapRegion& region : regions_) {
        region.region = region.region.translate(left, top);
    }
}

void Map::addLight(std::shared_ptr<LightSource> light) {
    if (!light) {
        throw Error("Map::addLight needs a light");
    }
    light->calculate(*this);
    lights_.push_back(std::move(light));
}

void Map::removeLight(const LightSource& light) {
    const auto found = std::find_if(lights_.begin(), lights_.end(),
                                    [&](const auto& entry) { return entry.get() == &light; });
    if (found != lights_.end()) {
        lights_.erase(found);
    }
}

void Map::setLights(std::vector<std::shared_ptr<LightSource>> lights) {
    std::erase(lights, nullptr);
    for (const auto& light : lights) {
        light->markForRecalculation();
    }
    lights_ = std::move(lights);
}

void Map::setCells(int width, int height, std::vector<MapCell> cells) {
    if (cells.size() != checkedCellCount(width, height)) {
        throw Error(fmt::format("A map of {} x {} needs {} cells, not {}", width, height,
                                std::int64_t{width} * height, cells.size()));
    }
    width_ = width;
    height_ = height;
    cells_ = std::move(cells);
}

void Map::render(Console& console, GridPos offset) {
    recalculateMarkedLights();
    Window window;
    window.x0 = std::max<std::int64_t>(0, offset.x);
    window.y0 = std::max<std::int64_t>(0, offset.y);
    const std::int64_t toX = std::min<std::int64_t>(
        std::int64_t{offset.x} + std::min(kViewWidth, console.width()), width_);
    const std::int64_t toY = std::min<std::int64_t>(
        std::int64_t{offset.y} + std::min(kViewHeight, console.height()), height_);
    if (window.x0 >= toX || window.y0 >= toY) {
        return;
    }
    window.w = toX - window.x0;
    window.h = toY - window.y0;
    LightBuffer& buffer = lightBuffer();
    buffer.reset(static_cast<std::size_t>(window.w * window.h), ambientLight_);
    for (const auto& light : lights_) {
        addLightToWindow(*light, window, buffer);
    }
    std::size_t i = 0;
    for (std::int64_t y = window.y0; y < toY; ++y) {
        const auto sy = static_cast<int>(y - offset.y);
        for (std::int64_t x = window.x0; x < toX; ++x, ++i) {
            const auto sx = static_cast<int>(x - offset.x);
            const MapCell& cell = getCell(static_cast<int>(x), static_cast<int>(y));
            const std::int64_t r = buffer.red[i];
            const std::int64_t g = buffer.green[i];
            const std::int64_t b = buffer.blue[i];
            const std::uint8_t fg[3] = {litChannel(cell.foreground.r, r),
                                        litChannel(cell.foreground.g, g),
                                        litChannel(cell.foreground.b, b)};
            const std::uint8_t bg[3] = {litChannel(cell.background.r, r),
                                        litChannel(cell.background.g, g),
                                        litChannel(cell.background.b, b)};
            console.setChar(sx, sy, static_cast<int>(cell.glyph));
            console.setForeground(sx, sy, fg);
            console.setBackground(sx, sy, bg);
        }
    }
}

void Map::recalculateMarkedLights() {
    for (const auto& light : lights_) {
        if (light->needsRecalculation()) {
            light->calculate(*this);
        }
    }
}

} // namespace cindra
