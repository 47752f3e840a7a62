// Noise sampling: our gradient noise against libtcod's Perlin noise (when libtcod is found) in
// one and two dimensions, over the same points in the same run. The per_sample counter is the
// time of one sample; each iteration samples every point once.
#include "cindra/util/Perlin.hpp"
#include "cindra/util/Random.hpp"

#include <benchmark/benchmark.h>
#ifdef CINDRA_WITH_LIBTCOD
#include <libtcod/noise.h>
#endif

#include <vector>

namespace {

constexpr int kPoints = 4096;

// kPoints (x, y) pairs spread over [-64, 64), the same for every benchmark.
const std::vector<float>& samplePoints() {
    static const std::vector<float> points = [] {
        cindra::util::Random random(cindra::util::Random::State{});
        std::vector<float> result(2 * kPoints);
        for (float& v : result) {
            v = random.fraction() * 128.0f - 64.0f;
        }
        return result;
    }();
    return points;
}

void reportPerSample(benchmark::State& state) {
    state.counters["per_sample"] = benchmark::Counter(
        kPoints, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Calls go through a pointer the compiler cannot see through, as a script's call would.
const cindra::util::PerlinNoise* opaqueNoise(const cindra::util::PerlinNoise& noise) {
    const cindra::util::PerlinNoise* pointer = &noise;
    benchmark::DoNotOptimize(pointer);
    return pointer;
}

void BM_Noise1D(benchmark::State& state) {
    const cindra::util::PerlinNoise noise;
    const cindra::util::PerlinNoise* source = opaqueNoise(noise);
    const std::vector<float>& points = samplePoints();
    std::vector<float> out(kPoints);
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            out[i] = source->noise1D(points[2 * i]);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    reportPerSample(state);
}
BENCHMARK(BM_Noise1D);

void BM_Noise2D(benchmark::State& state) {
    const cindra::util::PerlinNoise noise;
    const cindra::util::PerlinNoise* source = opaqueNoise(noise);
    const std::vector<float>& points = samplePoints();
    std::vector<float> out(kPoints);
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            out[i] = source->noise2D(points[2 * i], points[2 * i + 1]);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    reportPerSample(state);
}
BENCHMARK(BM_Noise2D);

// A row of one-dimensional samples at unit spacing, one call for the whole row.
void BM_Fill1D(benchmark::State& state) {
    const cindra::util::PerlinNoise noise;
    const cindra::util::PerlinNoise* source = opaqueNoise(noise);
    std::vector<float> out(kPoints);
    for (auto _ : state) {
        source->fill1D(kPoints, -64.3f, 0.03125f, 1.0f, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    reportPerSample(state);
}
BENCHMARK(BM_Fill1D);

#ifdef CINDRA_WITH_LIBTCOD

void tcodNoise(benchmark::State& state, int dimensions) {
    TCOD_Noise* noise =
        TCOD_noise_new(dimensions, TCOD_NOISE_DEFAULT_HURST, TCOD_NOISE_DEFAULT_LACUNARITY, NULL);
    const std::vector<float>& points = samplePoints();
    std::vector<float> out(kPoints);
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            out[i] = TCOD_noise_get_ex(noise, &points[2 * i], TCOD_NOISE_PERLIN);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    TCOD_noise_delete(noise);
    reportPerSample(state);
}

void BM_TcodNoise1D(benchmark::State& state) {
    tcodNoise(state, 1);
}
BENCHMARK(BM_TcodNoise1D);

void BM_TcodNoise2D(benchmark::State& state) {
    tcodNoise(state, 2);
}
BENCHMARK(BM_TcodNoise2D);

#endif

} // namespace

BENCHMARK_MAIN();
