// The design floor of the console's cost on this machine's OpenGL: each frame the physical
// console's two passes - 128 x 96 untextured background quads, then the same quads textured
// with the font and alpha-tested - with the same GL state and calls, the same choice of
// buffer objects or client arrays, and the same font texture, but drawn from arrays filled
// once at start-up. The game's frame rate over this one is what the engine's own per-frame
// work (refilling the arrays from the cells, and everything besides drawing) costs. Ends on
// Escape and reports "Average FPS: {}" like the game.
#include "FloorLoop.hpp"

#include "cindra/Console.hpp"
#include "cindra/ConsoleGeometry.hpp"
#include "cindra/Error.hpp"
#include "cindra/PhysicalConsoleGl.hpp"
#include "cindra/Screen.hpp"
#include "cindra/TextureGl.hpp"
#include "cindra/util/VertexBufferGl.hpp"

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using cindra::ColourLayer;
using cindra::ConsoleChar;
using cindra::util::VertexBuffer;

constexpr int kWidth = cindra::kConsoleWidth;
constexpr int kHeight = cindra::kConsoleHeight;
constexpr std::uint32_t kQuads = static_cast<std::uint32_t>(kWidth) * kHeight;

// A full screen of every glyph in turn over varied colours, so the alpha test passes and
// fails over the window about as often as on a busy game screen.
std::vector<ConsoleChar> busyScreen() {
    std::vector<ConsoleChar> cells(kQuads);
    for (std::uint32_t i = 0; i < kQuads; ++i) {
        const auto x = static_cast<std::uint8_t>(i % kWidth);
        const auto y = static_cast<std::uint8_t>(i / kWidth);
        cells[i].glyph = static_cast<std::int32_t>(i % 256);
        cells[i].foreground = cindra::Color(static_cast<std::uint8_t>(128 + x), 200,
                                            static_cast<std::uint8_t>(255 - y));
        cells[i].background = cindra::Color(static_cast<std::uint8_t>(y), 24, x);
    }
    return cells;
}

// Writes the buffer's whole contents once; a driver that gives no memory ends the run, since
// drawing unfilled arrays would not be the console's work.
template <typename T, typename Write> void fillOnce(VertexBuffer<T>& buffer, Write write) {
    const auto out = buffer.map();
    if (out.empty()) {
        throw cindra::Error("Could not map a vertex buffer.");
    }
    write(out);
    buffer.unmap();
}

class DesignFloor {
public:
    DesignFloor() {
        using cindra::util::VertexBufferFactory;
        cindra::TextureInfo info;
        font = &cindra::loadTexture(cindra::kFontFile, info, true);
        positions = VertexBufferFactory::create<float>(kQuads * cindra::kFloatsPerQuad);
        foregroundColours =
            VertexBufferFactory::create<std::uint8_t>(kQuads * cindra::kColourBytesPerQuad);
        backgroundColours =
            VertexBufferFactory::create<std::uint8_t>(kQuads * cindra::kColourBytesPerQuad);
        texCoords = VertexBufferFactory::create<float>(kQuads * cindra::kFloatsPerQuad);
        const std::vector<ConsoleChar> cells = busyScreen();
        fillOnce(*positions, [](auto out) { cindra::writePositions(out, kWidth, kHeight); });
        fillOnce(*foregroundColours,
                 [&](auto out) { cindra::writeColours(out, cells, ColourLayer::Foreground); });
        fillOnce(*backgroundColours,
                 [&](auto out) { cindra::writeColours(out, cells, ColourLayer::Background); });
        fillOnce(*texCoords, [&](auto out) { cindra::writeTexCoords(out, cells); });
    }

    // The physical console's own passes, without its per-frame refills.
    void draw() {
        cindra::drawConsolePasses({*positions, *foregroundColours, *backgroundColours, *texCoords},
                                  *font, kQuads);
    }

private:
    cindra::Texture* font = nullptr; // owned by the texture cache
    std::unique_ptr<VertexBuffer<float>> positions;
    std::unique_ptr<VertexBuffer<std::uint8_t>> foregroundColours;
    std::unique_ptr<VertexBuffer<std::uint8_t>> backgroundColours;
    std::unique_ptr<VertexBuffer<float>> texCoords;
};

} // namespace

int main() {
    return cindra::bench::runFloor([] {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        auto floor = std::make_shared<DesignFloor>();
        return cindra::bench::DrawFrame([floor] { floor->draw(); });
    });
}
