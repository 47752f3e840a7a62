// Box-drawing outlines: for every cell of a region, the code page 437 line glyph that joins
// it to its orthogonal neighbours in the region, in single or double lines.
#pragma once

#include "cindra/Region.hpp"
#include "cindra/util/GridPos.hpp"
#include "cindra/util/LineGlyph.hpp"

#include <cstdint>
#include <functional>

namespace cindra::editor {

using util::GridPos;

// Neighbour bits of a cell (x, y); y grows upwards.
enum NeighbourBit : std::uint32_t {
    North = 1,       // (x, y + 1)
    East = 2,        // (x + 1, y)
    South = 4,       // (x, y - 1)
    West = 8,        // (x - 1, y)
    NorthWest = 16,  // (x - 1, y + 1)
    NorthEast = 32,  // (x + 1, y + 1)
    SouthWest = 64,  // (x - 1, y - 1)
    SouthEast = 128, // (x + 1, y - 1)
};

using util::kNoGlyph;
using util::lineGlyph;

using NeighbourVisitor = std::function<int(int x, int y, std::uint32_t bit)>;

// Calls visitor(x, y, bit) for the eight neighbours of centre in the order south-west,
// south, south-east, west, east, north-west, north, north-east, leaving out those beyond the
// int range. The first nonzero result stops the walk and is returned; otherwise 0.
int forEachNeighbour(GridPos centre, const NeighbourVisitor& visitor);

// 0 when count < 2, else the orthogonal part of mask (mask AND 15).
std::uint32_t outlineMask(std::uint32_t mask, int count);

class Outliner {
public:
    // The shape of a cell's outline, by its orthogonal neighbour mask.
    enum class TileType { None, End, Straight, Corner, Tee, Cross };

    using Visitor = std::function<int(int x, int y, int glyph)>;

    // The region is not owned and must outlive the outliner.
    explicit Outliner(const Region& cells, std::int8_t lineStyle = 0)
        : region(cells), style(lineStyle) {}
    virtual ~Outliner() = default;

    // Offers (x, y, glyph) for every outlined cell of the region, in the region's order;
    // a nonzero visitor result stops the walk and is returned, otherwise 0. A cell with two
    // or more neighbours of which only one is orthogonal gets the straight segment that
    // points towards that neighbour.
    virtual int visit(const Visitor& visitor) const;
    // Counts the neighbours of (x, y) that lie in the region (diagonals included) and sets
    // mask to their bits.
    virtual int neighbours(int x, int y, std::uint32_t& mask) const;

    // The glyph the outline uses for an outlineMask value (kNoGlyph for 0).
    int glyphFor(std::uint32_t mask) const;
    static TileType tileType(std::uint32_t mask);

    const Region& region;
    std::int8_t style;
};

} // namespace cindra::editor
