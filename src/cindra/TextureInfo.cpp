#include "cindra/TextureInfo.hpp"

#include "cindra/util/Util.hpp"

namespace cindra {

TextureInfo textureSizes(int width, int height) {
    TextureInfo info;
    info.width = width;
    info.height = height;
    info.textureWidth = util::nextPowerOfTwo(width);
    info.textureHeight = util::nextPowerOfTwo(height);
    return info;
}

void setTextureEdges(TextureInfo& info) {
    info.left = 0.0f;
    info.bottom = static_cast<float>(info.height) / static_cast<float>(info.textureHeight);
    info.right = static_cast<float>(info.width) / static_cast<float>(info.textureWidth);
    info.top = 0.0f;
}

namespace {

// The OpenGL enums, without the OpenGL header the core does not include.
constexpr int kGlRgb = 0x1907;
constexpr int kGlRgba = 0x1908;
constexpr int kGlRgb8 = 0x8051;
constexpr int kGlRgba8 = 0x8058;
constexpr int kGlIntensity = 0x8049;

} // namespace

TextureUpload textureUpload(bool hasAlpha, bool intensity, bool unsizedFormatsOnly) {
    const int format = hasAlpha ? kGlRgba : kGlRgb;
    if (unsizedFormatsOnly) {
        return intensity ? TextureUpload{kGlRgba, kGlRgba, true} : TextureUpload{format, format};
    }
    return {intensity ? kGlIntensity : (hasAlpha ? kGlRgba8 : kGlRgb8), format};
}

std::vector<std::uint8_t> spreadRed(const std::uint8_t* pixels, int width, int height,
                                    std::size_t pitch, int channels) {
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * pitch;
        for (int x = 0; x < width; ++x) {
            rgba.insert(rgba.end(), 4, row[static_cast<std::size_t>(x) * channels]);
        }
    }
    return rgba;
}

} // namespace cindra
