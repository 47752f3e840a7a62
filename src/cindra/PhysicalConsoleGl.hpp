// The console on the screen: a Console that draws all its cells through OpenGL every frame,
// as one pass of background quads and one pass of alpha-tested glyph quads.
#pragma once

#include "cindra/Console.hpp"
#include "cindra/ConsoleGeometry.hpp"
#include "cindra/Screen.hpp"
#include "cindra/TextureGl.hpp"
#include "cindra/util/VertexBuffer.hpp"

#include <cstdint>
#include <memory>

namespace cindra {

// The console's vertex data in buffers: positions and texture coordinates as float pairs,
// colours as RGBA bytes, four vertices per quad.
struct ConsoleBuffers {
    util::VertexBuffer<float>& positions;
    util::VertexBuffer<std::uint8_t>& foregroundColours;
    util::VertexBuffer<std::uint8_t>& backgroundColours;
    util::VertexBuffer<float>& texCoords;
};

// The two passes over quadCount quads: backgrounds untextured, then glyphs textured with
// font and alpha-tested. Leaves the client arrays, texturing and alpha test switched off.
void drawConsolePasses(const ConsoleBuffers& buffers, Texture& font, std::uint32_t quadCount);

class PhysicalConsole : public Console {
public:
    // Loads the font "terminal.png" (its error ends start-up) and builds the vertex buffers.
    PhysicalConsole(int width, int height);

    virtual void buildGeometry();
    // Uploads colours and texture coordinates from the cells and draws the console.
    virtual void draw();

private:
    void refreshColours(util::VertexBuffer<std::uint8_t>& buffer, ColourLayer layer);
    void refreshTexCoords();
    std::uint32_t quadCount() const;

    Texture* font = nullptr; // owned by the texture cache
    TextureInfo fontInfo;
    std::unique_ptr<util::VertexBuffer<float>> positions;
    std::unique_ptr<util::VertexBuffer<std::uint8_t>> foregroundColours;
    std::unique_ptr<util::VertexBuffer<std::uint8_t>> backgroundColours;
    std::unique_ptr<util::VertexBuffer<float>> texCoords;
};

} // namespace cindra
