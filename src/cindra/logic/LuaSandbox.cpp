#include "cindra/logic/LuaSandbox.hpp"

#include "cindra/logic/Lua.hpp"

#include <lua.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

// Lua raises errors with longjmp, which skips C++ destructors: the functions Lua calls here
// keep no C++ object alive, and the host's own calls into Lua are the protected ones.

namespace cindra::logic {

// Reached from Lua through the allocator's user data.
struct LuaSandboxBudget {
    LuaSandboxLimits limits;
    std::size_t usedBytes = 0;
    std::int64_t hookCalls = 0;
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
};

namespace {

// The count hook runs often enough that even instructions copying the largest strings the
// memory budget allows overrun the time limit by little. The time limit matters too: an
// instruction that calls a C function or joins long strings can take microseconds, so a count
// alone lets a chunk run for hours.
constexpr int kHookInterval = 1000;

void* budgetedAlloc(void* ud, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* budget = static_cast<LuaSandboxBudget*>(ud);
    if (newSize == 0) {
        std::free(block);
        budget->usedBytes -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize && newSize - oldSize > budget->limits.memoryBytes - budget->usedBytes) {
        return nullptr;
    }
    void* grown = std::realloc(block, newSize);
    if (grown != nullptr) {
        budget->usedBytes = budget->usedBytes - oldSize + newSize;
    }
    return grown;
}

void stopRunawayChunk(lua_State* L, lua_Debug*) {
    void* ud = nullptr;
    lua_getallocf(L, &ud);
    auto* budget = static_cast<LuaSandboxBudget*>(ud);
    ++budget->hookCalls;
    if (budget->hookCalls * kHookInterval > budget->limits.instructions ||
        std::chrono::steady_clock::now() > budget->deadline) {
        luaL_error(L, "%s", budget->limits.runawayMessage.c_str());
    }
}

// Precompiled chunks start with the escape byte of Lua's binary signature; source text never
// does.
bool isPrecompiled(std::string_view text) {
    return !text.empty() && text[0] == LUA_SIGNATURE[0];
}

// loadstring with the original as upvalue, refusing precompiled chunks the way the loaders
// report failure: nil and a message.
int refuseBinary(lua_State* L) {
    std::size_t length = 0;
    const char* text = lua_tolstring(L, 1, &length);
    if (text != nullptr && isPrecompiled(std::string_view(text, length))) {
        lua_pushnil(L);
        lua_pushliteral(L, "precompiled chunks are not accepted");
        return 2;
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

// Run through lua_cpcall. load (which reads pieces from a function), loadfile and dofile
// (which read other files) are removed: a file run here has no use for them.
int openBaseLibrary(lua_State* L) {
    lua_pushcfunction(L, luaopen_base);
    lua_pushstring(L, "");
    lua_call(L, 1, 0);
    lua_register(L, "print", hostPrint);
    lua_getglobal(L, "loadstring");
    lua_pushcclosure(L, refuseBinary, 1);
    lua_setglobal(L, "loadstring");
    for (const char* name : {"load", "loadfile", "dofile"}) {
        lua_pushnil(L);
        lua_setglobal(L, name);
    }
    return 0;
}

// Pops the error value on top of L and throws it with the text the class promises. A number
// is formatted here as lua_tostring would, without allocating inside a state that may have
// run out of memory.
[[noreturn]] void throwTopError(lua_State* L) {
    std::string message = "(error object)";
    if (lua_type(L, -1) == LUA_TNUMBER) {
        char text[LUAI_MAXNUMBER2STR];
        std::snprintf(text, sizeof text, LUA_NUMBER_FMT, lua_tonumber(L, -1));
        message = text;
    } else if (lua_type(L, -1) == LUA_TSTRING) {
        message = lua_tostring(L, -1);
    }
    lua_settop(L, 0);
    throw LuaError(message);
}

struct TruthQuery {
    const char* name;
    bool present;
    bool value;
};

// Run through lua_cpcall: a metamethod on the globals table may raise.
int readGlobal(lua_State* L) {
    auto* query = static_cast<TruthQuery*>(lua_touserdata(L, 1));
    lua_getglobal(L, query->name);
    query->present = !lua_isnil(L, -1);
    query->value = lua_toboolean(L, -1) != 0;
    return 0;
}

struct TextQuery {
    const char* name;
    int type;
    const char* text; // valid while the value stays on the stack of the call below
    std::size_t length;
};

// Run through lua_cpcall with the query: a metamethod on the globals may raise. The text is
// copied by the caller once the call has returned.
int readGlobalText(lua_State* L) {
    auto* query = static_cast<TextQuery*>(lua_touserdata(L, 1));
    lua_getglobal(L, query->name);
    query->type = lua_type(L, -1);
    if (query->type == LUA_TSTRING) {
        query->text = lua_tolstring(L, -1, &query->length);
    }
    return 0;
}

} // namespace

LuaSandbox::LuaSandbox(const LuaSandboxLimits& limits)
    : budget_(std::make_unique<LuaSandboxBudget>(LuaSandboxBudget{limits})),
      state_(lua_newstate(budgetedAlloc, budget_.get())) {
    if (state_ == nullptr) {
        throw LuaError("Cannot create a Lua state");
    }
    if (lua_cpcall(state_, openBaseLibrary, nullptr) != 0) {
        const std::string message = lua_isstring(state_, -1) ? lua_tostring(state_, -1) : "";
        lua_close(state_);
        throw LuaError(message);
    }
}

LuaSandbox::~LuaSandbox() {
    lua_close(state_);
}

void LuaSandbox::runFileText(std::string_view text, const std::string& fileName) {
    if (isPrecompiled(text)) {
        throw LuaError(fileName + ": precompiled chunks are not accepted");
    }
    // The '#' line's line feed stays, so line numbers still count it.
    if (!text.empty() && text[0] == '#') {
        text.remove_prefix(std::min(text.find('\n'), text.size()));
    }
    budget_->hookCalls = 0;
    budget_->deadline = std::chrono::steady_clock::now() + budget_->limits.time;
    lua_sethook(state_, stopRunawayChunk, LUA_MASKCOUNT, kHookInterval);
    const std::string chunkName = "@" + fileName;
    if (luaL_loadbuffer(state_, text.data(), text.size(), chunkName.c_str()) != 0 ||
        lua_pcall(state_, 0, LUA_MULTRET, 0) != 0) {
        throwTopError(state_);
    }
    lua_settop(state_, 0);
}

std::optional<bool> LuaSandbox::globalTruth(const std::string& name) const {
    TruthQuery query{name.c_str(), false, false};
    if (lua_cpcall(state_, readGlobal, &query) != 0) {
        throwTopError(state_);
    }
    if (!query.present) {
        return std::nullopt;
    }
    return query.value;
}

std::optional<std::string> LuaSandbox::globalText(const std::string& name,
                                                  std::size_t maxLength) const {
    TextQuery query{name.c_str(), LUA_TNIL, nullptr, 0};
    if (lua_cpcall(state_, readGlobalText, &query) != 0) {
        throwTopError(state_);
    }
    if (query.type == LUA_TNIL) {
        return std::nullopt;
    }
    if (query.type != LUA_TSTRING) {
        throw LuaError(name + " must be a text in quotes, not a " +
                       lua_typename(state_, query.type));
    }
    if (query.length > maxLength) {
        throw LuaError(name + " is longer than " + std::to_string(maxLength) + " bytes");
    }
    // Nothing has run in the state since the call returned, so the collector, which runs only
    // when the state allocates, has not freed the text.
    return std::string(query.text, query.length);
}

} // namespace cindra::logic
