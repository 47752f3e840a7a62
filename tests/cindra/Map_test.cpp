#include "cindra/Error.hpp"
#include "cindra/Map.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using cindra::CellFlag;
using cindra::Console;
using cindra::GridPos;
using cindra::LightLevel;
using cindra::LightSource;
using cindra::Map;
using cindra::MapCell;
using cindra::MapRegion;
using cindra::util::Color;
using Falloff = cindra::LightSource::Falloff;

namespace {

MapCell plainCell(std::uint8_t channel, std::uint32_t glyph = 'x') {
    MapCell cell;
    cell.foreground = Color(channel, channel, channel, 7);
    cell.background = Color(channel, channel, channel, 9);
    cell.glyph = glyph;
    return cell;
}

// Draws the single cell (0,0) of a 1 x 1 map with the given light sum and returns its
// foreground as drawn.
Color litColor(Color cell, int red, int green, int blue) {
    Map map(1, 1);
    map.getCell(0, 0).foreground = cell;
    map.setAmbientLight(red, green, blue);
    Console console(Map::kViewWidth, Map::kViewHeight);
    map.render(console, {0, 0});
    return console.at(0, 0).foreground;
}

} // namespace

TEST(MapCell, IsSixteenZeroBytesWhenNew) {
    const MapCell cell;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&cell);
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 16), std::vector<unsigned char>(16, 0));
    EXPECT_TRUE(cindra::isTransparent(cell));
    EXPECT_TRUE(cindra::isWalkable(cell));
}

TEST(Map, BoundsAndWalkability) {
    Map empty;
    EXPECT_EQ(empty.width(), 0);
    EXPECT_FALSE(empty.isInside(0, 0));
    EXPECT_EQ(empty.getAmbientLight(), LightLevel{});

    Map map(4, 3);
    EXPECT_TRUE(map.isInside(3, 2));
    EXPECT_FALSE(map.isInside(4, 0));
    EXPECT_FALSE(map.isInside(-1, 0));
    EXPECT_FALSE(map.isInside(GridPos{0, 3}));
    EXPECT_FALSE(map.isWalkable({-1, 0}));
    EXPECT_TRUE(map.isWalkable({1, 1}));
    map.setWalkable(1, 1, false);
    EXPECT_FALSE(map.isWalkable({1, 1}));
    EXPECT_EQ(map.getCell(1, 1).flags, CellFlag::Blocked);
    map.getCell(1, 1).flags |= 0x100; // bits without meaning are kept
    map.setWalkable(1, 1, true);
    EXPECT_EQ(map.getCell(1, 1).flags, 0x100u);
    map.setWalkable(9, 9, false); // outside: nothing happens
    map.setTransparent(-1, 0, false);

    GridPos p{-5, 10};
    map.clampToMap(p);
    EXPECT_EQ(p, (GridPos{0, 2}));
    EXPECT_THROW(Map(-1, 4), cindra::Error);
    EXPECT_THROW(Map(5000, 5000), cindra::Error);
}

TEST(Map, VisitCellsRowsFromTheBottomAndStops) {
    Map map(3, 2);
    std::vector<GridPos> seen;
    EXPECT_EQ(map.visitCells([&](int& x, int& y, MapCell& cell) {
        seen.push_back({x, y});
        cell.glyph = 5;
        return 0;
    }),
              0);
    EXPECT_EQ(seen, (std::vector<GridPos>{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}));
    EXPECT_EQ(map.getCell(2, 1).glyph, 5u);
    int calls = 0;
    EXPECT_EQ(map.visitCells([&](int&, int&, MapCell&) { return ++calls == 4 ? -2 : 0; }), -2);
    EXPECT_EQ(calls, 4);
}

TEST(Map, RegionsByExactName) {
    Map map(2, 2);
    map.getRegions().push_back({"door", "a", {}});
    map.getRegions().push_back({"door", "b", {}});
    map.getRegions().push_back({"Door", "c", {}});
    ASSERT_NE(map.getRegion("door"), nullptr);
    EXPECT_EQ(map.getRegion("door")->parameter, "a");
    EXPECT_EQ(map.getRegion("Door")->parameter, "c");
    EXPECT_EQ(map.getRegion("doo"), nullptr);
}

TEST(Map, TransparencyMarksOnlyLightsCoveringTheCell) {
    Map map(30, 30);
    auto near =
        std::make_shared<LightSource>(GridPos{5, 5}, 2, Color(255, 255, 255), Falloff::Linear);
    auto far =
        std::make_shared<LightSource>(GridPos{20, 20}, 2, Color(255, 255, 255), Falloff::Linear);
    map.addLight(near); // calculated at once
    map.addLight(far);
    EXPECT_FALSE(near->needsRecalculation());
    map.setTransparent(7, 3, false); // corner of near's square
    EXPECT_TRUE(near->needsRecalculation());
    EXPECT_FALSE(far->needsRecalculation());
    EXPECT_TRUE(map.getCell(7, 3).flags & CellFlag::Opaque);
    Console console(Map::kViewWidth, Map::kViewHeight);
    map.render(console, {0, 0}); // recalculates what is marked
    EXPECT_FALSE(near->needsRecalculation());
    map.setTransparent(8, 3, true); // just outside: nobody is marked, even unchanged
    EXPECT_FALSE(near->needsRecalculation());
    map.setTransparent(7, 3, true);
    EXPECT_TRUE(near->needsRecalculation());

    map.removeLight(*far);
    ASSERT_EQ(map.getLights().size(), 1u);
    EXPECT_EQ(map.getLights()[0], near);
    map.removeLight(*far); // not there: nothing happens
    EXPECT_EQ(map.getLights().size(), 1u);
}

TEST(Map, ResizeMovesCellsLightsAndRegions) {
    Map map(3, 3);
    map.getCell(0, 0) = plainCell(9);
    map.getCell(2, 2) = plainCell(8);
    auto light =
        std::make_shared<LightSource>(GridPos{1, 1}, 2, Color(255, 255, 255), Falloff::Linear);
    map.addLight(light);
    MapRegion region{"r", "", {}};
    region.region.add(0, 0);
    map.getRegions().push_back(region);

    map.resize(2, 0, 1, 0);
    EXPECT_EQ(map.width(), 5);
    EXPECT_EQ(map.height(), 4);
    EXPECT_EQ(map.getCell(2, 1), plainCell(9));
    EXPECT_EQ(map.getCell(4, 3), plainCell(8));
    EXPECT_EQ(map.getCell(0, 0), MapCell{});
    EXPECT_EQ(map.getCell(1, 3), MapCell{});
    EXPECT_EQ(light->position, (GridPos{3, 2}));
    EXPECT_TRUE(light->needsRecalculation());
    EXPECT_TRUE(map.getRegion("r")->region.contains(2, 1));
    EXPECT_FALSE(map.getRegion("r")->region.contains(0, 0));

    // Cropping the left two columns removes the light that stood in them.
    auto left =
        std::make_shared<LightSource>(GridPos{1, 0}, 1, Color(255, 255, 255), Falloff::Linear);
    map.addLight(left);
    map.resize(-2, 0, 0, -1);
    EXPECT_EQ(map.width(), 3);
    EXPECT_EQ(map.height(), 3);
    EXPECT_EQ(map.getCell(0, 1), plainCell(9));
    ASSERT_EQ(map.getLights().size(), 1u);
    EXPECT_EQ(map.getLights()[0], light);
    EXPECT_EQ(light->position, (GridPos{1, 2}));
    // The removed light moved too, for whoever still holds it.
    EXPECT_EQ(left->position, (GridPos{-1, 0}));

    map.resize(-3, 0, 0, 0); // nothing left
    EXPECT_EQ(map.width(), 0);
    EXPECT_TRUE(map.getLights().empty());
    EXPECT_THROW(map.resize(-1, 0, 0, 0), cindra::Error);
    EXPECT_EQ(map.width(), 0);
}

TEST(Map, RenderOffsetsAndClipping) {
    Map map(10, 6);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 10; ++x) {
            map.getCell(x, y) = plainCell(100, static_cast<std::uint32_t>(1000 + y * 10 + x));
        }
    }
    map.setAmbientLight(256, 256, 256);
    Console console(Map::kViewWidth, Map::kViewHeight);
    console.fill(Color(1, 2, 3, 4));
    map.render(console, {-5, -5});
    EXPECT_EQ(console.at(5, 5).glyph, 1000);
    EXPECT_EQ(console.at(14, 10).glyph, 1059);
    EXPECT_EQ(console.at(5, 5).foreground, Color(100, 100, 100, 4)); // fourth byte kept
    EXPECT_EQ(console.at(4, 5).foreground, Color(1, 2, 3, 4));
    EXPECT_EQ(console.at(5, 4).background, Color(1, 2, 3, 4));
    EXPECT_EQ(console.at(15, 5).glyph, 0); // right of the map
    EXPECT_EQ(console.at(5, 11).glyph, 0); // above the map

    Console shifted(Map::kViewWidth, Map::kViewHeight);
    map.render(shifted, {3, 2});
    EXPECT_EQ(shifted.at(0, 0).glyph, 1023);
    EXPECT_EQ(shifted.at(6, 3).glyph, 1059);
    EXPECT_EQ(shifted.at(7, 0).glyph, 0);

    // The window is fixed at 128 x 96, whatever the console's size; a smaller console is
    // only drawn where it has cells.
    Map big(300, 200);
    big.getCell(130, 0).glyph = 7;
    big.getCell(127, 95).glyph = 8;
    Console screen(Map::kViewWidth + 10, Map::kViewHeight + 10);
    big.render(screen, {0, 0});
    EXPECT_EQ(screen.at(127, 95).glyph, 8);
    EXPECT_EQ(screen.at(130, 0).glyph, 0);
    Console tiny(3, 2);
    big.render(tiny, {126, 94});
    EXPECT_EQ(tiny.at(1, 1).glyph, 8);
    big.render(tiny, {-2147483647 - 1, 2147483647}); // far away: nothing, and no overflow
    big.render(tiny, {2147483647, -2147483647 - 1});
}

TEST(Map, AmbientArithmeticAtTheSaturationEdge) {
    const Color grey(200, 200, 200);
    EXPECT_EQ(litColor(grey, 256, 256, 256), Color(200, 200, 200, 0));
    EXPECT_EQ(litColor(grey, 512, 0, 0), Color(255, 0, 0, 0));
    EXPECT_EQ(litColor(grey, 128, 128, 128), Color(100, 100, 100, 0));
    // 255 * 256 = 65280 is not above the limit and shows as 255; one more saturates.
    EXPECT_EQ(litColor(Color(255, 1, 2), 256, 65280, 32640), Color(255, 255, 255, 0));
    EXPECT_EQ(litColor(Color(255, 1, 2), 257, 65281, 32641), Color(255, 255, 255, 0));
    EXPECT_EQ(litColor(Color(100, 128, 3), 300, 511, 85), Color(117, 255, 0, 0));
    // Huge light sums saturate instead of overflowing.
    EXPECT_EQ(litColor(Color(255, 255, 0), 2147483647, 2147483647, 2147483647),
              Color(255, 255, 0, 0));
    // Below zero the product's arithmetic shift is kept to its low byte, as drawn.
    EXPECT_EQ(litColor(Color(200, 0, 0), -256, 0, 0), Color(56, 0, 0, 0));
}
