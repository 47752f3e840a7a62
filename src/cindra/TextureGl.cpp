#include "cindra/TextureGl.hpp"

#include "cindra/Error.hpp"
#include "cindra/SystemSdl.hpp"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_image.h>
#include <fmt/format.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace cindra {

Texture::Texture() {
    glGenTextures(1, &id);
}

Texture::~Texture() {
    if (glContext().glContextAlive) {
        glDeleteTextures(1, &id);
    }
}

void Texture::bind() const {
    glBindTexture(GL_TEXTURE_2D, id);
}

namespace {

struct CachedTexture {
    std::unique_ptr<Texture> texture;
    TextureInfo info;
};

std::map<std::string, CachedTexture>& cache() {
    static auto* entries = new std::map<std::string, CachedTexture>();
    return *entries;
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Copies the image into the top-left corner of a zeroed power-of-two surface.
SurfacePtr padToPowerOfTwo(SurfacePtr image, const TextureInfo& info, bool hasAlpha) {
    SurfacePtr padded(SDL_CreateRGBSurface(0, info.textureWidth, info.textureHeight,
                                           hasAlpha ? 32 : 24, 0x000000FF, 0x0000FF00, 0x00FF0000,
                                           hasAlpha ? 0xFF000000 : 0));
    if (!padded) {
        throw Error("Surface creation failed.");
    }
    SDL_SetAlpha(image.get(), 0, 255);
    SDL_BlitSurface(image.get(), nullptr, padded.get(), nullptr);
    return padded;
}

// Whether the pixels are already bytes red, green, blue (and alpha) as the upload expects.
bool isPlainRgb(const SDL_PixelFormat& format) {
    const bool rgbBytes =
        format.Rmask == 0x000000FF && format.Gmask == 0x0000FF00 && format.Bmask == 0x00FF0000;
    return rgbBytes && ((format.BitsPerPixel == 24 && format.Amask == 0) ||
                        (format.BitsPerPixel == 32 && format.Amask == 0xFF000000));
}

void upload(const SDL_Surface& surface, const TextureInfo& info, bool hasAlpha, bool intensity) {
    const TextureUpload how = textureUpload(hasAlpha, intensity, kUnsizedTextureFormatsOnly);
    const void* pixels = surface.pixels;
    std::vector<std::uint8_t> spread;
    if (how.spreadRed) {
        spread = spreadRed(static_cast<const std::uint8_t*>(surface.pixels), surface.w, surface.h,
                           static_cast<std::size_t>(surface.pitch), hasAlpha ? 4 : 3);
        pixels = spread.data();
    }
    glTexImage2D(GL_TEXTURE_2D, 0, how.internalFormat, info.textureWidth, info.textureHeight, 0,
                 static_cast<GLenum>(how.format), GL_UNSIGNED_BYTE, pixels);
}

} // namespace

Texture& loadTexture(const std::string& path, TextureInfo& info, bool intensity) {
    if (auto hit = cache().find(path); hit != cache().end()) {
        info = hit->second.info;
        return *hit->second.texture;
    }
    info = TextureInfo{};
    SurfacePtr surface(IMG_Load(path.c_str()));
    if (!surface) {
        throw Error("Error loading texture " + path + "!");
    }
    auto texture = std::make_unique<Texture>();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    texture->bind();
    info = textureSizes(surface->w, surface->h);
    const bool hasAlpha = surface->format->Amask != 0;
    // Other pixel formats (grey, paletted, other byte orders) go through the same copy as
    // padding, so that the upload always reads bytes in the order it declares.
    if (info.textureWidth != info.width || info.textureHeight != info.height ||
        !isPlainRgb(*surface->format)) {
        surface = padToPowerOfTwo(std::move(surface), info, hasAlpha);
    }
    upload(*surface, info, hasAlpha, intensity);
    surface.reset();
    if (const GLenum error = glGetError(); error != GL_NO_ERROR) {
        throw Error(fmt::format("Error {} loading texture!", error));
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    setTextureEdges(info);
    Texture& result = *texture;
    cache()[path] = CachedTexture{std::move(texture), info};
    return result;
}

} // namespace cindra
