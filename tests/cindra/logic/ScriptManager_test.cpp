#include "support/ScriptWorld.hpp"

#include "cindra/gui/Gui.hpp"
#include "cindra/gui/TextBox.hpp"

#include <gtest/gtest.h>

#include <string>

using cindra::GridPos;
using cindra::test::levelSource;
using cindra::test::ScriptWorld;
using cindra::test::StdoutCapture;

namespace {

// An asker whose think opens a text box, then a dialog, and records what it got in log.
constexpr const char* kAsker = R"(
local M = {}
log = {}
frames = 0
function M.update(e) frames = frames + 1 end
function M.think(e)
    coroutine.yield()
    log[#log + 1] = 'box at ' .. string.format('%.2f', Cindra.getWorldTime())
    local nothing = Cindra.textBox({-1, -1}, 30, 'The door is locked.')
    log[#log + 1] = 'closed ' .. tostring(nothing)
    local answer = Cindra.dialogBox({-1, -1}, 30, 'Knock?', {'Yes', 'No', 'Leave'})
    log[#log + 1] = 'answer ' .. answer .. ' at ' .. string.format('%.2f', Cindra.getWorldTime())
    while true do coroutine.yield() end
end
return M
)";

std::string logOf(ScriptWorld& game) {
    game.world().getScriptManager().lua().runString("return table.concat(log, '; ')", "log", 0, 1,
                                                    true);
    std::string text = lua_tostring(game.lua(), -1);
    lua_pop(game.lua(), 1);
    return text;
}

void press(ScriptWorld& game, int key) {
    cindra::gui::input().lastKey = key;
    game.frame(0.25f);
    cindra::gui::input().lastKey = 0;
}

TEST(ScriptManager, BoxesHoldTheScriptAndADialogAnswersItsCaller) {
    ScriptWorld game;
    game.script("entity.asker", kAsker);
    game.level("intro.cmap", levelSource(4, 3, "entity 0 0 script \"entity.asker\"\n"));
    cindra::World& world = game.start();
    game.frame(0.25f); // think opens the text box
    EXPECT_EQ(world.modalCount(), 1u);
    EXPECT_EQ(logOf(game), "box at 0.25");
    press(game, 32); // not Return: stays open, nothing advances
    press(game, 0);
    EXPECT_EQ(world.modalCount(), 1u);
    EXPECT_EQ(game.number("frames"), 1);
    EXPECT_FLOAT_EQ(game.clock().getTime(), 0.25f);
    press(game, cindra::gui::kKeyReturn); // closes the box in this frame
    EXPECT_EQ(world.modalCount(), 0u);
    EXPECT_EQ(logOf(game), "box at 0.25");
    game.frame(0.25f); // resumed: opens the dialog
    EXPECT_EQ(logOf(game), "box at 0.25; closed nil");
    EXPECT_EQ(world.modalCount(), 1u);
    press(game, cindra::gui::kKeyDown);
    press(game, cindra::gui::kKeyDown);
    press(game, cindra::gui::kKeyUp);
    press(game, cindra::gui::kKeyReturn);
    EXPECT_EQ(logOf(game), "box at 0.25; closed nil");
    game.frame(0.25f); // the first frame after the dialog closed delivers the answer
    EXPECT_EQ(logOf(game), "box at 0.25; closed nil; answer 1 at 0.75");
    EXPECT_EQ(game.number("frames"), 3);
}

TEST(ScriptManager, BoxesOutsideThinkAndBadDialogsAreScriptErrors) {
    ScriptWorld game;
    game.script("init", R"(
function tryBox() return select(2, pcall(Cindra.textBox, {1, 1}, 20, 'x')) end
)");
    game.script("entity.bad", R"(
local M = {}
function M.think(e)
    coroutine.yield()
    Cindra.dialogBox({1, 1}, 20, 'Which?', {})
end
return M
)");
    game.level("intro.cmap", levelSource(4, 3, "entity 0 0 script \"entity.bad\"\n"));
    cindra::World& world = game.start();
    game.world().getScriptManager().lua().runString("return tryBox()", "try", 0, 1, true);
    EXPECT_STREQ(lua_tostring(game.lua(), -1),
                 "textBox: only an entity's think function can open a box.");
    lua_pop(game.lua(), 1);
    StdoutCapture capture;
    game.frame();
    EXPECT_EQ(capture.text(), "entity.bad: Entity 1 has encountered a script error. dialogBox: a "
                              "dialog needs at least one answer.\n");
    EXPECT_EQ(world.modalCount(), 0u);
}

TEST(ScriptManager, AnAnswerForADestroyedAskerIsDropped) {
    ScriptWorld game;
    game.script("entity.asker", kAsker);
    game.level("intro.cmap", levelSource(4, 3, "entity 0 0 script \"entity.asker\"\n"));
    cindra::World& world = game.start();
    game.frame();
    press(game, cindra::gui::kKeyReturn);
    game.frame(); // the dialog is open
    ASSERT_EQ(world.modalCount(), 1u);
    world.removeEntity(1);
    game.frame(); // removals happen while the dialog is open
    EXPECT_FALSE(world.isAlive(1));
    press(game, cindra::gui::kKeyReturn);
    game.frames(2);
    EXPECT_EQ(world.modalCount(), 0u);
    EXPECT_EQ(logOf(game), "box at 0.05; closed nil");
}

TEST(ScriptManager, OnlyTheNewestOfTwoBoxesTakesKeysAndItIsDrawnOnTop) {
    ScriptWorld game;
    game.level("intro.cmap", levelSource(4, 3));
    cindra::World& world = game.start();
    world.pushModal(std::make_unique<cindra::gui::TextBox>(GridPos{0, 10}, 10, "older"));
    world.pushModal(std::make_unique<cindra::gui::TextBox>(GridPos{2, 10}, 10, "newer"));
    cindra::Console screen(128, 96);
    world.render(screen);
    EXPECT_EQ(screen.at(4, 8).glyph, 'n'); // the newer box's text over the older's
    press(game, cindra::gui::kKeyReturn);
    EXPECT_EQ(world.modalCount(), 1u);
    world.render(screen);
    EXPECT_EQ(screen.at(2, 8).glyph, 'o');
    press(game, cindra::gui::kKeyReturn);
    EXPECT_EQ(world.modalCount(), 0u);
}

} // namespace
