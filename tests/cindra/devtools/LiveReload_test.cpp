// Reloading a running game on the null platform: the frames are the game's own, the files
// are changed between them as an author's editor would.
#include "support/ScriptWorld.hpp"

#include "cindra/devtools/Inspector.hpp"
#include "cindra/devtools/LiveReload.hpp"
#include "cindra/logic/Component.hpp"
#include "cindra/logic/Entities.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

using cindra::GridPos;
using cindra::test::levelSource;
using cindra::test::ScriptWorld;
using cindra::test::StdoutCapture;

namespace {

// The guard's module holds lib.speech from its first load: it sees a changed speech only if
// the module keeps its table.
constexpr const char* kGuard = R"(
local speech = require "lib.speech"
local M = {}
function M.update(e) ticks = (ticks or 0) + 1 end
function M.think(e) while true do said = speech.word(); coroutine.yield() end end
return M
)";

constexpr const char* kInit = R"(
function initWorld() worlds = (worlds or 0) + 1 end
)";

class Reload : public ::testing::Test {
protected:
    Reload() {
        game.write("config.txt", "reload = true\n");
        game.script("init", kInit);
        game.script("lib.speech", speech("old"));
        game.script("entity.guard", kGuard);
        game.write("maps/intro.level", guardAt(2, 2));
        game.level("intro.cmap", guardAt(2, 2));
    }

    static std::string speech(const std::string& word) {
        return "return { word = function() return '" + word + "' end }\n";
    }
    static std::string guardAt(int x, int y) {
        return levelSource(12, 8,
                           "entity " + std::to_string(x) + " " + std::to_string(y) +
                               " name \"guard\" location script \"entity.guard\"\n");
    }

    // Writes a file as an editor saves it: its time moves on even within the clock's tick.
    void save(const std::string& path, const std::string& text) {
        const bool existed = std::filesystem::exists(path);
        const auto before = existed ? std::filesystem::last_write_time(path)
                                    : std::filesystem::file_time_type::clock::now();
        game.write(path, text);
        std::filesystem::last_write_time(path, before + std::chrono::seconds(1));
    }

    // Frames of the game loop, a quarter second each, so every one polls the files.
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            game.platform().advance(cindra::devtools::LiveReload::kPollSeconds);
            game.game().frame();
        }
    }

    std::string said() {
        lua_getglobal(game.lua(), "said");
        const char* text = lua_tostring(game.lua(), -1);
        std::string value = text != nullptr ? text : "";
        lua_pop(game.lua(), 1);
        return value;
    }
    GridPos position(cindra::logic::Entity e) {
        return game.world().entities().location(e)->getPosition();
    }
    cindra::devtools::LiveReload& reload() { return *game.game().liveReload(); }

    ScriptWorld game;
};

TEST_F(Reload, AChangedModuleRunsAgainInTheRunningGameWithThePlayerWhereItStood) {
    game.start();
    frames(2);
    ASSERT_EQ(said(), "old");
    game.world().entities().location(game.world().getPlayer())->setPosition({7, 3});
    game.world().viewPoint = {1, 1};

    StdoutCapture output;
    save("scripts/lib/speech.lua", speech("new"));
    frames(2);
    EXPECT_EQ(said(), "new");
    EXPECT_EQ(game.number("worlds"), 2) << "initWorld runs again";
    EXPECT_EQ(position(game.world().getPlayer()), (GridPos{7, 3}));
    EXPECT_EQ(game.world().viewPoint, (GridPos{1, 1}));
    EXPECT_EQ(position(game.world().entities().getEntityByName("guard")), (GridPos{2, 2}));
    EXPECT_EQ(output.text(), "Reloaded intro.cmap; modules run again: lib.speech\n");
}

TEST_F(Reload, AFailedReloadKeepsTheGameRunningUntilTheFileIsFixed) {
    game.write("config.txt", "reload = true\ninspector = true\n");
    game.start();
    frames(1);
    const double ticks = game.number("ticks");
    StdoutCapture output;
    save("scripts/lib/speech.lua", speech("new") + "end");
    save("maps/intro.level", guardAt(5, 5) + "bogus\n");
    frames(2);
    EXPECT_EQ(said(), "old");
    EXPECT_GT(game.number("ticks"), ticks) << "the old game goes on";
    EXPECT_TRUE(reload().problem().starts_with(
        "Reload failed; the game goes on as it was:\ncindra.Error: maps/intro.level:"))
        << reload().problem();
    EXPECT_EQ(game.game().inspector()->problem(), reload().problem());

    // Fixing one file is not enough, and the other's change is not forgotten.
    save("maps/intro.level", guardAt(5, 5));
    frames(1);
    EXPECT_TRUE(
        reload().problem().starts_with("Reload failed; the game goes on as it was:\n"
                                       "cindra.logic.LuaError: ./scripts/lib/speech.lua:2:"))
        << reload().problem();
    save("scripts/lib/speech.lua", speech("fixed"));
    frames(2);
    EXPECT_EQ(reload().problem(), "");
    EXPECT_EQ(game.game().inspector()->problem(), "");
    EXPECT_EQ(said(), "fixed");
    EXPECT_EQ(position(game.world().entities().getEntityByName("guard")), (GridPos{5, 5}))
        << "the level source was compiled again";
    const std::string text = output.text();
    EXPECT_NE(text.find("Reloaded intro.cmap; modules run again: lib.speech; levels compiled: "
                        "maps/intro.level\n"),
              std::string::npos)
        << text;
    // A source far larger than any level is refused, not read whole.
    std::filesystem::resize_file("maps/intro.level", std::uintmax_t{17} << 20);
    std::filesystem::last_write_time("maps/intro.level",
                                     std::filesystem::last_write_time("maps/intro.level") +
                                         std::chrono::seconds(5));
    frames(1);
    EXPECT_NE(reload().problem().find("maps/intro.level is larger than 16 MiB"), std::string::npos)
        << reload().problem();
}

TEST_F(Reload, AnErrorWhileTheGameRunsStopsItUntilAReloadSucceeds) {
    game.start();
    frames(1);
    save("scripts/entity/guard.lua", "local M = {}\nfunction M.update(e)\n"
                                     "  Cindra.Entity.setPosition(e)\nend\nreturn M\n");
    {
        StdoutCapture output;
        frames(3);
        EXPECT_TRUE(reload().stopped());
        const std::string text = output.text();
        EXPECT_NE(
            text.find("The game stopped on an error; it goes on at the next reload (F5, or "
                      "save a file):\ncindra.logic.LuaError: Function setPosition called with 1 "
                      "arguments; 2 expected.\n  while running entity.guard.update for "
                      "entity "),
            std::string::npos)
            << text;
        EXPECT_NE(text.find("\n  at scripts/entity/guard.lua:3\n"), std::string::npos) << text;
    }
    const double worldTime = game.clock().getTime();
    frames(2);
    EXPECT_EQ(game.clock().getTime(), worldTime) << "a stopped game does not advance";

    save("scripts/entity/guard.lua", kGuard);
    frames(2);
    EXPECT_FALSE(reload().stopped());
    EXPECT_EQ(said(), "old");
    EXPECT_GT(game.clock().getTime(), worldTime);
}

TEST_F(Reload, F5ReloadsAndAStartUpThatFailedIsMadeAgain) {
    game.script("init", "function initWorld() worlds = (worlds or 0) + 1 end\nerror('no start')");
    game.start();
    EXPECT_TRUE(reload().stopped());
    EXPECT_NE(reload().problem().find("while running the start-up module init"), std::string::npos)
        << reload().problem();
    frames(1);

    game.script("init", kInit); // not saved with a later time: only F5 sees it
    game.input().lastKey = cindra::gui::kKeyF5;
    game.game().frame();
    EXPECT_FALSE(reload().stopped());
    EXPECT_EQ(game.number("worlds"), 1) << "a world made anew, with a fresh Lua state";
    game.input().lastKey = cindra::gui::kKeyF5;
    game.game().frame();
    EXPECT_EQ(game.number("worlds"), 2);
}

TEST(ReloadOff, NothingIsWatchedAndF5MeansNothing) {
    ScriptWorld game;
    game.script("init", kInit);
    game.level("intro.cmap", levelSource(4, 3));
    game.start();
    EXPECT_EQ(game.game().liveReload(), nullptr);
    game.input().lastKey = cindra::gui::kKeyF5;
    game.game().frame();
    EXPECT_EQ(game.number("worlds"), 1);
}

} // namespace
