// Compiling and printing level source text against reading the same level's binary map file
// (the baseline): what the text form costs the map tool for a large level.
#include "cindra/Map.hpp"
#include "cindra/level/LevelSource.hpp"

#include <benchmark/benchmark.h>

#include <random>
#include <sstream>
#include <string>

namespace {

// A 256 x 256 level of walls and floors in a few shades, with lights and a region.
cindra::Map makeLevel() {
    cindra::Map map(256, 256);
    std::mt19937 random(21u);
    for (cindra::MapCell& cell : map.cells()) {
        const bool wall = random() % 5 == 0;
        cell.glyph = wall ? 178 : 250;
        cell.foreground = cindra::Color(static_cast<std::uint8_t>(100 + random() % 8), 90, 80);
        cell.background = cindra::Color(20, 18, 16);
        cell.flags = wall ? cindra::Blocked | cindra::Opaque : 0;
    }
    map.setAmbientLight(96, 96, 96);
    for (int i = 0; i < 20; ++i) {
        map.addLight(std::make_shared<cindra::LightSource>(
            cindra::GridPos{static_cast<int>(random() % 256), static_cast<int>(random() % 256)}, 8,
            cindra::Color(255, 200, 120), cindra::LightSource::Falloff::Quadratic));
    }
    map.getRegions().push_back({"all", "", {}});
    for (int y = 0; y < 256; y += 2) {
        for (int x = 0; x < 256; x += 3) {
            map.getRegions().back().region.add(x, y);
        }
    }
    return map;
}

const cindra::Map& level() {
    static const cindra::Map map = makeLevel();
    return map;
}

void BM_LoadMapFile(benchmark::State& state) {
    const std::string bytes = cindra::level::encodeLevel(level(), {});
    for (auto _ : state) {
        std::istringstream in(bytes);
        cindra::Map map;
        map.load(in, "bench.cmap");
        benchmark::DoNotOptimize(map.cells().data());
    }
}
BENCHMARK(BM_LoadMapFile)->Unit(benchmark::kMillisecond);

void BM_ParseLevelSource(benchmark::State& state) {
    const std::string text = cindra::level::printLevel(level(), {});
    for (auto _ : state) {
        cindra::level::Level parsed = cindra::level::parseLevel(text, "bench.level");
        benchmark::DoNotOptimize(parsed.map.cells().data());
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ParseLevelSource)->Unit(benchmark::kMillisecond);

void BM_PrintLevelSource(benchmark::State& state) {
    for (auto _ : state) {
        std::string text = cindra::level::printLevel(level(), {});
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_PrintLevelSource)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
