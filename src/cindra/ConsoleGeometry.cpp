#include "cindra/ConsoleGeometry.hpp"

#include <cstring>

namespace cindra {

void writePositions(std::span<float> out, int width, int height) {
    float* p = out.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto x0 = static_cast<float>(x);
            const auto y0 = static_cast<float>(y);
            const float quad[kFloatsPerQuad] = {x0, y0, x0 + 1, y0, x0 + 1, y0 + 1, x0, y0 + 1};
            std::memcpy(p, quad, sizeof quad);
            p += kFloatsPerQuad;
        }
    }
}

void writeColours(std::span<std::uint8_t> out, std::span<const ConsoleChar> cells,
                  ColourLayer layer) {
    std::uint8_t* p = out.data();
    const bool foreground = layer == ColourLayer::Foreground;
    for (const ConsoleChar& cell : cells) {
        const Color& c = foreground ? cell.foreground : cell.background;
        const std::uint8_t quad[kColourBytesPerQuad] = {c.r, c.g, c.b, 255, c.r, c.g, c.b, 255,
                                                        c.r, c.g, c.b, 255, c.r, c.g, c.b, 255};
        std::memcpy(p, quad, sizeof quad);
        p += kColourBytesPerQuad;
    }
}

void writeTexCoords(std::span<float> out, std::span<const ConsoleChar> cells) {
    constexpr float kStep = 0.0625f; // one sixteenth of the atlas
    float* p = out.data();
    for (const ConsoleChar& cell : cells) {
        // C++ division truncates towards zero, with the remainder taking the glyph's sign.
        const std::int32_t row = cell.glyph % 16;
        const std::int32_t column = cell.glyph / 16;
        const float s0 = static_cast<float>(column) * kStep;
        const float s1 = static_cast<float>(column + 1) * kStep;
        const float t0 = static_cast<float>(row) * kStep;
        const float t1 = static_cast<float>(row + 1) * kStep;
        const float quad[kFloatsPerQuad] = {s0, t1, s1, t1, s1, t0, s0, t0};
        std::memcpy(p, quad, sizeof quad);
        p += kFloatsPerQuad;
    }
}

} // namespace cindra
