// An integer cell position: x is the column (growing right), y the row (growing up).
#pragma once

#include <cstdint>
#include <string>

namespace cindra::util {

struct GridPos {
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend bool operator==(const GridPos&, const GridPos&) = default;
    GridPos operator+(const GridPos& o) const { return {x + o.x, y + o.y}; }
    GridPos operator-(const GridPos& o) const { return {x - o.x, y - o.y}; }

    // "(x,y)" in decimal, e.g. "(3,-4)".
    std::string toString() const;
};
static_assert(sizeof(GridPos) == 8);

} // namespace cindra::util
