// What the texture loader reports about an image: its size, the power-of-two texture it
// was padded into, and the texture coordinates of the image's edges.
#pragma once

#include <cstdint>
#include <limits>

namespace cindra {

struct TextureInfo {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t textureWidth = 0;
    std::int32_t textureHeight = 0;
    float left = std::numeric_limits<float>::quiet_NaN();
    float bottom = std::numeric_limits<float>::quiet_NaN();
    float right = std::numeric_limits<float>::quiet_NaN();
    float top = std::numeric_limits<float>::quiet_NaN();
};

// The sizes of an image and of its power-of-two texture; edge coordinates stay unset.
TextureInfo textureSizes(int width, int height);

// Sets the edge coordinates once the image is uploaded, so it draws upright on the y-up
// screen without showing the padded area.
void setTextureEdges(TextureInfo& info);

} // namespace cindra
