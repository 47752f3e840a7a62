#include "cindra/util/Random.hpp"

namespace cindra::util {

void Random::seed(std::uint32_t value) {
    state_ = State{};
    state_.x ^= value;
    // The xorshift word must never be zero, or it stays zero for ever.
    const std::uint32_t y = state_.y ^ (value * 2654435761u);
    state_.y = y != 0 ? y : State{}.y;
}

std::uint32_t Random::next() {
    State& s = state_;
    s.x = 69069u * s.x + 1u;
    s.y ^= s.y << 13;
    s.y ^= s.y >> 17;
    s.y ^= s.y << 5;
    const std::uint32_t k = (s.z >> 2) + (s.w >> 3) + (s.c >> 2);
    const std::uint32_t m = 2u * s.w + s.z + s.c;
    s.z = s.w;
    s.w = m;
    s.c = k >> 30;
    return s.x + s.y + s.w;
}

Random& Random::shared() {
    static Random instance;
    return instance;
}

} // namespace cindra::util
