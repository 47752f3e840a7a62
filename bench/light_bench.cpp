// Light-map calculation of a radius-16 light on a 200 x 200 map, open and with 10% opaque
// cells, cycling through 64 fixed light positions.
#include "LightBenchMaps.hpp"

#include "cindra/LightSource.hpp"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

BENCHMARK(bench::lightCalculate)->Name("BM_LightCalculate")->Arg(0)->Arg(10)->ArgName("opaque%");

// Building the precomputed rays of one radius (done once per radius and falloff).
void BM_LightRayTableBuild(benchmark::State& state) {
    for (auto _ : state) {
        cindra::LightSource light({0, 0}, static_cast<int>(state.range(0)),
                                  cindra::Color(255, 255, 255),
                                  cindra::LightSource::Falloff::Quadratic);
        cindra::Map map(1, 1);
        light.calculate(map); // the table is built here and released with the light
        benchmark::DoNotOptimize(light.getIntensities().data());
    }
}
BENCHMARK(BM_LightRayTableBuild)
    ->Arg(16)
    ->Arg(64)
    ->ArgName("radius")
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
