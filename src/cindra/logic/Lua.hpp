// The Lua host: owns a Lua 5.1 state (or drives one of its coroutines), runs chunks, registers
// native libraries and turns every failure inside Lua into a C++ exception at this boundary.
#pragma once

#include "cindra/Error.hpp"

#include <memory>
#include <string>
#include <string_view>

// Declared here exactly as the Lua C API declares them, so that only the files that call the
// API include it.
struct lua_State;
using lua_CFunction = int (*)(lua_State*);

namespace cindra::logic {

// A failure inside Lua reported to the host: the message is the Lua error value as text.
class LuaError : public Error {
public:
    using Error::Error;
    const char* kind() const noexcept override { return "cindra.logic.LuaError"; }
};

// Native functions gathered under one Lua table name. A dotted name ("Cindra.Entity") is a
// module: the table is package.loaded[name] and is also reached through the dotted global
// path, created as needed. An empty name registers the functions as globals. The table comes
// into being with the first function added; a non-table value in its way is a LuaError.
class LuaLibraryWrapper {
public:
    LuaLibraryWrapper(lua_State* state, std::string tableName);
    // Adds a native function under name to the table; returns *this so adds chain.
    LuaLibraryWrapper& add(const char* name, lua_CFunction function);
    // The same, with one light-userdata upvalue (lua_upvalueindex(1)) holding context: the
    // engine object the function serves.
    LuaLibraryWrapper& add(const char* name, lua_CFunction function, void* context);
    const std::string& tableName() const;

private:
    void registerFunction(const char* name, lua_CFunction function, void* context, bool hasContext);

    lua_State* state_;
    std::string tableName_;
};

// Either a main state, with the standard libraries and the host print, closed with this
// object; or a coroutine of another Lua object's state, which that state owns and collects.
// Stack contracts follow the Lua C API: values are pushed and popped on state().
class Lua {
public:
    Lua();
    ~Lua();
    Lua(const Lua&) = delete;
    Lua& operator=(const Lua&) = delete;

    lua_State* state() const;
    bool isMainState() const;

    // Sets package.path, the search patterns of require ("/folder/?.lua;..."). Fails with
    // LuaError when a script has left package without a usable table.
    void setPackagePath(std::string_view path);
    // Loads a chunk and calls it with the nargs values already pushed as its arguments,
    // leaving nresults results (LUA_MULTRET for all). A chunk that does not compile is a
    // LuaError; so is a failing run when protectedCall holds. Either failure leaves the stack
    // without the arguments, as a failing protected call does.
    void runString(std::string_view code, const std::string& chunkName, int nargs, int nresults,
                   bool protectedCall);
    void runFile(const std::string& path, int nargs, int nresults, bool protectedCall);
    LuaLibraryWrapper library(std::string tableName);
    // Runs Lua's require on moduleName, protected; the module's value is not kept.
    void require(const std::string& moduleName);
    // Pushes package.loaded[moduleName] and returns true when the module is loaded; otherwise
    // leaves the stack as it was and returns false. The lookup runs protected: a package
    // table a script has broken is a LuaError, with the stack as it was.
    bool getLoadedModule(const std::string& moduleName);
    // A new coroutine of this state. Its thread object is left on top of this state's stack:
    // the caller anchors it (e.g. in the registry) for as long as the coroutine is used.
    std::unique_ptr<Lua> newThread();
    // Calls the function that sits below nargs arguments on the stack. A protected call
    // throws LuaError on failure, with the error value popped.
    void call(int nargs, int nresults, bool protectedCall);
    // Resumes this coroutine with nargs values already pushed on it. True when it yielded,
    // false when it returned; a failure throws LuaError (the error value stays on top of the
    // coroutine's stack for the caller to read).
    bool resume(int nargs);

private:
    explicit Lua(lua_State* thread);
    // Moves the chunk a load just pushed (or its error) below the nargs arguments, then calls
    // it, or drops the arguments and throws the load error.
    void callChunk(int loadStatus, int nargs, int nresults, bool protectedCall);

    lua_State* state_;
    bool mainState_;
};

// The host's print, registered as the global print: every argument through the global
// tostring, separated by tabs, as one flushed line on standard output.
int hostPrint(lua_State* L);

} // namespace cindra::logic
