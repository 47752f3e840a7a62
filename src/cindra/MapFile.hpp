// The binary map file (.cmap): a 16-byte header (magic "CMAP", version 1, width, height)
// followed by tagged chunks "CELL", "LGHT", "AMBI", "REGN" and, for the level's entities,
// "ENTI". All integers are 32-bit little-endian; texts are a 32-bit length and the bytes.
#pragma once

#include "cindra/util/DataReader.hpp"
#include "cindra/util/DataWriter.hpp"

#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace cindra {

class Map;

// Offered every chunk the map does not know. It gets the reader positioned at the start of
// the payload, the four tag characters and the payload length, and returns true once it has
// consumed exactly the payload, or false, without reading anything, for a chunk it does not
// know either (the map then reports it and skips it).
using ChunkHandler =
    std::function<bool(util::DataReader& reader, std::string_view tag, std::uint32_t length)>;

namespace mapfile {

inline constexpr char kMagic[4] = {'C', 'M', 'A', 'P'};
inline constexpr std::int32_t kVersion = 1;
inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kChunkHeaderSize = 8;
// The largest map a file may describe: width * height at most 16 Mi cells (256 MiB of
// cells), far beyond any level, so a damaged header cannot force a huge allocation.
inline constexpr std::int64_t kMaxCells = std::int64_t{16} * 1024 * 1024;
// What the lights of one level may cost together, checked when the file is read so that a
// hostile level gets an error instead of a frozen first frame, counted in cells of light
// map. Each light of radius r lights a square of (2r + 1)^2 cells; every such cell is a byte
// and about 20 ns of the first frame's calculation (measured on one core of the 2-core test
// machine). Each radius and falloff up to LightRayTable::kMaxRadius also has a ray table,
// shared by its lights, of about 16 r^3 bytes (the 128 tables of radii 1..64 took 134 MB and
// 0.75 s to build), counted once as 16 r^3 cells. 2^24 cells are 16 MiB and about 0.3 s: 63
// lights of the largest radius, 1,000 of radius 64, 10,000 of radius 20, or every cell of a
// 512 x 512 level lit 64 times over. The intro level asks for 72,316. Beyond their cells,
// lights cost about 200 bytes each, so their number is bounded too.
inline constexpr std::int64_t kMaxLitCells = std::int64_t{1} << 24;
inline constexpr std::uint32_t kMaxLights = 65536;

// The cells of the square a light of radius r lights: (2r + 1)^2.
constexpr std::int64_t litCells(int radius) {
    return (2 * std::int64_t{radius} + 1) * (2 * std::int64_t{radius} + 1);
}

// Adds up a level's lights as above.
class LightBudget {
public:
    // Counts one more light (radius 1..256, falloff 0 or 1); false once the lights are more
    // than kMaxLights or cost more than kMaxLitCells.
    bool add(int radius, int falloff);
    std::int64_t cost() const { return cost_; }
    std::uint32_t count() const { return count_; }

private:
    std::int64_t cost_ = 0;
    std::uint32_t count_ = 0;
    std::set<std::pair<int, int>> tables_;
};

// Reads a map file from in into map. fileName names the file in messages. Once the header
// is read the map has the file's size and zero cells, and every chunk takes effect as it is
// read, so a chunk handler sees the map as loaded so far (and what it adds to the map, such
// as lights, stays). A bad magic or version leaves the map as it was; an error further on
// leaves what was read up to it.
//   "File <name> is not a valid map file."  bad magic, or fewer than 16 bytes
//   "File <name> has obsolete file format." a version other than 1
// and, for damaged files, "File <name> ..." errors naming the problem and the chunk: a bad
// size, a payload that ends early, a bad count, text length or light record. Unknown
// chunks print "Warning: unknown map chunk <tag>" and are skipped. A "LGHT" chunk whose lights
// pass the budget of LightBudget is refused. A
// file that ends inside a chunk header ends the reading without complaint. "CELL" and "AMBI" read
// their fixed sizes whatever their length fields say; "LGHT" reads length / 24 records (a remainder
// of the length is not skipped); "REGN" ends where its own data ends.
void read(Map& map, std::istream& in, const std::string& fileName, const ChunkHandler& handler);

// Writes header, "CELL", "LGHT", "AMBI" and "REGN" (never "ENTI"). Throws a cindra::Error
// when the stream fails.
void write(const Map& map, std::ostream& out);

// Writes one chunk: tag, exact payload length, payload. Use it to append chunks the map
// does not write itself (such as "ENTI") after write.
void writeChunk(std::ostream& out, std::string_view tag, std::string_view payload);

} // namespace mapfile

} // namespace cindra
