#include "cindra/level/LevelLegend.hpp"

#include <array>
#include <cstring>
#include <unordered_map>

namespace cindra::level {

namespace {

struct CellHash {
    std::size_t operator()(const MapCell& c) const {
        std::uint64_t words[2];
        std::memcpy(words, &c, sizeof words);
        return std::hash<std::uint64_t>()(words[0] * 0x9E3779B97F4A7C15ull ^ words[1]);
    }
};

// Code page 437 glyphs drawn like an ASCII character.
constexpr std::array<std::pair<std::uint32_t, char>, 16> kLookalikes = {{
    {7, '.'},
    {249, '.'},
    {250, '.'},
    {176, ':'},
    {177, '%'},
    {178, '&'},
    {219, '#'},
    {179, '|'},
    {186, '|'},
    {196, '-'},
    {205, '='},
    {247, '~'},
    {15, '*'},
    {5, 'T'},
    {6, 'T'},
    {4, '+'},
}};

// The distinct cells in the order of printing, and each cell's entry index.
void collectCells(const Map& map, Legend& legend) {
    std::unordered_map<MapCell, std::uint32_t, CellHash> index;
    legend.cellEntries.resize(map.cells().size());
    for (int y = map.height() - 1; y >= 0; --y) {
        for (int x = 0; x < map.width(); ++x) {
            const MapCell& cell = map.getCell(x, y);
            const auto [it, added] =
                index.emplace(cell, static_cast<std::uint32_t>(legend.entries.size()));
            if (added) {
                legend.entries.push_back({std::string(), cell});
            }
            legend.cellEntries[static_cast<std::size_t>(y) * static_cast<std::size_t>(map.width()) +
                               static_cast<std::size_t>(x)] = it->second;
        }
    }
}

// Single-character keys: look-alikes first, in order of appearance, then free characters.
void assignSingleKeys(Legend& legend) {
    std::array<bool, 128> used{};
    for (auto& [key, cell] : legend.entries) {
        const char c = lookalikeKey(cell.glyph);
        if (c != 0 && !used[static_cast<std::size_t>(c)]) {
            used[static_cast<std::size_t>(c)] = true;
            key.assign(1, c);
        }
    }
    std::size_t next = 0;
    for (auto& [key, cell] : legend.entries) {
        while (key.empty()) {
            const char c = kKeyAlphabet[next++];
            if (!used[static_cast<std::size_t>(c)]) {
                used[static_cast<std::size_t>(c)] = true;
                key.assign(1, c);
            }
        }
    }
}

// Wider keys: the entry's number written in base 94 with the key alphabet.
void assignWideKeys(Legend& legend) {
    for (std::size_t i = 0; i < legend.entries.size(); ++i) {
        std::string key(static_cast<std::size_t>(legend.keyWidth), kKeyAlphabet[0]);
        std::size_t n = i;
        for (std::size_t d = key.size(); d-- > 0; n /= kKeyAlphabet.size()) {
            key[d] = kKeyAlphabet[n % kKeyAlphabet.size()];
        }
        legend.entries[i].first = std::move(key);
    }
}

} // namespace

char lookalikeKey(std::uint32_t glyph) {
    if (glyph >= 33 && glyph <= 126) {
        return static_cast<char>(glyph);
    }
    for (const auto& [code, c] : kLookalikes) {
        if (code == glyph) {
            return c;
        }
    }
    return 0;
}

Legend inventLegend(const Map& map) {
    Legend legend;
    collectCells(map, legend);
    std::size_t capacity = kKeyAlphabet.size();
    while (capacity < legend.entries.size()) {
        capacity *= kKeyAlphabet.size();
        ++legend.keyWidth;
    }
    if (legend.keyWidth == 1) {
        assignSingleKeys(legend);
    } else {
        assignWideKeys(legend);
    }
    return legend;
}

} // namespace cindra::level
