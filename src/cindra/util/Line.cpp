#include "cindra/util/Line.hpp"

#include "cindra/Error.hpp"
#include "cindra/util/Util.hpp"

#include <cmath>
#include <cstdlib>

namespace cindra::util {

namespace {

// The walk keeps twice the coordinate differences in 32 bits.
int checkedSpan(int from, int to) {
    const std::int64_t span = std::int64_t{to} - from;
    if (span > (1 << 29) || span < -(1 << 29)) {
        throw Error("Line from " + std::to_string(from) + " to " + std::to_string(to) +
                    " is too long to walk");
    }
    return static_cast<int>(span);
}

} // namespace

LineIterator::LineIterator(int ax1, int ay1, int ax2, int ay2)
    : x1(ax1), y1(ay1), x2(ax2), y2(ay2), twiceDx(2 * std::abs(checkedSpan(ax1, ax2))),
      twiceDy(2 * std::abs(checkedSpan(ay1, ay2))), stepX(sign(ax2 - ax1)), stepY(sign(ay2 - ay1)),
      error(0), xMajor(twiceDx > twiceDy) {
    error = (xMajor ? twiceDx : twiceDy) / 2;
}

float LineIterator::distanceStep() const {
    const std::int32_t major = xMajor ? twiceDx : twiceDy;
    if (major == 0) {
        return 0.0f; // a single point: there is no step to take
    }
    const float ratio = static_cast<float>(xMajor ? twiceDy : twiceDx) / static_cast<float>(major);
    return std::sqrt(ratio * ratio + 1.0f);
}

} // namespace cindra::util
