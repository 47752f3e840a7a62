// OpenGL textures loaded from image files, padded to power-of-two sizes, and cached by
// file name for the life of the process.
#pragma once

#include "cindra/TextureInfo.hpp"

#include <cstdint>
#include <string>

namespace cindra {

class Texture {
public:
    Texture();
    // Deletes the GL name only while the GL context is alive.
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    void bind() const;

private:
    std::uint32_t id = 0;
};

// The texture for path, loading it on first use; info receives the image's sizes and edges.
// intensity uploads the red channel as a GL intensity texture. Throws "Error loading
// texture {path}!", "Surface creation failed." or "Error {code} loading texture!".
Texture& loadTexture(const std::string& path, TextureInfo& info, bool intensity);

} // namespace cindra
