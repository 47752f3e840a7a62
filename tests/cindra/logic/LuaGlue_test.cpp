#include "support/ScriptWorld.hpp"

#include "cindra/logic/Lua.hpp"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>
#include <vector>

using cindra::test::levelSource;
using cindra::test::ScriptWorld;

namespace {

// A 10 x 8 level with a wall at (3,3), two regions and a named, scripted-free entity at (1,1).
constexpr const char* kExtra = R"(
region "pool" "cold water"
  cell 5 5
  cell 6 5
end
region "empty" "nothing"
end
entity 1 1 name "guard" location render glyph 'g' color #102030
)";

class ScriptApi : public ::testing::Test {
protected:
    void SetUp() override {
        game.level("intro.cmap", levelSource(10, 8, kExtra,
                                             "..........\n..........\n..........\n..........\n"
                                             "...#......\n..........\n..........\n..........\n"));
        game.start();
    }

    // Runs code as a chunk in the main state and returns its one result as text.
    std::string eval(const std::string& code) {
        lua_State* L = game.lua();
        game.world().getScriptManager().lua().runString(code, "test", 0, 1, true);
        const char* text = lua_tostring(L, -1);
        std::string result = lua_isboolean(L, -1) ? (lua_toboolean(L, -1) ? "true" : "false")
                             : text != nullptr    ? text
                                                  : lua_typename(L, lua_type(L, -1));
        lua_pop(L, 1);
        return result;
    }
    // The message of the error that call raises (call is a Lua expression).
    std::string errorOf(const std::string& call) {
        return eval("local ok, m = pcall(function() return " + call +
                    " end) return ok and 'no error' or m");
    }

    ScriptWorld game;
};

TEST_F(ScriptApi, RefusesBadCallsWithTheSystemsMessages) {
    struct Case {
        const char* call;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"Cindra.Entity.getPosition(1, 2)",
         "Function getPosition called with 2 arguments; 1 expected."},
        {"Cindra.getWorldTime(nil)", "Function getWorldTime called with 1 arguments; 0 expected."},
        {"Cindra.Entity.setPosition(1, 5)", "Value at 2 is not a GridPos."},
        {"Cindra.Entity.setColor(1, 'red')", "Value at 2 is not a Color."},
        {"Cindra.setAmbientLight('bright')",
         "Lua deserialization: Expected table at position 1, got string!"},
        {"Cindra.setAmbientLight({1, 2})",
         "setAmbientLight needs red, green and blue; got 2 entries."},
        {"Cindra.Map.put({3,4})",
         "Map.put() must be called with two to four arguments: (GridPos, char, fc, bc)."},
        {"Cindra.Map.put({3,4}, 'a', nil, nil, 1)",
         "Map.put() must be called with two to four arguments: (GridPos, char, fc, bc)."},
        {"Cindra.Entity.getPosition('x')",
         "[string \"test\"]:1: bad argument #1 to 'getPosition' (number expected, got string)"},
        {"Cindra.Entity.setPosition(1, {1, 'y'})",
         "[string \"test\"]:1: bad argument #3 to 'setPosition' (number expected, got string)"},
        {"Cindra.Entity.setName(Cindra.Entity.create(), 'guard')",
         "Entity name guard is already taken."},
        {"Cindra.Entity.getPosition(Cindra.Entity.create())",
         "getPosition: entity 4 has no location component."},
        {"Cindra.Entity.getColor(99)", "getColor: entity 99 has no render component."},
        {"Cindra.Entity.setLightRadius(1, 4)", "setLightRadius: entity 1 has no light component."},
        {"Cindra.Entity.createComponent(Cindra.Entity.create(), 'light')",
         "createComponent: entity 5 has no location component."},
        {"Cindra.Entity.moveDirectional(1, 8)", "moveDirectional: 8 is not a direction (0 to 7)."},
        {"Cindra.Entity.moveDirectional(1, -1)",
         "moveDirectional: -1 is not a direction (0 to 7)."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(errorOf(c.call), c.message) << c.call;
    }
}

TEST_F(ScriptApi, ConvertsPositionsColoursAndTexts) {
    // Entity 1 is the guard from the map file, entity 2 the player.
    EXPECT_EQ(eval("local p = Cindra.Entity.getPosition(1) return p[1] .. ',' .. p[2]"), "1,1");
    EXPECT_EQ(eval("local c = Cindra.Entity.getColor(1) return c[1]..','..c[2]..','..c[3]"),
              "16,32,48");
    EXPECT_EQ(eval("Cindra.Entity.setColor(1, {300, -1, 256}) "
                   "local c = Cindra.Entity.getColor(1) return c[1]..','..c[2]..','..c[3]"),
              "44,255,0");
    EXPECT_EQ(eval("return Cindra.Entity.getName(2)"), "player");
    EXPECT_EQ(eval("return Cindra.Entity.getName(Cindra.Entity.create())"), "nil");
    EXPECT_EQ(eval("return Cindra.Entity.getEntityByName('nobody')"), "-1");
    // Results carry the global GridPos as metatable once scripts define it.
    EXPECT_EQ(eval("return getmetatable(Cindra.Entity.getPosition(1)) == nil"), "true");
    EXPECT_EQ(eval("GridPos = {} return getmetatable(Cindra.Entity.getPosition(1)) == GridPos "
                   "and getmetatable(Cindra.Entity.getColor(1)) == GridPos "
                   "and getmetatable(Cindra.getMousePos()) == GridPos"),
              "true");
    EXPECT_EQ(eval("GridPos = 5 return getmetatable(Cindra.Map.getRegionCenter('pool')) == nil"),
              "true");
}

TEST_F(ScriptApi, NamesAreTakenAndFreed) {
    EXPECT_EQ(
        eval("local a, b = Cindra.Entity.create(), Cindra.Entity.create() "
             "Cindra.Entity.setName(a, 'a') Cindra.Entity.setName(a, 'b') "
             "local freed = Cindra.Entity.getEntityByName('a') "
             "Cindra.Entity.setName(b, 'a') "
             "Cindra.Entity.setName(a, '') "
             "return freed .. ',' .. Cindra.Entity.getEntityByName('a') .. ',' .. "
             "tostring(Cindra.Entity.getName(a)) .. ',' .. Cindra.Entity.getEntityByName('b')"),
        "-1,4,nil,-1");
    EXPECT_EQ(errorOf("Cindra.Entity.setName(1, 'guard')"), "Entity name guard is already taken.");
}

TEST_F(ScriptApi, ReadsAndWritesTheMap) {
    EXPECT_EQ(eval("return tostring(Cindra.Map.isWalkable({3,3})) .. "
                   "tostring(Cindra.Map.isWalkable({2,3})) "
                   ".. tostring(Cindra.Map.isWalkable({10,0})) .. "
                   "tostring(Cindra.Map.isTransparent({3,3})) "
                   ".. tostring(Cindra.Map.isTransparent({0,-1}))"),
              "falsetruefalsefalsefalse");
    EXPECT_EQ(
        eval("return Cindra.Map.getChar({3,3}) .. #Cindra.Map.getChar({9,7}) .. "
             "string.byte(Cindra.Map.getChar({10,7})) .. string.byte(Cindra.Map.getChar({-1,0}))"),
        "#100");
    // put changes only what it is given; outside the map nothing happens.
    eval("Cindra.Map.put({4,4}, 'x') Cindra.Map.put({5,4}, nil, nil, {0,0,255}) "
         "Cindra.Map.put({6,4}, nil, {1,2,3}) Cindra.Map.put({99,99}, 'x', 'not a colour') "
         "Cindra.Map.setChar({2,2}, 'hello') Cindra.Map.setChar({2,1}, '') "
         "Cindra.Map.setChar({-5,2}, 'z') "
         "Cindra.Map.setWalkable({0,0}, false) Cindra.Map.setTransparent({0,1}, nil)");
    const cindra::Map& map = game.world().getMap();
    EXPECT_EQ(map.getCell(4, 4).glyph, static_cast<std::uint32_t>('x'));
    EXPECT_EQ(map.getCell(4, 4).background, cindra::Color(0, 0, 0, 255));
    EXPECT_EQ(map.getCell(5, 4).glyph, static_cast<std::uint32_t>('.'));
    EXPECT_EQ(map.getCell(5, 4).background, cindra::Color(0, 0, 255, 255));
    EXPECT_EQ(map.getCell(6, 4).foreground, cindra::Color(1, 2, 3, 255));
    EXPECT_EQ(map.getCell(2, 2).glyph, static_cast<std::uint32_t>('h'));
    EXPECT_EQ(map.getCell(2, 1).glyph, 0u);
    EXPECT_FALSE(map.isWalkable({0, 0}));
    EXPECT_FALSE(cindra::isTransparent(map.getCell(0, 1)));
    EXPECT_EQ(errorOf("Cindra.Map.put({4,4}, 'y', 'red')"), "Value at 3 is not a Color.");
    EXPECT_EQ(map.getCell(4, 4).glyph, static_cast<std::uint32_t>('x')); // nothing was changed
    EXPECT_EQ(eval("Cindra.setAmbientLight({10, 20, 30, 40}) local a = Cindra.getAmbientLight() "
                   "return a[1]..','..a[2]..','..a[3]..','..#a"),
              "10,20,30,3");
}

TEST_F(ScriptApi, ReadsRegionsFromTheMapFile) {
    EXPECT_EQ(eval("return table.concat(Cindra.Map.getAllRegions(), ',')"), "pool,empty");
    EXPECT_EQ(eval("return Cindra.Map.getRegionParameter('pool')"), "cold water");
    EXPECT_EQ(eval("return tostring(Cindra.Map.getRegionParameter('lake'))"), "nil");
    EXPECT_EQ(eval("local c = Cindra.Map.getRegionCells('pool') "
                   "return #c .. ':' .. c[1][1]..','..c[1][2]..' '..c[2][1]..','..c[2][2]"),
              "2:5,5 6,5");
    EXPECT_EQ(eval("return tostring(Cindra.Map.getRegionCells('empty')) .. "
                   "tostring(Cindra.Map.getRegionCells('lake'))"),
              "nilnil");
    EXPECT_EQ(
        eval("local c = Cindra.Map.getRegionCenter('pool') local z = "
             "Cindra.Map.getRegionCenter('lake') return c[1]..','..c[2]..' '..z[1]..','..z[2]"),
        "6,5 0,0");
    EXPECT_EQ(eval("local e = Cindra.Entity.create() "
                   "local before = Cindra.Map.regionContains('pool', 1) "
                   "Cindra.Entity.setPosition(1, {6, 5}) "
                   "return tostring(before) .. tostring(Cindra.Map.regionContains('pool', 1)) .. "
                   "tostring(Cindra.Map.regionContains('lake', 1)) .. "
                   "tostring(Cindra.Map.regionContains('pool', e))"),
              "falsetruefalsefalse");
}

TEST_F(ScriptApi, ReadsTheHeldKeysAsADirection) {
    using namespace cindra::gui;
    struct Case {
        std::vector<int> keys;
        const char* direction;
    };
    const std::vector<Case> cases = {
        {{}, "nil"},
        {{kKeyUp}, "0"},
        {{kKeyUp, kKeyRight}, "1"},
        {{kKeyRight}, "2"},
        {{kKeyDown, kKeyRight}, "3"},
        {{kKeyDown}, "4"},
        {{kKeyDown, kKeyLeft}, "5"},
        {{kKeyLeft}, "6"},
        {{kKeyUp, kKeyLeft}, "7"},
        {{kKeypad9}, "1"},
        {{kKeypad1, kKeyUp}, "5"},
        {{261}, "nil"}, // keypad 5
        {{kKeyLeft, kKeyRight}, "6"},
    };
    for (const Case& c : cases) {
        for (int key : c.keys) {
            game.hold(key);
        }
        EXPECT_EQ(eval("return tostring(Cindra.Input.getInputDirection('ignored', 2))"),
                  c.direction);
        for (int key : c.keys) {
            game.hold(key, false);
        }
    }
    game.hold(kKeyUp);
    EXPECT_EQ(
        eval("return tostring(Cindra.Input.getKeyState(273)) .. "
             "tostring(Cindra.Input.getKeyState(274)) .. "
             "tostring(Cindra.Input.getKeyState(323)) .. tostring(Cindra.Input.getKeyState(-1))"),
        "truefalsefalsefalse");
}

TEST_F(ScriptApi, ChangesLightsThroughTheEntity) {
    eval("Cindra.Entity.createComponent(1, 'light') Cindra.Entity.setLightColor(1, {255, 0, 0}) "
         "Cindra.Entity.setLightRadius(1, 3) Cindra.Entity.setLightFade(1, 100) "
         "Cindra.Entity.setLightFalloff(1, 1) Cindra.Entity.setLightFalloff(1, 0)");
    const auto& lights = game.world().getMap().getLights();
    ASSERT_EQ(lights.size(), 1u);
    EXPECT_EQ(lights[0]->color, cindra::Color(255, 0, 0));
    EXPECT_EQ(lights[0]->getRadius(), 3);
    EXPECT_EQ(lights[0]->fade, 100);
    EXPECT_EQ(lights[0]->getFalloff(), cindra::LightSource::Falloff::Linear);
    EXPECT_NE(errorOf("Cindra.Entity.setLightRadius(1, 0)"), "no error");
    EXPECT_EQ(lights[0]->getRadius(), 3);
    // A second light component replaces the first, whose light leaves the map.
    eval("Cindra.Entity.createComponent(1, 'light')");
    ASSERT_EQ(lights.size(), 1u);
    EXPECT_EQ(lights[0]->getRadius(), 16);
}

TEST_F(ScriptApi, PlaysMusicAndSoundsThroughTheMixer) {
    game.write("chime.wav", "sample");
    game.write("song.wav", "track");
    eval("Cindra.Audio.playSound('chime.wav') Cindra.Audio.playSoundLooped('chime.wav') "
         "Cindra.Audio.playMusic('song.wav') Cindra.Audio.pauseMusic() Cindra.Audio.resumeMusic() "
         "Cindra.Audio.stopMusic()");
    EXPECT_EQ(game.platform().recordingMixer().played(),
              (std::vector<std::string>{"chime.wav", "chime.wav", "song.wav"}));
    EXPECT_EQ(errorOf("Cindra.Audio.playMusic('gone.wav')"),
              "Music file gone.wav could not be loaded.");
    EXPECT_EQ(errorOf("Cindra.Audio.playSound('gone.wav')"), "Could not load sound file gone.wav");
    EXPECT_EQ(errorOf("Cindra.Audio.stopMusic(1)"),
              "Function stopMusic called with 1 arguments; 0 expected.");
}

TEST_F(ScriptApi, PublishesEveryFunctionInItsTable) {
    const std::vector<std::pair<const char*, int>> tables = {
        {"Cindra", 8},      {"Cindra.Entity", 20}, {"Cindra.Input", 2},
        {"Cindra.Map", 13}, {"Cindra.Perlin", 2},  {"Cindra.Audio", 6}};
    int total = 0;
    for (const auto& [name, count] : tables) {
        const std::string code = std::string("local n = 0 for k, f in pairs(package.loaded['") +
                                 name + "']) do if type(f) == 'function' then n = n + 1 end end " +
                                 "return n";
        EXPECT_EQ(eval(code), std::to_string(count)) << name;
        total += count;
    }
    EXPECT_EQ(total, 51);
    EXPECT_EQ(eval("return tostring(Cindra.Perlin == package.loaded['Cindra.Perlin'])"), "true");
    // Noise from the game's generator: zero at whole numbers, the same for the same input.
    EXPECT_EQ(eval("return Cindra.Perlin.noise1D(3) .. ' ' .. Cindra.Perlin.noise2D(2, 5)"), "0 0");
    EXPECT_EQ(eval("return tostring(Cindra.Perlin.noise2D(0.3, 0.7) == "
                   "Cindra.Perlin.noise2D(0.3, 0.7) and Cindra.Perlin.noise2D(0.3, 0.7) ~= 0)"),
              "true");
}

} // namespace
