#include "cindra/Map.hpp"
#include "cindra/MapRenderer.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using cindra::CellFlag;
using cindra::Console;
using cindra::GridPos;
using cindra::LightLevel;
using cindra::LightSource;
using cindra::Map;
using cindra::MapCell;
using cindra::MapRenderer;
using cindra::util::Color;
using Falloff = cindra::LightSource::Falloff;

namespace {

std::uint8_t plainLit(std::uint8_t c, std::int64_t level) {
    const std::int64_t product = c * level;
    return static_cast<std::uint8_t>(product > 65280 ? 255 : product >> 8);
}

// Renders map at offset and checks every drawn cell against the light sums computed one
// cell at a time with addContribution.
void expectDrawnAsSummed(Map& map, GridPos offset) {
    Console console(Map::kViewWidth, Map::kViewHeight);
    map.render(console, offset);
    for (int y = std::max(0, offset.y); y < std::min(map.height(), offset.y + 96); ++y) {
        for (int x = std::max(0, offset.x); x < std::min(map.width(), offset.x + 128); ++x) {
            LightLevel sum = map.getAmbientLight();
            for (const auto& light : map.getLights()) {
                light->addContribution(x, y, sum);
            }
            const MapCell& cell = map.getCell(x, y);
            const cindra::ConsoleChar& drawn = console.at(x - offset.x, y - offset.y);
            ASSERT_EQ(drawn.glyph, static_cast<std::int32_t>(cell.glyph));
            ASSERT_EQ(drawn.foreground, Color(plainLit(cell.foreground.r, sum.red),
                                              plainLit(cell.foreground.g, sum.green),
                                              plainLit(cell.foreground.b, sum.blue), 0))
                << x << "," << y;
            ASSERT_EQ(drawn.background, Color(plainLit(cell.background.r, sum.red),
                                              plainLit(cell.background.g, sum.green),
                                              plainLit(cell.background.b, sum.blue), 0))
                << x << "," << y;
        }
    }
}

Map randomMap(std::mt19937& random, int lights, int minFade, int maxFade) {
    Map map(90, 70);
    for (MapCell& cell : map.cells()) {
        cell.foreground =
            Color(static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()), 255);
        cell.background = Color(0, static_cast<std::uint8_t>(random()), 1);
        cell.glyph = random() % 256;
        cell.flags = random() % 7 == 0 ? CellFlag::Opaque : 0u;
    }
    for (int i = 0; i < lights; ++i) {
        const int fade =
            minFade + static_cast<int>(random() % static_cast<unsigned>(maxFade - minFade + 1));
        map.addLight(std::make_shared<LightSource>(
            GridPos{static_cast<int>(random() % 100) - 5, static_cast<int>(random() % 80) - 5},
            1 + static_cast<int>(random() % 12),
            Color(static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()), 255),
            i % 2 ? Falloff::Linear : Falloff::Quadratic, fade));
    }
    return map;
}

} // namespace

TEST(MapRenderer, LitChannelMatchesThePlainFormula) {
    const std::int64_t levels[] = {0,
                                   1,
                                   255,
                                   256,
                                   257,
                                   511,
                                   65280,
                                   65281,
                                   65535,
                                   65536,
                                   1 << 20,
                                   2147483647,
                                   -1,
                                   -255,
                                   -256,
                                   -257,
                                   -65536,
                                   -2147483647 - 1,
                                   std::int64_t{1} << 40,
                                   -(std::int64_t{1} << 40)};
    for (int c = 0; c < 256; ++c) {
        for (std::int64_t level : levels) {
            ASSERT_EQ(MapRenderer::litChannel(static_cast<std::uint8_t>(c), level),
                      plainLit(static_cast<std::uint8_t>(c), level))
                << c << " at " << level;
        }
        for (std::int64_t level = 0; level < 70000; level += 13) {
            ASSERT_EQ(MapRenderer::litChannel(static_cast<std::uint8_t>(c), level),
                      plainLit(static_cast<std::uint8_t>(c), level));
        }
    }
}

TEST(MapRenderer, EveryKindOfLightSumDrawsAsTheSumOfContributions) {
    std::mt19937 random(8);
    Map ordinary = randomMap(random, 40, 0, 512);
    ordinary.setAmbientLight(30, 0, 300);
    expectDrawnAsSummed(ordinary, {-7, 3});
    // Fades so large that the sums need 64 bits.
    Map bright = randomMap(random, 10, 1 << 28, 1 << 30);
    bright.setAmbientLight(2147483647, 0, 5);
    expectDrawnAsSummed(bright, {10, -20});
    // Dark lights and ambient light below zero.
    Map dark = randomMap(random, 20, -400, 300);
    dark.setAmbientLight(-100, 50, -2147483647 - 1);
    expectDrawnAsSummed(dark, {0, 0});
    Map negativeAmbient = randomMap(random, 5, 0, 256);
    negativeAmbient.setAmbientLight(-1, 256, 256);
    expectDrawnAsSummed(negativeAmbient, {-60, -40});
}

TEST(MapRenderer, LightsOutsideTheWindowOrNeverCalculatedAddNothing) {
    Map map(200, 200);
    for (MapCell& cell : map.cells()) {
        cell.foreground = Color(100, 100, 100);
    }
    map.setAmbientLight(256, 256, 256);
    map.addLight(
        std::make_shared<LightSource>(GridPos{190, 190}, 5, Color(255, 255, 255), Falloff::Linear));
    // A light put straight into the list is calculated by the first render.
    auto fresh = std::make_shared<LightSource>(GridPos{3, 3}, 2, Color(255, 0, 0), Falloff::Linear);
    map.setLights({map.getLights()[0], fresh});
    Console console(Map::kViewWidth, Map::kViewHeight);
    map.render(console, {0, 0});
    EXPECT_FALSE(fresh->needsRecalculation());
    EXPECT_EQ(console.at(100, 90).foreground, Color(100, 100, 100, 0));
    EXPECT_GT(console.at(3, 3).foreground.r, 100);
    EXPECT_EQ(console.at(3, 3).foreground.g, 100);
}
