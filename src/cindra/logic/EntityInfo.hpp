// The description of one entity in a map file's "ENTI" chunk: what the world builds when it
// loads a level, and what map tools write. Reading and writing of the chunk live here too.
#pragma once

#include "cindra/MapFile.hpp"
#include "cindra/util/Color.hpp"
#include "cindra/util/GridPos.hpp"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace cindra::logic {

// One record, in file order: x, y (32-bit signed), name (text), hasLocation, hasRender,
// glyph (1 byte each), colour (a 32-bit count n of at most 4, then n bytes r, g, b, a),
// script and scriptArgument (texts). The defaults are what a record starts from before it
// is read: bytes of the colour beyond n stay 0.
struct EntityInfo {
    util::GridPos position;
    std::string name;         // empty for none
    bool hasLocation = false; // create a location component at position
    bool hasRender = false;   // create a render component with glyph and color
    std::uint8_t glyph = 255;
    util::Color color{0, 0, 0, 0};
    std::string script;         // script module to attach; empty for none
    std::string scriptArgument; // given to the script's init function

    friend bool operator==(const EntityInfo&, const EntityInfo&) = default;
};

inline constexpr char kEntityChunkTag[] = "ENTI";

// Reads one record. A colour count above 4 or below 0, or a text length the rest of the
// file cannot hold, is an error naming the file.
EntityInfo readEntityInfo(util::DataReader& reader);
// Writes one record (with a colour count of 4).
void writeEntityInfo(util::DataWriter& writer, const EntityInfo& info);

// Reads the chunk payload: a 32-bit signed count and that many records, calling each for
// every record as soon as it is read, in file order.
void readEntityChunk(util::DataReader& reader, const std::function<void(const EntityInfo&)>& each);
std::vector<EntityInfo> readEntityChunk(util::DataReader& reader);
// Writes a whole "ENTI" chunk (header and payload) for entities, e.g. after Map::save.
void writeEntityChunk(std::ostream& out, const std::vector<EntityInfo>& entities);

// A chunk handler that reads "ENTI" chunks, appending their records to out, and declines
// every other chunk.
ChunkHandler collectEntities(std::vector<EntityInfo>& out);

} // namespace cindra::logic
