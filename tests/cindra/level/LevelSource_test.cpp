#include "cindra/level/LevelSource.hpp"

#include "cindra/Error.hpp"

#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using cindra::Blocked;
using cindra::Error;
using cindra::LightSource;
using cindra::MapCell;
using cindra::Opaque;
using cindra::level::encodeLevel;
using cindra::level::Level;
using cindra::level::loadLevel;
using cindra::level::parseLevel;
using cindra::level::printLevel;
using cindra::logic::EntityInfo;
using cindra::test::TempDir;
using cindra::util::Color;

namespace {

const char* const kExample = R"(cindra-level 1
# A room with a pillar.
size 5 3
ambient 64 64 80

tile # glyph 219 fg #8c8070 bg #3c3228 blocked opaque
tile . glyph 250 fg #5a5a50
tile ' glyph ''' bits 0x100

map
#####
#.'.#
#####

light 2 1 radius 4 color #ffc880 fade 200 falloff quadratic
light 1 1 radius 2

region "hall" "music=cave"
  row 1 1..3
  cell 0 0
end
region "pillar"
  rect 3 2 2 2
end

entity 1 1 name "torch" location render glyph '*' color #ffaa00 script "entity.torch" arg "slow"
entity 3 1
)";

std::string errorOf(std::string_view text) {
    try {
        parseLevel(text, "level.txt");
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

// The first lines every small error case starts from, with a legend of '.' and '#'.
std::string withHeader(const std::string& rest) {
    return "cindra-level 1\nsize 2 1\ntile . glyph 46\ntile # glyph 35 blocked\n" + rest;
}

std::string rebuilt(const std::string& bytes) {
    const TempDir dir("cindra-level");
    const std::string path = dir.file("level.cmap");
    std::ofstream(path, std::ios::binary) << bytes;
    Level level = loadLevel(path);
    const std::string text = printLevel(level.map, level.entities);
    Level again = parseLevel(text, "dump.txt");
    return encodeLevel(again.map, again.entities);
}

} // namespace

TEST(LevelSource, CompilesCellsTopRowFirst) {
    const Level level = parseLevel(kExample, "level.txt");
    ASSERT_EQ(level.map.width(), 5);
    ASSERT_EQ(level.map.height(), 3);
    const MapCell& wall = level.map.getCell(0, 0);
    EXPECT_EQ(wall.glyph, 219u);
    EXPECT_EQ(wall.foreground, Color(0x8c, 0x80, 0x70));
    EXPECT_EQ(wall.background, Color(0x3c, 0x32, 0x28));
    EXPECT_EQ(wall.flags, static_cast<std::uint32_t>(Blocked | Opaque));
    // Row 1 reads ".'." from x = 1: a floor, the quote tile, a floor.
    EXPECT_EQ(level.map.getCell(1, 1).glyph, 250u);
    EXPECT_EQ(level.map.getCell(1, 1).background, Color());
    EXPECT_EQ(level.map.getCell(2, 1).glyph, 39u);
    EXPECT_EQ(level.map.getCell(2, 1).flags, 0x100u);
    EXPECT_EQ(level.map.getAmbientLight().blue, 80);
}

TEST(LevelSource, CompilesLightsRegionsAndEntities) {
    const Level level = parseLevel(kExample, "level.txt");
    ASSERT_EQ(level.map.getLights().size(), 2u);
    const LightSource& warm = *level.map.getLights()[0];
    EXPECT_EQ(warm.position, (cindra::util::GridPos{2, 1}));
    EXPECT_EQ(warm.getRadius(), 4);
    EXPECT_EQ(warm.color, Color(0xff, 0xc8, 0x80));
    EXPECT_EQ(warm.fade, 200);
    EXPECT_EQ(warm.getFalloff(), LightSource::Falloff::Quadratic);
    const LightSource& plain = *level.map.getLights()[1];
    EXPECT_EQ(plain.color, Color(255, 255, 255));
    EXPECT_EQ(plain.fade, 256);
    EXPECT_EQ(plain.getFalloff(), LightSource::Falloff::Linear);

    const auto* hall = level.map.getRegion("hall");
    ASSERT_NE(hall, nullptr);
    EXPECT_EQ(hall->parameter, "music=cave");
    EXPECT_EQ(hall->region.size(), 4u);
    EXPECT_TRUE(hall->region.contains(3, 1) && hall->region.contains(0, 0));
    EXPECT_EQ(level.map.getRegion("pillar")->region.size(), 2u);
    EXPECT_EQ(level.map.getRegion("pillar")->parameter, "");

    ASSERT_EQ(level.entities.size(), 2u);
    const EntityInfo& torch = level.entities[0];
    EXPECT_EQ(torch.name, "torch");
    EXPECT_TRUE(torch.hasLocation && torch.hasRender);
    EXPECT_EQ(torch.glyph, '*');
    EXPECT_EQ(torch.color, Color(0xff, 0xaa, 0x00));
    EXPECT_EQ(torch.script, "entity.torch");
    EXPECT_EQ(torch.scriptArgument, "slow");
    EXPECT_EQ(level.entities[1], (EntityInfo{{3, 1}, "", false, false, 255, {}, "", ""}));
}

TEST(LevelSource, HugeRegionsAreRefusedBeforeTheyAreBuilt) {
    EXPECT_EQ(errorOf(withHeader("region \"r\"\nrect -2000000000 -2000000000 2000000000 "
                                 "2000000000\nend\n")),
              "level.txt:6: the regions of a level may hold at most 4194304 cells in all");
    EXPECT_THROW(
        parseLevel(withHeader("region \"r\"\nrow 0 -2147483648..2147483647\nend\n"), "level.txt"),
        Error);
}

TEST(LevelSource, RowsIgnoreTrailingBlanksAndCarriageReturns) {
    const Level level = parseLevel(withHeader("map\r\n.#  \r\n"), "level.txt");
    EXPECT_EQ(level.map.getCell(1, 0).flags, static_cast<std::uint32_t>(Blocked));
}

TEST(LevelSource, BuildDumpBuildGivesTheSameBytes) {
    const Level level = parseLevel(kExample, "level.txt");
    const std::string bytes = encodeLevel(level.map, level.entities);
    EXPECT_EQ(rebuilt(bytes), bytes);
}

TEST(LevelSource, EntityChunkOnlyWithEntities) {
    const Level level = parseLevel(withHeader("map\n.#\n"), "level.txt");
    const std::string bytes = encodeLevel(level.map, level.entities);
    EXPECT_EQ(bytes.find("ENTI"), std::string::npos);
    const Level withOne = parseLevel(withHeader("map\n.#\nentity 0 0\n"), "level.txt");
    EXPECT_NE(encodeLevel(withOne.map, withOne.entities).find("ENTI"), std::string::npos);
}

TEST(LevelSource, DumpInventsAReadableLegend) {
    const Level level = parseLevel(kExample, "level.txt");
    const std::string text = printLevel(level.map, level.entities);
    // Walls and floors get keys that look like their glyphs; a printable glyph is its own key.
    EXPECT_NE(text.find("\nmap\n#####\n#.'.#\n#####\n"), std::string::npos) << text;
    EXPECT_NE(text.find("tile # glyph 219 fg #8c8070 bg #3c3228 blocked opaque\n"),
              std::string::npos);
    EXPECT_NE(text.find("tile ' glyph 39 bits 0x100\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  row 1 1..3\n"), std::string::npos);
    EXPECT_NE(text.find("region \"pillar\"\n  row 2 2..3\nend\n"), std::string::npos) << text;
}

TEST(LevelSource, ManyDistinctCellsGetWiderKeys) {
    cindra::Map map(40, 30);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            map.getCell(x, y).foreground =
                Color(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7, 0);
            map.getCell(x, y).glyph = 0xFFFFFFFFu;
        }
    }
    map.setAmbientLight(-5, 70000, 0);
    map.getRegions().push_back({"odd \"name\"\n\x01", "", {}});
    map.getRegions().back().region.add(-3, -1000);
    map.getRegions().back().region.add(5, -1000);
    const std::vector<EntityInfo> entities = {
        {{-1, 99}, "\xff", true, false, 0, Color(1, 2, 3, 4), "", "a b"}};
    const std::string bytes = encodeLevel(map, entities);
    const std::string text = printLevel(map, entities);
    EXPECT_NE(text.find("keys 2\n"), std::string::npos);
    EXPECT_EQ(rebuilt(bytes), bytes);
}

TEST(LevelSource, EmptyMapRoundTrips) {
    const cindra::Map empty;
    const std::string bytes = encodeLevel(empty, {});
    EXPECT_EQ(rebuilt(bytes), bytes);
}

TEST(LevelSource, LoadReportsAndSkipsUnknownChunks) {
    const Level level = parseLevel(withHeader("map\n.#\nentity 1 0 name \"late\"\n"), "level.txt");
    std::ostringstream out;
    level.map.save(out);
    cindra::mapfile::writeChunk(out, "XTRA", "12345");
    cindra::logic::writeEntityChunk(out, level.entities);
    const TempDir dir("cindra-level");
    std::ofstream(dir.file("extra.cmap"), std::ios::binary) << out.str();
    std::vector<std::string> reported;
    const Level loaded = loadLevel(dir.file("extra.cmap"),
                                   [&](std::string_view tag) { reported.emplace_back(tag); });
    EXPECT_EQ(reported, std::vector<std::string>{"XTRA"});
    ASSERT_EQ(loaded.entities.size(), 1u);
    EXPECT_EQ(loaded.entities[0].name, "late");
    EXPECT_EQ(loaded.map.getCell(1, 0).flags, static_cast<std::uint32_t>(Blocked));
}
