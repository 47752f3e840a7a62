// The parchment face shared by the text box and the dialog box: a jittered background with
// scattered speckles, a single-line frame, and word-wrapped text written into it.
#pragma once

#include "cindra/Console.hpp"

#include <string_view>

namespace cindra::util {
class Random;
}

namespace cindra::gui {

inline constexpr Color kParchment{230, 230, 210, 255};
inline constexpr Color kSpeckle{215, 215, 215, 255};
inline constexpr Color kFrameColor{130, 70, 30, 255};
inline constexpr Color kTextColor{0, 0, 0, 255};
inline constexpr Color kAnswerColor{100, 20, 5, 255};
inline constexpr int kMarkerGlyph = 26; // right arrow

// colour with red, green and blue each moved by a random offset in [-amount, amount - 1]
// (clamped to 0..255) and alpha 255; unchanged for amount 0.
Color jitterColor(int amount, Color colour, util::Random& random);

// A width x height console of parchment cells, a quarter of them speckled, framed.
Console makeFace(int width, int height, util::Random& random);

// The frame between two corners (in any order) in single (style 0) or double lines; cells
// outside the console are skipped and backgrounds are left alone.
void drawFrame(Console& console, int x1, int y1, int x2, int y2, int style, Color colour);

// Writes text word-wrapped at width columns from start downwards in colour; returns the row
// of the last line. Cells outside the console are skipped.
int writeText(Console& console, GridPos start, std::string_view text, int width, Color colour);

// Sets glyph and foreground (the current one) at (x, y) when the cell is inside.
void plot(Console& console, int x, int y, int glyph);

} // namespace cindra::gui
