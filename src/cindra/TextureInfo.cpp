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

} // namespace cindra
