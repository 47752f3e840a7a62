// 8-bit RGB images and their PNG files: the font atlas, screenshots and rendered maps.
// Reading accepts any PNG colour type; writing replaces the target file atomically.
#pragma once

#include "cindra/util/Color.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cindra::util {

// Largest image readPng accepts: a guard against absurd sizes in a file's header.
inline constexpr int kMaxImageSide = 16384;
inline constexpr long long kMaxImagePixels = 1LL << 26;

struct Image {
    int width = 0;
    int height = 0;
    // Three bytes (red, green, blue) per pixel, rows from the top, each row left to right.
    std::vector<std::uint8_t> rgb;

    Image() = default;
    // A black image; raises Error for a size outside 1..kMaxImageSide or above kMaxImagePixels.
    Image(int w, int h);

    // x from the left, y from the top; no bounds check. The returned alpha is 255.
    Color pixel(int x, int y) const {
        const std::uint8_t* p = &rgb[offset(x, y)];
        return {p[0], p[1], p[2]};
    }
    void setPixel(int x, int y, Color c) {
        std::uint8_t* p = &rgb[offset(x, y)];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    std::size_t offset(int x, int y) const {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)) *
               3;
    }

    friend bool operator==(const Image&, const Image&) = default;
};

// Reads a PNG of any colour type into RGB: grey is replicated, palettes are looked up, 16-bit
// samples keep their high byte and alpha (or a transparency chunk) is dropped. Raises Error
// naming the file when it is missing, not a PNG, damaged, truncated or too large.
Image readPng(const std::string& path);

// Writes img as an 8-bit RGB PNG. The data go to a temporary file in the same folder which is
// then renamed over path, so a failed write leaves any previous file untouched. Raises Error
// naming the file on failure.
void writePng(const std::string& path, const Image& img);

} // namespace cindra::util
