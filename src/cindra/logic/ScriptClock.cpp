#include "cindra/logic/ScriptClock.hpp"

#include "cindra/logic/Lua.hpp"

#include <lua.hpp>

#include <cmath>

namespace cindra::logic {

namespace {

// Upvalue 1 of each replacement: the clock; upvalue 2: the os function it stands in for.
double clockSeconds(lua_State* L) {
    return (*static_cast<const std::function<double()>*>(lua_touserdata(L, lua_upvalueindex(1))))();
}

lua_Number clockTime(lua_State* L) {
    return static_cast<lua_Number>(kScriptClockEpoch) + std::floor(clockSeconds(L));
}

int scriptClock(lua_State* L) {
    lua_pushnumber(L, clockSeconds(L));
    return 1;
}

int scriptTime(lua_State* L) {
    if (!lua_isnoneornil(L, 1)) {
        lua_pushvalue(L, lua_upvalueindex(2));
        lua_insert(L, 1);
        lua_call(L, lua_gettop(L) - 1, 1);
        return 1;
    }
    lua_pushnumber(L, clockTime(L));
    return 1;
}

int scriptDate(lua_State* L) {
    const char* format = luaL_optstring(L, 1, "%c");
    const bool timeGiven = !lua_isnoneornil(L, 2);
    lua_pushvalue(L, lua_upvalueindex(2));
    lua_pushstring(L, format);
    if (!timeGiven) {
        lua_pushnumber(L, clockTime(L));
    } else {
        lua_pushvalue(L, 2);
    }
    lua_call(L, 2, 1);
    return 1;
}

// Run through lua_cpcall with the clock.
int install(lua_State* L) {
    void* seconds = lua_touserdata(L, 1);
    lua_getglobal(L, "os");
    luaL_checktype(L, -1, LUA_TTABLE);
    const struct {
        const char* name;
        lua_CFunction function;
    } replacements[] = {{"clock", scriptClock}, {"time", scriptTime}, {"date", scriptDate}};
    for (const auto& r : replacements) {
        lua_pushlightuserdata(L, seconds);
        lua_getfield(L, -2, r.name);
        lua_pushcclosure(L, r.function, 2);
        lua_setfield(L, -2, r.name);
    }
    return 0;
}

} // namespace

void useScriptClock(Lua& lua, const std::function<double()>& seconds) {
    lua_State* L = lua.state();
    if (lua_cpcall(L, install, const_cast<std::function<double()>*>(&seconds)) != 0) {
        const char* message = lua_tostring(L, -1);
        LuaError error(message != nullptr ? message : "os is not a table");
        lua_pop(L, 1);
        throw error;
    }
}

} // namespace cindra::logic
