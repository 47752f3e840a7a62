// What the texture loader reports about an image: its size, the power-of-two texture it
// was padded into, and the texture coordinates of the image's edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

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

// How an image goes to glTexImage2D (the OpenGL enum values). Desktop OpenGL takes the sized
// formats and the intensity format the console's font asks for. WebGL takes only the unsized
// GL_RGB and GL_RGBA: there an intensity texture goes up as RGBA whose four channels are
// all the image's red, which draws the same under GL_MODULATE and the alpha test.
struct TextureUpload {
    int internalFormat = 0;
    int format = 0;
    // Whether the pixels must first become spreadRed's.
    bool spreadRed = false;
};
TextureUpload textureUpload(bool hasAlpha, bool intensity, bool unsizedFormatsOnly);

// The RGBA bytes (r, r, r, r) of an image of width x height pixels of channels bytes each,
// whose rows start pitch bytes apart.
std::vector<std::uint8_t> spreadRed(const std::uint8_t* pixels, int width, int height,
                                    std::size_t pitch, int channels);

} // namespace cindra
