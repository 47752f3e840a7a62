#include "cindra/editor/LevelSource.hpp"

#include "cindra/editor/LevelParser.hpp"
#include "cindra/editor/LevelPrinter.hpp"

#include <sstream>

namespace cindra::editor {

Level parseLevel(std::string_view text, const std::string& fileName) {
    return LevelParser(fileName).parse(text);
}

std::string printLevel(const Map& map, const std::vector<logic::EntityInfo>& entities) {
    return LevelPrinter(map, entities).print();
}

std::string encodeLevel(const Map& map, const std::vector<logic::EntityInfo>& entities) {
    std::ostringstream out;
    map.save(out);
    if (!entities.empty()) {
        logic::writeEntityChunk(out, entities);
    }
    return std::move(out).str();
}

Level loadLevel(const std::string& fileName) {
    Level level;
    level.map.load(fileName, logic::collectEntities(level.entities));
    return level;
}

} // namespace cindra::editor
