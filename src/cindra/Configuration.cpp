#include "cindra/Configuration.hpp"

#include "cindra/Output.hpp"
#include "cindra/logic/Lua.hpp"
#include "cindra/util/FileContents.hpp"

#include <lua.hpp>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace cindra {

// What the configuration's state may use: memory (see budgetedAlloc) and time.
struct LuaMemoryBudget {
    std::size_t used = 0;
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
};

namespace {

// A configuration that runs for ever would hang start-up: past this many Lua instructions, or
// this long (far more than any settings file needs), the chunk is stopped with an error. The
// time matters too: an instruction that calls a C function or joins long strings can take
// microseconds, so a count alone lets a chunk run for hours. The hook runs often enough that
// even instructions copying the largest strings the memory budget allows overrun by little.
constexpr int kHookInterval = 1000;
constexpr int kMaxHookCalls = 200000;
constexpr std::chrono::seconds kMaxRunTime{2};

void stopRunawayChunk(lua_State* L, lua_Debug*) {
    lua_pushliteral(L, "cindra.configurationSteps");
    lua_rawget(L, LUA_REGISTRYINDEX);
    const int calls = static_cast<int>(lua_tointeger(L, -1)) + 1;
    lua_pop(L, 1);
    lua_pushliteral(L, "cindra.configurationSteps");
    lua_pushinteger(L, calls);
    lua_rawset(L, LUA_REGISTRYINDEX);
    void* budget = nullptr;
    lua_getallocf(L, &budget);
    if (calls > kMaxHookCalls ||
        std::chrono::steady_clock::now() > static_cast<LuaMemoryBudget*>(budget)->deadline) {
        luaL_error(L, "the configuration runs too long");
    }
}

void reportError(lua_State* L) {
    const char* message = lua_tostring(L, -1);
    printLine("Error loading configuration: {}", message ? message : "(error object)");
}

// A settings file needs a few kilobytes; past this the state's allocations fail, which Lua
// reports as a "not enough memory" error, so a chunk that grows a table or a string for
// ever ends with an error instead of taking the machine's memory.
constexpr std::size_t kMemoryBudget = std::size_t{64} << 20;

void* budgetedAlloc(void* ud, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* budget = static_cast<LuaMemoryBudget*>(ud);
    if (newSize == 0) {
        std::free(block);
        budget->used -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize && newSize - oldSize > kMemoryBudget - budget->used) {
        return nullptr;
    }
    void* grown = std::realloc(block, newSize);
    if (grown != nullptr) {
        budget->used = budget->used - oldSize + newSize;
    }
    return grown;
}

// Lua 5.1 runs precompiled chunks without verifying them, and a crafted one can corrupt
// memory. So the file, and whatever the chunk loads through the base library's loaders, must
// be source text: those start with anything but the escape byte of Lua's binary signature.
int refuseBinary(lua_State* L) {
    std::size_t length = 0;
    const char* text = lua_tolstring(L, 1, &length);
    if (text != nullptr && length > 0 && text[0] == LUA_SIGNATURE[0]) {
        lua_pushnil(L);
        lua_pushliteral(L, "precompiled chunks are not accepted");
        return 2;
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

// loadstring keeps its source check; load (which reads pieces from a function), loadfile and
// dofile (which read other files) have no use in a settings file and are removed.
void restrictLoaders(lua_State* L) {
    lua_getglobal(L, "loadstring");
    lua_pushcclosure(L, refuseBinary, 1);
    lua_setglobal(L, "loadstring");
    for (const char* name : {"load", "loadfile", "dofile"}) {
        lua_pushnil(L);
        lua_setglobal(L, name);
    }
}

// The file as source text: luaL_loadfile would also take a precompiled chunk.
int loadSource(lua_State* L, const std::string& fileName) {
    std::string text;
    try {
        text = util::readFile(fileName);
    } catch (const std::exception& e) {
        lua_pushstring(L, e.what());
        return LUA_ERRFILE;
    }
    if (!text.empty() && text[0] == LUA_SIGNATURE[0]) {
        lua_pushfstring(L, "%s: precompiled chunks are not accepted", fileName.c_str());
        return LUA_ERRSYNTAX;
    }
    // A first line starting with '#' is skipped, as luaL_loadfile does; its line feed stays,
    // so line numbers still count it, and what follows is read as source text.
    if (!text.empty() && text[0] == '#') {
        text.erase(0, std::min(text.find('\n'), text.size()));
    }
    const std::string chunkName = "@" + fileName;
    return luaL_loadbuffer(L, text.data(), text.size(), chunkName.c_str());
}

// Lua errors are caught by pcall here; the C++ strings of loadSource are gone before it runs.
void runChunk(lua_State* L, const std::string& fileName, LuaMemoryBudget& budget) {
    budget.deadline = std::chrono::steady_clock::now() + kMaxRunTime;
    lua_sethook(L, stopRunawayChunk, LUA_MASKCOUNT, kHookInterval);
    if (loadSource(L, fileName) != 0 || lua_pcall(L, 0, LUA_MULTRET, 0) != 0) {
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

Configuration::Configuration(const std::string& fileName)
    : budget_(std::make_unique<LuaMemoryBudget>()),
      state_(lua_newstate(budgetedAlloc, budget_.get())) {
    if (state_ == nullptr) {
        return;
    }
    lua_pushcfunction(state_, luaopen_base);
    lua_pushstring(state_, "");
    lua_call(state_, 1, 0);
    lua_register(state_, "print", logic::hostPrint);
    restrictLoaders(state_);
    struct stat attributes {};
    if (stat(fileName.c_str(), &attributes) != 0) {
        return;
    }
    runChunk(state_, fileName, *budget_);
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
