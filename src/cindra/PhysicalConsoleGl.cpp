#include "cindra/PhysicalConsoleGl.hpp"

#include "cindra/util/VertexBufferGl.hpp"

#include <GL/gl.h>

namespace cindra {

PhysicalConsole::PhysicalConsole(int width, int height) : Console(width, height) {
    font = &loadTexture(kFontFile, fontInfo, true);
    PhysicalConsole::buildGeometry();
}

std::uint32_t PhysicalConsole::quadCount() const {
    return static_cast<std::uint32_t>(width()) * static_cast<std::uint32_t>(height());
}

void PhysicalConsole::buildGeometry() {
    using util::VertexBufferFactory;
    positions = VertexBufferFactory::create<float>(quadCount() * kFloatsPerQuad);
    foregroundColours =
        VertexBufferFactory::create<std::uint8_t>(quadCount() * kColourBytesPerQuad);
    backgroundColours =
        VertexBufferFactory::create<std::uint8_t>(quadCount() * kColourBytesPerQuad);
    texCoords = VertexBufferFactory::create<float>(quadCount() * kFloatsPerQuad);
    auto out = positions->map();
    if (out.size() == quadCount() * kFloatsPerQuad) {
        writePositions(out, width(), height());
    }
    positions->unmap();
}

void PhysicalConsole::refreshColours(util::VertexBuffer<std::uint8_t>& buffer, ColourLayer layer) {
    auto out = buffer.map();
    if (out.size() == quadCount() * kColourBytesPerQuad) {
        writeColours(out, cells, layer);
    }
    buffer.unmap();
}

void PhysicalConsole::refreshTexCoords() {
    auto out = texCoords->map();
    if (out.size() == quadCount() * kFloatsPerQuad) {
        writeTexCoords(out, cells);
    }
    texCoords->unmap();
}

void PhysicalConsole::draw() {
    refreshColours(*foregroundColours, ColourLayer::Foreground);
    refreshColours(*backgroundColours, ColourLayer::Background);
    refreshTexCoords();
    drawConsolePasses({*positions, *foregroundColours, *backgroundColours, *texCoords}, *font,
                      quadCount());
}

void drawConsolePasses(const ConsoleBuffers& buffers, Texture& font, std::uint32_t quadCount) {
    const auto vertexCount = static_cast<GLsizei>(quadCount * 4);

    glDisable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, buffers.positions.bind());
    buffers.positions.unbind();
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, buffers.backgroundColours.bind());
    buffers.backgroundColours.unbind();
    glDrawArrays(GL_QUADS, 0, vertexCount);

    glEnable(GL_TEXTURE_2D);
    font.bind();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    // Set again for the second pass: the browser build's OpenGL emulation forgets the vertex
    // pointer after a draw.
    glVertexPointer(2, GL_FLOAT, 0, buffers.positions.bind());
    buffers.positions.unbind();
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, buffers.foregroundColours.bind());
    glTexCoordPointer(2, GL_FLOAT, 0, buffers.texCoords.bind());
    buffers.texCoords.unbind();
    glDrawArrays(GL_QUADS, 0, vertexCount);

    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
}

} // namespace cindra
