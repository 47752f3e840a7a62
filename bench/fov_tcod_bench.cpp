// The baseline: libtcod's shadowcasting field of view (radius 16) on the same 200 x 200
// maps and positions as our light maps, with our calculation in the same program so that
// both are measured in the same run.
#include "LightBenchMaps.hpp"

#include "cindra/LightSource.hpp"

#include <benchmark/benchmark.h>
#include <libtcod/fov.h>

namespace {

void BM_TcodShadowFov(benchmark::State& state) {
    const cindra::Map map = bench::makeLightMap(static_cast<int>(state.range(0)));
    const auto positions = bench::lightPositions(map);
    TCOD_Map* fov = TCOD_map_new(bench::kMapSize, bench::kMapSize);
    for (int y = 0; y < bench::kMapSize; ++y) {
        for (int x = 0; x < bench::kMapSize; ++x) {
            const cindra::MapCell& cell = map.getCell(x, y);
            TCOD_map_set_properties(fov, x, y, cindra::isTransparent(cell),
                                    cindra::isWalkable(cell));
        }
    }
    std::size_t next = 0;
    for (auto _ : state) {
        const cindra::GridPos p = positions[next++ % positions.size()];
        TCOD_map_compute_fov(fov, p.x, p.y, bench::kRadius, true, FOV_SHADOW);
        benchmark::DoNotOptimize(TCOD_map_is_in_fov(fov, p.x + 1, p.y));
    }
    TCOD_map_delete(fov);
}
BENCHMARK(BM_TcodShadowFov)->Arg(0)->Arg(10)->ArgName("opaque%");

BENCHMARK(bench::lightCalculate)->Name("BM_LightCalculate")->Arg(0)->Arg(10)->ArgName("opaque%");

} // namespace

BENCHMARK_MAIN();
