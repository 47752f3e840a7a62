// Time-driven value curves: a phase runs from 0 to 1 at a set speed for a number of cycles,
// optionally in discrete steps, and each kind of animation maps the phase to a value.
#pragma once

#include <cstdint>

namespace cindra {

class Animation {
public:
    // speed: cycles per unit of dt; loops: cycles to run (0 = already finished);
    // steps > 0 makes the phase advance in multiples of stepSize, which must then be positive.
    explicit Animation(float speed, std::uint32_t loops = 1, int steps = 0, float stepSize = 0.0f);
    virtual ~Animation() = default;

    // Advances the phase by speed * dt (unless finished) and returns the new value.
    virtual float update(float dt);
    virtual float progress() const { return position; }
    virtual float value() const = 0;
    virtual bool finished() const { return loops == 0; }

    float position = 0.0f;
    float time = 0.0f;
    float speed;
    int steps;
    float stepSize;
    std::uint32_t loops;

private:
    void consumeCycles();
};

// Interpolates from `from` at phase 0 to `to` at phase 1.
class LinearAnimation : public Animation {
public:
    LinearAnimation(float fromValue, float toValue, float speedValue, std::uint32_t loopCount = 1,
                    int stepCount = 0, float stepWidth = 0.0f);
    float value() const override;

    float from;
    float to;
};

// 1 while the phase is below threshold, 0 from there to the end of the cycle.
class FlashingAnimation : public Animation {
public:
    FlashingAnimation(float thresholdValue, float speedValue, std::uint32_t loopCount = 1,
                      int stepCount = 0, float stepWidth = 0.0f);
    float value() const override;

    float threshold;
};

} // namespace cindra
