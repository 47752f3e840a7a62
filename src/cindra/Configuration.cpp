#include "cindra/Configuration.hpp"

#include "cindra/Output.hpp"

#include <lua.hpp>

#include <string>
#include <string_view>
#include <sys/stat.h>

namespace cindra {

namespace {

// Lua's own print (arguments through tostring, separated by tabs), written through the
// flushed standard-output writer. Only Lua values live while Lua may raise an error.
int luaPrint(lua_State* L) {
    const int count = lua_gettop(L);
    luaL_checkstack(L, 2 * count + 3, "too many arguments to print");
    lua_getglobal(L, "tostring");
    const int tostring = lua_gettop(L);
    for (int i = 1; i <= count; ++i) {
        lua_pushvalue(L, tostring);
        lua_pushvalue(L, i);
        lua_call(L, 1, 1);
        if (lua_type(L, -1) != LUA_TSTRING) {
            return luaL_error(L, "'tostring' must return a string to 'print'");
        }
        if (i < count) {
            lua_pushliteral(L, "\t");
        }
    }
    lua_concat(L, lua_gettop(L) - tostring);
    std::size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    writeLine(std::string_view(text, length));
    return 0;
}

// Runs without C++ objects alive in its frame: Lua errors are caught by pcall here.
void runChunk(lua_State* L, const char* fileName) {
    if (luaL_loadfile(L, fileName) != 0 || lua_pcall(L, 0, LUA_MULTRET, 0) != 0) {
        const char* message = lua_tostring(L, -1);
        printLine("Error loading configuration: {}", message ? message : "(error object)");
    }
    lua_settop(L, 0);
}

} // namespace

Configuration::Configuration(const std::string& fileName) : state_(luaL_newstate()) {
    if (state_ == nullptr) {
        return;
    }
    lua_pushcfunction(state_, luaopen_base);
    lua_pushstring(state_, "");
    lua_call(state_, 1, 0);
    lua_register(state_, "print", luaPrint);
    struct stat attributes {};
    if (stat(fileName.c_str(), &attributes) != 0) {
        return;
    }
    runChunk(state_, fileName.c_str());
}

Configuration::~Configuration() {
    if (state_ != nullptr) {
        lua_close(state_);
    }
}

bool Configuration::getBool(const std::string& key, bool defaultValue) const {
    if (state_ == nullptr) {
        return defaultValue;
    }
    lua_getglobal(state_, key.c_str());
    const bool result = lua_isnil(state_, -1) ? defaultValue : lua_toboolean(state_, -1) != 0;
    lua_pop(state_, 1);
    return result;
}

} // namespace cindra
