#include "cindra/level/LevelSource.hpp"

#include "cindra/level/LevelParser.hpp"
#include "cindra/level/LevelPrinter.hpp"

#include <sstream>

namespace cindra::level {

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

Level loadLevel(const std::string& fileName, const UnknownChunkReport& report) {
    Level level;
    const ChunkHandler entities = logic::collectEntities(level.entities);
    level.map.load(fileName,
                   [&](util::DataReader& reader, std::string_view tag, std::uint32_t length) {
                       if (entities(reader, tag, length)) {
                           return true;
                       }
                       if (!report) {
                           return false;
                       }
                       report(tag);
                       reader.skip(length);
                       return true;
                   });
    return level;
}

} // namespace cindra::level
