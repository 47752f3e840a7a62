// The compiler of level source text (see LevelSource.hpp): one statement per line, the map
// rows in a block of their own, resolved against the legend once the whole text is read.
#pragma once

#include "cindra/level/LevelSource.hpp"
#include "cindra/level/LevelSyntax.hpp"

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cindra::level {

class LevelParser {
public:
    // At most this many region cells in one source, all regions together: a guard against
    // a rectangle or run that would take the machine's memory.
    static constexpr std::size_t kMaxRegionCells = std::size_t{1} << 22;
    static constexpr int kMaxKeyWidth = 4;

    explicit LevelParser(std::string fileName) : fileName_(std::move(fileName)) {}

    Level parse(std::string_view text);

private:
    struct Tile {
        MapCell cell;
        int line = 0;
    };
    struct Row {
        int line = 0;
        std::string text;
    };

    void parseLine(std::string_view line);
    void statement(std::string_view line);
    void directive(const std::string& keyword, TokenCursor& tokens);
    void version(TokenCursor& tokens);
    void size(TokenCursor& tokens);
    void keys(TokenCursor& tokens);
    void ambient(TokenCursor& tokens);
    void tile(std::string_view rest);
    void tileFields(TokenCursor& tokens, MapCell& cell);
    void mapBlock();
    void light(TokenCursor& tokens);
    void region(TokenCursor& tokens);
    void regionLine(const std::string& keyword, TokenCursor& tokens);
    void addRegionCells(int x1, int y1, int x2, int y2);
    void entity(TokenCursor& tokens);
    void entityField(const std::string& field, TokenCursor& tokens, logic::EntityInfo& info);

    Level finish();
    std::vector<std::string> outsideWarnings(const Level& level) const;
    std::vector<MapCell> resolveRows() const;
    void resolveRow(const Row& row, int y, std::vector<MapCell>& cells) const;
    [[noreturn]] void failAt(int line, const std::string& problem) const;

    std::string fileName_;
    int line_ = 0;
    bool versionSeen_ = false;
    std::optional<std::array<int, 2>> size_;
    int keyWidth_ = 1;
    std::optional<std::array<int, 3>> ambient_;
    std::map<std::string, Tile, std::less<>> tiles_;
    bool mapSeen_ = false;
    int rowsPending_ = 0;
    std::vector<Row> rows_;
    std::vector<std::shared_ptr<LightSource>> lights_;
    std::vector<int> lightLines_;      // the line of each light, for warnings
    mapfile::LightBudget lightBudget_; // what the lights so far cost
    std::vector<MapRegion> regions_;
    std::vector<int> regionLines_; // the line of each region's 'region' statement
    bool regionOpen_ = false;
    int regionLine_ = 0;
    std::size_t regionCells_ = 0;
    std::vector<logic::EntityInfo> entities_;
    std::vector<int> entityLines_; // the line of each entity
};

} // namespace cindra::level
