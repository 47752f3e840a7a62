// The test card: all 256 glyphs of the font in a 16 x 16 block laid out like the font sheet,
// each in a foreground and background colour of its own, so that a screenshot shows the
// font, the colours and the placement of every cell at a glance.
#pragma once

#include "cindra/Console.hpp"

namespace cindra {

// Bottom-left cell of the glyph block on a 128 x 96 console.
inline constexpr GridPos kTestCardOrigin{56, 40};

// Cell of glyph g: column g / 16 and row g % 16 counted from the top, as in the font sheet.
GridPos testCardCell(int glyph);
Color testCardForeground(int glyph);
Color testCardBackground(int glyph);

void drawTestCard(Console& console);

} // namespace cindra
