// The real game on a folder whose scripts misuse the engine: each misuse is a script error
// or has its sound result, the game draws on, and os.exit ends it with the script's status.
#include "Harness.hpp"
#include "support/LevelText.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cindra::e2e;

namespace {

constexpr const char* kHostile = R"(
local M = {}
function M.think(e)
    print(pcall(Cindra.dialogBox, {-1, -1}, 20, 'q', {'a'}))
    Cindra.Entity.attachScript(Cindra.Entity.create(), 'entity.nest', '')
    local dead = Cindra.Entity.create()
    Cindra.Entity.destroy(dead)
    coroutine.yield()
    coroutine.yield()
    print(select(2, pcall(Cindra.Entity.setName, dead, 'ghost')))
    local _, missing = pcall(require, 'evil')
    print('evil.so tried: ' .. tostring(missing:find('.so', 1, true) ~= nil))
    print('box far away')
    Cindra.textBox({2147483647, 50}, 20, 'far away')
    Cindra.Audio.playSound('chime.wav')
    os.exit(7)
end
return M
)";

constexpr const char* kNest =
    "return {think = function(e) "
    "Cindra.Entity.attachScript(Cindra.Entity.create(), 'entity.nest', '') end}";

TEST(HostileScripts, GetScriptErrorsAndTheGameRunsUntilOsExitEndsIt) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame(
        cindra::test::levelSource(16, 8, "entity 2 2 script \"entity.hostile\"\n"));
    folder.addScript("entity.hostile", kHostile);
    folder.addScript("entity.nest", kNest);
    folder.write("evil.so", "not a library");
    folder.copy(sourceDir() / "game/sounds/chime.wav", "chime.wav");
    GameProcess game(xvfb, folder);
    ASSERT_TRUE(game.waitForLine("box far away")) << game.errorOutput();
    // The box far off the screen is drawn (clipped away) frame after frame until Return.
    game.tapKey("Return");
    EXPECT_EQ(game.wait(), 7) << game.errorOutput();
    EXPECT_EQ(game.errorOutput(), "");
    const std::vector<std::string> expected = {
        "false\tattempt to yield across metamethod/C-call boundary",
        "entity.nest: Entity 200 has encountered a script error. attachScript: scripts attached "
        "while scripts are attached nest deeper than 200 levels.",
        "setName: entity 202 does not exist.",
        "evil.so tried: false",
        "box far away",
    };
    std::vector<std::string> lines = game.outputLines();
    std::erase_if(lines, [](const std::string& l) { return l.rfind("VBOs enabled", 0) == 0; });
    EXPECT_EQ(lines, expected);
}

} // namespace
