#include "cindra/gui/BoxFace.hpp"

#include "cindra/util/LineGlyph.hpp"
#include "cindra/util/Random.hpp"
#include "cindra/util/Util.hpp"

#include <array>

namespace cindra::gui {

namespace {

constexpr std::array<int, 3> kSpeckles{'.', ',', '\''};

std::uint8_t jitterChannel(std::uint8_t channel, int amount, util::Random& random) {
    const std::uint32_t r = random.next();
    const auto offset = static_cast<int>(r % static_cast<std::uint32_t>(2 * amount)) - amount;
    return static_cast<std::uint8_t>(util::clamp(channel + offset, 0, 255));
}

} // namespace

Color jitterColor(int amount, Color colour, util::Random& random) {
    if (amount == 0) {
        return colour;
    }
    colour.r = jitterChannel(colour.r, amount, random);
    colour.g = jitterChannel(colour.g, amount, random);
    colour.b = jitterChannel(colour.b, amount, random);
    colour.a = 255;
    return colour;
}

Console makeFace(int width, int height, util::Random& random) {
    Console face(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            face.setBackground(x, y, jitterColor(3, kParchment, random));
            if (random.next() % 4 == 0) {
                face.setChar(x, y, kSpeckles[random.next() % kSpeckles.size()]);
            }
            face.setForeground(x, y, kSpeckle);
        }
    }
    drawFrame(face, 0, 0, width - 1, height - 1, 0, kFrameColor);
    return face;
}

void plot(Console& console, int x, int y, int glyph) {
    if (console.isInside(x, y)) {
        console.setChar(x, y, glyph);
        console.setForeground(x, y, console.currentForeground);
    }
}

void drawFrame(Console& console, int x1, int y1, int x2, int y2, int style, Color colour) {
    const auto glyph = [style](std::uint32_t mask) {
        return util::lineGlyph(static_cast<std::int8_t>(style), mask);
    };
    console.setCurrentForeground(colour);
    if (x1 > x2) {
        std::swap(x1, x2);
    }
    if (y1 > y2) {
        std::swap(y1, y2);
    }
    for (int y = y1 + 1; y < y2; ++y) {
        plot(console, x1, y, glyph(5));
        plot(console, x2, y, glyph(5));
    }
    for (int x = x1 + 1; x < x2; ++x) {
        plot(console, x, y1, glyph(10));
        plot(console, x, y2, glyph(10));
    }
    plot(console, x1, y1, glyph(3));
    plot(console, x2, y1, glyph(9));
    plot(console, x1, y2, glyph(6));
    plot(console, x2, y2, glyph(12));
}

int writeText(Console& console, GridPos start, std::string_view text, int width, Color colour) {
    console.setCurrentForeground(colour);
    return layoutText(start, text, width,
                      [&console](int x, int y, int ch) { plot(console, x, y, ch); });
}

} // namespace cindra::gui
