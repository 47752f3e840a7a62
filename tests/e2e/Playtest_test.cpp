// cindra-playtest's picture of a still scene against the real game's window: a box open over
// a lit level that nothing moves on, decoded cell by cell from both.
#include "Harness.hpp"

#include "cindra/ConsoleRasterizer.hpp"
#include "cindra/util/Png.hpp"
#include "support/LevelText.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace cindra::e2e;
using cindra::util::Image;

namespace {

std::string cellText(const Image& screen, int x, int y) {
    const cindra::DecodedCell c = cindra::decodeCell(screen, x, y, 96, gameFont());
    if (!c.ok) {
        return "undecodable";
    }
    return std::to_string(c.glyph) + " fg " + std::to_string(c.foreground.r) + "," +
           std::to_string(c.foreground.g) + "," + std::to_string(c.foreground.b) + " bg " +
           std::to_string(c.background.r) + "," + std::to_string(c.background.g) + "," +
           std::to_string(c.background.b);
}

TEST(Playtest, AShotOfAStillSceneEqualsTheRealScreenCellForCell) {
    GameFolder folder;
    folder.addMinimalGame(cindra::test::levelSource(
        40, 16, "ambient 40 40 60\nlight 8 8 radius 7 color #ff9040 falloff quadratic\n"));
    folder.addScript("entity.player",
                     "local P = {}\nfunction P.think(self)\ncoroutine.yield()\n"
                     "print('opening')\nCindra.textBox({4, 12}, 30, 'Nothing moves here.')\n"
                     "while true do coroutine.yield() end\nend\nreturn P\n");
    folder.write("still.keys", "wait 10\nshot still.png\n");
    const std::string command = std::string(CINDRA_PLAYTEST) + " " + folder.path().string() + " " +
                                (folder.path() / "still.keys").string() + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const Image shot = cindra::util::readPng((folder.path() / "still.png").string());

    Xvfb xvfb;
    GameProcess game(xvfb, folder);
    ASSERT_TRUE(game.waitForLine("opening", 60s)) << game.errorOutput();
    const Image screen = game.screenshotWhen(
        [](const Image& s) { return cindra::decodeCell(s, 4, 12, 96, gameFont()).glyph == 218; },
        30s);
    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);

    int differing = 0;
    for (int y = 0; y < 96; ++y) {
        for (int x = 0; x < 128; ++x) {
            const std::string expected = cellText(screen, x, y);
            const std::string got = cellText(shot, x, y);
            if (expected != got && ++differing <= 5) {
                ADD_FAILURE() << "cell (" << x << "," << y << "): window " << expected << ", shot "
                              << got;
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

} // namespace
