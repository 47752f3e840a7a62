#include "cindra/devtools/MapOverlay.hpp"

#include "cindra/World.hpp"
#include "cindra/editor/Outliner.hpp"
#include "cindra/gui/BoxFace.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace cindra::devtools {

namespace {

constexpr std::array<Color, 4> kRegionColours{{
    {255, 220, 80, 255},
    {90, 230, 255, 255},
    {255, 110, 200, 255},
    {140, 255, 110, 255},
}};

void plotIn(Console& screen, GridPos cell, int glyph, Color colour) {
    if (screen.isInside(cell)) {
        screen.setChar(cell.x, cell.y, glyph);
        screen.setForeground(cell.x, cell.y, colour);
    }
}

// A map coordinate brought within one cell of the view, so that it fits an int and a cell
// outside the view stays outside.
int nearView(std::int64_t coordinate, int viewOrigin, int viewSize) {
    return static_cast<int>(std::clamp<std::int64_t>(coordinate, std::int64_t{viewOrigin} - 1,
                                                     std::int64_t{viewOrigin} + viewSize));
}

// The console cell of map cell (x, y), or a cell just outside the console.
GridPos viewCell(const Console& screen, const World& world, std::int64_t x, std::int64_t y) {
    const GridPos origin = world.viewPoint;
    return world.mapToView(
        {nearView(x, origin.x, screen.width()), nearView(y, origin.y, screen.height())});
}

// The name across the region's top row, leaving the corner cells to the outline.
void labelRegion(Console& screen, const World& world, const MapRegion& region, Color colour) {
    const auto& rows = region.region.rows();
    const auto top = std::find_if(rows.rbegin(), rows.rend(),
                                  [](const auto& row) { return !row.second.empty(); });
    if (top == rows.rend() || top->second.size() < 3) {
        return;
    }
    const std::size_t room = std::min(region.name.size(), top->second.size() - 2);
    const std::int64_t left = std::int64_t{*top->second.begin()} + 1;
    for (std::size_t i = 0; i < room; ++i) {
        const auto glyph = static_cast<unsigned char>(region.name[i]);
        const auto x = left + static_cast<std::int64_t>(i);
        plotIn(screen, viewCell(screen, world, x, top->first), glyph, colour);
    }
}

void outlineRegion(Console& screen, const World& world, const MapRegion& region, Color colour) {
    const Region border = region.region.border();
    const editor::Outliner outliner(border);
    border.visit([&](int& x, int& y) {
        // Two statements: neighbours fills mask, and the order in which a call's arguments are
        // worked out is not fixed (clang reads mask before the call that fills it).
        std::uint32_t mask = 0;
        const int count = outliner.neighbours(x, y, mask);
        const std::uint32_t joins = editor::outlineMask(mask, count);
        const int glyph = joins == 0 ? kRegionSpot : outliner.glyphFor(joins);
        plotIn(screen, viewCell(screen, world, x, y), glyph, colour);
        return 0;
    });
}

void frameLight(Console& screen, const World& world, const LightSource& light) {
    const int side = light.getDiameter();
    if (side <= 0) {
        return;
    }
    const GridPos low = viewCell(screen, world, light.getAreaX(), light.getAreaY());
    const GridPos high =
        viewCell(screen, world, light.getAreaX() + side - 1, light.getAreaY() + side - 1);
    const Color colour{light.color.r, light.color.g, light.color.b, 255};
    gui::drawFrame(screen, low.x, low.y, high.x, high.y, 0, colour);
    plotIn(screen, viewCell(screen, world, light.position.x, light.position.y), kLightSpot, colour);
}

} // namespace

void drawRegionOutlines(Console& screen, const World& world) {
    const auto& regions = world.getMap().getRegions();
    const auto colour = [](std::size_t index) {
        return kRegionColours[index % kRegionColours.size()];
    };
    for (std::size_t i = 0; i < regions.size(); ++i) {
        outlineRegion(screen, world, regions[i], colour(i));
    }
    // Names last, so that an outline crossing another region does not hide its name.
    for (std::size_t i = 0; i < regions.size(); ++i) {
        labelRegion(screen, world, regions[i], colour(i));
    }
}

void drawLightSquares(Console& screen, const World& world) {
    for (const auto& light : world.getMap().getLights()) {
        frameLight(screen, world, *light);
    }
}

} // namespace cindra::devtools
