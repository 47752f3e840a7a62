#include "cindra/logic/Lua.hpp"

#include "cindra/Output.hpp"

#include <cstdio>
#include <lua.hpp>
#include <utility>

// Lua raises errors with longjmp, which skips C++ destructors. Every function here that can
// reach a Lua error keeps only trivially destructible C++ values alive, and C++ exceptions
// are thrown only after Lua has returned control to the host.

namespace cindra::logic {

namespace {

// The error value at index as text, the stack unchanged: strings and numbers as Lua writes
// them, anything else named by its type.
std::string errorText(lua_State* L, int index) {
    switch (lua_type(L, index)) {
    case LUA_TSTRING: {
        std::size_t length = 0;
        const char* text = lua_tolstring(L, index, &length);
        return std::string(text, length);
    }
    case LUA_TNUMBER: {
        char text[LUAI_MAXNUMBER2STR];
        std::snprintf(text, sizeof text, LUA_NUMBER_FMT, lua_tonumber(L, index));
        return text;
    }
    default:
        return std::string("(error object is a ") + luaL_typename(L, index) + " value)";
    }
}

// Pops the error value on top of L and throws it as a LuaError.
[[noreturn]] void throwTopError(lua_State* L) {
    std::string message = errorText(L, -1);
    lua_pop(L, 1);
    throw LuaError(message);
}

// Where in the scripts the last error of a protected call was raised, "scripts/a.lua:12", or
// empty. The message handler below writes it while Lua unwinds, so it allocates nothing: a
// handler that failed would replace the script's message with Lua's "error in error handling".
thread_local char lastErrorLocation[LUA_IDSIZE + 16] = "";

// The message handler of the host's protected calls: leaves the error value as it is, and
// notes the innermost frame of a Lua function with a current line (a native function that
// raised, such as an argument check, has none; the script line that called it is the one).
int noteErrorLocation(lua_State* L) {
    lua_Debug frame{};
    for (int level = 1; lua_getstack(L, level, &frame) != 0; ++level) {
        if (lua_getinfo(L, "Sl", &frame) != 0 && frame.currentline > 0) {
            const char* source = frame.short_src;
            if (source[0] == '.' && source[1] == '/') {
                source += 2;
            }
            std::snprintf(lastErrorLocation, sizeof lastErrorLocation, "%s:%d", source,
                          frame.currentline);
            break;
        }
    }
    return 1;
}

struct StandardLibrary {
    lua_CFunction open;
    const char* name;
};

// The order of luaL_openlibs. Every library but base also lands in package.loaded.
constexpr StandardLibrary kStandardLibraries[] = {
    {luaopen_base, ""},
    {luaopen_package, LUA_LOADLIBNAME},
    {luaopen_table, LUA_TABLIBNAME},
    {luaopen_io, LUA_IOLIBNAME},
    {luaopen_os, LUA_OSLIBNAME},
    {luaopen_string, LUA_STRLIBNAME},
    {luaopen_math, LUA_MATHLIBNAME},
    {luaopen_debug, LUA_DBLIBNAME},
};

// Run through lua_cpcall, so running out of memory while opening is an error, not a panic.
int openStandardLibraries(lua_State* L) {
    for (const StandardLibrary& library : kStandardLibraries) {
        lua_pushcfunction(L, library.open);
        lua_pushstring(L, library.name);
        lua_call(L, 1, 0);
    }
    lua_register(L, "print", hostPrint);
    return 0;
}

// One native function to register: the lua_cpcall argument of registerInTable.
struct Registration {
    const char* tableName;     // empty for a global
    const luaL_Reg* functions; // the function and the end marker
    void* context;
    int upvalues; // 1 when context is the function's upvalue, else 0
};

// Run through lua_cpcall: finding or creating the table path may raise "name conflict".
int registerInTable(lua_State* L) {
    const auto* registration = static_cast<const Registration*>(lua_touserdata(L, 1));
    if (registration->upvalues == 1) {
        lua_pushlightuserdata(L, registration->context);
    }
    if (registration->tableName[0] == '\0') {
        lua_pushcclosure(L, registration->functions->func, registration->upvalues);
        lua_setglobal(L, registration->functions->name);
    } else {
        // luaL_register is luaL_openlib without upvalues.
        luaL_openlib(L, registration->tableName, registration->functions, registration->upvalues);
    }
    return 0;
}

// Run through lua_cpcall with a std::string_view: a script may have replaced package.
int setPackagePathField(lua_State* L) {
    const auto* path = static_cast<const std::string_view*>(lua_touserdata(L, 1));
    lua_getglobal(L, "package");
    lua_pushstring(L, "path");
    lua_pushlstring(L, path->data(), path->size());
    lua_settable(L, -3);
    lua_pop(L, 1);
    return 0;
}

// Called protected with the module name as argument: even looking up the global require may
// raise (a guard on the globals' metatable).
int requireModule(lua_State* L) {
    lua_getglobal(L, "require");
    lua_insert(L, 1);
    lua_call(L, 1, 0);
    return 0;
}

// Called protected with the module name as argument; returns package.loaded[name].
int loadedModule(lua_State* L) {
    lua_getglobal(L, "package");
    lua_getfield(L, -1, "loaded");
    lua_remove(L, -2);
    lua_pushvalue(L, 1);
    lua_gettable(L, -2);
    lua_remove(L, -2);
    return 1;
}

} // namespace

LuaLibraryWrapper::LuaLibraryWrapper(lua_State* state, std::string tableName)
    : state_(state), tableName_(std::move(tableName)) {}

LuaLibraryWrapper& LuaLibraryWrapper::add(const char* name, lua_CFunction function) {
    registerFunction(name, function, nullptr, false);
    return *this;
}

LuaLibraryWrapper& LuaLibraryWrapper::add(const char* name, lua_CFunction function, void* context) {
    registerFunction(name, function, context, true);
    return *this;
}

const std::string& LuaLibraryWrapper::tableName() const {
    return tableName_;
}

void LuaLibraryWrapper::registerFunction(const char* name, lua_CFunction function, void* context,
                                         bool hasContext) {
    const luaL_Reg functions[] = {{name, function}, {nullptr, nullptr}};
    Registration registration{tableName_.c_str(), functions, context, hasContext ? 1 : 0};
    if (lua_cpcall(state_, registerInTable, &registration) != 0) {
        throwTopError(state_);
    }
}

Lua::Lua() : state_(luaL_newstate()), mainState_(true) {
    if (state_ == nullptr) {
        throw LuaError("Cannot create a Lua state");
    }
    if (lua_cpcall(state_, openStandardLibraries, nullptr) != 0) {
        const std::string message = errorText(state_, -1);
        lua_close(state_);
        throw LuaError(message);
    }
}

Lua::Lua(lua_State* thread) : state_(thread), mainState_(false) {}

Lua::~Lua() {
    if (mainState_) {
        lua_close(state_);
    }
}

lua_State* Lua::state() const {
    return state_;
}

bool Lua::isMainState() const {
    return mainState_;
}

void Lua::setPackagePath(std::string_view path) {
    if (lua_cpcall(state_, setPackagePathField, &path) != 0) {
        throwTopError(state_);
    }
}

void Lua::runString(std::string_view code, const std::string& chunkName, int nargs, int nresults,
                    bool protectedCall) {
    callChunk(luaL_loadbuffer(state_, code.data(), code.size(), chunkName.c_str()), nargs, nresults,
              protectedCall);
}

void Lua::runFile(const std::string& path, int nargs, int nresults, bool protectedCall) {
    callChunk(luaL_loadfile(state_, path.c_str()), nargs, nresults, protectedCall);
}

void Lua::callChunk(int loadStatus, int nargs, int nresults, bool protectedCall) {
    lua_insert(state_, -(nargs + 1));
    if (loadStatus != 0) {
        lua_pop(state_, nargs);
        throwTopError(state_);
    }
    call(nargs, nresults, protectedCall);
}

LuaLibraryWrapper Lua::library(std::string tableName) {
    return LuaLibraryWrapper(state_, std::move(tableName));
}

void Lua::require(const std::string& moduleName) {
    lua_pushcfunction(state_, requireModule);
    lua_pushlstring(state_, moduleName.data(), moduleName.size());
    call(1, 0, true);
}

bool Lua::getLoadedModule(const std::string& moduleName) {
    lua_pushcfunction(state_, loadedModule);
    lua_pushlstring(state_, moduleName.data(), moduleName.size());
    call(1, 1, true);
    if (lua_isnil(state_, -1)) {
        lua_pop(state_, 1);
        return false;
    }
    return true;
}

std::unique_ptr<Lua> Lua::newThread() {
    lua_State* thread = lua_newthread(state_);
    return std::unique_ptr<Lua>(new Lua(thread));
}

void Lua::call(int nargs, int nresults, bool protectedCall) {
    if (!protectedCall) {
        lua_call(state_, nargs, nresults);
        return;
    }
    // The handler goes below the function and its arguments, and comes off after the call.
    if (lua_checkstack(state_, 1) == 0) {
        throw LuaError("Lua stack overflow");
    }
    const int handler = lua_gettop(state_) - nargs;
    lua_pushcfunction(state_, noteErrorLocation);
    lua_insert(state_, handler);
    lastErrorLocation[0] = '\0';
    const int status = lua_pcall(state_, nargs, nresults, handler);
    lua_remove(state_, handler);
    if (status != 0) {
        const std::string location = lastErrorLocation;
        try {
            throwTopError(state_);
        } catch (LuaError& error) {
            error.setLocation(location);
            throw;
        }
    }
}

bool Lua::resume(int nargs) {
    const int status = lua_resume(state_, nargs);
    if (status == LUA_YIELD) {
        return true;
    }
    if (status != 0) {
        throw LuaError(errorText(state_, -1));
    }
    return false;
}

// The line is built in a luaL_Buffer, which keeps the texts on the Lua stack in a few merged
// pieces: any argument count a call can pass fits in the LUA_MINSTACK slots every C function
// is given, and only Lua values live while tostring or the check may raise.
int hostPrint(lua_State* L) {
    const int count = lua_gettop(L);
    lua_getglobal(L, "tostring");
    const int tostring = lua_gettop(L);
    luaL_Buffer line;
    luaL_buffinit(L, &line);
    for (int i = 1; i <= count; ++i) {
        if (i > 1) {
            luaL_addchar(&line, '\t');
        }
        lua_pushvalue(L, tostring);
        lua_pushvalue(L, i);
        lua_call(L, 1, 1);
        if (lua_type(L, -1) != LUA_TSTRING) {
            return luaL_error(L, "'tostring' must return a string to 'print'");
        }
        luaL_addvalue(&line);
    }
    luaL_pushresult(&line);
    std::size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    writeLine(std::string_view(text, length));
    return 0;
}

} // namespace cindra::logic
