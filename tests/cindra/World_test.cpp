#include "support/ScriptWorld.hpp"

#include "cindra/Console.hpp"
#include "cindra/Error.hpp"
#include "cindra/logic/Lua.hpp"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>
#include <vector>

using cindra::GridPos;
using cindra::World;
using cindra::test::levelSource;
using cindra::test::ScriptWorld;
using cindra::test::StdoutCapture;

namespace {

// A box that stays open for a given number of frames and marks the console where it draws.
class FakeBox : public cindra::gui::IModalElement {
public:
    FakeBox(int frames, int glyph) : frames_(frames), glyph_(glyph) {}
    void draw(cindra::Console& target) override { target.setChar(0, 0, glyph_); }
    bool update(float) override { return --frames_ > 0; }

private:
    int frames_;
    int glyph_;
};

// Records, in the global log, what ran: the start-up module, initWorld and entity scripts.
constexpr const char* kLogInit = R"(
log = {}
function say(text) log[#log + 1] = text end
say('init regions=' .. tostring(Cindra.Map.getAllRegions()))
function initWorld()
    local p = Cindra.Entity.getEntityByName('player')
    say('initWorld player=' .. p .. ' regions=' .. table.concat(Cindra.Map.getAllRegions() or {}, ','))
end
)";

constexpr const char* kCounter = R"(
local M = {}
updates, resumes, destroyed, inits = 0, 0, {}, {}
function M.init(e, arg) inits[#inits + 1] = e .. ':' .. tostring(arg) end
function M.update(e, dt) updates = updates + 1 end
function M.think(e)
    while true do resumes = resumes + 1 coroutine.yield() end
end
function M.destroy(e) destroyed[#destroyed + 1] = e end
return M
)";

std::string logOf(ScriptWorld& game) {
    game.world().getScriptManager().lua().runString("return table.concat(log, ' | ')", "log", 0, 1,
                                                    true);
    std::string text = lua_tostring(game.lua(), -1);
    lua_pop(game.lua(), 1);
    return text;
}

TEST(World, StartsWithTheInitModuleThenTheMapEntitiesThenThePlayer) {
    ScriptWorld game;
    game.script("init", kLogInit);
    game.script("entity.counter", kCounter);
    game.level("intro.cmap", levelSource(4, 3, R"(
region "start" "here"
  cell 1 1
end
entity 2 1 name "a" location render glyph 'a' color #ff0000 script "entity.counter"
entity 0 0 name "b" script "entity.counter" arg "hello"
)"));
    World& world = game.start();
    EXPECT_EQ(logOf(game), "init regions=nil | initWorld player=3 regions=start");
    EXPECT_EQ(world.getPlayer(), 3);
    EXPECT_EQ(world.getEntities().size(), 3u);
    cindra::logic::Entities& registry = world.entities();
    EXPECT_EQ(registry.getEntityByName("a"), 1);
    EXPECT_EQ(registry.getEntityByName("b"), 2);
    EXPECT_EQ(registry.location(1)->position, (GridPos{2, 1}));
    EXPECT_EQ(registry.render(1)->glyph, 'a');
    EXPECT_EQ(registry.location(2), nullptr);
    EXPECT_EQ(registry.render(3)->glyph, '@');
    EXPECT_EQ(registry.render(3)->color, cindra::Color(255, 255, 255, 255));
    EXPECT_EQ(registry.location(3)->position, (GridPos{0, 0}));
    // init gets the argument only when there is one; think ran up to its first yield.
    game.world().getScriptManager().lua().runString("return table.concat(inits, ' ')", "i", 0, 1,
                                                    true);
    EXPECT_STREQ(lua_tostring(game.lua(), -1), "1:nil 2:hello");
    lua_pop(game.lua(), 1);
    EXPECT_EQ(game.number("resumes"), 2);
}

TEST(World, RunsScriptsOncePerFrameAndHoldsThemWhileABoxIsOpen) {
    ScriptWorld game;
    game.script("init", "frames = 0 function update(dt) frames = frames + 1 last = dt end");
    game.script("entity.counter", kCounter);
    game.level("intro.cmap", levelSource(4, 3, "entity 0 0 script \"entity.counter\"\n"));
    World& world = game.start();
    game.frames(3, 0.25f);
    EXPECT_EQ(game.number("frames"), 3);
    EXPECT_EQ(game.number("last"), 0.25);
    EXPECT_EQ(game.number("updates"), 3);
    EXPECT_EQ(game.number("resumes"), 4); // the first run at attach, then one per frame
    EXPECT_FLOAT_EQ(game.clock().getTime(), 0.75f);

    world.pushModal(std::make_unique<FakeBox>(2, 'B'));
    world.removeEntity(1);
    game.frame();
    EXPECT_EQ(world.modalCount(), 1u);
    EXPECT_FALSE(world.isAlive(1)); // removals still happen
    game.frame();
    EXPECT_EQ(world.modalCount(), 0u);
    EXPECT_EQ(game.number("frames"), 3);
    EXPECT_EQ(game.number("resumes"), 4);
    EXPECT_FLOAT_EQ(game.clock().getTime(), 0.75f);
    game.frame();
    EXPECT_EQ(game.number("frames"), 4);
}

TEST(World, DestroysQueuedEntitiesAtTheEndOfTheFrame) {
    ScriptWorld game;
    game.script("entity.counter", kCounter);
    game.script("init", R"(
function update()
    if victim then
        Cindra.Entity.destroy(victim)
        Cindra.Entity.destroy(victim)
        Cindra.Entity.destroy(12345)
        local p = Cindra.Entity.getPosition(victim)
        seen = p[1] .. ',' .. p[2]
        victim = nil
    end
end
function initWorld()
    victim = Cindra.Entity.create()
    Cindra.Entity.createComponent(victim, 'location')
    Cindra.Entity.setPosition(victim, {1, 2})
    Cindra.Entity.createComponent(victim, 'light')
    Cindra.Entity.setName(victim, 'victim')
    Cindra.Entity.attachScript(victim, 'entity.counter', '')
end
)");
    game.level("intro.cmap", levelSource(4, 3));
    World& world = game.start();
    ASSERT_EQ(world.getMap().getLights().size(), 1u);
    game.frame();
    lua_State* L = game.lua();
    lua_getglobal(L, "seen");
    EXPECT_STREQ(lua_tostring(L, -1), "1,2");
    lua_getglobal(L, "scriptThreads");
    lua_rawgeti(L, -1, 2);
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_getglobal(L, "destroyed");
    lua_rawgeti(L, -1, 1);
    EXPECT_EQ(lua_tointeger(L, -1), 2);
    lua_settop(L, 0);
    EXPECT_FALSE(world.isAlive(2));
    EXPECT_TRUE(world.getMap().getLights().empty());
    EXPECT_EQ(world.entities().getEntityByName("victim"), cindra::logic::kNoEntity);
    EXPECT_EQ(world.entities().location(2), nullptr);
}

TEST(World, ChangesTheMapOnceAtTheEndOfTheFrame) {
    ScriptWorld game;
    game.script("init", R"(
loads = 0
function initWorld() loads = loads + 1 regions = table.concat(Cindra.Map.getAllRegions() or {}, ',') end
function update() if go then go = false Cindra.changeMap('first.cmap') Cindra.changeMap('second.cmap') end end
)");
    game.level("intro.cmap", levelSource(4, 3, "entity 1 1 name \"keeper\" location\n"));
    game.level("second.cmap", levelSource(5, 5, "region \"second\" \"\"\nend\n"));
    World& world = game.start();
    const auto firstPlayer = world.getPlayer();
    world.viewPoint = {3, 3};
    lua_pushboolean(game.lua(), 1);
    lua_setglobal(game.lua(), "go");
    game.frame();
    EXPECT_EQ(game.number("loads"), 2);
    EXPECT_EQ(world.getMap().width(), 5);
    EXPECT_EQ(world.getPlayer(), firstPlayer + 1);
    EXPECT_EQ(world.getEntities().size(), 1u);
    EXPECT_EQ(world.entities().getEntityByName("keeper"), cindra::logic::kNoEntity);
    EXPECT_EQ(world.viewPoint, (GridPos{0, 0}));
    lua_getglobal(game.lua(), "regions");
    EXPECT_STREQ(lua_tostring(game.lua(), -1), "second");
    lua_pop(game.lua(), 1);
}

TEST(World, ReportsAThinkErrorOnOneLineAndGoesOn) {
    ScriptWorld game;
    game.script("entity.faulty", R"(
local M = {}
updates = 0
function M.update(e) updates = updates + 1 end
function M.think(e)
    coroutine.yield()
    error('the well is dry')
end
function M.destroy(e) gone = e end
return M
)");
    game.script("entity.bad",
                "local M = {} function M.think(e) Cindra.Entity.getPosition(e, 1) end return M");
    game.level("intro.cmap", levelSource(4, 3,
                                         "entity 0 0 script \"entity.faulty\"\n"
                                         "entity 0 0 script \"entity.bad\"\n"));
    StdoutCapture capture;
    game.start();
    game.frames(3);
    EXPECT_EQ(capture.text(),
              "entity.bad: Entity 2 has encountered a script error. Function getPosition called "
              "with 2 arguments; 1 expected.\n"
              "entity.faulty: Entity 1 has encountered a script error. "
              "./scripts/entity/faulty.lua:7: the well is dry\n");
    EXPECT_EQ(game.number("updates"), 3);
    game.world().removeEntity(1);
    game.frame();
    EXPECT_EQ(game.number("gone"), 1);
}

TEST(World, LeavesTheLuaStackBalancedOverManyFrames) {
    ScriptWorld game;
    game.script("entity.walker", R"(
local M = {}
function M.update(e, dt) end
function M.think(e)
    while true do
        local p = Cindra.Entity.getPosition(e)
        Cindra.Entity.moveTowards(e, {3, 2})
        coroutine.yield()
    end
end
return M
)");
    game.script("init", "function update(dt) end");
    game.level("intro.cmap", levelSource(4, 3, "entity 0 0 location script \"entity.walker\"\n"));
    game.start();
    game.frames(200);
    EXPECT_EQ(lua_gettop(game.lua()), 0);
    EXPECT_EQ(game.world().entities().location(1)->position, (GridPos{3, 2}));
}

TEST(World, StartUpFailuresNameTheirCause) {
    struct Case {
        const char* init;
        const char* player;
        const char* mapBytes; // null: a valid map
        const char* message;
    };
    const std::vector<Case> cases = {
        {nullptr, "return {}", nullptr, "module 'init' not found"},
        {"error('broken start')", "return {}", nullptr, "./scripts/init.lua:1: broken start"},
        {"", nullptr, nullptr, "module 'entity.player' not found"},
        {"", "", nullptr, "Module entity.player does not return a table of functions."},
        {"", "return {}", "CMAX\1\0\0\0\1\0\0\0\1\0\0\0",
         "File intro.cmap is not a valid map file."},
        {"", "return {}", "CMAP\2\0\0\0\1\0\0\0\1\0\0\0",
         "File intro.cmap has obsolete file format."},
        {"", "return {}", "", "File intro.cmap is not a valid map file."},
    };
    for (const Case& c : cases) {
        ScriptWorld game;
        std::filesystem::remove("scripts/init.lua");
        std::filesystem::remove("scripts/entity/player.lua");
        if (c.init != nullptr) {
            game.script("init", c.init);
        }
        if (c.player != nullptr) {
            game.script("entity.player", c.player);
        }
        if (c.mapBytes != nullptr) {
            game.write("intro.cmap",
                       std::string(c.mapBytes, std::string_view(c.mapBytes).empty() ? 0 : 16));
        } else {
            game.level("intro.cmap", levelSource(2, 2));
        }
        try {
            game.start();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const cindra::Error& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

TEST(World, CentresTheViewWithinTheMap) {
    struct Case {
        int width, height;
        GridPos target, view;
    };
    const std::vector<Case> cases = {
        {200, 150, {10, 10}, {0, 0}},     {200, 150, {150, 100}, {72, 52}},
        {200, 150, {199, 149}, {72, 54}}, {200, 150, {64, 48}, {0, 0}},
        {200, 150, {65, 49}, {1, 1}},     {200, 150, {136, 102}, {72, 54}},
        {100, 100, {70, 10}, {-28, 0}},   {100, 100, {60, 10}, {0, 0}},
    };
    for (const Case& c : cases) {
        ScriptWorld game;
        game.level("intro.cmap", levelSource(c.width, c.height));
        World& world = game.start();
        world.centerViewOn(c.target);
        EXPECT_EQ(world.viewPoint, c.view) << c.width << " " << c.target.toString();
        world.viewPoint = {2, 3};
        EXPECT_EQ(world.mapToView({5, 7}), (GridPos{3, 4}));
    }
}

TEST(World, DrawsMapEntitiesAndBoxesInOrder) {
    ScriptWorld game;
    game.level("intro.cmap", levelSource(3, 2,
                                         "entity 2 1 location render glyph 'a' color #ff0000\n"
                                         "entity 1 1 render glyph 'b' color #00ff00\n"
                                         "entity 9 9 location render glyph 'c' color #0000ff\n"));
    World& world = game.start();
    world.viewPoint = {0, -1};
    cindra::Console console(4, 4);
    for (auto& cell : console.cells) {
        cell.glyph = '?';
    }
    world.render(console);
    std::string rows;
    for (int y = console.height() - 1; y >= 0; --y) {
        for (int x = 0; x < console.width(); ++x) {
            rows += console.at(x, y).glyph == 0 ? ' ' : static_cast<char>(console.at(x, y).glyph);
        }
        rows += '\n';
    }
    // The player stands at (0,0): drawn one row up, like the whole map.
    EXPECT_EQ(rows, "    \n..a \n@.. \n    \n");
    world.pushModal(std::make_unique<FakeBox>(1, 'X'));
    world.pushModal(std::make_unique<FakeBox>(1, 'Y'));
    world.render(console);
    EXPECT_EQ(console.at(0, 0).glyph, 'Y');
    for (int i = 2; i < 16; ++i) {
        world.pushModal(std::make_unique<FakeBox>(1, 'Z'));
    }
    EXPECT_THROW(world.pushModal(std::make_unique<FakeBox>(1, 'Z')), cindra::Error);
    EXPECT_EQ(world.modalCount(), 16u);
}

} // namespace
