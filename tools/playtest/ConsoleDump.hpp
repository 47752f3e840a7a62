// A console as text, for cindra-playtest's dump command and for tests that compare whole
// screens. The text has three blocks, each line ending in a newline:
//
// Glyphs: one line per row, the top row (y = height - 1) first, one character per cell in
// UTF-8. Glyph 0 is a space; 1..255 are the Unicode characters code page 437 draws, so
// printable ASCII stands for itself, frames are box-drawing characters (218 is ┌, 196 is ─),
// shades and blocks are ░ ▒ ▓ █, 1 is ☺ and 255 is a no-break space (U+00A0); any other
// glyph is U+FFFD (�).
//
// A blank line, then colours: the same rows again, one key per cell naming the cell's pair
// of foreground and background colour. Keys are a..z, A..Z, 0..9, handed out in order of first
// appearance, reading rows from the top and each row from the left. With more than 62 pairs
// every key has two characters (aa, ab, ... a9, ba, ...), beyond 62 × 62 pairs three, and so
// on, so the columns stay aligned.
//
// A blank line, then one line per pair in key order, red, green and blue from 0 to 255:
//   a = fg 255 255 255 bg 0 0 0
// The fourth colour byte is not drawn, and not shown.
#pragma once

#include "cindra/Console.hpp"

#include <string>

namespace cindra::playtest {

std::string dumpConsole(const Console& console);

} // namespace cindra::playtest
