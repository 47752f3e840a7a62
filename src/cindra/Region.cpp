#include "cindra/Region.hpp"

#include "cindra/util/DataReader.hpp"
#include "cindra/util/DataWriter.hpp"

#include <iterator>
#include <limits>
#include <optional>

namespace cindra {

bool Region::contains(int x, int y) const {
    const auto row = rows_.find(y);
    return row != rows_.end() && row->second.count(x) != 0;
}

void Region::add(const Region& other) {
    if (&other == this) {
        return;
    }
    other.visit([this](int& x, int& y) {
        add(x, y);
        return 0;
    });
}

void Region::remove(int x, int y) {
    if (auto row = rows_.find(y); row != rows_.end()) {
        row->second.erase(x);
    }
}

void Region::remove(const Region& other) {
    const Region snapshot = &other == this ? other : Region();
    const Region& source = &other == this ? snapshot : other;
    source.visit([this](int& x, int& y) {
        remove(x, y);
        return 0;
    });
}

void Region::toggle(int x, int y) {
    Row& row = rows_[y];
    if (row.erase(x) == 0) {
        row.insert(x);
    }
}

void Region::toggle(const Region& other) {
    const Region snapshot = &other == this ? other : Region();
    const Region& source = &other == this ? snapshot : other;
    source.visit([this](int& x, int& y) {
        toggle(x, y);
        return 0;
    });
}

namespace {

// a + b when it is a 32-bit value: cells read from a file may lie at the edge of the range.
std::optional<std::int32_t> offsetCoordinate(std::int32_t a, std::int64_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    if (sum < std::numeric_limits<std::int32_t>::min() ||
        sum > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(sum);
}

} // namespace

bool Region::allNeighboursInside(int x, int y) const {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx == 0 && dy == 0) {
                continue;
            }
            // A neighbour beyond the 32-bit range is no cell, so it is outside the region.
            const auto nx = offsetCoordinate(x, dx);
            const auto ny = offsetCoordinate(y, dy);
            if (!nx || !ny || !contains(*nx, *ny)) {
                return false;
            }
        }
    }
    return true;
}

template <typename Keep> Region Region::neighbourFilter(Keep keep) const {
    Region result;
    visit([&](int& x, int& y) {
        if (keep(allNeighboursInside(x, y))) {
            result.add(x, y);
        }
        return 0;
    });
    return result;
}

Region Region::border() const {
    return neighbourFilter([](bool surrounded) { return !surrounded; });
}

Region Region::interior() const {
    return neighbourFilter([](bool surrounded) { return surrounded; });
}

Region Region::randomSubset(float probability, util::Random& random) const {
    Region result;
    visit([&](int& x, int& y) {
        if (random.fraction() <= probability) {
            result.add(x, y);
        }
        return 0;
    });
    return result;
}

Region Region::translate(int dx, int dy) const {
    Region result;
    visit([&](int& x, int& y) {
        const auto nx = offsetCoordinate(x, dx);
        const auto ny = offsetCoordinate(y, dy);
        if (nx && ny) {
            result.add(*nx, *ny);
        }
        return 0;
    });
    return result;
}

GridPos Region::getCenter() const {
    if (rows_.empty()) {
        return {0, 0};
    }
    const auto row = std::next(rows_.begin(), static_cast<std::ptrdiff_t>(rows_.size() / 2));
    if (row->second.empty()) {
        return {0, 0};
    }
    const auto x =
        std::next(row->second.begin(), static_cast<std::ptrdiff_t>(row->second.size() / 2));
    return {*x, row->first};
}

void Region::save(util::DataWriter& out) const {
    out.writeInt32(static_cast<std::int32_t>(rows_.size()));
    for (const auto& [y, row] : rows_) {
        out.writeInt32(y);
        out.writeInt32(static_cast<std::int32_t>(row.size()));
        for (std::int32_t x : row) {
            out.writeInt32(x);
        }
    }
}

void Region::load(util::DataReader& in) {
    const std::int32_t rowCount = in.readCount("row count", 8);
    for (std::int32_t i = 0; i < rowCount; ++i) {
        const std::int32_t y = in.readInt32();
        const std::int32_t cellCount = in.readCount("cell count", 4);
        for (std::int32_t j = 0; j < cellCount; ++j) {
            add(in.readInt32(), y);
        }
    }
}

std::size_t Region::size() const {
    std::size_t count = 0;
    for (const auto& entry : rows_) {
        count += entry.second.size();
    }
    return count;
}

bool operator==(const Region& a, const Region& b) {
    if (a.size() != b.size()) {
        return false;
    }
    return a.visit([&b](int& x, int& y) { return b.contains(x, y) ? 0 : 1; }) == 0;
}

} // namespace cindra
