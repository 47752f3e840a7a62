#include "cindra/MapFile.hpp"

#include "cindra/Error.hpp"
#include "cindra/LightRayTable.hpp"
#include "cindra/Map.hpp"
#include "cindra/Output.hpp"

#include <fmt/format.h>

#include <bit>
#include <cstring>
#include <limits>
#include <sstream>

namespace cindra::mapfile {

namespace {

static_assert(std::endian::native == std::endian::little ||
              std::endian::native == std::endian::big);

// Cells are stored as their in-memory image on little-endian machines; elsewhere the two
// 32-bit fields are swapped on the way in and out.
void swapCellWords(std::vector<MapCell>& cells) {
    if constexpr (std::endian::native == std::endian::big) {
        for (MapCell& cell : cells) {
            cell.glyph = __builtin_bswap32(cell.glyph);
            cell.flags = __builtin_bswap32(cell.flags);
        }
    }
}

std::uint32_t littleEndian32(const unsigned char* b) {
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

// Reads the header and gives the map its size and a fresh array of zero cells, before any
// chunk is read: chunk handlers (the level's entities) see the map as loaded so far.
void readHeader(util::DataReader& reader, Map& map) {
    unsigned char header[kHeaderSize];
    const std::size_t got = reader.readSome(header, sizeof header);
    if (got < sizeof header || std::memcmp(header, kMagic, sizeof kMagic) != 0) {
        throw Error("File " + reader.name() + " is not a valid map file.");
    }
    if (static_cast<std::int32_t>(littleEndian32(header + 4)) != kVersion) {
        throw Error("File " + reader.name() + " has obsolete file format.");
    }
    const auto width = static_cast<std::int32_t>(littleEndian32(header + 8));
    const auto height = static_cast<std::int32_t>(littleEndian32(header + 12));
    const std::int64_t cells = std::int64_t{width} * height;
    if (width < 0 || height < 0 || cells > kMaxCells) {
        reader.fail(fmt::format("has an invalid map size {} x {} (at most {} cells)", width, height,
                                kMaxCells));
    }
    map.setCells(width, height, std::vector<MapCell>(static_cast<std::size_t>(cells)));
}

void readCells(util::DataReader& reader, Map& map) {
    std::vector<MapCell>& cells = map.cells();
    const std::size_t bytes = cells.size() * sizeof(MapCell);
    if (bytes > reader.remaining()) {
        reader.fail("ends early");
    }
    reader.readBytes(cells.data(), bytes);
    swapCellWords(cells);
}

// length / 24 records; like "CELL" and "AMBI", the chunk is read by its records, not by
// its length field.
void readLights(util::DataReader& reader, std::uint32_t length, Map& map) {
    const std::uint32_t count = length / LightSource::kRecordSize;
    if (std::uint64_t{count} * LightSource::kRecordSize > reader.remaining()) {
        reader.fail("ends early");
    }
    if (count > kMaxLights) {
        reader.fail(fmt::format("has {} lights, more than {}", count, kMaxLights));
    }
    std::vector<std::shared_ptr<LightSource>> lights;
    lights.reserve(count);
    LightBudget budget;
    for (std::uint32_t i = 0; i < count; ++i) {
        try {
            lights.push_back(std::make_shared<LightSource>(reader));
        } catch (const Error& e) {
            reader.fail(fmt::format("has an invalid light record {} ({})", i, e.what()));
        }
        // Refused as soon as the sum passes the budget, before any light map is made.
        const LightSource& light = *lights.back();
        if (!budget.add(light.getRadius(), static_cast<int>(light.getFalloff()))) {
            reader.fail(fmt::format("has lights that cost more than {} cells of light maps and "
                                    "ray tables together (light record {} reaches {})",
                                    kMaxLitCells, i, budget.cost()));
        }
    }
    map.setLights(std::move(lights));
}

void readAmbient(util::DataReader& reader, Map& map) {
    const std::int32_t red = reader.readInt32();
    const std::int32_t green = reader.readInt32();
    const std::int32_t blue = reader.readInt32();
    map.setAmbientLight(red, green, blue);
}

void readRegions(util::DataReader& reader, Map& map) {
    // Each region takes at least its two text lengths and its row count.
    const std::int32_t count = reader.readCount("region count", 12);
    std::vector<MapRegion> regions;
    for (std::int32_t i = 0; i < count; ++i) {
        MapRegion region;
        region.name = reader.readText("region name length");
        region.parameter = reader.readText("region parameter length");
        region.region.load(reader);
        regions.push_back(std::move(region));
    }
    map.getRegions() = std::move(regions);
}

void readChunk(util::DataReader& reader, std::string_view tag, std::uint32_t length, Map& map,
               const ChunkHandler& handler) {
    if (tag == "AMBI") {
        readAmbient(reader, map);
    } else if (tag == "CELL") {
        readCells(reader, map);
    } else if (tag == "LGHT") {
        readLights(reader, length, map);
    } else if (tag == "REGN") {
        readRegions(reader, map);
    } else if (!handler || !handler(reader, tag, length)) {
        printLine("Warning: unknown map chunk {}", tag);
        reader.skip(length);
    }
}

void writeChunkHeader(util::DataWriter& writer, std::string_view tag, std::uint64_t length) {
    if (tag.size() != 4) {
        throw Error(fmt::format("Map chunk tag \"{}\" is not four characters", tag));
    }
    if (length > std::numeric_limits<std::uint32_t>::max()) {
        throw Error(fmt::format("Map chunk {} is too large: {} bytes", tag, length));
    }
    writer.writeBytes(tag.data(), 4);
    writer.writeUint32(static_cast<std::uint32_t>(length));
}

} // namespace

void read(Map& map, std::istream& in, const std::string& fileName, const ChunkHandler& handler) {
    util::DataReader reader(in, fileName);
    readHeader(reader, map);
    unsigned char chunk[kChunkHeaderSize];
    while (reader.readSome(chunk, sizeof chunk) == sizeof chunk) {
        const std::string_view tag(reinterpret_cast<const char*>(chunk), 4);
        reader.setContext(fmt::format("chunk {}", tag));
        readChunk(reader, tag, littleEndian32(chunk + 4), map, handler);
        reader.setContext({});
    }
}

void write(const Map& map, std::ostream& out) {
    util::DataWriter writer(out);
    writer.writeBytes(kMagic, sizeof kMagic);
    writer.writeInt32(kVersion);
    writer.writeInt32(map.width());
    writer.writeInt32(map.height());

    writeChunkHeader(writer, "CELL", map.cells().size() * sizeof(MapCell));
    if constexpr (std::endian::native == std::endian::little) {
        writer.writeBytes(map.cells().data(), map.cells().size() * sizeof(MapCell));
    } else {
        std::vector<MapCell> swapped = map.cells();
        swapCellWords(swapped);
        writer.writeBytes(swapped.data(), swapped.size() * sizeof(MapCell));
    }

    writeChunkHeader(writer, "LGHT", map.getLights().size() * LightSource::kRecordSize);
    for (const auto& light : map.getLights()) {
        light->save(writer);
    }

    writeChunkHeader(writer, "AMBI", 12);
    writer.writeInt32(static_cast<std::int32_t>(map.getAmbientLight().red));
    writer.writeInt32(static_cast<std::int32_t>(map.getAmbientLight().green));
    writer.writeInt32(static_cast<std::int32_t>(map.getAmbientLight().blue));

    std::ostringstream regions;
    util::DataWriter regionWriter(regions);
    regionWriter.writeInt32(static_cast<std::int32_t>(map.getRegions().size()));
    for (const MapRegion& region : map.getRegions()) {
        regionWriter.writeText(region.name);
        regionWriter.writeText(region.parameter);
        region.region.save(regionWriter);
    }
    writeChunk(out, "REGN", regions.str());
    if (!out) {
        throw Error("Could not write the map file");
    }
}

bool LightBudget::add(int radius, int falloff) {
    count_ += 1;
    cost_ += litCells(radius);
    if (radius <= LightRayTable::kMaxRadius && tables_.emplace(radius, falloff).second) {
        cost_ += 16 * std::int64_t{radius} * radius * radius;
    }
    return count_ <= kMaxLights && cost_ <= kMaxLitCells;
}

void writeChunk(std::ostream& out, std::string_view tag, std::string_view payload) {
    util::DataWriter writer(out);
    writeChunkHeader(writer, tag, payload.size());
    writer.writeBytes(payload.data(), payload.size());
}

} // namespace cindra::mapfile
