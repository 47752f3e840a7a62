#include "support/ScriptWorld.hpp"

#include "cindra/gui/Gui.hpp"
#include "cindra/gui/TextBox.hpp"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

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
    game.input().lastKey = key;
    game.frame(0.25f);
    game.input().lastKey = 0;
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
    world.pushModal(std::make_unique<cindra::gui::TextBox>(game.input(), game.game().random(),
                                                           GridPos{0, 10}, 10, "older"));
    world.pushModal(std::make_unique<cindra::gui::TextBox>(game.input(), game.game().random(),
                                                           GridPos{2, 10}, 10, "newer"));
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

namespace {

// A script that goes wrong on purpose, run on a small level for some frames with every frame
// drawn: what it prints, and what holds of the world afterwards.
struct Hostile {
    const char* what;
    const char* script; // the module entity.hostile, attached to the level's one entity
    const char* init;   // the start-up module
    const char* player; // the module entity.player
    int frames;
    const char* output;
    std::function<bool(ScriptWorld&)> holds;
};

constexpr const char* kIdle = "return {think = function() while true do coroutine.yield() end end}";

std::vector<Hostile> hostileScripts() {
    const auto always = [](ScriptWorld&) { return true; };
    return {
        {"boxes far off the screen are clipped away", R"(
            return {think = function(e)
                Cindra.textBox({2147483647, 50}, 20, 'hello')
                Cindra.textBox({50, 2147483647}, 20, 'hello')
                Cindra.dialogBox({2147483647, 2147483647}, 20, 'q', {'a'})
                print('answered')
            end})",
         "", "return {}", 6, "answered\n", always},
        {"a box that cannot yield is undone", R"(
            return {think = function(e)
                print(pcall(Cindra.dialogBox, {-1, -1}, 20, 'q', {'a'}))
                print(pcall(Cindra.textBox, {-1, -1}, 20, 'q'))
                coroutine.yield()
                print('still thinking')
            end})",
         "", "return {}", 2,
         "false\tattempt to yield across metamethod/C-call boundary\n"
         "false\tattempt to yield across metamethod/C-call boundary\nstill thinking\n",
         [](ScriptWorld& game) { return game.world().modalCount() == 0; }},
        {"box texts are bounded before they are copied", R"(
            return {think = function(e)
                local s, t = string.rep('a', 2^20), {}
                for i = 1, 1e5 do t[i] = s end
                print(select(2, pcall(Cindra.dialogBox, {0, 0}, 20, 'q', t)))
                print(select(2, pcall(Cindra.textBox, {0, 0}, 20, string.rep('a ', 2^19) .. 'a')))
                print(select(2, pcall(Cindra.dialogBox, {0, 0}, 7, 'q', {string.rep('a ', 2^18)})))
                print(select(2, pcall(Cindra.textBox, {0, 0}, 15, string.rep('\n', 2^20))))
                setmetatable(_G, {__index = function(t, k) error('undeclared ' .. k) end})
                scriptThreads = nil
                print(pcall(Cindra.Entity.attachScript, e, 'entity.idle', ''))
                setmetatable(_G, nil)
                scriptThreads = {}
            end})",
         "", "return {}", 1,
         "dialogBox: the box's texts hold 104857700001 bytes; a box holds at most 1048576.\n"
         "textBox: the box's texts hold 1048577 bytes; a box holds at most 1048576.\n"
         "dialogBox: a box of 7 x 262152 cells is too large.\n"
         "textBox: a box of 15 x 1048581 cells is too large.\n"
         "false\tThe global scriptThreads is not a table.\n",
         always},
        {"scripts attached from starting scripts nest only so deep", R"(
            return {think = function(e)
                Cindra.Entity.attachScript(Cindra.Entity.create(), 'entity.hostile', '')
            end})",
         "", "return {}", 1,
         "entity.hostile: Entity 200 has encountered a script error. attachScript: scripts "
         "attached while scripts are attached nest deeper than 200 levels.\n",
         [](ScriptWorld& game) { return game.world().getScriptManager().scriptCount() == 201; }},
        {"a replaced script is released at once", R"(
            return {think = function(e)
                local other = Cindra.Entity.create()
                collectgarbage('collect')
                local before = collectgarbage('count')
                for i = 1, 2000 do Cindra.Entity.attachScript(other, 'entity.idle', '') end
                collectgarbage('collect')
                print(collectgarbage('count') - before < 100)
            end})",
         "", "return {}", 1, "true\n", always},
        {"modules come only from Lua files", R"(
            return {think = function(e)
                local ok, message = pcall(require, 'evil')
                print(ok, package.cpath, #package.loaders, message:find('.so', 1, true))
            end})",
         "", "return {}", 1, "false\t\t2\tnil\n", always},
        {"nothing is given to a handle that is not alive", R"(
            return {think = function(e)
                local dead = Cindra.Entity.create()
                Cindra.Entity.destroy(dead)
                coroutine.yield()
                coroutine.yield()
                for _, call in ipairs{{Cindra.Entity.createComponent, dead, 'render'},
                                      {Cindra.Entity.setName, dead, 'ghost'},
                                      {Cindra.Entity.attachScript, dead, 'entity.idle', ''},
                                      {Cindra.Entity.createComponent, -7, 'location'}} do
                    print(select(2, pcall(unpack(call))))
                end
                print(Cindra.Entity.getEntityByName('ghost'))
            end})",
         "", "return {}", 3,
         "createComponent: entity 2 does not exist.\nsetName: entity 2 does not exist.\n"
         "attachScript: entity 2 does not exist.\ncreateComponent: entity -7 does not exist.\n-1\n",
         [](ScriptWorld& game) { return game.world().getScriptManager().scriptCount() == 2; }},
        {"a destroy that makes and removes an entity lets every frame end", R"(
            return {
                init = function(e) child = child or Cindra.Entity.create() end,
                think = function(e) coroutine.yield() Cindra.Entity.destroy(e) end,
                destroy = function(e)
                    breeds = (breeds or 0) + 1
                    Cindra.Entity.destroy(child)
                    local next = Cindra.Entity.create()
                    Cindra.Entity.attachScript(next, 'entity.hostile', '')
                    Cindra.Entity.destroy(next)
                end})",
         "", "return {}", 5, "",
         [](ScriptWorld& game) {
             // One removal a frame; the child that existed before went in the first frame.
             const auto child = static_cast<cindra::logic::Entity>(game.number("child"));
             return game.number("breeds") == 5 && child == 2 && !game.world().isAlive(child);
         }},
        {"a map change asked while the map changes is dropped", R"(
            return {think = function(e)
                if changed then return end
                changed = true
                coroutine.yield()
                Cindra.changeMap('intro.cmap')
            end})",
         "loads = 0 function initWorld() loads = loads + 1 end",
         "return {destroy = function(e) Cindra.changeMap('intro.cmap') end}", 5, "",
         [](ScriptWorld& game) { return game.number("loads") == 2; }},
    };
}

TEST(ScriptManager, HostileScriptsGetScriptErrorsAndTheGameGoesOn) {
    for (const Hostile& hostile : hostileScripts()) {
        SCOPED_TRACE(hostile.what);
        ScriptWorld game;
        game.script("entity.hostile", hostile.script);
        game.script("entity.idle", kIdle);
        game.script("init", hostile.init);
        game.script("entity.player", hostile.player);
        game.level("intro.cmap", levelSource(4, 3, "entity 0 0 script \"entity.hostile\"\n"));
        StdoutCapture capture;
        game.start();
        cindra::Console screen(128, 96);
        for (int i = 0; i < hostile.frames; ++i) {
            game.world().render(screen);
            press(game, cindra::gui::kKeyReturn);
        }
        game.world().render(screen);
        EXPECT_EQ(capture.text(), hostile.output);
        EXPECT_TRUE(hostile.holds(game));
    }
}

TEST(ScriptManagerDeathTest, OsExitEndsTheGameThroughItsExitHandler) {
    ScriptWorld game;
    game.script("entity.hostile", "return {think = function(e) coroutine.yield() os.exit(3) end}");
    game.level("intro.cmap", levelSource(4, 3, "entity 0 0 script \"entity.hostile\"\n"));
    game.start().getScriptManager().setExitHandler(
        [](int status) { std::fprintf(stderr, "shut down before exit %d\n", status); });
    EXPECT_EXIT(game.frame(), ::testing::ExitedWithCode(3), "shut down before exit 3");
}

} // namespace

namespace {

std::string evaluate(ScriptWorld& game, const std::string& expression) {
    cindra::logic::Lua& lua = game.world().getScriptManager().lua();
    lua.runString("return tostring(" + expression + ")", "check", 0, 1, true);
    std::string value = lua_tostring(lua.state(), -1);
    lua_pop(lua.state(), 1);
    return value;
}

} // namespace

TEST(ScriptManager, ModulesRunAgainInTheTablesTheirHoldersHave) {
    ScriptWorld game;
    game.script("init", "kept = require 'kept'; mixed = require 'mixed'; same = require 'same'");
    game.script("kept", "return setmetatable({ old = 1, f = function() return 'old' end }, {})");
    game.script("mixed", "return 'a text'");
    game.script("same", "Same = Same or { runs = 0 }; Same.runs = Same.runs + 1; return Same");
    game.script("unloaded", "error('never loaded, never run')");
    game.level("intro.cmap", levelSource(4, 3));
    game.start();

    game.script("kept", "return { f = function() return 'new' end }");
    game.script("mixed", "return { 'now a table' }");
    game.script("same", "Same = Same or { runs = 0 }; Same.runs = Same.runs + 1; return Same");
    auto& scripts = game.world().getScriptManager();
    EXPECT_EQ(scripts.reloadModules({"kept", "mixed", "same", "unloaded", "gone"}),
              (std::vector<std::string>{"kept", "mixed", "same"}));
    EXPECT_EQ(evaluate(game, "kept.f() .. ' ' .. tostring(kept.old)"), "new nil");
    EXPECT_EQ(evaluate(game, "getmetatable(kept)"), "nil");
    EXPECT_EQ(evaluate(game, "package.loaded.mixed[1]"), "now a table");
    EXPECT_EQ(evaluate(game, "Same.runs .. ' ' .. tostring(same == Same)"), "2 true");

    // One file that fails keeps every module as it was.
    game.script("kept", "return { f = function() return 'newer' end }");
    game.script("mixed", "return {");
    EXPECT_THROW(scripts.reloadModules({"kept", "mixed"}), cindra::logic::LuaError);
    EXPECT_EQ(evaluate(game, "kept.f()"), "new");
}
