#include "cindra/editor/Outliner.hpp"

#include <array>
#include <bit>
#include <cstdint>

namespace cindra::editor {

namespace {

struct Offset {
    int dx;
    int dy;
    std::uint32_t bit;
};

constexpr std::array<Offset, 8> kNeighbourOrder = {{
    {-1, -1, SouthWest},
    {0, -1, South},
    {1, -1, SouthEast},
    {-1, 0, West},
    {1, 0, East},
    {-1, 1, NorthWest},
    {0, 1, North},
    {1, 1, NorthEast},
}};

} // namespace

int forEachNeighbour(GridPos centre, const NeighbourVisitor& visitor) {
    for (const Offset& o : kNeighbourOrder) {
        // A cell at the edge of the int range has no neighbours beyond it (no region holds
        // them, and the sum would overflow).
        const std::int64_t x = std::int64_t{centre.x} + o.dx;
        const std::int64_t y = std::int64_t{centre.y} + o.dy;
        if (x != static_cast<std::int32_t>(x) || y != static_cast<std::int32_t>(y)) {
            continue;
        }
        if (int result = visitor(static_cast<int>(x), static_cast<int>(y), o.bit); result != 0) {
            return result;
        }
    }
    return 0;
}

std::uint32_t outlineMask(std::uint32_t mask, int count) {
    return count < 2 ? 0 : mask & 15u;
}

int Outliner::neighbours(int x, int y, std::uint32_t& mask) const {
    mask = 0;
    int count = 0;
    forEachNeighbour({x, y}, [&](int nx, int ny, std::uint32_t bit) {
        if (region.contains(nx, ny)) {
            ++count;
            mask |= bit;
        }
        return 0;
    });
    return count;
}

int Outliner::glyphFor(std::uint32_t mask) const {
    if (mask == North || mask == South) {
        return lineGlyph(style, North | South);
    }
    if (mask == East || mask == West) {
        return lineGlyph(style, East | West);
    }
    return lineGlyph(style, mask);
}

Outliner::TileType Outliner::tileType(std::uint32_t mask) {
    mask &= 15u;
    switch (std::popcount(mask)) {
    case 0:
        return TileType::None;
    case 1:
        return TileType::End;
    case 2:
        return mask == (North | South) || mask == (East | West) ? TileType::Straight
                                                                : TileType::Corner;
    case 3:
        return TileType::Tee;
    default:
        return TileType::Cross;
    }
}

int Outliner::visit(const Visitor& visitor) const {
    return region.visit([&](int& x, int& y) {
        std::uint32_t mask = 0;
        const int count = neighbours(x, y, mask);
        const std::uint32_t m = outlineMask(mask, count);
        if (m == 0) {
            return 0;
        }
        return visitor(x, y, glyphFor(m));
    });
}

} // namespace cindra::editor
