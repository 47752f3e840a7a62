// The script API under arbitrary calls: the input is a program of operations on a headless
// world of two small levels. An operation calls one of the 51 functions, from the main state
// or from a think coroutine of its own, with arguments made from the input (numbers at the
// edges of their ranges, NaN and infinities, texts up to a megabyte, positions, colours,
// lists, handles of live, destroyed and never-made entities, nil); or it runs a frame with a
// key (boxes are answered with Return, up and down); every frame is drawn. A call must end in
// a result or a Lua error, leave the Lua stacks balanced, and leave a world that goes on.
#include "FuzzSupport.hpp"

#include "support/ScriptWorld.hpp"

#include "cindra/Console.hpp"
#include "cindra/Error.hpp"
#include "cindra/level/LevelSource.hpp"
#include "cindra/logic/Lua.hpp"

#include <fuzzer/FuzzedDataProvider.h>
#include <lua.hpp>

#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace cindra;

namespace {

// Each function with its arguments' kinds: I int, E entity, F float, T text, B bool,
// P position, C colour, L list of ints, S list of texts, A anything.
struct Function {
    const char* table;
    const char* name;
    const char* kinds;
};

constexpr std::array<Function, 51> kApi{{
    {"Cindra", "getMousePos", ""},
    {"Cindra", "getWorldTime", ""},
    {"Cindra", "getDeltaTime", ""},
    {"Cindra", "textBox", "PIT"},
    {"Cindra", "dialogBox", "PITS"},
    {"Cindra", "getAmbientLight", ""},
    {"Cindra", "setAmbientLight", "L"},
    {"Cindra", "changeMap", "T"},
    {"Cindra.Entity", "create", ""},
    {"Cindra.Entity", "destroy", "E"},
    {"Cindra.Entity", "getEntityByName", "T"},
    {"Cindra.Entity", "getName", "E"},
    {"Cindra.Entity", "setName", "ET"},
    {"Cindra.Entity", "attachScript", "ETT"},
    {"Cindra.Entity", "createComponent", "ET"},
    {"Cindra.Entity", "getPosition", "E"},
    {"Cindra.Entity", "setPosition", "EP"},
    {"Cindra.Entity", "getSpeed", "E"},
    {"Cindra.Entity", "setSpeed", "EF"},
    {"Cindra.Entity", "moveDirectional", "EI"},
    {"Cindra.Entity", "moveTowards", "EP"},
    {"Cindra.Entity", "getColor", "E"},
    {"Cindra.Entity", "setColor", "EC"},
    {"Cindra.Entity", "setChar", "EI"},
    {"Cindra.Entity", "setLightColor", "EC"},
    {"Cindra.Entity", "setLightRadius", "EI"},
    {"Cindra.Entity", "setLightFalloff", "EI"},
    {"Cindra.Entity", "setLightFade", "EI"},
    {"Cindra.Input", "getInputDirection", "A"},
    {"Cindra.Input", "getKeyState", "I"},
    {"Cindra.Map", "isWalkable", "P"},
    {"Cindra.Map", "isTransparent", "P"},
    {"Cindra.Map", "setWalkable", "PB"},
    {"Cindra.Map", "setTransparent", "PB"},
    {"Cindra.Map", "getChar", "P"},
    {"Cindra.Map", "setChar", "PT"},
    {"Cindra.Map", "put", "PTCC"},
    {"Cindra.Map", "getAllRegions", ""},
    {"Cindra.Map", "getRegionParameter", "T"},
    {"Cindra.Map", "getRegionCells", "T"},
    {"Cindra.Map", "regionContains", "TE"},
    {"Cindra.Map", "getRegionCenter", "T"},
    {"Cindra.Map", "setViewPoint", "P"},
    {"Cindra.Perlin", "noise1D", "F"},
    {"Cindra.Perlin", "noise2D", "FF"},
    {"Cindra.Audio", "playMusic", "T"},
    {"Cindra.Audio", "stopMusic", ""},
    {"Cindra.Audio", "pauseMusic", ""},
    {"Cindra.Audio", "resumeMusic", ""},
    {"Cindra.Audio", "playSound", "T"},
    {"Cindra.Audio", "playSoundLooped", "T"},
}};

// clang-format off
// Texts that mean something to the game, so calls reach past the lookups.
constexpr std::array<const char*, 18> kWords{
    "", "a.cmap", "b.cmap", "missing.cmap", "location", "render", "light", "player", "guard",
    "far", "pool", "edge", "entity.thinker", "entity.boxer", "entity.player", "x", "\n\n\n", "12"};

// Numbers at the edges: of the 32-bit range, of exact doubles, of floats, of the font.
constexpr std::array<double, 16> kNumbers{
    0, 1, -1, 7, 8, 255, 256, 2147483647.0, -2147483648.0, 2147483648.0, -2147483649.0,
    9007199254740992.0, -9007199254740992.0, 1e300, 0.5, 3.4e38};
// clang-format on

// The levels: a 12 x 10 and a 20 x 6 map with a wall, regions, lights and entities, the second
// with some at the edges of the int range.
constexpr const char* kLevelA = R"(
region "pool" "cold water"
  cell 5 5
  cell 6 5
end
light 3 3 radius 4 color #ffcc88
entity 1 1 name "guard" location render glyph 'g' color #102030 script "entity.thinker"
)";
constexpr const char* kLevelB = R"(
region "pool" "shallow"
  cell 0 0
end
region "edge" ""
  cell 19 5
end
light 18 1 radius 8 color #4488ff
entity 19 5 location render glyph 'h' color #ff0000
region "far" ""
  cell 2147483647 -2147483648
  cell -2147483648 2147483647
end
light -2147483648 2147483647 radius 256 color #ffffff fade 2147483647
entity 2147483647 -2147483648 name "far" location render glyph 'f' color #ffffff
)";

constexpr const char* kPrelude = R"(
BIG = string.rep('x ', 2^19)
CALLS = {}
)";

// A think that makes one call of its own (which may open a box and wait for it), at once
// inside attachScript or in the next frame's resumption, then idles.
constexpr const char* kBoxer = R"(return { think = function(e)
  local c = CALLS[e]
  CALLS[e] = nil
  if c and not c.early then coroutine.yield() end
  if c then ANSWER = c.f(unpack(c, 1, c.n)) end
  while true do coroutine.yield() end
end })";
// A think that walks its entity about, so steps and lights run every frame.
constexpr const char* kThinker = R"(return { think = function(e)
  while true do
    Cindra.Entity.moveDirectional(e, Cindra.Input.getInputDirection() or 0)
    coroutine.yield()
  end
end })";

// The two levels' map files, compiled once.
const std::pair<std::string, std::string>& levels() {
    static const auto compiled = [] {
        auto encode = [](const std::string& source) {
            const level::Level level = level::parseLevel(source, "fuzz.level");
            return level::encodeLevel(level.map, level.entities);
        };
        return std::pair(encode(test::levelSource(12, 10, kLevelA,
                                                  "............\n............\n............\n"
                                                  "............\n.....#......\n............\n"
                                                  "............\n............\n............\n"
                                                  "............\n")),
                         encode(test::levelSource(20, 6, kLevelB)));
    }();
    return compiled;
}

class Program {
public:
    explicit Program(FuzzedDataProvider& input) : in_(input) {}

    // Runs operations until the input is used up; a cindra::Error out of a frame (a map that
    // cannot be loaded, say) is the engine's answer and ends the program.
    void run() {
        game_.write("a.cmap", levels().first);
        game_.write("b.cmap", levels().second);
        game_.script("entity.boxer", kBoxer);
        game_.script("entity.thinker", kThinker);
        try {
            game_.start("a.cmap");
            L_ = game_.lua();
            game_.world().getScriptManager().lua().runString(kPrelude, "fuzz", 0, 0, true);
            for (int op = 0; op < 64 && in_.remaining_bytes() > 0; ++op) {
                step();
            }
            for (int i = 0; i < 4; ++i) {
                frame(13); // answer what is still open
            }
        } catch (const Error&) {
        }
    }

private:
    void step() {
        const int op = in_.ConsumeIntegralInRange(0, 7);
        if (op == 7) {
            tamper();
            return;
        }
        if (op >= 5) {
            const std::array<int, 6> keys{0, 13, 273, 274, 27, 271};
            const int key = keys[in_.ConsumeIntegralInRange<std::size_t>(0, keys.size() - 1)];
            if (in_.ConsumeBool()) {
                game_.hold(in_.ConsumeIntegralInRange(0, 322), in_.ConsumeBool());
            }
            frame(key);
            return;
        }
        const Function& f = kApi[in_.ConsumeIntegralInRange<std::size_t>(0, kApi.size() - 1)];
        if (op >= 3) {
            callFromThink(f);
        } else {
            callFromMain(f);
        }
    }

    // What scripts can do to the engine's Lua surroundings.
    void tamper() {
        static constexpr std::array<const char*, 9> kTampering{
            "GridPos = {__index = function() error('no field') end}",
            "GridPos = setmetatable({}, {__index = function() error('no field') end})",
            "setmetatable(_G, {__index = function(_, k) error('undeclared ' .. k) end})",
            "setmetatable(_G, nil)",
            "package.loaded['entity.boxer'] = nil",
            "package.loaded['entity.thinker'] = 5",
            "function update() Cindra.Entity.destroy(Cindra.Entity.create()) end",
            "function initWorld() Cindra.changeMap('b.cmap') end",
            "collectgarbage() update = nil initWorld = nil",
        };
        const char* code =
            kTampering[in_.ConsumeIntegralInRange<std::size_t>(0, kTampering.size() - 1)];
        const int top = lua_gettop(L_);
        if (luaL_loadstring(L_, code) != 0 || lua_pcall(L_, 0, 0, 0) != 0) {
            fuzz::finding("a tampering chunk failed");
        }
        if (lua_gettop(L_) != top) {
            fuzz::finding("a tampering chunk changed the main state's stack");
        }
    }

    void frame(int key) {
        game_.input().lastKey = key;
        const int top = lua_gettop(L_);
        game_.frame(in_.ConsumeBool() ? 0.05f : 0.0f);
        game_.input().lastKey = 0;
        game_.world().render(screen_);
        if (lua_gettop(L_) != top) {
            fuzz::finding("a frame changed the main state's stack");
        }
    }

    void callFromMain(const Function& f) {
        const int top = lua_gettop(L_);
        pushFunction(f);
        const int given = pushArguments(f);
        const int status = lua_pcall(L_, given, LUA_MULTRET, 0);
        const int pushed = lua_gettop(L_) - top;
        if (pushed > 1 || (status != 0 && (pushed != 1 || !lua_isstring(L_, -1)))) {
            fuzz::finding("a call left more than its result, or an error that is not a text");
        }
        lua_settop(L_, top);
    }

    // A new entity whose think makes the call, at once inside attachScript.
    void callFromThink(const Function& f) {
        if (game_.world().lastEntity() == std::numeric_limits<std::int32_t>::max()) {
            return; // no handle is left for the caller
        }
        const int top = lua_gettop(L_);
        const int handle = game_.world().lastEntity() + 1;
        lua_getglobal(L_, "CALLS");
        lua_createtable(L_, 0, 2);
        pushFunction(f);
        lua_setfield(L_, -2, "f");
        const int table = lua_gettop(L_);
        const int given = pushArguments(f);
        for (int i = given; i >= 1; --i) {
            lua_rawseti(L_, table, i);
        }
        lua_pushinteger(L_, given);
        lua_setfield(L_, table, "n");
        lua_pushboolean(L_, in_.ConsumeBool());
        lua_setfield(L_, table, "early");
        lua_rawseti(L_, table - 1, handle);
        lua_settop(L_, top);
        lua_State* L = L_;
        if (luaL_loadstring(L, "local e = Cindra.Entity.create() "
                               "Cindra.Entity.attachScript(e, 'entity.boxer', '')") != 0 ||
            lua_pcall(L, 0, 0, 0) != 0) {
            lua_pop(L, 1);
        }
        if (lua_gettop(L_) != top) {
            fuzz::finding("a call from think changed the main state's stack");
        }
    }

    void pushFunction(const Function& f) {
        lua_getglobal(L_, "package");
        lua_getfield(L_, -1, "loaded");
        lua_getfield(L_, -1, f.table);
        lua_getfield(L_, -1, f.name);
        lua_replace(L_, -4);
        lua_pop(L_, 2);
    }

    // Mostly the right number of arguments of the right kinds; sometimes one more or fewer,
    // sometimes of any kind.
    int pushArguments(const Function& f) {
        const std::string kinds = f.kinds;
        int given = static_cast<int>(kinds.size());
        const int drift = in_.ConsumeIntegralInRange(0, 7);
        given += drift == 0 ? 1 : drift == 1 && given > 0 ? -1 : 0;
        for (int i = 0; i < given; ++i) {
            const char kind = i < static_cast<int>(kinds.size()) ? kinds[i] : 'A';
            pushValue(in_.ConsumeIntegralInRange(0, 7) == 0 ? 'A' : kind, 0);
        }
        return given;
    }

    void pushValue(char kind, int depth) {
        if (kind == 'A') {
            const char* kAll = "IEFTBPCLSN";
            kind = kAll[in_.ConsumeIntegralInRange(0, depth < 2 ? 9 : 4)];
        }
        switch (kind) {
        case 'I':
            lua_pushnumber(L_, number());
            break;
        case 'E':
            lua_pushnumber(L_, handle());
            break;
        case 'F':
            lua_pushnumber(L_, real());
            break;
        case 'T':
            pushText();
            break;
        case 'B':
            lua_pushboolean(L_, in_.ConsumeBool());
            break;
        case 'P':
        case 'C':
        case 'L':
        case 'S':
            pushList(kind, depth);
            break;
        default:
            lua_pushnil(L_);
        }
    }

    double number() {
        switch (in_.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return kNumbers[in_.ConsumeIntegralInRange<std::size_t>(0, kNumbers.size() - 1)];
        case 1:
            return in_.ConsumeIntegral<std::int32_t>();
        case 2:
            return static_cast<double>(in_.ConsumeIntegral<std::int64_t>());
        default:
            return in_.ConsumeIntegralInRange(-3, 300);
        }
    }

    double real() {
        switch (in_.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return std::numeric_limits<double>::quiet_NaN();
        case 1:
            return in_.ConsumeBool() ? HUGE_VAL : -HUGE_VAL;
        case 2:
            return in_.ConsumeFloatingPoint<double>();
        default:
            return number();
        }
    }

    // A handle made before (alive or destroyed), one never made, or an edge of the range.
    double handle() {
        const std::int32_t last = game_.world().lastEntity();
        switch (in_.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return static_cast<double>(last) + in_.ConsumeIntegralInRange(1, 100);
        case 1:
            return number();
        default:
            return last > 0 ? in_.ConsumeIntegralInRange(1, last) : 0;
        }
    }

    void pushText() {
        switch (in_.ConsumeIntegralInRange(0, 3)) {
        case 0:
            lua_getglobal(L_, "BIG");
            break;
        case 1: {
            const std::string text = in_.ConsumeRandomLengthString(64);
            lua_pushlstring(L_, text.data(), text.size());
            break;
        }
        default:
            lua_pushstring(L_,
                           kWords[in_.ConsumeIntegralInRange<std::size_t>(0, kWords.size() - 1)]);
        }
    }

    // A position or colour table (2 or 3 numbers, now and then one short or of another kind),
    // or a list of ints or texts of up to 40 elements.
    void pushList(char kind, int depth) {
        const bool list = kind == 'L' || kind == 'S';
        const int usual = kind == 'P' ? 2 : 3;
        const int count = list ? in_.ConsumeIntegralInRange(0, 40)
                               : usual + (in_.ConsumeIntegralInRange(0, 7) == 0 ? -1 : 0);
        lua_createtable(L_, count, 0);
        for (int k = 1; k <= count; ++k) {
            const bool odd = in_.ConsumeIntegralInRange(0, 15) == 0;
            pushValue(odd ? 'A' : kind == 'S' ? 'T' : 'I', depth + 1);
            lua_rawseti(L_, -2, k);
        }
    }

    FuzzedDataProvider& in_;
    test::ScriptWorld game_;
    lua_State* L_ = nullptr;
    Console screen_{128, 96};
};

} // namespace

// Each input runs inside the world's own game folder (scripts and maps are found relative to
// the working directory), so a finding that stops an input would be written there and lost:
// unless the command line names a folder, findings go to the folder the fuzzer started in.
// libFuzzer reads its flags after this returns.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::silenceStdout();
    static std::vector<char*> args(*argv, *argv + *argc);
    for (char* arg : args) {
        if (std::string_view(arg).starts_with("-artifact_prefix=")) {
            return 0;
        }
    }
    static std::string prefix =
        "-artifact_prefix=" + std::filesystem::current_path().string() + "/";
    args.push_back(prefix.data());
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size()) - 1;
    *argv = args.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Program(input).run();
    return 0;
}
