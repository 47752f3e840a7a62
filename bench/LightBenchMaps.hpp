// The maps and light positions shared by the light-map benchmarks, so that our light maps
// and libtcod's field of view are measured on exactly the same cells.
#pragma once

#include "cindra/LightSource.hpp"
#include "cindra/Map.hpp"

#include <benchmark/benchmark.h>

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

// Our light map at radius 16 on the map with state.range(0) percent opaque cells, moving the
// light over the shared positions.
inline void lightCalculate(benchmark::State& state) {
    const cindra::Map map = makeLightMap(static_cast<int>(state.range(0)));
    const auto positions = lightPositions(map);
    cindra::LightSource light(positions[0], kRadius, cindra::Color(255, 255, 255),
                              cindra::LightSource::Falloff::Linear);
    std::size_t next = 0;
    for (auto _ : state) {
        light.position = positions[next++ % positions.size()];
        light.calculate(map);
        benchmark::DoNotOptimize(light.getIntensities().data());
    }
}

} // namespace bench
