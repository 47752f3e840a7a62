// A grid line walk (Bresenham style) with both end points visited. Light rays are cast
// along these lines, and the optional distance along the line drives the light falloff.
#pragma once

#include <concepts>
#include <cstdint>

namespace cindra::util {

// Walks the cells of one line from (x1, y1) to (x2, y2), both included. The longer axis is
// the major one; on a tie (diagonals, and the single point) y is major. The minor coordinate
// steps only when the running error becomes strictly negative.
//
// Visitors receive x and y by reference (copies owned by the walk, so changing them has no
// effect) and return an int: 0 goes on, anything else stops the walk and becomes the result.
// The error term lives in the object and is not reset: walk each iterator once.
class LineIterator {
public:
    // Refuses (cindra::Error) lines whose ends are more than 2^29 cells apart on an axis.
    LineIterator(int x1, int y1, int x2, int y2);

    // Calls visitor(x, y) for every cell of the line in order from the start point.
    template <typename Visitor>
    requires std::invocable<Visitor&, int&, int&>
    int visit(Visitor&& visitor) {
        auto withoutDistance = [&](int& x, int& y, float) { return visitor(x, y); };
        return walk(withoutDistance);
    }

    // Calls visitor(x, y, distance), the distance (single precision) being k * step for the
    // k-th cell along the major axis, step = sqrt((minor / major)^2 + 1).
    template <typename Visitor>
    requires std::invocable<Visitor&, int&, int&, float>
    int visit(Visitor&& visitor) { return walk(visitor); }

    void getStep(int& outStepX, int& outStepY) const {
        outStepX = stepX;
        outStepY = stepY;
    }

    // The distance between consecutive cells along the major axis.
    float distanceStep() const;

    std::int32_t x1, y1, x2, y2;
    std::int32_t twiceDx, twiceDy;
    std::int32_t stepX, stepY;
    std::int32_t error;
    bool xMajor;

private:
    template <typename Visitor> int walk(Visitor& visitor);
};

template <typename Visitor> int LineIterator::walk(Visitor& visitor) {
    const float step = distanceStep();
    float distance = 0.0f;
    int x = x1;
    int y = y1;
    while (xMajor ? x != x2 : y != y2) {
        int vx = x;
        int vy = y;
        if (int result = visitor(vx, vy, distance); result != 0) {
            return result;
        }
        if (xMajor) {
            x += stepX;
            error -= twiceDy;
            if (error < 0) {
                y += stepY;
                error += twiceDx;
            }
        } else {
            y += stepY;
            error -= twiceDx;
            if (error < 0) {
                x += stepX;
                error += twiceDy;
            }
        }
        distance += step;
    }
    int vx = x;
    int vy = y;
    return visitor(vx, vy, distance);
}

} // namespace cindra::util
