// A set of map cells, used for the named regions of a map that scripts query and the map
// editor builds: membership editing, set operations, derived regions and a file form.
#pragma once

#include "cindra/util/GridPos.hpp"
#include "cindra/util/Random.hpp"

#include <concepts>
#include <cstdint>
#include <map>
#include <set>

namespace cindra {

namespace util {
class DataReader;
class DataWriter;
} // namespace util

using util::GridPos;

// Cells are kept by row: a table from y to the set of x values of the region in that row.
// Rows and the values in a row are kept in ascending order, which makes every walk and the
// file form deterministic. A row entry may be present with no cells (after removals); it
// holds nothing, but counts as a row for getCenter and is written with a count of 0.
//
// Region is a value: copies (and clone) are independent of the original.
class Region {
public:
    using Row = std::set<std::int32_t>;
    using RowTable = std::map<std::int32_t, Row>;

    Region() = default;

    // An independent copy.
    Region clone() const { return *this; }

    bool contains(int x, int y) const;
    bool contains(GridPos p) const { return contains(p.x, p.y); }
    void clear() { rows_.clear(); }

    void add(int x, int y) { rows_[y].insert(x); }
    void add(GridPos p) { add(p.x, p.y); }
    // Union, in place.
    void add(const Region& other);
    // Removes the cell; the row entry stays even when it becomes empty.
    void remove(int x, int y);
    void remove(GridPos p) { remove(p.x, p.y); }
    // Difference, in place.
    void remove(const Region& other);
    void toggle(int x, int y);
    void toggle(GridPos p) { toggle(p.x, p.y); }
    // Symmetric difference, in place.
    void toggle(const Region& other);

    // Calls visitor(x, y) once per cell, rows by ascending y, cells by ascending x. x and y
    // are copies passed by reference. A nonzero return stops the walk and is returned.
    template <typename Visitor>
    requires std::invocable<Visitor&, int&, int&>
    int visit(Visitor&& visitor) const;

    // The cells with at least one of their eight neighbours outside this region (a cell at
    // the edge of the 32-bit range has neighbours beyond it, which are outside).
    Region border() const;
    // The cells all eight of whose neighbours are in this region.
    Region interior() const;
    // Each cell kept when a uniform fraction in [0, 1) from random is <= probability.
    Region randomSubset(float probability, util::Random& random = util::Random::shared()) const;
    // A copy with every cell moved by (dx, dy); a cell that would leave the 32-bit range of
    // coordinates is dropped.
    Region translate(int dx, int dy) const;
    // (0,0) without rows; else the middle cell of the middle row (index count / 2 in
    // ascending order), or (0,0) when that row is empty.
    GridPos getCenter() const;

    // The cell list: row count, then per row y, its cell count and the x values (32-bit
    // signed little-endian).
    void save(util::DataWriter& out) const;
    // Reads a cell list and adds its cells (without clearing first). Counts that are
    // negative or exceed what the rest of the file can hold are refused.
    void load(util::DataReader& in);

    // Number of cells (not of row entries).
    std::size_t size() const;
    bool empty() const { return size() == 0; }
    const RowTable& rows() const { return rows_; }

    // Same cells (empty row entries do not count).
    friend bool operator==(const Region& a, const Region& b);

private:
    template <typename Keep> Region neighbourFilter(Keep keep) const;
    bool allNeighboursInside(int x, int y) const;

    RowTable rows_;
};

template <typename Visitor>
requires std::invocable<Visitor&, int&, int&>
int Region::visit(Visitor&& visitor) const {
    for (const auto& [rowY, row] : rows_) {
        for (std::int32_t value : row) {
            int x = value;
            int y = rowY;
            if (int result = visitor(x, y); result != 0) {
                return result;
            }
        }
    }
    return 0;
}

} // namespace cindra
