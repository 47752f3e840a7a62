// The CPU half of drawing a console: turning cells into the vertex positions, colours and
// texture coordinates of one quad per cell. Pure functions of the cells, so they are tested
// without OpenGL; the physical console only maps its buffers, calls these and draws.
//
// Quads follow the cells (y outer, x inner); each has four vertices in the order
// bottom-left, bottom-right, top-right, top-left.
#pragma once

#include "cindra/Console.hpp"

#include <cstdint>
#include <span>

namespace cindra {

inline constexpr int kFloatsPerQuad = 8;
inline constexpr int kColourBytesPerQuad = 16;

// x, y of the four corners of every cell: one GL unit per cell.
void writePositions(std::span<float> out, int width, int height);

enum class ColourLayer { Foreground, Background };

// r, g, b and 255 for each of the four vertices of every cell; the cell's alpha is ignored.
void writeColours(std::span<std::uint8_t> out, std::span<const ConsoleChar> cells,
                  ColourLayer layer);

// Texture coordinates of each cell's glyph in the 16 x 16 column-major font atlas:
// glyph g sits in column g / 16 and row g % 16 counted from the top.
void writeTexCoords(std::span<float> out, std::span<const ConsoleChar> cells);

} // namespace cindra
