// The software console renderer that screenshot tests compare the game against: drawing a
// full 128 x 96 console into a 1024 x 768 picture with the game's font, and reading every cell
// of such a picture back. The baseline is copying a picture of the same size.
#include "cindra/ConsoleRasterizer.hpp"
#include "cindra/util/GlyphTable.hpp"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 96;

cindra::FontAtlas gameFont() {
    return cindra::FontAtlas(
        cindra::util::GlyphTable::load(std::string(CINDRA_SOURCE_DIR) + "/tools/font/cp437-8x8.txt")
            .toAtlas());
}

// Every glyph code in turn with varied colours: a busy screen.
cindra::Console busyConsole() {
    cindra::Console c(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            auto v = static_cast<std::uint8_t>(x * 7 + y * 13);
            c.at(x, y) = {(x + y * kWidth) % 256, cindra::Color(v, 255, 40),
                          cindra::Color(0, v, 90)};
        }
    }
    return c;
}

void BM_Rasterize(benchmark::State& state) {
    cindra::FontAtlas font = gameFont();
    cindra::Console console = busyConsole();
    for (auto _ : state) {
        cindra::util::Image img = cindra::rasterize(console, font);
        benchmark::DoNotOptimize(img.rgb.data());
    }
}
BENCHMARK(BM_Rasterize)->Unit(benchmark::kMillisecond);

void BM_DecodeScreen(benchmark::State& state) {
    cindra::FontAtlas font = gameFont();
    cindra::util::Image img = cindra::rasterize(busyConsole(), font);
    for (auto _ : state) {
        int sum = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                sum += cindra::decodeCell(img, x, y, kHeight, font).glyph;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_DecodeScreen)->Unit(benchmark::kMillisecond);

// Baseline: copying a 1024 x 768 RGB picture.
void BM_CopyPicture(benchmark::State& state) {
    cindra::util::Image img(kWidth * 8, kHeight * 8);
    for (auto _ : state) {
        cindra::util::Image copy = img;
        benchmark::DoNotOptimize(copy.rgb.data());
    }
}
BENCHMARK(BM_CopyPicture)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
