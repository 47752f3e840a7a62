// The picture of a level as the game shows it right after loading: the 128 x 96 window of
// the map at (0,0), lit, with the glyphs of the level's entities drawn over it.
#pragma once

#include "cindra/Console.hpp"
#include "cindra/Map.hpp"
#include "cindra/logic/EntityInfo.hpp"

#include <vector>

namespace cindra::level {

// The map draws itself (recalculating its lights), then every entity with both a location
// and a render part draws its glyph in its colour at its position, in file order, keeping
// the background the map drew. Console cells outside the map stay black.
Console renderLevel(Map& map, const std::vector<logic::EntityInfo>& entities);

} // namespace cindra::level
