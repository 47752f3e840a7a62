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

TEST(LevelSource, ErrorsNameTheFileAndLine) {
    EXPECT_EQ(errorOf(withHeader("map\n.Q\n")), "level.txt:6: unknown legend character 'Q'");
    EXPECT_EQ(errorOf(withHeader("map\n...\n")),
              "level.txt:6: map row is 3 characters long, expected 2");
    EXPECT_EQ(errorOf(withHeader("map\n")), "level.txt:5: the map ends after 0 of its 1 rows");
    EXPECT_EQ(errorOf("size 2 2\n"), "level.txt:1: the source must start with 'cindra-level 1'");
    EXPECT_EQ(errorOf("cindra-level 2\n"),
              "level.txt:1: format version 2 is not supported (expected 1)");
    EXPECT_EQ(errorOf(withHeader("tile . glyph 1\n")),
              "level.txt:5: legend key '.' is already defined on line 3");
    EXPECT_EQ(errorOf(withHeader("tile x fg #12345\n")),
              "level.txt:5: foreground '#12345' is not a colour #rrggbb or #rrggbbaa");
    EXPECT_EQ(errorOf(withHeader("tile x glyph 1 glyph 2\n")),
              "level.txt:5: 'glyph' is given twice");
    EXPECT_EQ(errorOf(withHeader("wall 1 2\n")), "level.txt:5: unknown keyword 'wall'");
    EXPECT_EQ(errorOf(withHeader("map\n..\nlight 0 0\n")), "level.txt:7: a light needs a radius");
    EXPECT_EQ(errorOf(withHeader("map\n..\nlight 0 0 radius 0\n")),
              "level.txt:7: Light radius 0 is outside 1..256");
    EXPECT_EQ(errorOf(withHeader("map\n..\nregion \"a\"\nrow 0 1\n\n")),
              "level.txt:7: region \"a\" is not closed with 'end'");
    EXPECT_EQ(
        errorOf(withHeader("region \"a\"\nlight 0 0 radius 1\nend\n")),
        "level.txt:6: expected 'row', 'rect', 'cell' or 'end' in region \"a\", found 'light'");
    EXPECT_EQ(errorOf(withHeader("region hall\nend\n")),
              "level.txt:5: expected the region name as a quoted text, found 'hall'");
    EXPECT_EQ(errorOf(withHeader("entity 1\n")), "level.txt:5: missing entity y");
    EXPECT_EQ(errorOf(withHeader("entity 1 1 glyph 300\n")),
              "level.txt:5: glyph 300 is outside 0..255");
    EXPECT_EQ(errorOf(withHeader("map\n..\nmap\n")), "level.txt:7: 'map' is given twice");
    EXPECT_EQ(errorOf(withHeader("keys 2\n")),
              "level.txt:5: 'keys' must come before the legend and the map");
    EXPECT_EQ(errorOf("cindra-level 1\nsize 2 1\n"),
              "level.txt:2: a level needs the lines 'cindra-level 1', 'size' and 'map'");
    // The lights' budget: 63 lights of radius 256 fit (16579647 cells), a 64th does not; nor
    // do the ray tables of radii 30 to 64 (16 r^3 cells each) with their lights.
    std::string lights;
    for (int i = 0; i < 64; ++i) {
        lights += "light 0 0 radius 256\n";
    }
    EXPECT_EQ(errorOf(withHeader("map\n..\n" + lights)),
              "level.txt:70: the lights so far cost 16842816 cells of light maps and ray tables "
              "together, more than 16777216");
    EXPECT_EQ(errorOf(withHeader("map\n..\n" + lights.substr(21))), "(no error)");
    std::string tables;
    for (int r = 30; r <= 64; ++r) {
        tables += "light 0 0 radius " + std::to_string(r) + "\n";
    }
    EXPECT_NE(
        errorOf(withHeader("map\n..\n" + tables)).find("level.txt:24: the lights so far cost"),
        std::string::npos);
    EXPECT_EQ(errorOf("cindra-level 1\nsize 100000 100000\n"),
              "level.txt:2: a map of 100000 x 100000 cells is larger than the 16777216 cells "
              "allowed");
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
