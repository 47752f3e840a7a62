#include "cindra/logic/Lua.hpp"
#include "cindra/logic/LuaSandbox.hpp"

#include "support/StdoutCapture.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>

using cindra::logic::Lua;
using cindra::logic::LuaError;

namespace {

// Runs code protected and returns its one result as text (nil as "nil"), popped.
std::string eval(Lua& lua, const std::string& code) {
    lua.runString(code, "=test", 0, 1, true);
    const char* text = lua_tostring(lua.state(), -1);
    std::string result = text ? text : luaL_typename(lua.state(), -1);
    lua_pop(lua.state(), 1);
    return result;
}

// Pushes code as a function named "co", uncalled.
void loadChunk(lua_State* L, const std::string& code) {
    ASSERT_EQ(luaL_loadbuffer(L, code.data(), code.size(), "=co"), 0);
}

int returnContext(lua_State* L) {
    lua_pushvalue(L, lua_upvalueindex(1));
    return 1;
}

int returnSeven(lua_State* L) {
    lua_pushinteger(L, 7);
    return 1;
}

} // namespace

TEST(Lua, MainStateHasTheStandardLibrariesAndTheHostPrint) {
    Lua lua;
    EXPECT_TRUE(lua.isMainState());
    EXPECT_EQ(eval(lua, "local n = 0\n"
                        "for _, t in ipairs({string, table, io, os, math, debug, package,\n"
                        "                    coroutine}) do\n"
                        "  if type(t) == 'table' then n = n + 1 end\n"
                        "end\n"
                        "return n"),
              "8");
    lua_getglobal(lua.state(), "print");
    EXPECT_EQ(lua_tocfunction(lua.state(), -1), &cindra::logic::hostPrint);
    lua_pop(lua.state(), 1);
}

TEST(Lua, ChunksTakeArgumentsAndReturnResults) {
    Lua lua;
    lua_pushinteger(lua.state(), 6);
    lua_pushinteger(lua.state(), 7);
    lua.runString("local a, b = ...\nreturn a * b, a + b", "=test", 2, 2, false);
    ASSERT_EQ(lua_gettop(lua.state()), 2);
    EXPECT_EQ(lua_tointeger(lua.state(), 1), 42);
    EXPECT_EQ(lua_tointeger(lua.state(), 2), 13);
}

// Each failure keeps Lua's message as it is and knows the script line that raised it: the
// innermost Lua function with a line, past the native functions (none for a chunk that did
// not load).
TEST(Lua, FailuresBecomeLuaErrorsThatKnowTheirLineAndLeaveTheStackBalanced) {
    const struct {
        const char* code;
        const char* message;
        const char* location;
    } cases[] = {
        {"local x\nreturn x.y", "test:2: attempt to index local 'x' (a nil value)", "test:2"},
        {"error('plain', 0)", "plain", "test:1"},
        {"error(42, 0)", "42", "test:1"},
        {"error({})", "(error object is a table value)", "test:1"},
        {"\n\nstring.rep()", "test:3: bad argument #1 to 'rep' (string expected, got no value)",
         "test:3"},
        {"local function f()\n  error('deep', 0)\nend\nf()", "deep", "test:2"},
        {"x = = 1", "test:1: unexpected symbol near '='", ""},
    };
    Lua lua;
    for (const auto& c : cases) {
        lua_pushinteger(lua.state(), 1);
        lua_pushstring(lua.state(), "argument");
        try {
            lua.runString(c.code, "=test", 1, 0, true);
            ADD_FAILURE() << c.code << " did not fail";
        } catch (const LuaError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
            EXPECT_EQ(e.location(), c.location) << c.code;
        }
        EXPECT_EQ(lua_gettop(lua.state()), 1) << c.code;
        lua_settop(lua.state(), 0);
    }
    // A script file's "./" is dropped: the path reads as the game folder's.
    try {
        lua.runString("\nerror('x')", "@./scripts/entity/guard.lua", 0, 0, true);
        ADD_FAILURE() << "did not fail";
    } catch (const LuaError& e) {
        EXPECT_EQ(e.location(), "scripts/entity/guard.lua:2");
    }
    // A call that succeeds leaves its results where they were asked for.
    lua_pushstring(lua.state(), "below");
    lua.runString("return 1, 2", "=test", 0, 2, true);
    EXPECT_EQ(lua_gettop(lua.state()), 3);
    EXPECT_STREQ(lua_tostring(lua.state(), 1), "below");
    EXPECT_EQ(lua_tointeger(lua.state(), 3), 2);
    lua_settop(lua.state(), 0);
    EXPECT_THROW(lua.runFile("/nonexistent/cindra.lua", 0, 0, true), LuaError);
    EXPECT_EQ(lua_gettop(lua.state()), 0);
}

TEST(Lua, RequireLoadsAModuleFromThePackagePathOnce) {
    const cindra::test::TempDir folder("cindra-lua");
    std::ofstream(folder.file("counted.lua"))
        << "loads = (loads or 0) + 1\nreturn {name = 'counted'}\n";
    Lua lua;
    lua.setPackagePath(folder.file("?.lua"));
    EXPECT_FALSE(lua.getLoadedModule("counted"));
    EXPECT_EQ(lua_gettop(lua.state()), 0);
    lua.require("counted");
    lua.require("counted");
    EXPECT_EQ(eval(lua, "return loads"), "1");
    ASSERT_TRUE(lua.getLoadedModule("counted"));
    ASSERT_EQ(lua_gettop(lua.state()), 1);
    lua_getfield(lua.state(), -1, "name");
    EXPECT_STREQ(lua_tostring(lua.state(), -1), "counted");
    lua_settop(lua.state(), 0);
    EXPECT_THROW(lua.require("absent"), LuaError);
    // A guard on the globals that raises even for require is a LuaError, not a panic.
    lua.runString("setmetatable(_G, {__index = function() error('guarded', 0) end}) require = nil",
                  "=test", 0, 0, true);
    EXPECT_THROW(lua.require("counted"), LuaError);
    EXPECT_EQ(lua_gettop(lua.state()), 0);
    lua.runString("setmetatable(_G, nil) package = nil", "=test", 0, 0, true);
    EXPECT_THROW(lua.getLoadedModule("counted"), LuaError);
    EXPECT_THROW(lua.setPackagePath("?.lua"), LuaError);
    EXPECT_EQ(lua_gettop(lua.state()), 0);
}

TEST(Lua, LibrariesBuildDottedTablesGlobalsAndClosures) {
    Lua lua;
    int engineObject = 0;
    EXPECT_EQ(lua.library("Cindra").add("seven", returnSeven).tableName(), "Cindra");
    lua.library("Cindra.Entity").add("context", returnContext, &engineObject);
    lua.library("").add("globalSeven", returnSeven);
    EXPECT_EQ(eval(lua, "return Cindra.seven() + globalSeven()"), "14");
    EXPECT_EQ(eval(lua, "return tostring(Cindra.Entity == package.loaded['Cindra.Entity'])"),
              "true");
    lua.runString("return Cindra.Entity.context()", "=test", 0, 1, true);
    EXPECT_EQ(lua_touserdata(lua.state(), -1), &engineObject);
    lua_pop(lua.state(), 1);

    lua.runString("Taken = 5", "=test", 0, 0, true);
    try {
        lua.library("Taken.Inner").add("seven", returnSeven);
        ADD_FAILURE() << "a name conflict was accepted";
    } catch (const LuaError& e) {
        EXPECT_NE(std::string(e.what()).find("name conflict for module"), std::string::npos);
    }
    EXPECT_EQ(lua_gettop(lua.state()), 0);
}

TEST(Lua, PrintWritesOneTabSeparatedLine) {
    Lua lua;
    cindra::test::StdoutCapture capture;
    lua.runString("print(1, nil, 'x')\nprint()\n"
                  "print(setmetatable({}, {__tostring = function() return 'T' end}), true)",
                  "=test", 0, 0, true);
    lua.runString("local t = {}\nfor i = 1, 3000 do t[i] = i end\nprint(unpack(t))", "=test", 0, 0,
                  true);
    std::string many = "1";
    for (int i = 2; i <= 3000; ++i) {
        many += "\t" + std::to_string(i);
    }
    EXPECT_EQ(capture.text(), "1\tnil\tx\n\nT\ttrue\n" + many + "\n");
    try {
        lua.runString("print(setmetatable({}, {__tostring = function() return 1 end}))", "=test", 0,
                      0, true);
        ADD_FAILURE() << "a non-string tostring result was printed";
    } catch (const LuaError& e) {
        EXPECT_NE(std::string(e.what()).find("'tostring' must return a string to 'print'"),
                  std::string::npos);
    }
}

TEST(Lua, CoroutinesYieldReturnAndFail) {
    Lua lua;
    auto thread = lua.newThread();
    EXPECT_FALSE(thread->isMainState());
    ASSERT_EQ(lua_type(lua.state(), -1), LUA_TTHREAD);
    loadChunk(thread->state(), "coroutine.yield(1)\ncoroutine.yield(2)\nreturn 3");
    EXPECT_TRUE(thread->resume(0));
    EXPECT_TRUE(thread->resume(0));
    EXPECT_FALSE(thread->resume(0));
    EXPECT_EQ(lua_tointeger(thread->state(), -1), 3);

    auto failing = lua.newThread();
    loadChunk(failing->state(), "local n = ...\nerror('failed after ' .. n)");
    lua_pushinteger(failing->state(), 5);
    try {
        failing->resume(1);
        ADD_FAILURE() << "the failing coroutine finished";
    } catch (const LuaError& e) {
        EXPECT_STREQ(e.what(), "co:2: failed after 5");
    }
    EXPECT_STREQ(lua_tostring(failing->state(), -1), "co:2: failed after 5");
}

// Each limit alone stops a chunk, in its own unit; the others are set far out of reach.
TEST(LuaSandbox, EachLimitStopsARunAndErrorsKeepTheirText) {
    using namespace std::chrono_literals;
    constexpr std::size_t kAmple = std::size_t{64} << 20;
    struct Case {
        std::size_t memoryBytes;
        std::int64_t instructions;
        std::chrono::milliseconds time;
        const char* code;
        const char* error; // empty when the run must succeed
    };
    const Case cases[] = {
        {std::size_t{1} << 20, 1'000'000'000, 1h, "local s = 'x' while true do s = s .. s end",
         "not enough memory"},
        {kAmple, 100'000, 1h, "for i = 1, 1e6 do end", "stop"},
        {kAmple, 100'000, 1h, "for i = 1, 5e4 do end", ""},
        {kAmple, INT64_MAX, 0ms, "while true do end", "stop"},
        {kAmple, INT64_MAX, 1h, "error({})", "(error object)"},
        {kAmple, INT64_MAX, 1h, "error(2.5, 0)", "2.5"},
        {kAmple, INT64_MAX, 1h, "error('cut\\0here')", "f:1: cut"},
        {kAmple, INT64_MAX, 1h, "loadfile('f')",
         "f:1: attempt to call global 'loadfile' (a nil value)"},
    };
    for (const Case& c : cases) {
        cindra::logic::LuaSandbox sandbox({c.memoryBytes, c.instructions, c.time, "stop"});
        std::string error;
        try {
            sandbox.runFileText(c.code, "f");
        } catch (const LuaError& e) {
            error = e.what();
        }
        EXPECT_EQ(error, c.error) << c.code;
    }
}

TEST(LuaSandbox, LimitsStillHoldWhileReadingGlobals) {
    cindra::logic::LuaSandbox sandbox(
        {std::size_t{1} << 20, 100'000, std::chrono::hours{1}, "stop"});
    sandbox.runFileText("a = 0 b = nil\n"
                        "setmetatable(_G, {__index = function(t, k)\n"
                        "  if k == 'spin' then while true do end end end})",
                        "f");
    EXPECT_EQ(sandbox.globalTruth("a"), true);
    EXPECT_EQ(sandbox.globalTruth("b"), std::nullopt);
    EXPECT_THROW(sandbox.globalTruth("spin"), LuaError);
}
