#include "cindra/util/Line.hpp"

#include "cindra/util/Util.hpp"

#include <cmath>
#include <cstdlib>

namespace cindra::util {

LineIterator::LineIterator(int ax1, int ay1, int ax2, int ay2)
    : x1(ax1), y1(ay1), x2(ax2), y2(ay2), twiceDx(2 * std::abs(ax2 - ax1)),
      twiceDy(2 * std::abs(ay2 - ay1)), stepX(sign(ax2 - ax1)), stepY(sign(ay2 - ay1)), error(0),
      xMajor(std::abs(ax2 - ax1) > std::abs(ay2 - ay1)) {
    error = xMajor ? std::abs(ax2 - ax1) : std::abs(ay2 - ay1);
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
