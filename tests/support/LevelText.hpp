// Level source text for tests that build their own small levels (the format is described in
// docs/level-format.md).
#pragma once

#include <cstddef>
#include <string>

namespace cindra::test {

// A level of width x height walkable cells ('.'), with the given extra source lines
// (entities, regions, lights) after the map block. Rows of the map block may be given
// instead as rows, top row first; '#' is a wall that stops walking and light.
inline std::string levelSource(int width, int height, const std::string& extra = "",
                               const std::string& rows = "") {
    std::string text = "cindra-level 1\nsize " + std::to_string(width) + " " +
                       std::to_string(height) + "\ntile . glyph '.' fg #808080 bg #000000\n" +
                       "tile # glyph '#' fg #ffffff bg #000000 blocked opaque\nmap\n";
    if (rows.empty()) {
        for (int y = 0; y < height; ++y) {
            text += std::string(static_cast<std::size_t>(width), '.') + "\n";
        }
    } else {
        text += rows;
    }
    return text + extra;
}

} // namespace cindra::test
