#include "cindra/MapFile.hpp"

#include "cindra/Error.hpp"
#include "cindra/Map.hpp"
#include "cindra/Output.hpp"

#include <fmt/format.h>

#include <bit>
#include <cstring>
#include <limits>
#include <optional>
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

// What a file holds, gathered before any of it is given to the map.
struct Contents {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<MapCell> cells;
    std::optional<LightLevel> ambient;
    std::optional<std::vector<std::shared_ptr<LightSource>>> lights;
    std::optional<std::vector<MapRegion>> regions;
};

void readHeader(util::DataReader& reader, Contents& contents) {
    unsigned char header[kHeaderSize];
    const std::size_t got = reader.readSome(header, sizeof header);
    if (got < sizeof header || std::memcmp(header, kMagic, sizeof kMagic) != 0) {
        throw Error("File " + reader.name() + " is not a valid map file.");
    }
    if (static_cast<std::int32_t>(littleEndian32(header + 4)) != kVersion) {
        throw Error("File " + reader.name() + " has obsolete file format.");
    }
    contents.width = static_cast<std::int32_t>(littleEndian32(header + 8));
    contents.height = static_cast<std::int32_t>(littleEndian32(header + 12));
    const std::int64_t cells = std::int64_t{contents.width} * contents.height;
    if (contents.width < 0 || contents.height < 0 || cells > kMaxCells) {
        reader.fail(fmt::format("has an invalid map size {} x {} (at most {} cells)",
                                contents.width, contents.height, kMaxCells));
    }
    contents.cells.resize(static_cast<std::size_t>(cells));
}

void readCells(util::DataReader& reader, Contents& contents) {
    const std::size_t bytes = contents.cells.size() * sizeof(MapCell);
    if (bytes > reader.remaining()) {
        reader.fail("ends early");
    }
    reader.readBytes(contents.cells.data(), bytes);
    swapCellWords(contents.cells);
}

void readLights(util::DataReader& reader, std::uint32_t length, Contents& contents) {
    const std::uint32_t count = length / LightSource::kRecordSize;
    if (std::uint64_t{count} * LightSource::kRecordSize > reader.remaining()) {
        reader.fail("ends early");
    }
    std::vector<std::shared_ptr<LightSource>> lights;
    lights.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        try {
            lights.push_back(std::make_shared<LightSource>(reader));
        } catch (const Error& e) {
            reader.fail(fmt::format("has an invalid light record {} ({})", i, e.what()));
        }
    }
    contents.lights = std::move(lights);
    // A length that is not a whole number of records: the bytes after the last whole record
    // belong to the chunk, not to the next chunk header.
    reader.skip(length % LightSource::kRecordSize);
}

void readAmbient(util::DataReader& reader, Contents& contents) {
    LightLevel ambient;
    ambient.red = reader.readInt32();
    ambient.green = reader.readInt32();
    ambient.blue = reader.readInt32();
    contents.ambient = ambient;
}

void readRegions(util::DataReader& reader, Contents& contents) {
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
    contents.regions = std::move(regions);
}

void readChunk(util::DataReader& reader, std::string_view tag, std::uint32_t length,
               Contents& contents, const ChunkHandler& handler) {
    if (tag == "AMBI") {
        readAmbient(reader, contents);
    } else if (tag == "CELL") {
        readCells(reader, contents);
    } else if (tag == "LGHT") {
        readLights(reader, length, contents);
    } else if (tag == "REGN") {
        readRegions(reader, contents);
    } else if (!handler || !handler(reader, tag, length)) {
        printLine("Warning: unknown map chunk {}", tag);
        reader.skip(length);
    }
}

void commit(Map& map, Contents& contents) {
    map.setCells(contents.width, contents.height, std::move(contents.cells));
    if (contents.ambient) {
        map.setAmbientLight(static_cast<int>(contents.ambient->red),
                            static_cast<int>(contents.ambient->green),
                            static_cast<int>(contents.ambient->blue));
    }
    if (contents.lights) {
        map.setLights(std::move(*contents.lights));
    }
    if (contents.regions) {
        map.getRegions() = std::move(*contents.regions);
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
    Contents contents;
    readHeader(reader, contents);
    unsigned char chunk[kChunkHeaderSize];
    while (reader.readSome(chunk, sizeof chunk) == sizeof chunk) {
        const std::string_view tag(reinterpret_cast<const char*>(chunk), 4);
        reader.setContext(fmt::format("chunk {}", tag));
        readChunk(reader, tag, littleEndian32(chunk + 4), contents, handler);
        reader.setContext({});
    }
    commit(map, contents);
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
    writeChunk(out, "REGN", regions.view());
    if (!out) {
        throw Error("Could not write the map file");
    }
}

void writeChunk(std::ostream& out, std::string_view tag, std::string_view payload) {
    util::DataWriter writer(out);
    writeChunkHeader(writer, tag, payload.size());
    writer.writeBytes(payload.data(), payload.size());
}

} // namespace cindra::mapfile
