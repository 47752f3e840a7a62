#include "cindra/level/LevelParser.hpp"

#include "cindra/Error.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using cindra::Error;
using cindra::level::Level;
using cindra::level::LevelParser;

namespace {

std::string errorOf(std::string_view text) {
    try {
        LevelParser("level.txt").parse(text);
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

// The first four lines every small error case starts from, with a legend of '.' and '#'.
std::string withHeader(const std::string& rest) {
    return "cindra-level 1\nsize 2 1\ntile . glyph 46\ntile # glyph 35 blocked\n" + rest;
}

std::string repeated(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += line;
    }
    return text;
}

} // namespace

TEST(LevelParser, ErrorsNameTheFileAndLine) {
    // The lights' budget: 63 lights of radius 256 fit (16579647 cells), a 64th does not; nor
    // do the ray tables of radii 30 to 64 (16 r^3 cells each) with their lights.
    std::string tables;
    for (int r = 30; r <= 64; ++r) {
        tables += "light 0 0 radius " + std::to_string(r) + "\n";
    }
    const struct {
        std::string source;
        std::string error;
    } cases[] = {
        {"size 2 2\n", "level.txt:1: the source must start with 'cindra-level 1'"},
        {"cindra-level 2\n", "level.txt:1: format version 2 is not supported (expected 1)"},
        {withHeader("cindra-level 1\n"), "level.txt:5: 'cindra-level' is given twice"},
        {"cindra-level 1\nsize 2 1\n",
         "level.txt:2: a level needs the lines 'cindra-level 1', 'size' and 'map'"},
        {"cindra-level 1\nsize 100000 100000\n",
         "level.txt:2: a map of 100000 x 100000 cells is larger than the 16777216 cells allowed"},
        {withHeader("size 3 3\n"), "level.txt:5: 'size' is given twice"},
        {withHeader("ambient 1 2 3 4\n"), "level.txt:5: unexpected \"4\" at the end of 'ambient'"},
        {withHeader("keys 2\n"), "level.txt:5: 'keys' must come before the legend and the map"},
        {"cindra-level 1\nkeys 5\n", "level.txt:2: key width 5 is outside 1..4"},
        {"cindra-level 1\nmap\n", "level.txt:2: 'map' needs a 'size' line before it"},
        {withHeader("map\n..\nmap\n"), "level.txt:7: 'map' is given twice"},
        {withHeader("wall 1 2\n"), "level.txt:5: unknown keyword 'wall'"},
        {withHeader("end\n"), "level.txt:5: 'end' without an open region"},
        // The legend, and the rows resolved against it once the text is read.
        {withHeader("tile . glyph 1\n"),
         "level.txt:5: legend key '.' is already defined on line 3"},
        {withHeader("tile ab glyph 1\n"),
         "level.txt:5: legend key 'ab' should be 1 character(s) long"},
        {withHeader("tile x fg #12345\n"),
         "level.txt:5: foreground '#12345' is not a colour #rrggbb or #rrggbbaa"},
        {withHeader("tile x glyph 1 glyph 2\n"), "level.txt:5: 'glyph' is given twice"},
        {withHeader("tile x shiny\n"), "level.txt:5: unknown tile field 'shiny'"},
        {withHeader("map\n.Q\n"), "level.txt:6: unknown legend character 'Q'"},
        {withHeader("map\n...\n"), "level.txt:6: map row is 3 characters long, expected 2"},
        {withHeader("map\n"), "level.txt:5: the map ends after 0 of its 1 rows"},
        {"cindra-level 1\nkeys 2\nsize 1 1\ntile ab\nmap\nac\n",
         "level.txt:6: unknown legend key 'ac'"},
        // Lights.
        {withHeader("map\n..\nlight 0 0\n"), "level.txt:7: a light needs a radius"},
        {withHeader("map\n..\nlight 0 0 radius 0\n"),
         "level.txt:7: Light radius 0 is outside 1..256"},
        {withHeader("light 0 0 radius 2 falloff cubic\n"),
         "level.txt:5: unknown falloff 'cubic' (expected linear or quadratic)"},
        {withHeader("light 0 0 radius 2 size 3\n"), "level.txt:5: unknown light field 'size'"},
        {withHeader("map\n..\n" + repeated("light 0 0 radius 256\n", 64)),
         "level.txt:70: the lights so far cost 16842816 cells of light maps and ray tables "
         "together, more than 16777216"},
        {withHeader("map\n..\n" + repeated("light 0 0 radius 256\n", 63)), "(no error)"},
        {withHeader("map\n..\n" + tables),
         "level.txt:24: the lights so far cost 17441994 cells of light maps and ray tables "
         "together, more than 16777216"},
        {withHeader("map\n..\n" + repeated("light 0 0 radius 1\n", 65537)),
         "level.txt:65543: a level has at most 65536 lights"},
        // Regions.
        {withHeader("map\n..\nregion \"a\"\nrow 0 1\n\n"),
         "level.txt:7: region \"a\" is not closed with 'end'"},
        {withHeader("region \"a\"\nlight 0 0 radius 1\nend\n"),
         "level.txt:6: expected 'row', 'rect', 'cell' or 'end' in region \"a\", found 'light'"},
        {withHeader("region hall\nend\n"),
         "level.txt:5: expected the region name as a quoted text, found 'hall'"},
        {withHeader("region \"a\"\nrow 0 1..x\nend\n"),
         "level.txt:6: expected a number for x, found 'x'"},
        // Entities.
        {withHeader("entity 1\n"), "level.txt:5: missing entity y"},
        {withHeader("entity 1 1 glyph 300\n"), "level.txt:5: glyph 300 is outside 0..255"},
        {withHeader("entity 1 1 wings\n"), "level.txt:5: unknown entity field 'wings'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(errorOf(c.source), c.error) << c.source.substr(0, 200);
    }
}

TEST(LevelParser, WarnsOfWhatLiesOutsideTheMap) {
    // A 4 x 3 map on lines 1 to 7; the cases' lines start at 8.
    const std::string map = "cindra-level 1\nsize 4 3\ntile . glyph 46\nmap\n....\n....\n....\n";
    const struct {
        std::string rest;
        std::vector<std::string> warnings;
    } cases[] = {
        // Everything on the edges of the map is inside; an entity without a location has no
        // place to lie outside of.
        {"light 0 0 radius 1\nlight 3 2 radius 1\n"
         "region \"start\"\n  cell 3 0\nend\nregion \"all\"\n  rect 0 0 3 2\nend\n"
         "entity 3 2 location\nentity -9 9 name \"idea\"\n",
         {}},
        {"light 4 0 radius 1\nlight 0 -1 radius 1\n",
         {"level.txt:8: warning: light at (4,0) lies outside the 4 x 3 map",
          "level.txt:9: warning: light at (0,-1) lies outside the 4 x 3 map"}},
        {"region \"hall\"\n  rect 2 1 5 1\n  cell 0 0\nend\n"
         "region \"far\"\n  cell 9 9\nend\nregion \"row\"\n  row 3 0..2\nend\n",
         {"level.txt:8: warning: region \"hall\": 2 of its 5 cells lie outside the 4 x 3 map",
          "level.txt:12: warning: region \"far\": its one cell lies outside the 4 x 3 map",
          "level.txt:15: warning: region \"row\": all of its 3 cells lie outside the 4 x 3 map"}},
        // The game puts the player in the middle of the first region named "start".
        {"region \"start\"\n  rect 10 0 12 0\nend\n",
         {"level.txt:8: warning: region \"start\" lies wholly outside the 4 x 3 map: the game "
          "would put the player at (11,0)"}},
        {"region \"start\"\n  rect 2 0 6 0\nend\n",
         {"level.txt:8: warning: region \"start\": 3 of its 5 cells lie outside the 4 x 3 map, "
          "among them (4,0) where the game would put the player"}},
        {"region \"start\"\n  rect 1 0 4 0\nend\nregion \"start\"\n  cell 7 7\nend\n",
         {"level.txt:8: warning: region \"start\": 1 of its 4 cells lies outside the 4 x 3 map",
          "level.txt:11: warning: region \"start\": its one cell lies outside the 4 x 3 map"}},
        // Warnings come in the order of the lines, whatever the kind.
        {"entity -1 0 name \"moth\" location render\nlight 9 9 radius 2\nentity 4 3 location\n",
         {"level.txt:8: warning: entity \"moth\" at (-1,0) lies outside the 4 x 3 map",
          "level.txt:9: warning: light at (9,9) lies outside the 4 x 3 map",
          "level.txt:10: warning: entity at (4,3) lies outside the 4 x 3 map"}},
    };
    for (const auto& c : cases) {
        const Level level = LevelParser("level.txt").parse(map + c.rest);
        EXPECT_EQ(level.warnings, c.warnings) << c.rest;
    }
    // A light written before the size is measured against the size given later.
    const Level early = LevelParser("early.level")
                            .parse("cindra-level 1\nlight 5 0 radius 1\nsize 2 1\ntile . glyph "
                                   "46\nmap\n..\n");
    EXPECT_EQ(early.warnings, std::vector<std::string>{"early.level:2: warning: light at (5,0) "
                                                       "lies outside the 2 x 1 map"});
}
