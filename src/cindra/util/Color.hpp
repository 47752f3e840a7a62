// The one colour type: four bytes in the order OpenGL expects for byte colour arrays.
#pragma once

#include <cstdint>

namespace cindra::util {

struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;

    constexpr Color() = default;
    constexpr Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                    std::uint8_t alpha = 255)
        : r(red), g(green), b(blue), a(alpha) {}

    // A colour from script numbers: each keeps only the low 8 bits of its integer.
    static constexpr Color fromInts(std::int64_t red, std::int64_t green, std::int64_t blue) {
        return Color(static_cast<std::uint8_t>(red & 0xFF), static_cast<std::uint8_t>(green & 0xFF),
                     static_cast<std::uint8_t>(blue & 0xFF));
    }

    friend constexpr bool operator==(const Color&, const Color&) = default;
};
static_assert(sizeof(Color) == 4);

} // namespace cindra::util
