// Small integer and array helpers shared by the world model and the platform code.
#pragma once

#include "cindra/Error.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace cindra::util {

constexpr int sign(int v) {
    return (v > 0) - (v < 0);
}

// min when v <= min; v when v < max; otherwise max.
constexpr int clamp(int v, int min, int max) {
    if (v <= min) {
        return min;
    }
    return v < max ? v : max;
}

// v limited to the range of a 32-bit int: for coordinates worked out in 64 bits, where a
// value beyond that range lies far outside every map and console anyway.
constexpr std::int32_t saturate(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Nearest integer, ties to even (the processor's default rounding mode).
inline int roundToInt(float f) {
    return static_cast<int>(std::nearbyint(f));
}

// 1 for n <= 1, else the smallest power of two >= n. Throws a cindra::Error above 2^30,
// whose next power of two an int cannot hold.
constexpr int nextPowerOfTwo(int n) {
    if (n > (1 << 30)) {
        throw Error(fmt::format("No power of two of at least {} fits in 32 bits", n));
    }
    int p = 1;
    while (p < n) {
        p *= 2;
    }
    return p;
}

// Keeps exactly the elements for which pred is true (order of the kept ones not significant).
template <typename T, typename Pred> void filter(std::vector<T>& items, Pred pred) {
    items.erase(std::remove_if(items.begin(), items.end(), [&](const T& v) { return !pred(v); }),
                items.end());
}

// Index of the first element equal to value, or the array's length when none is.
template <typename T> std::size_t indexOf(const std::vector<T>& items, const T& value) {
    return static_cast<std::size_t>(std::find(items.begin(), items.end(), value) - items.begin());
}

template <typename T> void removeAt(std::vector<T>& items, std::size_t index) {
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
}

} // namespace cindra::util
