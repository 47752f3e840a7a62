#include "cindra/logic/LuaConsole.hpp"

#include "cindra/logic/Lua.hpp"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>

using cindra::logic::ConsoleReply;
using cindra::logic::Lua;
using cindra::logic::runConsoleLine;

namespace {

int failNatively(lua_State* L) {
    return luaL_error(L, "native %s", "refused");
}

void watchLines(lua_State*, lua_Debug*) {}

} // namespace

TEST(LuaConsole, RunsLinesAsExpressionsOrStatementsAndReportsEveryFailureAsText) {
    struct Case {
        const char* line;
        std::string text;
        bool failed;
    };
    const Case cases[] = {
        {"1+1", "2", false},
        {"1, 'two', nil, true", "1\ttwo\tnil\ttrue", false},
        {"", "", false},
        {"answer = 6 * 7", "", false},
        {"answer", "42", false},
        {"local t = {} t[1] = answer return #t, t[1]", "1\t42", false},
        {"x = = 1", "error: console:1: unexpected symbol near '='", true},
        {"nosuch()", "error: console:1: attempt to call global 'nosuch' (a nil value)", true},
        {"Test.fail()", "error: console:1: native refused", true},
        {"error({})", "error: (error object is a table value)", true},
        {"setmetatable({}, {__tostring = function() return 1 end})",
         "error: 'tostring' must return a string", true},
        {"while true do end", "error: console:1: the line ran too long and was stopped", true},
        {"while true do pcall(function() while true do end end) end",
         "error: console:1: the line ran too long and was stopped", true},
        {"coroutine.yield(1)", "error: attempt to yield across metamethod/C-call boundary", true},
        {"answer + 1", "43", false},
        {"string.rep('x', 5000)", std::string(cindra::logic::kConsoleTextLimit - 3, 'x') + "...",
         false},
    };
    Lua lua;
    lua.library("Test").add("fail", failNatively);
    lua_State* L = lua.state();
    lua_sethook(L, watchLines, LUA_MASKLINE, 0);
    lua_pushliteral(L, "below");
    for (const Case& c : cases) {
        const ConsoleReply reply = runConsoleLine(lua, c.line);
        EXPECT_EQ(reply.text, c.text) << c.line;
        EXPECT_EQ(reply.failed, c.failed) << c.line;
        EXPECT_EQ(lua_gettop(L), 1) << c.line;
        EXPECT_EQ(lua_gethook(L), watchLines) << c.line;
        EXPECT_EQ(lua_gethookmask(L), LUA_MASKLINE) << c.line;
    }
    EXPECT_STREQ(lua_tostring(L, 1), "below");
}

TEST(LuaConsole, TheBudgetEndsWithTheLineEvenForACoroutineItMade) {
    Lua lua;
    runConsoleLine(lua,
                   "co = coroutine.create(function() for i = 1, 3e7 do end return 'done' end)");
    lua.runString("return select(2, coroutine.resume(co))", "=test", 0, 1, true);
    EXPECT_STREQ(lua_tostring(lua.state(), -1), "done");
    EXPECT_EQ(lua_gethook(lua.state()), nullptr);
}
