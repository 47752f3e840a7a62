// The program's pseudo-random generator: KISS, the combination of a linear congruential
// step, a xorshift and a carry step on five 32-bit words. One shared instance serves every
// caller that asks for randomness without bringing its own; tests seed their own.
#pragma once

#include <cstdint>

namespace cindra::util {

class Random {
public:
    struct State {
        std::uint32_t x = 123456789u;
        std::uint32_t y = 362436069u;
        std::uint32_t z = 521288629u;
        std::uint32_t w = 88675123u;
        std::uint32_t c = 0u;
    };

    Random() = default;
    explicit Random(std::uint32_t seedValue) { seed(seedValue); }
    explicit Random(const State& start) : state_(start) {}

    // Starts again from a state derived from value; equal values give equal sequences.
    void seed(std::uint32_t value);

    std::uint32_t next();
    // A uniform fraction in [0, 1): 24 random bits, so every value is exact in a float.
    float fraction() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }

    const State& state() const { return state_; }

    // The process-wide instance.
    static Random& shared();

private:
    State state_;
};

} // namespace cindra::util
