#include "cindra/level/LevelView.hpp"

#include "cindra/Error.hpp"

#include <gtest/gtest.h>

#include <memory>

using cindra::Console;
using cindra::Map;
using cindra::level::gameWindow;
using cindra::level::renderLevel;
using cindra::level::wholeMap;
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

namespace {

// A map whose cell (x, y) shows glyph 1000 y + x, fully lit, with a light across the seams
// of the pieces a whole-map picture is drawn in.
Map numberedMap(int width, int height) {
    Map map(width, height);
    map.setAmbientLight(128, 128, 128);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            map.getCell(x, y).glyph = static_cast<std::uint32_t>(1000 * y + x);
            map.getCell(x, y).foreground = Color(200, 200, 200);
        }
    }
    map.setLights(
        {std::make_shared<cindra::LightSource>(cindra::util::GridPos{128, 96}, 20, Color(255, 0, 0),
                                               cindra::LightSource::Falloff::Linear)});
    return map;
}

} // namespace

// Console cell (0,0) shows the map cell at the view point, as the world draws its map.
TEST(LevelView, AWindowAtAViewPointIsWhatTheGameShows) {
    Map map = numberedMap(200, 100);
    const std::vector<EntityInfo> entities = {
        {{75, 12}, "", true, true, 'k', Color(1, 2, 3), "", ""},
        {{69, 12}, "", true, true, 'x', Color(1, 2, 3), "", ""}, // left of the window
    };
    const Console console = renderLevel(map, entities, gameWindow({70, 10}));
    Console game(Map::kViewWidth, Map::kViewHeight);
    map.render(game, {70, 10});
    game.at(5, 2).glyph = 'k';
    game.at(5, 2).foreground = Color(1, 2, 3, 0);
    ASSERT_EQ(console.width(), 128);
    EXPECT_EQ(console.cells, game.cells);
    EXPECT_EQ(console.at(127, 89).glyph, 99197);
    EXPECT_EQ(console.at(127, 90).glyph, 0); // above the map
    EXPECT_EQ(renderLevel(map, {}, gameWindow({-5, 0})).at(5, 0).glyph, 0);
}

TEST(LevelView, TheWholeMapIsDrawnInPiecesThatMatchTheGameWindows) {
    Map map = numberedMap(300, 200);
    const std::vector<EntityInfo> entities = {
        {{299, 199}, "", true, true, 'k', Color(1, 2, 3), "", ""}};
    const Console whole = renderLevel(map, entities, wholeMap(map));
    ASSERT_EQ(whole.width(), 300);
    ASSERT_EQ(whole.height(), 200);
    EXPECT_EQ(whole.at(299, 199).glyph, 'k');
    EXPECT_EQ(whole.at(299, 198).glyph, 198299);
    // A game window across the seams at x = 128 and y = 96 shows the same cells, lit alike.
    const Console window = renderLevel(map, {}, gameWindow({64, 48}));
    for (int y = 0; y < Map::kViewHeight; ++y) {
        for (int x = 0; x < Map::kViewWidth; ++x) {
            ASSERT_EQ(whole.at(64 + x, 48 + y), window.at(x, y)) << x << "," << y;
        }
    }
    EXPECT_GT(whole.at(128, 96).foreground.r, whole.at(128, 96).foreground.g);
}

TEST(LevelView, PictureSizes) {
    using cindra::level::LevelWindow;
    using cindra::level::pictureSize;
    const auto size = pictureSize(gameWindow({-3, 7}), 8, 8);
    EXPECT_EQ(size.width, 1024);
    EXPECT_EQ(size.height, 768);
    EXPECT_EQ(pictureSize(LevelWindow{{}, 1024, 1024}, 8, 8).width, 8192);
    EXPECT_EQ(pictureSize(LevelWindow{{}, 2048, 1}, 8, 8).width, 16384);
    const struct {
        LevelWindow window;
        int glyph;
    } refused[] = {
        {{{}, 2049, 1}, 8},       // too wide
        {{{}, 1025, 1024}, 8},    // too many pixels
        {{{}, 1 << 24, 1}, 1024}, // beyond 32 bits
        {{{}, 0, 5}, 8},          // nothing at all
    };
    for (const auto& c : refused) {
        EXPECT_THROW(pictureSize(c.window, c.glyph, c.glyph), cindra::Error) << c.window.width;
    }
    try {
        pictureSize(wholeMap(Map(3000, 2)), 8, 8);
        ADD_FAILURE() << "no error";
    } catch (const cindra::Error& e) {
        EXPECT_STREQ(e.what(), "a picture of 3000 x 2 cells would be 24000 x 16 pixels, more "
                               "than the 16384 pixels a side and 67108864 in all that can be "
                               "drawn");
    }
}
