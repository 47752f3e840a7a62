// Reloading in the real executable: a script saved while the game runs changes what it
// shows, without a restart; a script that does not compile leaves the old one running.
#include "Harness.hpp"

#include "support/LevelText.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

using namespace cindra::e2e;
using cindra::util::Image;

namespace {

const cindra::util::Color kWhite(255, 255, 255);

// The lamp shows the glyphs of letters in turn, a new one four times a second.
std::string lampShowing(const std::string& letters) {
    return "local M = {}\nfunction M.update(e)\n"
           "  local letters = '" +
           letters +
           "'\n"
           "  local i = math.floor(Cindra.getWorldTime() * 4) % #letters + 1\n"
           "  Cindra.Entity.setChar(e, string.byte(letters, i))\nend\nreturn M\n";
}

// Walks the player to (5,2) once: a player made again by a reload stays at (0,0) unless the
// game puts it back.
constexpr const char* kPlayer = R"lua(local M = {}
function M.init(e)
    if not placed then
        placed = true
        Cindra.Entity.setPosition(e, {5, 2})
    end
end
return M
)lua";

bool shows(const Image& shot, int glyph, cindra::GridPos at) {
    return findGlyph(shot, glyph, kWhite, at, at) == at;
}

} // namespace

TEST(Reload, ASavedScriptChangesTheRunningGameAndABrokenOneLeavesTheOldRunning) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame(cindra::test::levelSource(
        20, 10,
        "entity 3 4 name \"lamp\" location render glyph '!' color #ffffff script "
        "\"entity.lamp\"\n"));
    folder.addScript("entity.player", kPlayer);
    folder.addScript("entity.lamp", lampShowing("A"));
    folder.write("config.txt", "reload = true\n");
    GameProcess game(xvfb, folder);
    const cindra::GridPos lamp{3, 4};
    const cindra::GridPos player{5, 2};
    EXPECT_TRUE(
        shows(game.screenshotWhen([&](const Image& s) { return shows(s, 'A', lamp); }), 'A', lamp))
        << game.errorOutput();

    const auto saved = std::chrono::steady_clock::now();
    folder.addScript("entity.lamp", lampShowing("B"));
    const Image changed = game.screenshotWhen([&](const Image& s) { return shows(s, 'B', lamp); });
    const auto took = std::chrono::steady_clock::now() - saved;
    EXPECT_TRUE(shows(changed, 'B', lamp));
    EXPECT_TRUE(shows(changed, '@', player)) << "the player stays where it stood";
    EXPECT_EQ(game.waitForLine("Reloaded "), "Reloaded intro.cmap; modules run again: entity.lamp");
    std::cout << "The change showed "
              << std::chrono::duration_cast<std::chrono::milliseconds>(took).count()
              << " ms after the save\n";

    // Two letters in turn, so that the running game can be seen to go on.
    folder.addScript("entity.lamp", lampShowing("CD"));
    game.screenshotWhen([&](const Image& s) { return shows(s, 'D', lamp); });
    folder.addScript("entity.lamp", "return {");
    EXPECT_EQ(game.waitForLine("Reload failed"), "Reload failed; the game goes on as it was:");
    EXPECT_TRUE(game.waitForLine("cindra.logic.LuaError: ./scripts/entity/lamp.lua:1:"));
    for (const int glyph : {'C', 'D'}) {
        EXPECT_TRUE(
            shows(game.screenshotWhen([&](const Image& s) { return shows(s, glyph, lamp); }), glyph,
                  lamp))
            << "the old lamp still turns";
    }

    folder.addScript("entity.lamp", lampShowing("E"));
    EXPECT_TRUE(
        shows(game.screenshotWhen([&](const Image& s) { return shows(s, 'E', lamp); }), 'E', lamp));
    EXPECT_TRUE(shows(game.screenshot(), '@', player));
    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);
    EXPECT_EQ(game.errorOutput(), "");
}
