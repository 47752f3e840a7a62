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

// A configuration that runs for ever would hang start-up: past this many Lua instructions
// (far more than any settings file needs) the chunk is stopped with an error.
constexpr int kHookInterval = 1000000;
constexpr int kMaxHookCalls = 200;

void stopRunawayChunk(lua_State* L, lua_Debug*) {
    lua_pushliteral(L, "cindra.configurationSteps");
    lua_rawget(L, LUA_REGISTRYINDEX);
    const int calls = static_cast<int>(lua_tointeger(L, -1)) + 1;
    lua_pop(L, 1);
    lua_pushliteral(L, "cindra.configurationSteps");
    lua_pushinteger(L, calls);
    lua_rawset(L, LUA_REGISTRYINDEX);
    if (calls > kMaxHookCalls) {
        luaL_error(L, "the configuration runs too long");
    }
}

void reportError(lua_State* L) {
    const char* message = lua_tostring(L, -1);
    printLine("Error loading configuration: {}", message ? message : "(error object)");
}

// Runs without C++ objects alive in its frame: Lua errors are caught by pcall here.
void runChunk(lua_State* L, const char* fileName) {
    lua_sethook(L, stopRunawayChunk, LUA_MASKCOUNT, kHookInterval);
    if (luaL_loadfile(L, fileName) != 0 || lua_pcall(L, 0, LUA_MULTRET, 0) != 0) {
        reportError(L);
    }
    lua_settop(L, 0);
}

struct BoolQuery {
    const char* key;
    bool present;
    bool value;
};

// Reads one global inside a protected call: a metamethod on the globals table may raise.
int readGlobal(lua_State* L) {
    auto* query = static_cast<BoolQuery*>(lua_touserdata(L, 1));
    lua_getglobal(L, query->key);
    query->present = !lua_isnil(L, -1);
    query->value = lua_toboolean(L, -1) != 0;
    return 0;
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
    BoolQuery query{key.c_str(), false, false};
    if (lua_cpcall(state_, readGlobal, &query) != 0) {
        reportError(state_);
        lua_pop(state_, 1);
        return defaultValue;
    }
    return query.present ? query.value : defaultValue;
}

} // namespace cindra
