#include "cindra/Map.hpp"

#include "cindra/Error.hpp"
#include "cindra/MapRenderer.hpp"
#include "cindra/util/Util.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
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

} // namespace

Map::Map(int width, int height)
    : width_(width), height_(height), cells_(checkedCellCount(width, height)) {}

void Map::load(const std::string& fileName, const ChunkHandler& handler) {
    std::error_code ignored;
    if (std::filesystem::is_directory(fileName, ignored)) {
        throw Error(fmt::format("Cannot open map file {}: {}", fileName, std::strerror(EISDIR)));
    }
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
        // Every light moves, even one about to be removed: whoever still holds it (a light
        // component) sees where it went. A position past the 32-bit range stays put.
        if (x == static_cast<std::int32_t>(x) && y == static_cast<std::int32_t>(y)) {
            light->position = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
        }
        if (x < 0 || x >= width_ || y < 0 || y >= height_) {
            return true;
        }
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
    thread_local MapRenderer renderer;
    renderer.render(*this, console, offset);
}

void Map::recalculateMarkedLights() {
    for (const auto& light : lights_) {
        if (light->needsRecalculation()) {
            light->calculate(*this);
        }
    }
}

} // namespace cindra
