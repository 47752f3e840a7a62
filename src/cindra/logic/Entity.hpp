// Entities are plain integer handles; everything an entity has hangs off its handle in the
// registry. Directions are the eight steps a location can take, clockwise from north.
#pragma once

#include "cindra/util/GridPos.hpp"

#include <array>
#include <cstdint>

namespace cindra::logic {

using Entity = std::int32_t;
// What a lookup by name gives when nobody bears the name.
inline constexpr Entity kNoEntity = -1;

// y grows towards the top of the screen, so North steps by (0, +1).
enum class Direction : std::int32_t {
    North = 0,
    NorthEast = 1,
    East = 2,
    SouthEast = 3,
    South = 4,
    SouthWest = 5,
    West = 6,
    NorthWest = 7,
};

inline constexpr std::array<util::GridPos, 8> kDirectionDeltas{
    {{0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}}};

constexpr bool isDirection(std::int64_t value) {
    return value >= 0 && value < static_cast<std::int64_t>(kDirectionDeltas.size());
}

constexpr util::GridPos delta(Direction d) {
    return kDirectionDeltas[static_cast<std::size_t>(d)];
}

} // namespace cindra::logic
