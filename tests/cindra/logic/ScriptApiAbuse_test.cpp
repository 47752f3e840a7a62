// Every script function called with hostile arguments: too few and too many, wrong types,
// nil, NaN, infinities, the edges of the 32- and 53-bit ranges, unknown, destroyed and
// negative handles, empty and megabyte texts. Each call must end in a Lua error or its result,
// leave both Lua stacks as they were, and leave a world that still updates and draws. The
// calls are generated from the signatures below and the hostile values of each argument kind.
#include "support/ScriptWorld.hpp"
#include "support/StdoutCapture.hpp"

#include "cindra/Console.hpp"
#include "cindra/logic/Lua.hpp"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

using cindra::test::levelSource;
using cindra::test::ScriptWorld;

namespace {

enum Kind { Int, Handle, Float, Text, Bool, Pos, Colour, IntList, TextList, Any };

struct Arg {
    Kind kind;
    const char* fine; // a value the call accepts, for the arguments not under test
};

struct Signature {
    const char* table;
    const char* name;
    std::vector<Arg> args;
    int results; // values pushed by a call that succeeds
};

const Arg kE{Handle, "LIVE"};
const Arg kP{Pos, "{2, 2}"};
const Arg kC{Colour, "{10, 20, 30}"};
const Arg kI{Int, "1"};
const Arg kT{Text, "'x'"};

const std::vector<Signature> kApi = {
    {"Cindra", "getMousePos", {}, 1},
    {"Cindra", "getWorldTime", {}, 1},
    {"Cindra", "getDeltaTime", {}, 1},
    {"Cindra", "textBox", {kP, {Int, "20"}, kT}, 0},
    {"Cindra", "dialogBox", {kP, {Int, "20"}, kT, {TextList, "{'a', 'b'}"}}, 1},
    {"Cindra", "getAmbientLight", {}, 1},
    {"Cindra", "setAmbientLight", {{IntList, "{100, 100, 100}"}}, 0},
    {"Cindra", "changeMap", {{Text, "''"}}, 0},
    {"Cindra.Entity", "create", {}, 1},
    {"Cindra.Entity", "destroy", {{Handle, "DEAD"}}, 0},
    {"Cindra.Entity", "getEntityByName", {kT}, 1},
    {"Cindra.Entity", "getName", {kE}, 1},
    {"Cindra.Entity", "setName", {kE, kT}, 0},
    {"Cindra.Entity", "attachScript", {kE, {Text, "'entity.quiet'"}, {Text, "''"}}, 0},
    {"Cindra.Entity", "createComponent", {kE, {Text, "'render'"}}, 0},
    {"Cindra.Entity", "getPosition", {kE}, 1},
    {"Cindra.Entity", "setPosition", {kE, kP}, 0},
    {"Cindra.Entity", "getSpeed", {kE}, 1},
    {"Cindra.Entity", "setSpeed", {kE, {Float, "1000"}}, 0},
    {"Cindra.Entity", "moveDirectional", {kE, kI}, 0},
    {"Cindra.Entity", "moveTowards", {kE, kP}, 1},
    {"Cindra.Entity", "getColor", {kE}, 1},
    {"Cindra.Entity", "setColor", {kE, kC}, 0},
    {"Cindra.Entity", "setChar", {kE, {Int, "65"}}, 0},
    {"Cindra.Entity", "setLightColor", {kE, kC}, 0},
    {"Cindra.Entity", "setLightRadius", {kE, {Int, "3"}}, 0},
    {"Cindra.Entity", "setLightFalloff", {kE, kI}, 0},
    {"Cindra.Entity", "setLightFade", {kE, {Int, "256"}}, 0},
    {"Cindra.Input", "getInputDirection", {{Any, "nil"}}, 1},
    {"Cindra.Input", "getKeyState", {{Int, "273"}}, 1},
    {"Cindra.Map", "isWalkable", {kP}, 1},
    {"Cindra.Map", "isTransparent", {kP}, 1},
    {"Cindra.Map", "setWalkable", {kP, {Bool, "true"}}, 0},
    {"Cindra.Map", "setTransparent", {kP, {Bool, "true"}}, 0},
    {"Cindra.Map", "getChar", {kP}, 1},
    {"Cindra.Map", "setChar", {kP, {Text, "'#'"}}, 0},
    {"Cindra.Map", "put", {kP, kT, kC, kC}, 0},
    {"Cindra.Map", "getAllRegions", {}, 1},
    {"Cindra.Map", "getRegionParameter", {{Text, "'pool'"}}, 1},
    {"Cindra.Map", "getRegionCells", {{Text, "'pool'"}}, 1},
    {"Cindra.Map", "regionContains", {{Text, "'pool'"}, kE}, 1},
    {"Cindra.Map", "getRegionCenter", {{Text, "'pool'"}}, 1},
    {"Cindra.Map", "setViewPoint", {kP}, 0},
    {"Cindra.Perlin", "noise1D", {{Float, "0.5"}}, 1},
    {"Cindra.Perlin", "noise2D", {{Float, "0.5"}, {Float, "0.5"}}, 1},
    {"Cindra.Audio", "playMusic", {kT}, 0},
    {"Cindra.Audio", "stopMusic", {}, 0},
    {"Cindra.Audio", "pauseMusic", {}, 0},
    {"Cindra.Audio", "resumeMusic", {}, 0},
    {"Cindra.Audio", "playSound", {kT}, 0},
    {"Cindra.Audio", "playSoundLooped", {kT}, 0},
};

// Every kind meets these; each kind adds its own edges. BIG is a megabyte of text.
const std::vector<const char*> kAnyKind = {
    "nil",  "true", "0/0", "1/0", "-1/0",           "2^31", "-2^31-1", "2^53",     "-2^53",
    "2^63", "''",   "BIG", "{}",  "function() end", "'12'", "-0.0",    "LONGINTS", "BIGNL"};
const std::vector<std::vector<const char*>> kKindValues = {
    /* Int */ {"0", "-1", "7", "8", "256", "2^31-1", "-2^31", "0.5", "-2^31+0.5", "1e300"},
    /* Handle */ {"LIVE", "DEAD", "99999", "-1", "0", "2^31-1", "-2^31", "2^32+LIVE", "LIVE+0.5"},
    /* Float */ {"1e300", "-1e300", "1e-45", "3.4e38", "2^24+1", "'2.5'", "0"},
    /* Text */
    {"'x'", "'\\0'", "12", "'intro.cmap'", "'location'", "'light'", "'render'", "'entity.player'",
     "'entity.quiet'", "string.rep('a ', 2^19)"},
    /* Bool */ {"false", "0", "'x'"},
    /* Pos */
    {"{0, 0}", "{2^31-1, 2^31-1}", "{-2^31, -2^31}", "{2^31-1, -2^31}", "{-2^31, 2^31-1}",
     "{2^31, 0}", "{0, -2^31-1}", "{2^53, -2^53}", "{0/0, 1/0}", "{1}", "{'a', 'b'}", "{1, 2, 3}",
     "setmetatable({}, {__index = function() error('no') end})"},
    /* Colour */
    {"{300, -1, 2^53}", "{0/0, 1/0, -1/0}", "{1, 2}", "{'r', 'g', 'b'}", "{255, 255, 255}",
     "{2^31, -2^31-1, 2^63}"},
    /* IntList */
    {"{1, 2}", "{1, 2, 3}", "{2^31, -2^31-1, 0/0}", "{2^53, -2^53, 1/0}", "{1, 2, 'x'}",
     "{1, 2, 3, {}}", "{[1] = 1, [2] = 2, [4] = 4, [2^20] = 5}"},
    /* TextList */
    {"{'a'}", "{BIG}", "{1, 2}", "{{}}", "{'a', nil, 'b'}", "LONGTEXTS", "{BIGNL}"},
    /* Any */ {"LIVE"},
};

constexpr const char* kPrelude = R"(
BIG = string.rep('x', 2^20)
BIGNL = string.rep('\n', 2^20)
LONGINTS, LONGTEXTS = {}, {}
for i = 1, 10000 do LONGINTS[i] = i; LONGTEXTS[i] = 'answer' end
function placed(x, y)
  local e = Cindra.Entity.create()
  for _, kind in ipairs({'location', 'render', 'light'}) do
    Cindra.Entity.createComponent(e, kind)
  end
  Cindra.Entity.setPosition(e, {x, y})
  Cindra.Entity.setSpeed(e, 1/0) -- no delay: every step is taken
  return e
end
function at(e)
  local p = Cindra.Entity.getPosition(e)
  return p[1] .. ',' .. p[2]
end
function outcome(f)
  local ok, v = pcall(f)
  return tostring(v)
end
)";

// Calls at the edges of the ranges, with what each must give (a result, or a text the error
// message holds). The world they leave is drawn for some frames afterwards.
struct Row {
    const char* code;
    const char* expected;
};
const std::vector<Row> kRows = {
    // Steps never wrap around the int range, and the view may be asked to look anywhere.
    {"local e = placed(2^31-1, -2^31) local r = Cindra.Entity.moveTowards(e, {-2^31, 2^31-1}) "
     "return tostring(r) .. ' ' .. at(e)",
     "false 2147483647,-2147483648"},
    {"local s = '' for _, c in ipairs({{2^31-1, 2^31-1}, {-2^31, -2^31}, {2^31-1, -2^31}}) do "
     "local e = placed(c[1], c[2]) for d = 0, 7 do Cindra.Entity.moveDirectional(e, d) end "
     "s = s .. at(e) .. ' ' end return s",
     "2147483647,2147483647 -2147483648,-2147483648 2147483647,-2147483648 "},
    {"local e = placed(-1, 0) Cindra.Entity.moveDirectional(e, 2) return at(e)", "0,0"},
    {"local e = placed(0, 0) for i = 1, 20 do Cindra.Entity.moveTowards(e, {2^31-1, 2^31-1}) end "
     "return at(e)",
     "11,9"},
    {"local e = placed(5, 5) for i = 1, 20 do Cindra.Entity.moveTowards(e, {-2^31, -2^31}) end "
     "Cindra.Map.setViewPoint({-2^31, 2^31-1}) return at(e)",
     "0,0"},
    // A script that guards its globals does not trip over the optional global GridPos.
    {"setmetatable(_G, {__index = function(_, k) error('undeclared ' .. k) end}) "
     "local ok, r = pcall(function() "
     "return at(placed(3, 4)) .. ' ' .. #Cindra.Map.getRegionCells('pool') end) "
     "setmetatable(_G, nil) return r",
     "3,4 2"},
    {"setmetatable(_G, {__index = function(_, k) error('undeclared ' .. k) end}) "
     "local threads = scriptThreads scriptThreads = nil "
     "local ok, m = pcall(Cindra.Entity.attachScript, Cindra.Entity.create(), 'entity.quiet', '') "
     "scriptThreads = threads setmetatable(_G, nil) return m",
     "The global scriptThreads is not a table."},
    // Regions, lights and entities that the map file puts at the edges of the range.
    {"local c = Cindra.Map.getRegionCenter('far') return c[1] .. ',' .. c[2] .. ' ' .. "
     "#Cindra.Map.getRegionCells('far') .. ' ' .. "
     "tostring(Cindra.Map.regionContains('far', Cindra.Entity.getEntityByName('far')))",
     "2147483647,2147483647 3 true"},
    // Numbers an int cannot hold are refused, not wrapped; fractions are dropped.
    {"return Cindra.Entity.getPosition(2^32 + LIVE)",
     "bad argument #1 to 'getPosition' (number out of the 32-bit integer range)"},
    {"Cindra.Entity.setPosition(LIVE, {2^31, 0})",
     "bad argument #3 to 'setPosition' (number out of the 32-bit integer range)"},
    {"Cindra.Entity.setPosition(LIVE, {2.9, -2.9}) return at(LIVE)", "2,-2"},
    {"Cindra.Entity.moveDirectional(LIVE, -2^31-1)", "out of the 32-bit integer range"},
    {"Cindra.setAmbientLight({1, 2, 3, 2^31})",
     "bad argument #2 to 'setAmbientLight' (number out of the 32-bit integer range)"},
    {"Cindra.Entity.setColor(LIVE, {2^40 + 300, 0, 0}) return Cindra.Entity.getColor(LIVE)[1]",
     "44"},
    {"Cindra.Entity.setColor(LIVE, {1, 0/0, 0})", "number has no integer representation"},
    {"return Cindra.Input.getKeyState(2^40)", "false"},
    {"return Cindra.Input.getKeyState(-1/0)", "number has no integer representation"},
    // Glyphs outside the font, radii past the largest, and lights anywhere at any strength.
    {"Cindra.Entity.setChar(LIVE, 256)", "setChar: 256 is not a glyph of the font (0 to 255)."},
    {"Cindra.Entity.setChar(LIVE, -1)", "setChar: -1 is not a glyph of the font (0 to 255)."},
    {"Cindra.Entity.setLightRadius(LIVE, 2^31-1)", "Light radius 2147483647 is outside 1..256"},
    {"for _, c in ipairs({{2^31-1, 2^31-1}, {-2^31, 0}, {4, 4}, {11, -256}}) do "
     "local e = placed(c[1], c[2]) Cindra.Entity.setLightRadius(e, 256) "
     "Cindra.Entity.setLightFade(e, c[2] < 0 and -2^31 or 2^31-1) end "
     "Cindra.setAmbientLight({-2^31, 2^31-1, 0}) return 'lit'",
     "lit"},
};

// A 12 x 10 level with two regions, lights and an entity, some at the edges of the int range.
constexpr const char* kLevelExtra = R"(
region "pool" "cold water"
  cell 5 5
  cell 6 5
end
light 3 3 radius 4 color #ffffff
region "far" "at the edges of the int range"
  cell 2147483647 -2147483648
  cell -2147483648 2147483647
  cell 2147483647 2147483647
end
light 2147483647 -2147483648 radius 256 color #ffffff fade 2147483647
entity -2147483648 2147483647 name "far" location render glyph 'f' color #ffffff
)";

// One sweep's tally. Runs on the state L it is given: the main state, or a think coroutine.
struct Sweep {
    int calls = 0;
    int errors = 0;
};

Sweep* gSweep = nullptr;
lua_State* gMain = nullptr;

// Pushes the value of expression e (evaluated on first use and kept in the global VALUES).
void pushValue(lua_State* L, const char* e) {
    lua_getglobal(L, "VALUES");
    lua_getfield(L, -1, e);
    if (lua_isnil(L, -1) && std::string_view(e) != "nil") {
        lua_pop(L, 1);
        lua_pushfstring(L, "return (%s)", e);
        if (luaL_loadstring(L, lua_tostring(L, -1)) != 0 || lua_pcall(L, 0, 1, 0) != 0) {
            ADD_FAILURE() << e << ": " << lua_tostring(L, -1);
        }
        lua_remove(L, -2);
        lua_pushvalue(L, -1);
        lua_setfield(L, -3, e);
    }
    lua_remove(L, -2);
}

void pushFunction(lua_State* L, const Signature& s) {
    lua_getglobal(L, "package");
    lua_getfield(L, -1, "loaded");
    lua_getfield(L, -1, s.table);
    lua_getfield(L, -1, s.name);
    lua_replace(L, -4);
    lua_pop(L, 2);
}

// What a wrong call must say, when the arguments alone settle it; empty when they do not.
std::string expectedError(const Signature& s, int given, int at, int type) {
    const bool exempt = std::string(s.name) == "getInputDirection" || std::string(s.name) == "put";
    if (given != static_cast<int>(s.args.size()) && !exempt) {
        return "Function " + std::string(s.name) + " called with " + std::to_string(given) +
               " arguments; " + std::to_string(s.args.size()) + " expected.";
    }
    const bool putLeavesAlone = std::string_view(s.name) == "put" && at > 0 && type == LUA_TNIL;
    if (at < 0 || given != static_cast<int>(s.args.size()) || type == LUA_TTABLE ||
        putLeavesAlone) {
        return "";
    }
    const Kind kind = s.args[static_cast<std::size_t>(at)].kind;
    const std::string index = std::to_string(at + 1);
    if (kind == Pos || kind == Colour) {
        return "Value at " + index + " is not a " + (kind == Pos ? "GridPos." : "Color.");
    }
    if (kind == IntList || kind == TextList) {
        return "Lua deserialization: Expected table at position " + index;
    }
    const bool noNumber = type != LUA_TNUMBER && type != LUA_TSTRING;
    if ((kind == Int || kind == Handle || kind == Float || kind == Text) && noNumber) {
        return "bad argument #" + index;
    }
    return "";
}

// Pushes s's fine arguments with value at argument `at` (none when at < 0), `given` of them
// in all (missing ones left out, extra ones nil); the Lua type of value.
int pushArgs(lua_State* L, const Signature& s, int given, int at, const char* value) {
    int type = LUA_TNONE;
    for (int i = 0; i < given; ++i) {
        const bool known = i < static_cast<int>(s.args.size());
        pushValue(L, i == at ? value : known ? s.args[static_cast<std::size_t>(i)].fine : "nil");
        type = i == at ? lua_type(L, -1) : type;
    }
    return type;
}

std::string describe(const Signature& s, int given, int at, const char* value) {
    return std::string(s.name) + " #" + std::to_string(at + 1) + " = " +
           std::string(value).substr(0, 40) + " (" + std::to_string(given) + " arguments)";
}

// Calls s as pushArgs has it, protected, on L.
void call(lua_State* L, const Signature& s, int given, int at, const char* value) {
    const int mainTop = lua_gettop(gMain);
    const int top = lua_gettop(L);
    pushFunction(L, s);
    const int type = pushArgs(L, s, given, at, value);
    const std::string what = describe(s, given, at, value);
    const int status = lua_pcall(L, given, LUA_MULTRET, 0);
    const int pushed = lua_gettop(L) - top;
    if (status == 0) {
        EXPECT_EQ(pushed, s.results) << what;
    } else {
        ++gSweep->errors;
        ASSERT_EQ(pushed, 1) << what;
        ASSERT_TRUE(lua_isstring(L, -1)) << what;
    }
    const std::string expected = expectedError(s, given, at, type);
    if (!expected.empty()) {
        const char* message = status != 0 ? lua_tostring(L, -1) : "(no error)";
        EXPECT_NE(std::string(message).find(expected), std::string::npos)
            << what << ": " << std::string(message).substr(0, 200);
    }
    lua_settop(L, top);
    EXPECT_EQ(lua_gettop(gMain), mainTop) << what;
    ++gSweep->calls;
}

bool isBox(const Signature& s) {
    return std::string_view(s.name) == "textBox" || std::string_view(s.name) == "dialogBox";
}

// Every call of s: too few and too many arguments, then every argument with every hostile
// value of its kind; visit(given, at, value).
template <typename Visit> void forEachCall(const Signature& s, Visit visit) {
    const int n = static_cast<int>(s.args.size());
    if (n > 0) {
        visit(n - 1, -1, "");
    }
    visit(n + 1, -1, "");
    for (int at = 0; at < n; ++at) {
        std::vector<const char*> values = kKindValues[s.args[static_cast<std::size_t>(at)].kind];
        values.insert(values.end(), kAnyKind.begin(), kAnyKind.end());
        for (const char* value : values) {
            visit(n, at, value);
        }
    }
}

// The calls of every function but the boxes, which yield (and pcall cannot yield) unless
// withBoxes: then they are called too, and must fail.
void sweep(lua_State* L, bool withBoxes) {
    for (const Signature& s : kApi) {
        if (!isBox(s) || withBoxes) {
            forEachCall(
                s, [&](int given, int at, const char* value) { call(L, s, given, at, value); });
        }
    }
}

int sweepFromThink(lua_State* L) {
    sweep(L, false);
    return 0;
}

class ScriptApiAbuse : public ::testing::Test {
protected:
    void SetUp() override {
        game.level("intro.cmap", levelSource(12, 10, kLevelExtra));
        game.script("entity.quiet", "return {}");
        game.script("entity.sweeper", "return { think = function(e) coroutine.yield() "
                                      "sweepFromThink() Cindra.changeMap('') end }");
        game.script("entity.boxer",
                    "return { think = function(e) coroutine.yield() "
                    "local c = BOX BOX = nil ANSWER = c.f(unpack(c, 1, c.n)) end }");
        game.start();
        gMain = game.lua();
        gSweep = &tally;
        lua_register(gMain, "sweepFromThink", sweepFromThink);
        run(kPrelude);
        makeTargets();
    }
    void TearDown() override { gSweep = nullptr; }

    void run(const std::string& code) {
        game.world().getScriptManager().lua().runString(code, "abuse", 0, 0, true);
    }
    // A fresh live entity with every component, and one destroyed a frame ago; the values
    // are evaluated afresh, since they name them.
    void makeTargets() {
        run("VALUES = {} LIVE = placed(2, 2) DEAD = Cindra.Entity.create() "
            "Cindra.Entity.destroy(DEAD)");
        EXPECT_EQ(frames(1), 0);
    }
    // Frames with a render after each, so a fault that waits for drawing shows too; what
    // they print (script error reports) is dropped. The number of frames that changed the
    // main state's stack.
    int frames(int count) {
        int unbalanced = 0;
        cindra::test::capturedStdout([&] {
            for (int i = 0; i < count; ++i) {
                const int top = lua_gettop(gMain);
                game.frame();
                game.world().render(screen);
                unbalanced += lua_gettop(gMain) != top ? 1 : 0;
            }
        });
        return unbalanced;
    }

    ScriptWorld game;
    cindra::Console screen{128, 96};
    Sweep tally;
};

TEST_F(ScriptApiAbuse, HostileArgumentsEndInAnErrorOrAResult) {
    sweep(gMain, true); // outside think the boxes can only fail
    run("Cindra.changeMap('')");
    EXPECT_EQ(frames(3), 0);
    const int fromMain = tally.calls;
    EXPECT_GT(fromMain, 1500);
    EXPECT_GT(tally.errors, fromMain / 2);

    makeTargets();
    run("Cindra.Entity.attachScript(Cindra.Entity.create(), 'entity.sweeper', '')");
    EXPECT_EQ(frames(3), 0);
    run("Cindra.changeMap('')");
    EXPECT_EQ(frames(3), 0);
    int boxCalls = 0;
    for (const Signature& s : kApi) {
        forEachCall(s, [&](int, int, const char*) { boxCalls += isBox(s) ? 1 : 0; });
    }
    EXPECT_EQ(tally.calls, 2 * fromMain - boxCalls);
}

TEST_F(ScriptApiAbuse, TheEdgesOfTheRangesGiveResultsThatMakeSense) {
    auto outcome = [&](const std::string& code) {
        game.world().getScriptManager().lua().runString(
            "return outcome(function() " + code + " end)", "row", 0, 1, true);
        const std::string result = lua_tostring(gMain, -1);
        lua_pop(gMain, 1);
        return result;
    };
    for (const Row& row : kRows) {
        const std::string result = outcome(row.code);
        EXPECT_NE(result.find(row.expected), std::string::npos) << row.code << "\n" << result;
    }
    EXPECT_EQ(frames(5), 0);
    // The last handle works like any other, and then there are no more.
    game.world().setLastEntity(std::numeric_limits<std::int32_t>::max() - 1);
    EXPECT_EQ(outcome("local e = placed(1, 1) Cindra.Entity.attachScript(e, 'entity.quiet', '') "
                      "Cindra.Entity.destroy(e) return e"),
              "2147483647");
    EXPECT_EQ(outcome("return Cindra.Entity.create()"), "No entity handles are left.");
    EXPECT_EQ(frames(2), 0);
    EXPECT_FALSE(game.world().isAlive(std::numeric_limits<std::int32_t>::max()));
}

// The boxes from think, one entity per call: a box that opens is drawn, its marker moved and
// answered, and the game goes on.
TEST_F(ScriptApiAbuse, HostileBoxesFromThinkOpenAndCloseOrFail) {
    int opened = 0;
    for (const Signature& s : kApi) {
        if (!isBox(s)) {
            continue;
        }
        forEachCall(s, [&](int given, int at, const char* value) {
            lua_State* L = gMain;
            lua_createtable(L, given, 2);
            pushFunction(L, s);
            lua_setfield(L, -2, "f");
            lua_pushinteger(L, given);
            lua_setfield(L, -2, "n");
            const int table = lua_gettop(L);
            pushArgs(L, s, given, at, value);
            for (int i = lua_gettop(L); i > table; --i) {
                lua_rawseti(L, table, i - table);
            }
            lua_setglobal(L, "BOX");
            run("ANSWER = nil "
                "Cindra.Entity.attachScript(Cindra.Entity.create(), 'entity.boxer', '')");
            int unbalanced = frames(1);
            const bool open = game.world().modalCount() > 0;
            opened += open ? 1 : 0;
            for (int key : {274, 273, 274, 13, 13, 0}) {
                game.input().lastKey = key;
                unbalanced += frames(1);
            }
            game.input().lastKey = 0;
            EXPECT_EQ(game.world().modalCount(), 0u) << describe(s, given, at, value);
            EXPECT_EQ(unbalanced, 0) << describe(s, given, at, value);
            if (open && std::string_view(s.name) == "dialogBox") {
                // Down, up, down and Return: the second answer, or the first of one.
                lua_getglobal(L, "ANSWER");
                const bool number = lua_type(L, -1) == LUA_TNUMBER;
                lua_pop(L, 1);
                EXPECT_TRUE(number) << describe(s, given, at, value);
                EXPECT_LE(game.number("ANSWER"), 1) << describe(s, given, at, value);
                EXPECT_GE(game.number("ANSWER"), 0) << describe(s, given, at, value);
            }
            ++tally.calls;
        });
    }
    EXPECT_GT(opened, 10);
    EXPECT_LT(opened, tally.calls / 2);
}

} // namespace
