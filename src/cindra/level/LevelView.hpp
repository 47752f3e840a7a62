// The picture of a level as the game shows it right after loading: a window of the map, lit,
// with the glyphs of the level's entities drawn over it. The game's window is 128 x 96 cells
// whose console cell (0,0), the bottom left, shows the map cell at the world's view point
// ((0,0) after loading); a picture may also show that window at another view point, or the
// whole map.
#pragma once

#include "cindra/Console.hpp"
#include "cindra/Map.hpp"
#include "cindra/logic/EntityInfo.hpp"
#include "cindra/util/Png.hpp"

#include <vector>

namespace cindra::level {

// The map cells a picture shows: width x height console cells, console cell (x, y) showing
// map cell (viewPoint.x + x, viewPoint.y + y).
struct LevelWindow {
    GridPos viewPoint;
    int width = Map::kViewWidth;
    int height = Map::kViewHeight;
};

// The window the game shows with that view point (the game's is (0,0) right after loading).
LevelWindow gameWindow(GridPos viewPoint);
// The whole map, from (0,0).
LevelWindow wholeMap(const Map& map);

// The largest picture drawn, a side and in all: the largest util::Image there is.
inline constexpr int kMaxPictureSide = util::kMaxImageSide;
inline constexpr long long kMaxPicturePixels = util::kMaxImagePixels;

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The window's size in pixels with glyphs of glyphWidth x glyphHeight pixels. Raises a
// cindra::Error for an empty window and for one beyond kMaxPictureSide pixels a side or
// kMaxPicturePixels in all, before anything of that size is made.
PictureSize pictureSize(const LevelWindow& window, int glyphWidth, int glyphHeight);

// The map draws the window (recalculating its lights first), then every entity with both a
// location and a render part draws its glyph in its colour at its position, in file order,
// keeping the background the map drew. Cells of the window outside the map stay black.
// The window is at most Console::kMaxCells cells.
Console renderLevel(Map& map, const std::vector<logic::EntityInfo>& entities,
                    const LevelWindow& window = {});

} // namespace cindra::level
