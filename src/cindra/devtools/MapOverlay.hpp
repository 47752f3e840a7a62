// What the inspector can draw over the world's view: the outlines of the map's regions and
// the squares lit by its lights, in view cells (World::mapToView), clipped to the console.
#pragma once

namespace cindra {
class Console;
class World;
} // namespace cindra

namespace cindra::devtools {

// Glyph of a region cell that joins no neighbour in the outline (a region of a cell or two),
// and of a light's own cell.
inline constexpr int kRegionSpot = 4; // diamond
inline constexpr int kLightSpot = '*';

// Each region's border cells as single-line outline glyphs, a colour per region, and then
// each name written into its outline's top row. Backgrounds stay as the world drew them.
void drawRegionOutlines(Console& screen, const World& world);

// A single-line frame in the light's colour around each light's lit square (as of its last
// calculation) and a star on its own cell. Lights not yet calculated draw nothing.
void drawLightSquares(Console& screen, const World& world);

} // namespace cindra::devtools
