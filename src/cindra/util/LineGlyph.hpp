// The code page 437 line glyphs that join a cell to its orthogonal neighbours, in single or
// double lines: the frames of the GUI's boxes and the editor's region outlines.
#pragma once

#include <cstdint>

namespace cindra::util {

// What lineGlyph returns for a mask that has no line glyph.
constexpr int kNoGlyph = 0;

// The line glyph joining the orthogonal neighbours in mask (1 north, 2 east, 4 south,
// 8 west): single lines for style < 1, double lines for style >= 1. Masks 0, 1, 2, 4, 8 and
// above 15 give kNoGlyph.
int lineGlyph(std::int8_t style, std::uint32_t mask);

} // namespace cindra::util
