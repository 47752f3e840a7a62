// Frame timing: the time between two reads of the run stopwatch, clamped so that a long
// frame (a load, a stall) never advances the game by more than a tenth of a second.
#pragma once

namespace cindra {

inline constexpr float kFrameTimeCeiling = 0.1f;

// dt unchanged below the ceiling; the ceiling for anything else, not-a-number included.
inline float clampFrameTime(double dt) {
    return dt < kFrameTimeCeiling ? static_cast<float>(dt) : kFrameTimeCeiling;
}

class FrameTimer {
public:
    explicit FrameTimer(double start) : previous_(start) {}
    // Clamped time since the previous measurement, given the stopwatch's reading in seconds.
    float measure(double now) {
        const float dt = clampFrameTime(now - previous_);
        previous_ = now;
        return dt;
    }

private:
    double previous_;
};

} // namespace cindra
