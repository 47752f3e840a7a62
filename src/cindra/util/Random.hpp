// The program-wide pseudo-random generator (a Mersenne Twister). One shared instance serves
// every caller that asks for randomness without bringing its own; tests reseed it.
#pragma once

#include <cstdint>
#include <random>

namespace cindra::util {

class Random {
public:
    explicit Random(std::uint32_t seed = 5489u) : engine_(seed) {}

    void seed(std::uint32_t value) { engine_.seed(value); }
    // A uniform fraction in [0, 1): 24 random bits, so every value is exact in a float.
    float fraction() { return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f); }
    std::uint32_t next() { return engine_(); }

    // The process-wide instance.
    static Random& shared();

private:
    std::mt19937 engine_;
};

} // namespace cindra::util
