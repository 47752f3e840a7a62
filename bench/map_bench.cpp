// Drawing the 128 x 96 window of a lit map, and reading and writing a 1024 x 1024 map file
// in memory and through a file in /tmp (rates of cell bytes per second of wall time).
#include "cindra/Console.hpp"
#include "cindra/Map.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

cindra::Map makeMap(int width, int height) {
    cindra::Map map(width, height);
    std::mt19937 random(11u);
    for (cindra::MapCell& cell : map.cells()) {
        cell.foreground = cindra::Color(static_cast<std::uint8_t>(random()),
                                        static_cast<std::uint8_t>(random()), 200, 255);
        cell.background = cindra::Color(20, static_cast<std::uint8_t>(random()), 40, 255);
        cell.glyph = random() % 256;
        cell.flags = random() % 10 == 0 ? cindra::CellFlag::Opaque | cindra::CellFlag::Blocked : 0;
    }
    map.setAmbientLight(64, 64, 80);
    return map;
}

// Arguments: number of lights, their radius. The lights stand inside the drawn window.
void BM_MapRender(benchmark::State& state) {
    cindra::Map map = makeMap(256, 256);
    std::mt19937 random(12u);
    for (int i = 0; i < state.range(0); ++i) {
        map.addLight(std::make_shared<cindra::LightSource>(
            cindra::GridPos{20 + static_cast<int>(random() % 128),
                            20 + static_cast<int>(random() % 96)},
            static_cast<int>(state.range(1)), cindra::Color(255, 200, 150),
            i % 2 ? cindra::LightSource::Falloff::Linear
                  : cindra::LightSource::Falloff::Quadratic));
    }
    cindra::Console console(cindra::Map::kViewWidth, cindra::Map::kViewHeight);
    const cindra::GridPos offset{20, 20};
    for (auto _ : state) {
        map.render(console, offset);
        benchmark::DoNotOptimize(console.cells.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MapRender)
    ->Args({0, 16})
    ->Args({16, 16})
    ->Args({64, 16})
    ->Args({64, 4})
    ->ArgNames({"lights", "radius"})
    ->Unit(benchmark::kMicrosecond);

// A growable output buffer that keeps its memory between saves.
class BufferStream : public std::streambuf {
public:
    std::vector<char> data;

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        data.insert(data.end(), s, s + n);
        return n;
    }
    int_type overflow(int_type ch) override {
        if (ch != traits_type::eof()) {
            data.push_back(static_cast<char>(ch));
        }
        return ch;
    }
};

constexpr int kBigSide = 1024;

std::int64_t cellBytes(const benchmark::State& state) {
    return static_cast<std::int64_t>(state.iterations()) * kBigSide * kBigSide *
           static_cast<std::int64_t>(sizeof(cindra::MapCell));
}

void BM_MapSaveMemory(benchmark::State& state) {
    const cindra::Map map = makeMap(kBigSide, kBigSide);
    BufferStream buffer;
    buffer.data.reserve(kBigSide * kBigSide * 16 + 1024);
    std::ostream out(&buffer);
    for (auto _ : state) {
        buffer.data.clear();
        map.save(out);
        benchmark::DoNotOptimize(buffer.data.data());
    }
    state.SetBytesProcessed(cellBytes(state));
}
BENCHMARK(BM_MapSaveMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MapLoadMemory(benchmark::State& state) {
    std::ostringstream saved;
    makeMap(kBigSide, kBigSide).save(saved);
    std::istringstream in(saved.str());
    cindra::Map map;
    for (auto _ : state) {
        in.clear();
        in.seekg(0);
        map.load(in, "memory.cmap");
        benchmark::DoNotOptimize(map.cells().data());
    }
    state.SetBytesProcessed(cellBytes(state));
}
BENCHMARK(BM_MapLoadMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

const std::string kFile = "/tmp/cindra_map_bench.cmap";

void BM_MapSaveFile(benchmark::State& state) {
    const cindra::Map map = makeMap(kBigSide, kBigSide);
    for (auto _ : state) {
        // A fresh file each time: rewriting a truncated file makes ext4 flush it to disk
        // on close, which would time the disk rather than the writer.
        state.PauseTiming();
        std::remove(kFile.c_str());
        state.ResumeTiming();
        std::ofstream out(kFile, std::ios::binary | std::ios::trunc);
        map.save(out);
    }
    state.SetBytesProcessed(cellBytes(state));
    std::remove(kFile.c_str());
}
BENCHMARK(BM_MapSaveFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MapLoadFile(benchmark::State& state) {
    {
        std::ofstream out(kFile, std::ios::binary | std::ios::trunc);
        makeMap(kBigSide, kBigSide).save(out);
    }
    cindra::Map map;
    for (auto _ : state) {
        map.load(kFile);
        benchmark::DoNotOptimize(map.cells().data());
    }
    state.SetBytesProcessed(cellBytes(state));
    std::remove(kFile.c_str());
}
BENCHMARK(BM_MapLoadFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
