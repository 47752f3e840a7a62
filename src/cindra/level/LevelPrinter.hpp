// Prints a level as source text (see LevelSource.hpp), inventing the legend of its cells.
#pragma once

#include "cindra/Map.hpp"
#include "cindra/level/LevelLegend.hpp"
#include "cindra/logic/EntityInfo.hpp"

#include <string>
#include <vector>

namespace cindra::level {

class LevelPrinter {
public:
    // Region rows longer than this many runs are continued on another "row" line.
    static constexpr std::size_t kRunsPerLine = 16;

    LevelPrinter(const Map& map, const std::vector<logic::EntityInfo>& entities)
        : map_(map), entities_(entities) {}

    std::string print();

private:
    void header();
    void legend(const Legend& legend);
    void rows(const Legend& legend);
    void lights();
    void regions();
    void regionRow(int y, const Region::Row& row);
    void entities();

    const Map& map_;
    const std::vector<logic::EntityInfo>& entities_;
    std::string out_;
};

} // namespace cindra::level
