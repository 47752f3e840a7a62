#include "cindra/logic/LuaConsole.hpp"

#include "cindra/logic/Lua.hpp"

#include <algorithm>
#include <cstdio>
#include <lua.hpp>

// Lua raises errors with longjmp, which skips C++ destructors: the functions Lua calls here
// hold only views and plain values, and the C++ strings live in runConsoleLine, outside the
// protected call.

namespace cindra::logic {

namespace {

constexpr const char* kChunkName = "=console";

// What runLine reads: the line's two forms, owned by its caller.
struct ConsoleJob {
    std::string_view expression;
    std::string_view statement;
};

// The hook a state had before the line under way. Threads made during a line (an entity
// script the line spawns) inherit the line's hook; firing after the line, it hands them back
// the hook their parent had, so the budget never reaches past the line.
struct HookBefore {
    bool lineRunning = false;
    lua_Hook hook = nullptr;
    int mask = 0;
    int count = 0;
};
thread_local HookBefore hookBefore;

// Once past the budget every further instruction fails too, so a pcall inside the line that
// swallows the first error cannot keep a loop around it going. The location is the running
// function's (level 0): for a hook, luaL_error's level 1 would name its caller.
void stopRunawayLine(lua_State* L, lua_Debug*) {
    if (!hookBefore.lineRunning) {
        lua_sethook(L, hookBefore.hook, hookBefore.mask, hookBefore.count);
        return;
    }
    lua_sethook(L, stopRunawayLine, LUA_MASKCOUNT, 1);
    luaL_where(L, 0);
    lua_pushliteral(L, "the line ran too long and was stopped");
    lua_concat(L, 2);
    lua_error(L);
}

// Replaces the values from index first to the top by their tostring texts, together cut to
// one byte more than the limit (so that a cut still shows), and returns them joined by tabs.
int joinResults(lua_State* L, int first) {
    const int last = lua_gettop(L);
    lua_getglobal(L, "tostring");
    std::size_t room = kConsoleTextLimit + 1;
    for (int i = first; i <= last; ++i) {
        lua_pushvalue(L, -1);
        lua_pushvalue(L, i);
        lua_call(L, 1, 1);
        if (lua_type(L, -1) != LUA_TSTRING) {
            return luaL_error(L, "'tostring' must return a string");
        }
        std::size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        if (length > room) {
            lua_pushlstring(L, text, room);
            lua_replace(L, -2);
            length = room;
        }
        room -= length;
        lua_replace(L, i);
    }
    lua_pop(L, 1);
    luaL_Buffer joined;
    luaL_buffinit(L, &joined);
    for (int i = first; i <= last; ++i) {
        if (i > first) {
            luaL_addchar(&joined, '\t');
        }
        lua_pushvalue(L, i);
        luaL_addvalue(&joined);
    }
    luaL_pushresult(&joined);
    return 1;
}

// Called protected with the job as its one argument, a light userdata.
int runLine(lua_State* L) {
    const auto* job = static_cast<const ConsoleJob*>(lua_touserdata(L, 1));
    if (luaL_loadbuffer(L, job->expression.data(), job->expression.size(), kChunkName) != 0) {
        lua_pop(L, 1);
        if (luaL_loadbuffer(L, job->statement.data(), job->statement.size(), kChunkName) != 0) {
            return lua_error(L);
        }
    }
    lua_call(L, 0, LUA_MULTRET);
    return joinResults(L, 2);
}

// The value at the top as text, without converting it in place (which could raise outside
// any protected call): strings and numbers as Lua writes them, others named by their type.
// Only a little more than the limit is copied.
std::string topText(lua_State* L) {
    if (lua_type(L, -1) == LUA_TNUMBER) {
        char text[LUAI_MAXNUMBER2STR];
        std::snprintf(text, sizeof text, LUA_NUMBER_FMT, lua_tonumber(L, -1));
        return text;
    }
    if (lua_type(L, -1) == LUA_TSTRING) {
        std::size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        return std::string(text, std::min(length, kConsoleTextLimit + 1));
    }
    return std::string("(error object is a ") + luaL_typename(L, -1) + " value)";
}

void cutToLimit(std::string& text) {
    if (text.size() > kConsoleTextLimit) {
        text.resize(kConsoleTextLimit - kConsoleCutMark.size());
        text += kConsoleCutMark;
    }
}

} // namespace

ConsoleReply runConsoleLine(Lua& lua, std::string_view line, int instructionBudget) {
    const std::string expression = "return " + std::string(line);
    ConsoleJob job{expression, line};
    lua_State* L = lua.state();
    const int base = lua_gettop(L);
    if (lua_checkstack(L, 2) == 0) {
        return {std::string(kConsoleErrorPrefix) + "Lua stack overflow", true};
    }
    hookBefore = {true, lua_gethook(L), lua_gethookmask(L), lua_gethookcount(L)};
    lua_sethook(L, stopRunawayLine, LUA_MASKCOUNT, std::max(instructionBudget, 1));
    lua_pushcfunction(L, runLine);
    lua_pushlightuserdata(L, &job);
    const int status = lua_pcall(L, 1, 1, 0);
    hookBefore.lineRunning = false;
    lua_sethook(L, hookBefore.hook, hookBefore.mask, hookBefore.count);
    ConsoleReply reply{topText(L), status != 0};
    lua_settop(L, base);
    if (reply.failed) {
        reply.text.insert(0, kConsoleErrorPrefix);
    }
    cutToLimit(reply.text);
    return reply;
}

} // namespace cindra::logic
