// The maps and light positions shared by the light-map benchmarks, so that our light maps
// and libtcod's field of view are measured on exactly the same cells.
#pragma once

#include "cindra/Map.hpp"

#include <cstdint>
#include <random>
#include <vector>

namespace bench {

constexpr int kMapSize = 200;
constexpr int kRadius = 16;
constexpr std::size_t kPositions = 64;

// A 200 x 200 map with the given percentage of opaque cells, from a fixed seed.
inline cindra::Map makeLightMap(int opaquePercent) {
    cindra::Map map(kMapSize, kMapSize);
    std::mt19937 random(20240611u);
    for (cindra::MapCell& cell : map.cells()) {
        if (static_cast<int>(random() % 100) < opaquePercent) {
            cell.flags = cindra::CellFlag::Opaque | cindra::CellFlag::Blocked;
        }
    }
    return map;
}

// 64 transparent cells at least a radius away from the edges, from a fixed seed.
inline std::vector<cindra::GridPos> lightPositions(const cindra::Map& map) {
    std::vector<cindra::GridPos> positions;
    std::mt19937 random(77u);
    while (positions.size() < kPositions) {
        const cindra::GridPos p{kRadius + static_cast<int>(random() % (kMapSize - 2 * kRadius)),
                                kRadius + static_cast<int>(random() % (kMapSize - 2 * kRadius))};
        if (cindra::isTransparent(map.getCell(p))) {
            positions.push_back(p);
        }
    }
    return positions;
}

} // namespace bench
