#include "support/ConsoleText.hpp"
#include "support/ScriptWorld.hpp"

#include "cindra/devtools/MapOverlay.hpp"

#include <gtest/gtest.h>

using cindra::Console;
using cindra::test::consoleText;
using cindra::test::levelSource;
using cindra::test::ScriptWorld;
using cindra::test::setterColour;

namespace {

// A rectangle with a name, a single cell, and a light of radius 2 whose lit square is
// columns 16 to 20 and rows 3 to 7.
const std::string kExtra = "region \"hall\"\n  rect 2 2 8 6\nend\n"
                           "region \"spot\"\n  cell 12 3\nend\n"
                           "light 18 5 radius 2 color #ff8000\n";

} // namespace

TEST(MapOverlay, OutlinesRegionsAndFramesLitSquaresInViewCells) {
    ScriptWorld game;
    game.level("intro.cmap", levelSource(24, 10, kExtra));
    cindra::World& world = game.start();
    Console screen(24, 10);
    world.render(screen); // calculates the light
    screen = Console(24, 10);
    cindra::devtools::drawRegionOutlines(screen, world);
    cindra::devtools::drawLightSquares(screen, world);
    EXPECT_EQ(consoleText(screen), "                        \n"
                                   "                        \n"
                                   "                +---+   \n"
                                   "  +hall-+       |   |   \n"
                                   "  |     |       | * |   \n"
                                   "  |     |       |   |   \n"
                                   "  |     |   o   +---+   \n"
                                   "  +-----+               \n"
                                   "                        \n"
                                   "                        \n");
    EXPECT_EQ(screen.at(2, 2).glyph, 192);
    EXPECT_EQ(screen.at(2, 2).foreground, setterColour({255, 220, 80, 255}));
    EXPECT_EQ(screen.at(12, 3).foreground, setterColour({90, 230, 255, 255}));
    EXPECT_EQ(screen.at(16, 3).foreground, setterColour({255, 128, 0, 255}));
    EXPECT_EQ(screen.at(18, 5).foreground, setterColour({255, 128, 0, 255}));
    EXPECT_EQ(screen.at(2, 2).background, setterColour({}));
}

TEST(MapOverlay, FollowsTheViewPointAndClipsAtTheConsoleEdges) {
    ScriptWorld game;
    game.level("intro.cmap", levelSource(24, 10, kExtra));
    cindra::World& world = game.start();
    Console scratch(14, 6);
    world.render(scratch);
    world.viewPoint = {5, 2};
    Console screen(14, 6);
    cindra::devtools::drawRegionOutlines(screen, world);
    cindra::devtools::drawLightSquares(screen, world);
    EXPECT_EQ(consoleText(screen), "           +--\n"
                                   "ll-+       |  \n"
                                   "   |       | *\n"
                                   "   |       |  \n"
                                   "   |   o   +--\n"
                                   "---+          \n");
    // A view point at the far end of the int range: every cell lies outside the view, and
    // the way there overflows nothing.
    world.viewPoint = {-2147483000, -2147483000};
    Console empty(14, 6);
    cindra::devtools::drawRegionOutlines(empty, world);
    cindra::devtools::drawLightSquares(empty, world);
    EXPECT_EQ(consoleText(empty), consoleText(Console(14, 6)));
}

TEST(MapOverlay, NamesStayReadableWhereAnotherOutlineCrossesThem) {
    ScriptWorld game;
    game.level("intro.cmap", levelSource(12, 8,
                                         "region \"first\"\n  rect 0 0 8 4\nend\n"
                                         "region \"second\"\n  rect 2 3 5 7\nend\n"));
    cindra::World& world = game.start();
    Console screen(12, 8);
    cindra::devtools::drawRegionOutlines(screen, world);
    EXPECT_EQ(consoleText(screen, 0, 4, 11, 7), "  +se+      \n"
                                                "  |  |      \n"
                                                "  |  |      \n"
                                                "+first--+   \n");
}
