#include "cindra/Configuration.hpp"

#include "cindra/Output.hpp"
#include "cindra/logic/Lua.hpp"

#include <lua.hpp>

#include <string>
#include <string_view>
#include <sys/stat.h>

namespace cindra {

namespace {

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
    lua_register(state_, "print", logic::hostPrint);
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
