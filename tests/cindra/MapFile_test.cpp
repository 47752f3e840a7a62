#include "cindra/Error.hpp"
#include "cindra/Map.hpp"
#include "cindra/MapFile.hpp"
#include "cindra/logic/EntityInfo.hpp"

#include "support/StdoutCapture.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <random>
#include <sstream>
#include <string>

using cindra::CellFlag;
using cindra::GridPos;
using cindra::LightSource;
using cindra::Map;
using cindra::MapCell;
using cindra::MapRegion;
using cindra::logic::EntityInfo;
using cindra::test::capturedStdout;
using cindra::util::Color;
using Falloff = cindra::LightSource::Falloff;

namespace {

// Builds map files byte by byte.
class FileBuilder {
public:
    FileBuilder& bytes(std::string_view b) {
        data_ += b;
        return *this;
    }
    FileBuilder& uint32(std::uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) {
            data_ += static_cast<char>(v >> shift & 0xFFu);
        }
        return *this;
    }
    FileBuilder& ints(std::initializer_list<std::int32_t> values) {
        for (std::int32_t v : values) {
            uint32(static_cast<std::uint32_t>(v));
        }
        return *this;
    }
    FileBuilder& header(int width, int height, int version = 1) {
        return bytes("CMAP").ints({version, width, height});
    }
    FileBuilder& chunk(std::string_view tag, std::uint32_t length) {
        return bytes(tag).uint32(length);
    }
    std::string str() const { return data_; }

private:
    std::string data_;
};

void load(Map& map, const std::string& bytes, const cindra::ChunkHandler& handler = {}) {
    std::istringstream in(bytes);
    map.load(in, "test.cmap", handler);
}

std::string save(const Map& map) {
    std::ostringstream out;
    map.save(out);
    return out.str();
}

// The message of the error that loading bytes raises (empty when it loads).
std::string loadError(const std::string& bytes) {
    Map map;
    try {
        load(map, bytes);
    } catch (const cindra::Error& e) {
        return e.what();
    }
    return {};
}

std::string cellBytes(int count) {
    return std::string(static_cast<std::size_t>(count) * 16, '\0');
}

} // namespace

TEST(MapFile, TwoByOneMapSavesAs96Bytes) {
    Map map(2, 1);
    map.getCell(1, 0).glyph = 0x41;
    map.getCell(1, 0).flags = CellFlag::Opaque;
    map.getCell(0, 0).foreground = Color(1, 2, 3, 4);
    map.setAmbientLight(256, 256, 256);
    std::string cells = cellBytes(2);
    cells.replace(0, 4, "\x01\x02\x03\x04");
    cells[16 + 8] = 0x41;
    cells[16 + 12] = 2;
    const std::string expected = FileBuilder()
                                     .header(2, 1)
                                     .chunk("CELL", 32)
                                     .bytes(cells)
                                     .chunk("LGHT", 0)
                                     .chunk("AMBI", 12)
                                     .ints({256, 256, 256})
                                     .chunk("REGN", 4)
                                     .ints({0})
                                     .str();
    EXPECT_EQ(expected.size(), 96u);
    EXPECT_EQ(save(map), expected);
}

TEST(MapFile, SaveThenLoadRoundTripsEverything) {
    Map map(7, 5);
    std::mt19937 random(3);
    for (MapCell& cell : map.cells()) {
        cell.foreground = Color(static_cast<std::uint8_t>(random()), 2, 3, 4);
        cell.background = Color(5, static_cast<std::uint8_t>(random()), 7, 8);
        cell.glyph = random();
        cell.flags = random();
    }
    map.setAmbientLight(-5, 300, 2147483647);
    map.addLight(std::make_shared<LightSource>(GridPos{1, 2}, 3, Color(9, 8, 7, 6),
                                               Falloff::Quadratic, 128));
    map.addLight(std::make_shared<LightSource>(GridPos{-40, 99}, 256, Color(1, 1, 1, 1),
                                               Falloff::Linear, -3));
    MapRegion a{"hall", "north wing", {}};
    a.region.add(1, 1);
    a.region.add(-2, 1);
    a.region.add(6, 4);
    a.region.add(0, 9);
    a.region.remove(0, 9); // an empty row
    map.getRegions().push_back(a);
    map.getRegions().push_back({"", "", {}});

    std::ostringstream out;
    map.save(out);
    std::vector<EntityInfo> entities(2);
    entities[0].name = "guard";
    entities[0].position = {3, -1};
    entities[0].hasLocation = true;
    entities[0].color = Color(10, 20, 30, 40);
    entities[1].script = "entity.door";
    entities[1].scriptArgument = "locked";
    entities[1].hasRender = true;
    entities[1].glyph = 43;
    cindra::logic::writeEntityChunk(out, entities);

    Map loaded;
    std::vector<EntityInfo> read;
    load(loaded, out.str(), cindra::logic::collectEntities(read));
    EXPECT_EQ(loaded.width(), 7);
    EXPECT_EQ(loaded.height(), 5);
    EXPECT_EQ(loaded.cells(), map.cells());
    EXPECT_EQ(loaded.getAmbientLight(), map.getAmbientLight());
    ASSERT_EQ(loaded.getLights().size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const LightSource& x = *loaded.getLights()[i];
        const LightSource& y = *map.getLights()[i];
        EXPECT_EQ(x.position, y.position);
        EXPECT_EQ(x.getRadius(), y.getRadius());
        EXPECT_EQ(x.color, y.color);
        EXPECT_EQ(x.fade, y.fade);
        EXPECT_EQ(x.getFalloff(), y.getFalloff());
        EXPECT_TRUE(x.needsRecalculation());
    }
    ASSERT_EQ(loaded.getRegions().size(), 2u);
    EXPECT_EQ(loaded.getRegions()[0].name, "hall");
    EXPECT_EQ(loaded.getRegions()[0].parameter, "north wing");
    EXPECT_EQ(loaded.getRegions()[0].region, a.region);
    EXPECT_TRUE(loaded.getRegions()[1].region.empty());
    EXPECT_EQ(read, entities);
    // Saving again gives the same bytes but for the empty row, which vanished on loading.
    Map again;
    load(again, save(loaded));
    EXPECT_EQ(save(again), save(loaded));
    EXPECT_EQ(save(loaded).size() + 8, save(map).size());

    // Rendering lights that stand far outside the map is harmless.
    cindra::Console console(Map::kViewWidth, Map::kViewHeight);
    loaded.render(console, {0, 0});
}

TEST(MapFile, BadMagicAndVersion) {
    const std::string good = FileBuilder().header(1, 1).str();
    EXPECT_EQ(loadError(good), "");
    for (std::size_t i = 0; i < 4; ++i) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x20);
        EXPECT_EQ(loadError(bad), "File test.cmap is not a valid map file.");
    }
    EXPECT_EQ(loadError(""), "File test.cmap is not a valid map file.");
    EXPECT_EQ(loadError(good.substr(0, 15)), "File test.cmap is not a valid map file.");
    EXPECT_EQ(loadError(FileBuilder().header(1, 1, 2).str()),
              "File test.cmap has obsolete file format.");
    EXPECT_EQ(loadError(FileBuilder().header(1, 1, 0).str()),
              "File test.cmap has obsolete file format.");
    // The magic is tested first.
    EXPECT_EQ(loadError(FileBuilder().bytes("CMAQ").ints({2, 1, 1}).str()),
              "File test.cmap is not a valid map file.");
}

TEST(MapFile, UnknownChunksAreReportedAndSkipped) {
    const std::string bytes = FileBuilder()
                                  .header(1, 1)
                                  .chunk("CELL", 16)
                                  .bytes(cellBytes(1))
                                  .chunk("XY\1Z", 5)
                                  .bytes("12345")
                                  .chunk("LGHT", 24)
                                  .ints({0, 0, 4, 0x01020304, 256, 1})
                                  .str();
    Map map;
    EXPECT_EQ(capturedStdout([&] { load(map, bytes); }), "Warning: unknown map chunk XY\1Z\n");
    ASSERT_EQ(map.getLights().size(), 1u);
    EXPECT_EQ(map.getLights()[0]->getRadius(), 4);

    // A handler that declines leaves the warning; one that takes the chunk silences it.
    std::string seenTag;
    std::uint32_t seenLength = 0;
    auto decline = [&](cindra::util::DataReader&, std::string_view tag, std::uint32_t length) {
        seenTag = tag;
        seenLength = length;
        return false;
    };
    EXPECT_EQ(capturedStdout([&] { load(map, bytes, decline); }),
              "Warning: unknown map chunk XY\1Z\n");
    EXPECT_EQ(seenTag, "XY\1Z");
    EXPECT_EQ(seenLength, 5u);
    auto take = [](cindra::util::DataReader& reader, std::string_view, std::uint32_t length) {
        reader.skip(length);
        return true;
    };
    EXPECT_EQ(capturedStdout([&] { load(map, bytes, take); }), "");
    EXPECT_EQ(map.getLights().size(), 1u);
}

TEST(MapFile, EndingInsideAChunkHeaderKeepsWhatCameBefore) {
    std::string cells = cellBytes(2);
    cells[8] = 9;
    const std::string bytes =
        FileBuilder().header(2, 1).chunk("CELL", 32).bytes(cells).bytes("AMBI\x0C\0\0").str();
    Map map;
    map.setAmbientLight(1, 2, 3);
    load(map, bytes);
    EXPECT_EQ(map.getCell(0, 0).glyph, 9u);
    EXPECT_EQ(map.getAmbientLight(), (cindra::LightLevel{1, 2, 3}));
}

TEST(MapFile, MissingPartsKeepTheirValuesAndLaterChunksWin) {
    Map map(1, 1);
    map.setAmbientLight(7, 7, 7);
    map.addLight(std::make_shared<LightSource>(GridPos{0, 0}, 1, Color(), Falloff::Linear));
    map.getRegions().push_back({"keep", "", {}});
    load(map, FileBuilder()
                  .header(3, 2)
                  .chunk("AMBI", 12)
                  .ints({1, 2, 3})
                  .chunk("AMBI", 12)
                  .ints({4, 5, 6})
                  .str());
    EXPECT_EQ(map.width(), 3);
    EXPECT_EQ(map.cells(), std::vector<MapCell>(6)); // no CELL chunk: all zero
    EXPECT_EQ(map.getAmbientLight(), (cindra::LightLevel{4, 5, 6}));
    EXPECT_EQ(map.getLights().size(), 1u);
    EXPECT_EQ(map.getRegions().size(), 1u);
    // The empty light and region lists of a file replace the map's.
    load(map, FileBuilder().header(1, 1).chunk("LGHT", 0).chunk("REGN", 4).ints({0}).str());
    EXPECT_TRUE(map.getLights().empty());
    EXPECT_TRUE(map.getRegions().empty());
}

TEST(MapFile, TruncatedPayloadsAreErrorsNamingTheFile) {
    const auto base = [] { return FileBuilder().header(2, 2); };
    EXPECT_EQ(loadError(base().chunk("CELL", 64).bytes(cellBytes(3)).str()),
              "File test.cmap ends early in chunk CELL.");
    EXPECT_EQ(loadError(base().chunk("AMBI", 12).ints({1, 2}).str()),
              "File test.cmap ends early in chunk AMBI.");
    EXPECT_EQ(loadError(base().chunk("LGHT", 48).ints({0, 0, 1, 0, 256, 0}).str()),
              "File test.cmap ends early in chunk LGHT.");
    EXPECT_EQ(loadError(base().chunk("REGN", 40).ints({1, 0, 0, 2, 7, 3, 1, 2, 3}).str()),
              "File test.cmap ends early in chunk REGN.");
    std::string error;
    EXPECT_EQ(
        capturedStdout([&] { error = loadError(base().chunk("ABCD", 10).bytes("123").str()); }),
        "Warning: unknown map chunk ABCD\n"); // reported before it is skipped
    EXPECT_EQ(error, "File test.cmap ends early in chunk ABCD.");
}

TEST(MapFile, RefusesSizesAndCountsBeyondTheFile) {
    EXPECT_EQ(loadError(FileBuilder().header(-1, 5).str()),
              "File test.cmap has an invalid map size -1 x 5 (at most 16777216 cells).");
    EXPECT_NE(loadError(FileBuilder().header(5, -2147483647 - 1).str()).find("invalid map size"),
              std::string::npos);
    EXPECT_NE(loadError(FileBuilder().header(4097, 4096).str()).find("invalid map size"),
              std::string::npos);
    EXPECT_NE(loadError(FileBuilder().header(65536, 65536).str()).find("invalid map size"),
              std::string::npos);

    const auto regions = [](std::initializer_list<std::int32_t> ints) {
        return loadError(FileBuilder().header(1, 1).chunk("REGN", 100).ints(ints).str());
    };
    EXPECT_EQ(regions({-1}), "File test.cmap has a negative region count -1 in chunk REGN.");
    EXPECT_EQ(regions({1000000}), "File test.cmap has a region count 1000000 larger than the "
                                  "rest of the file can hold in chunk REGN.");
    EXPECT_NE(regions({1, 2000000000, 0, 0}).find("region name length 2000000000"),
              std::string::npos);
    EXPECT_NE(regions({1, -5, 0, 0}).find("negative region name length"), std::string::npos);
    EXPECT_NE(regions({1, 0, -1, 0}).find("negative region parameter length"), std::string::npos);
    EXPECT_NE(regions({1, 0, 0, 268435456}).find("row count"), std::string::npos);
    EXPECT_NE(regions({1, 0, 0, 1, 5, 1073741824}).find("cell count"), std::string::npos);
    EXPECT_EQ(regions({1, 0, 0, 1, 5, 1, 3}), "");
}

TEST(MapFile, RefusesBadLightRecords) {
    const auto light = [](std::int32_t radius, std::int32_t falloff) {
        return loadError(FileBuilder()
                             .header(1, 1)
                             .chunk("LGHT", 24)
                             .ints({0, 0, radius, 0, 256, falloff})
                             .str());
    };
    EXPECT_EQ(light(1, 0), "");
    EXPECT_EQ(light(256, 1), "");
    EXPECT_EQ(light(0, 0), "File test.cmap has an invalid light record 0 (Light radius 0 is "
                           "outside 1..256) in chunk LGHT.");
    EXPECT_NE(light(-4, 0).find("Light radius -4"), std::string::npos);
    EXPECT_NE(light(257, 0).find("Light radius 257"), std::string::npos);
    EXPECT_NE(light(3, 2).find("Light falloff 2"), std::string::npos);
    EXPECT_NE(light(3, -1).find("test.cmap"), std::string::npos);

    // What the lights may cost together: 63 lights of the largest radius fit the budget of
    // 2^24 cells, 64 do not; more than 65536 lights never fit; the ray tables of radii up to
    // 64 count once per radius and falloff (16 r^3 cells each).
    const auto lights = [](int width, int height, std::uint32_t count, std::int32_t radius,
                           std::int32_t step = 0) {
        FileBuilder file;
        file.header(width, height).chunk("CELL", width * height * 16);
        file.bytes(cellBytes(width * height)).chunk("LGHT", count * 24);
        for (std::uint32_t i = 0; i < count; ++i) {
            const auto r = static_cast<std::int32_t>(radius + step * static_cast<int>(i / 2));
            file.ints({static_cast<std::int32_t>(i % 512), 7, r, -1, 256,
                       static_cast<std::int32_t>(i % 2)});
        }
        return loadError(file.str());
    };
    EXPECT_EQ(lights(4, 4, 63, 256), "");
    EXPECT_EQ(lights(4, 4, 64, 256),
              "File test.cmap has lights that cost more than 16777216 cells of light maps and ray "
              "tables together (light record 63 reaches 16842816) in chunk LGHT.");
    // 128 lights of radii 1 to 64, both falloffs: 134 MB of ray tables for 3 kB of file.
    EXPECT_NE(lights(4, 4, 128, 1, 1).find("File test.cmap has lights that cost more"),
              std::string::npos);
    EXPECT_EQ(lights(4, 4, 58, 1, 1), ""); // radii 1 to 29, both falloffs
    EXPECT_EQ(lights(1, 1, 65536, 1), "");
    EXPECT_EQ(lights(1, 1, 65537, 1), "File test.cmap has 65537 lights, more than 65536 in chunk "
                                      "LGHT.");
    // A 4 MB level of 512 x 512 cells with 2,000 lights of radius 256 would take half a
    // minute and 640 MB for its first frame; it is refused while it is read.
    EXPECT_NE(lights(512, 512, 2000, 256).find("File test.cmap has lights that cost more"),
              std::string::npos);
}

TEST(MapFile, ErrorsLeaveWhatWasReadBeforeThem) {
    Map map(2, 2);
    map.getCell(1, 1).glyph = 77;
    map.setAmbientLight(9, 9, 9);
    const std::string bad = FileBuilder()
                                .header(1, 1)
                                .chunk("CELL", 16)
                                .bytes(cellBytes(1))
                                .chunk("AMBI", 12)
                                .ints({1, 1, 1})
                                .chunk("REGN", 4)
                                .ints({-1})
                                .str();
    std::istringstream in(bad);
    EXPECT_THROW(map.load(in, "bad.cmap"), cindra::Error);
    EXPECT_EQ(map.width(), 1);
    EXPECT_EQ(map.getAmbientLight(), (cindra::LightLevel{1, 1, 1}));

    // A bad magic number touches nothing.
    Map kept(2, 2);
    kept.getCell(1, 1).glyph = 77;
    std::istringstream notAMap("PAMC\x01\0\0\0\x01\0\0\0\x01\0\0\0");
    EXPECT_THROW(kept.load(notAMap, "bad.cmap"), cindra::Error);
    EXPECT_EQ(kept.getCell(1, 1).glyph, 77u);
}

TEST(MapFile, ChunkHandlersSeeTheMapLoadedSoFarAndKeepWhatTheyAdd) {
    Map source(4, 4);
    source.addLight(std::make_shared<LightSource>(GridPos{1, 1}, 2, Color(), Falloff::Linear));
    source.getRegions().push_back({"spawn", "player", {}});
    std::ostringstream out;
    source.save(out);
    cindra::mapfile::writeChunk(out, "ENTI", std::string(4, '\0'));

    Map map;
    int width = -1;
    std::size_t regions = 0;
    auto handler = [&](cindra::util::DataReader& reader, std::string_view tag,
                       std::uint32_t length) {
        if (tag != "ENTI") {
            return false;
        }
        width = map.width();
        regions = map.getRegions().size();
        map.addLight(std::make_shared<LightSource>(GridPos{2, 2}, 1, Color(), Falloff::Linear));
        reader.skip(length);
        return true;
    };
    std::istringstream in(out.str());
    map.load(in, "level.cmap", handler);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(regions, 1u);
    EXPECT_EQ(map.getLights().size(), 2u);
}

TEST(MapFile, LightChunkLengthsThatAreNotWholeRecordsAreReadByRecord) {
    // One 24-byte record under a length of 32: the next chunk header follows the record.
    const std::string file = FileBuilder()
                                 .header(1, 1)
                                 .chunk("LGHT", 32)
                                 .ints({0, 0, 1, 255, 255, 0})
                                 .chunk("AMBI", 12)
                                 .ints({9, 9, 9})
                                 .str();
    Map map;
    std::istringstream in(file);
    map.load(in, "odd.cmap");
    EXPECT_EQ(map.getLights().size(), 1u);
    EXPECT_EQ(map.getAmbientLight(), (cindra::LightLevel{9, 9, 9}));
}

TEST(MapFile, LoadsFromDiskAndNamesFilesThatCannotBeOpened) {
    const std::string path = ::testing::TempDir() + "map_file_test.cmap";
    Map map(3, 3);
    map.getCell(2, 2).glyph = 5;
    {
        std::ofstream out(path, std::ios::binary);
        map.save(out);
    }
    Map loaded;
    loaded.load(path);
    EXPECT_EQ(loaded.cells(), map.cells());
    std::remove(path.c_str());
    try {
        loaded.load(path);
        FAIL();
    } catch (const cindra::Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open map file " + path + ": ", 0), 0u);
    }
}
