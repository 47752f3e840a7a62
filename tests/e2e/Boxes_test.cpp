// Text and dialog boxes, music and sound in the real executable: a box at its exact cells
// that Return closes, a dialog answered with the keys, and audio errors a game survives.
#include "Harness.hpp"

#include "cindra/ConsoleRasterizer.hpp"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using namespace cindra::e2e;
using cindra::GridPos;
using cindra::util::Color;
using cindra::util::Image;

namespace {

const Color kFrame(130, 70, 30);

// A player whose think runs body once, a frame after the start, then idles.
std::string playerRunning(const std::string& body) {
    return "local P = {}\nfunction P.think(self)\ncoroutine.yield()\n" + body +
           "\nwhile true do coroutine.yield() end\nend\nreturn P\n";
}

// The glyph at console cell p of the screen, or -1 when the cell does not decode.
int glyphAt(const Image& screen, GridPos p) {
    const auto cell = cindra::decodeCell(screen, p.x, p.y, 96, gameFont());
    return cell.ok ? cell.glyph : -1;
}

TEST(Boxes, ATextBoxStandsAtItsCellsUntilReturn) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    folder.addScript("entity.player",
                     playerRunning("print('opening')\nCindra.textBox({10, 60}, 20, 'Hello there')\n"
                                   "print('closed')"));
    GameProcess game(xvfb, folder);
    ASSERT_TRUE(game.waitForLine("opening", 60s)) << game.errorOutput();
    // 20 wide, one line of text: 5 high, its top row 60, so its bottom-left cell is (10,56).
    const Image open = game.screenshotWhen(
        [](const Image& s) {
            return findGlyph(s, 218, kFrame, {10, 60}, {10, 60}).has_value();
        },
        30s);
    const std::vector<std::pair<GridPos, int>> cells = {
        {{10, 60}, 218}, {{29, 60}, 191}, {{10, 56}, 192}, {{29, 56}, 217},
        {{11, 60}, 196}, {{10, 58}, 179}, {{12, 58}, 'H'}, {{22, 58}, 'e'},
        {{9, 58}, 0},    {{30, 58}, 0},   {{12, 61}, 0},   {{12, 55}, 0}};
    for (const auto& [p, glyph] : cells) {
        EXPECT_EQ(glyphAt(open, p), glyph) << p.toString();
    }
    EXPECT_FALSE(game.waitForLine("closed", 1s));
    game.tapKey("Return");
    ASSERT_TRUE(game.waitForLine("closed", 30s));
    const Image closed = game.screenshotWhen(
        [](const Image& s) {
            return glyphAt(s, {10, 60}) == 0;
        },
        30s);
    EXPECT_EQ(glyphAt(closed, {12, 58}), 0);
    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);
}

TEST(Boxes, ADialogHandsTheChosenAnswerToItsScript) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    folder.addScript(
        "entity.player",
        playerRunning("print('asking')\n"
                      "local a = Cindra.dialogBox({-1, -1}, 30, 'Pick', {'A', 'B', 'C'})\n"
                      "print('answer ' .. a)"));
    GameProcess game(xvfb, folder);
    ASSERT_TRUE(game.waitForLine("asking", 60s)) << game.errorOutput();
    // 30 wide and 12 high, centred at (49,42); answers on rows 6, 4 and 2 of the box, the
    // marker two columns in.
    const auto markerOn = [](int row) {
        return [row](const Image& s) { return glyphAt(s, {51, 42 + row}) == 26; };
    };
    ASSERT_TRUE(markerOn(6)(game.screenshotWhen(markerOn(6), 30s)));
    // Up wraps round to the last answer, Down back to the first and on to the second; each
    // tap moves the marker once, and a second later, well past SDL's key-repeat delay, it
    // still stands where the last tap left it.
    for (const auto& [key, row] :
         {std::pair{"Up", 2}, std::pair{"Down", 6}, std::pair{"Down", 4}}) {
        game.tapKey(key);
        ASSERT_TRUE(markerOn(row)(game.screenshotWhen(markerOn(row), 30s))) << key << " " << row;
    }
    std::this_thread::sleep_for(1s);
    const Image moved = game.screenshot();
    ASSERT_TRUE(markerOn(4)(moved));
    EXPECT_NE(glyphAt(moved, {51, 48}), 26);
    EXPECT_EQ(glyphAt(moved, {53, 46}), 'B');
    game.tapKey("Return");
    EXPECT_EQ(game.waitForLine("answer ", 30s), "answer 1");
    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);
}

TEST(Boxes, AudioErrorsAreScriptErrorsAndTheGameGoesOn) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    folder.copy(sourceDir() / "game/sounds/chime.wav", "chime.wav");
    folder.addScript("entity.player",
                     playerRunning("Cindra.Audio.playSound('chime.wav')\nprint('chimed')\n"
                                   "Cindra.Audio.playMusic('missing.ogg')"));
    GameProcess game(xvfb, folder);
    ASSERT_TRUE(game.waitForLine("chimed", 60s)) << game.errorOutput();
    EXPECT_EQ(game.waitForLine("entity.player: ", 30s),
              "entity.player: Entity 1 has encountered a script error. Music file missing.ogg "
              "could not be loaded.");
    game.sendKeys({"Escape"});
    EXPECT_TRUE(game.waitForLine("Average FPS: ", 30s));
    EXPECT_EQ(game.wait(), 0);
    EXPECT_EQ(game.errorOutput(), "");
}

} // namespace
