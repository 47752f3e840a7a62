#include "cindra/FontAtlas.hpp"

#include "cindra/Error.hpp"

#include <string>

namespace cindra {

namespace {

bool isPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

} // namespace

FontAtlas::FontAtlas(const util::Image& image) : width_(image.width), height_(image.height) {
    if (!isPowerOfTwo(width_) || !isPowerOfTwo(height_) || width_ < kGridSize ||
        height_ < kGridSize) {
        throw Error("Font atlas of " + std::to_string(width_) + " x " + std::to_string(height_) +
                    " pixels: both sides must be powers of two of at least 16");
    }
    if (image.rgb.size() != static_cast<std::size_t>(width_) * height_ * 3) {
        throw Error("Font atlas: pixel data do not match the image size");
    }
    intensity_.resize(static_cast<std::size_t>(width_) * height_);
    for (std::size_t i = 0; i < intensity_.size(); ++i) {
        intensity_[i] = image.rgb[i * 3];
    }
}

} // namespace cindra
