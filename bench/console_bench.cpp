// The CPU half of drawing the screen: filling the colour and texture-coordinate arrays of a
// 128 x 96 console, as the physical console does every frame, against a plain copy of the
// same number of bytes as the baseline.
#include "cindra/ConsoleGeometry.hpp"
#include "cindra/TestCard.hpp"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 96;
constexpr std::size_t kQuads = kWidth * kHeight;

void BM_ConsoleVertexData(benchmark::State& state) {
    cindra::Console console(kWidth, kHeight);
    cindra::drawTestCard(console);
    std::vector<std::uint8_t> foreground(kQuads * 16);
    std::vector<std::uint8_t> background(kQuads * 16);
    std::vector<float> texCoords(kQuads * 8);
    for (auto _ : state) {
        cindra::writeColours(foreground, console.cells, cindra::ColourLayer::Foreground);
        cindra::writeColours(background, console.cells, cindra::ColourLayer::Background);
        cindra::writeTexCoords(texCoords, console.cells);
        benchmark::DoNotOptimize(foreground.data());
        benchmark::DoNotOptimize(background.data());
        benchmark::DoNotOptimize(texCoords.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kQuads * (16 + 16 + 32)));
}
BENCHMARK(BM_ConsoleVertexData);

// Baseline: copying the same number of bytes with memcpy.
void BM_CopySameBytes(benchmark::State& state) {
    std::vector<std::uint8_t> from(kQuads * 64, 1);
    std::vector<std::uint8_t> to(kQuads * 64);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(to.size()));
}
BENCHMARK(BM_CopySameBytes);

} // namespace

BENCHMARK_MAIN();
