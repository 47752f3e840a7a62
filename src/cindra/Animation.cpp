#include "cindra/Animation.hpp"

#include "cindra/Error.hpp"

#include <cmath>
#include <fmt/format.h>

namespace cindra {

Animation::Animation(float speedValue, std::uint32_t loopCount, int stepCount, float stepWidth)
    : speed(speedValue), steps(stepCount), stepSize(stepWidth), loops(loopCount) {
    if (!std::isfinite(speed)) {
        throw Error(fmt::format("Animation speed {} is not a finite number", speed));
    }
    if (steps > 0 && !(stepSize > 0.0f && std::isfinite(stepSize))) {
        throw Error(
            fmt::format("Animation step size {} must be positive when steps are used", stepSize));
    }
}

// Takes whole cycles off time, one loop each; the last cycle pins time at exactly 1.
// Subtracting the whole count at once gives the same float as subtracting 1 repeatedly
// (x - n is exact for an integer n <= x), and keeps a huge dt from looping for ages.
void Animation::consumeCycles() {
    if (!(time >= 1.0f)) {
        return;
    }
    const double whole = std::floor(static_cast<double>(time));
    if (whole >= static_cast<double>(loops)) {
        loops = 0;
        time = 1.0f;
        return;
    }
    loops -= static_cast<std::uint32_t>(whole);
    time = static_cast<float>(static_cast<double>(time) - whole);
}

float Animation::update(float dt) {
    if (!finished()) {
        time = time + speed * dt;
        consumeCycles();
        position = time;
        if (steps > 0) {
            position = position - std::fmod(position, stepSize);
        }
    }
    return value();
}

LinearAnimation::LinearAnimation(float fromValue, float toValue, float speedValue,
                                 std::uint32_t loopCount, int stepCount, float stepWidth)
    : Animation(speedValue, loopCount, stepCount, stepWidth), from(fromValue), to(toValue) {}

float LinearAnimation::value() const {
    return (1.0f - position) * from + position * to;
}

FlashingAnimation::FlashingAnimation(float thresholdValue, float speedValue,
                                     std::uint32_t loopCount, int stepCount, float stepWidth)
    : Animation(speedValue, loopCount, stepCount, stepWidth), threshold(thresholdValue) {}

float FlashingAnimation::value() const {
    return position < threshold ? 1.0f : 0.0f;
}

} // namespace cindra
