// The font atlas as the glyph pass samples it: a 16 x 16 grid of glyph cells whose texel
// intensity is the image's red channel, like the GL intensity texture made from "terminal.png".
#pragma once

#include "cindra/util/Png.hpp"

#include <cstdint>
#include <vector>

namespace cindra {

class FontAtlas {
public:
    static constexpr int kGridSize = 16;

    // Raises Error unless both sides are powers of two of at least kGridSize pixels.
    explicit FontAtlas(const util::Image& image);

    int width() const { return width_; }
    int height() const { return height_; }
    int glyphWidth() const { return width_ / kGridSize; }
    int glyphHeight() const { return height_ / kGridSize; }

    // Intensity 0..255 of texel (x, y), y from the top; no bounds check.
    std::uint8_t intensity(int x, int y) const {
        return intensity_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                          static_cast<std::size_t>(x)];
    }

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> intensity_;
};

} // namespace cindra
