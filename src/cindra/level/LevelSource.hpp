// Levels as the map tool handles them: a map with the entity records of its file, compiled
// from a readable text source into a map file and printed back as source. The source format
// is described in docs/level-format.md.
#pragma once

#include "cindra/Map.hpp"
#include "cindra/logic/EntityInfo.hpp"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cindra::level {

struct Level {
    Map map;
    std::vector<logic::EntityInfo> entities;
    // What parseLevel compiled but the author should look at, one line each in the form
    // "<fileName>:<line>: warning: ...", in the order of the lines. Warnings never change the
    // map or the entities. loadLevel leaves it empty.
    std::vector<std::string> warnings;
};

// Compiles level source text. Every problem is a cindra::Error whose message starts with
// "<fileName>:<line>: ", e.g. "intro.level:12: unknown legend character 'Q'". Lights,
// region cells and entities with a location that lie outside the map are warnings:
// "intro.level:57: warning: light at (60,3) lies outside the 48 x 20 map".
Level parseLevel(std::string_view text, const std::string& fileName);

// The source text of a level, with a legend invented from its cells; parseLevel of the text
// gives back a level that encodes to the same bytes.
std::string printLevel(const Map& map, const std::vector<logic::EntityInfo>& entities);

// The map file: what Map::save writes, then an "ENTI" chunk when there are entities.
std::string encodeLevel(const Map& map, const std::vector<logic::EntityInfo>& entities);

// Called with the tag of a chunk that neither the map nor the entity reader knows.
using UnknownChunkReport = std::function<void(std::string_view tag)>;

// Reads a map file with the entity records of its "ENTI" chunks. Other unknown chunks are
// skipped; they are reported through report when one is given, else on standard output as
// the map does. Errors are those of Map::load.
Level loadLevel(const std::string& fileName, const UnknownChunkReport& report = {});

} // namespace cindra::level
