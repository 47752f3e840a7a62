// The legend that printing a level invents for its cells: one key of one to four printable
// characters per distinct cell, chosen to look like the cell's glyph where that is possible.
#pragma once

#include "cindra/Map.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cindra::level {

struct Legend {
    // Characters per key: 1 for up to 94 distinct cells, more for more.
    int keyWidth = 1;
    // The distinct cells with their keys, in order of first appearance from the top row
    // down, each row from the left.
    std::vector<std::pair<std::string, MapCell>> entries;
    // For every cell of the map (row-major, row 0 first), the index of its entry.
    std::vector<std::uint32_t> cellEntries;
};

// The 94 characters keys are made of, in the order free keys are handed out.
inline constexpr std::string_view kKeyAlphabet =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";

Legend inventLegend(const Map& map);

// The key character that looks most like glyph, or 0 when there is none.
char lookalikeKey(std::uint32_t glyph);

} // namespace cindra::level
