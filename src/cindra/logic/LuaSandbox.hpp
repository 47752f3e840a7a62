// A Lua state for files the user writes, such as the settings: it offers only the base library
// and holds whatever runs in it to a memory budget, an instruction count and a time limit.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct lua_State;

namespace cindra::logic {

// What a sandbox's state has used against its limits; the allocator and the hook share it.
struct LuaSandboxBudget;

struct LuaSandboxLimits {
    std::size_t memoryBytes;        // what all the state's allocations may add up to
    std::int64_t instructions;      // per run, counted in steps of a thousand
    std::chrono::milliseconds time; // per run, from its start
    std::string runawayMessage;     // the error raised when a run passes either of the two
};

// The base library less its loaders load, loadfile and dofile; loadstring refuses precompiled
// chunks, which Lua 5.1 runs unverified. Past the memory budget allocations fail, which Lua
// reports as "not enough memory". Errors are LuaErrors whose message is the Lua error value as
// the C API's lua_tostring gives it (up to a zero byte), or "(error object)" when it is neither
// a string nor a number.
class LuaSandbox {
public:
    // Throws LuaError when no state can be made within the budget.
    explicit LuaSandbox(const LuaSandboxLimits& limits);
    ~LuaSandbox();
    LuaSandbox(const LuaSandbox&) = delete;
    LuaSandbox& operator=(const LuaSandbox&) = delete;

    // Runs text, the contents of the file fileName, as luaL_loadfile would read it (a first
    // line starting with '#' skipped but counted) but as source text only. A chunk that is
    // precompiled, does not compile or fails is a LuaError; what it assigned before failing
    // stays. The limits go on guarding the state after the run, counting from its start.
    void runFileText(std::string_view text, const std::string& fileName);
    // The global's value under Lua's truth rules, or nothing when it is nil. A metamethod on
    // the globals that raises is a LuaError.
    std::optional<bool> globalTruth(const std::string& name) const;
    // The global's text, or nothing when it is nil. Any other type, or a text longer than
    // maxLength bytes, is a LuaError naming the global.
    std::optional<std::string> globalText(const std::string& name, std::size_t maxLength) const;

private:
    std::unique_ptr<LuaSandboxBudget> budget_; // outlives the state, whose allocator it serves
    lua_State* state_;
};

} // namespace cindra::logic
