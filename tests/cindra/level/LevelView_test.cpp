#include "cindra/level/LevelView.hpp"

#include <gtest/gtest.h>

#include <memory>

using cindra::Map;
using cindra::level::renderLevel;
using cindra::logic::EntityInfo;
using cindra::util::Color;

TEST(LevelView, DrawsTheLitMapThenEntityGlyphs) {
    Map map(3, 2);
    map.setAmbientLight(128, 128, 128);
    for (auto& cell : map.cells()) {
        cell.glyph = 250;
        cell.foreground = Color(200, 200, 200);
        cell.background = Color(100, 50, 0);
    }
    std::vector<EntityInfo> entities(4);
    entities[0] = {{1, 1}, "", true, true, 'k', Color(10, 20, 30), "", ""};
    entities[1] = {{2, 1}, "", false, true, 'x', Color(1, 1, 1), "", ""};   // no location
    entities[2] = {{2, 0}, "", true, false, 'y', Color(1, 1, 1), "", ""};   // no render part
    entities[3] = {{-1, 200}, "", true, true, 'z', Color(1, 1, 1), "", ""}; // off the window
    const cindra::Console console = renderLevel(map, entities);
    ASSERT_EQ(console.width(), 128);
    ASSERT_EQ(console.height(), 96);

    EXPECT_EQ(console.at(0, 0).glyph, 250);
    EXPECT_EQ(console.at(0, 0).foreground.r, 100);
    EXPECT_EQ(console.at(0, 0).background.g, 25);
    // The entity keeps the lit background and shows its colour unlit.
    EXPECT_EQ(console.at(1, 1).glyph, 'k');
    EXPECT_EQ(console.at(1, 1).foreground.b, 30);
    EXPECT_EQ(console.at(1, 1).background.r, 50);
    EXPECT_EQ(console.at(2, 1).glyph, 250);
    EXPECT_EQ(console.at(2, 0).glyph, 250);
    // Beyond the map the console stays empty.
    EXPECT_EQ(console.at(3, 0).glyph, 0);
    EXPECT_EQ(console.at(3, 0).background, Color());
}

TEST(LevelView, LightsAreCalculatedBeforeDrawing) {
    Map map(9, 9);
    for (auto& cell : map.cells()) {
        cell.foreground = Color(255, 255, 255);
    }
    map.setLights({std::make_shared<cindra::LightSource>(
        cindra::util::GridPos{4, 4}, 3, Color(255, 0, 0), cindra::LightSource::Falloff::Linear)});
    const cindra::Console console = renderLevel(map, {});
    EXPECT_GT(console.at(4, 4).foreground.r, 50);
    EXPECT_EQ(console.at(4, 4).foreground.g, 0);
    EXPECT_EQ(console.at(0, 0).foreground.r, 0);
}
