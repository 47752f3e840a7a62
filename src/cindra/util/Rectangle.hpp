// An axis-aligned rectangle given by its two corners, normalised so x1 <= x2 and y1 <= y2.
// Both ends count as inside for contains(); callers that build one from an origin and a
// size treat x2 and y2 as one past the last cell.
#pragma once

#include "cindra/util/GridPos.hpp"

#include <algorithm>
#include <optional>
#include <type_traits>
#include <utility>

namespace cindra::util {

template <typename T> class Rectangle {
public:
    T x1{}, y1{}, x2{}, y2{};

    Rectangle() = default;
    Rectangle(T ax1, T ay1, T ax2, T ay2) : x1(ax1), y1(ay1), x2(ax2), y2(ay2) {
        if (x2 < x1) {
            std::swap(x1, x2);
        }
        if (y2 < y1) {
            std::swap(y1, y2);
        }
    }

    bool contains(T x, T y) const { return x1 <= x && x <= x2 && y1 <= y && y <= y2; }
    bool contains(GridPos p) const requires std::is_integral_v<T> { return contains(p.x, p.y); }

    // The overlap of two closed rectangles; rectangles that touch along an edge overlap
    // in a strip one unit wide. Empty when they do not overlap.
    std::optional<Rectangle> intersect(const Rectangle& other) const {
        T lowX, highX, lowY, highY;
        if (!overlap(x1, x2, other.x1, other.x2, lowX, highX) ||
            !overlap(y1, y2, other.y1, other.y2, lowY, highY)) {
            return std::nullopt;
        }
        return Rectangle(lowX, lowY, highX, highY);
    }

    friend bool operator==(const Rectangle&, const Rectangle&) = default;

private:
    static bool overlap(T aStart, T aEnd, T bStart, T bEnd, T& start, T& end) {
        if (bStart > aStart) {
            std::swap(aStart, bStart);
            std::swap(aEnd, bEnd);
        }
        if (aStart > bEnd) {
            return false;
        }
        start = aStart;
        end = std::min(aEnd, bEnd);
        return true;
    }
};

using IntRect = Rectangle<int>;

} // namespace cindra::util
