#include "cindra/logic/ScriptManager.hpp"

#include "cindra/Output.hpp"
#include "cindra/World.hpp"
#include "cindra/logic/LuaGlue.hpp"

#include <fmt/format.h>
#include <lua.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace cindra::logic {

namespace {

// Puts the stack back to its height at construction when an error leaves a scope early.
class StackGuard {
public:
    explicit StackGuard(lua_State* L) : L_(L), top_(lua_gettop(L)) {}
    ~StackGuard() { lua_settop(L_, top_); }
    StackGuard(const StackGuard&) = delete;
    StackGuard& operator=(const StackGuard&) = delete;

private:
    lua_State* L_;
    int top_;
};

int indexValue(lua_State* L) {
    lua_gettable(L, 1);
    return 1;
}

// Calls package.loaded[module][name](entity[, dt]) when that function exists. Arguments:
// module, name, entity and optionally dt. Run protected: every failure is a Lua error.
int callInModule(lua_State* L) {
    const int args = lua_gettop(L);
    lua_getglobal(L, "package");
    lua_getfield(L, -1, "loaded");
    lua_pushvalue(L, 1);
    lua_gettable(L, -2);
    if (lua_isnil(L, -1)) {
        lua_pushfstring(L, "Module %s is not loaded.", lua_tostring(L, 1));
        return lua_error(L);
    }
    if (!lua_istable(L, -1)) {
        lua_pushfstring(L, "Module %s does not return a table of functions.", lua_tostring(L, 1));
        return lua_error(L);
    }
    lua_pushvalue(L, 2);
    lua_gettable(L, -2);
    if (lua_isnil(L, -1)) {
        return 0;
    }
    for (int i = 3; i <= args; ++i) {
        lua_pushvalue(L, i);
    }
    lua_call(L, args - 2, 0);
    return 0;
}

// The helpers above live in the registry, made once: pushing a C function anew would
// allocate a closure on every call, and these run for every script every frame.
char indexValueKey;
char callInModuleKey;

void storeHelper(lua_State* L, char* key, lua_CFunction helper) {
    lua_pushlightuserdata(L, key);
    lua_pushcfunction(L, helper);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

void pushHelper(lua_State* L, char* key) {
    lua_pushlightuserdata(L, key);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

// Runs call; an error that leaves it is told the step that was running, as describe names it
// (only then, so that the frame's calls build no text).
template <typename Call, typename Describe> void naming(Describe describe, Call call) {
    try {
        call();
    } catch (Error& error) {
        error.addContext(describe());
        throw;
    }
}

// The value a think coroutine yields when it asks for a box (only native code can make it).
char boxMarker;

// os.exit for scripts, with the manager as upvalue: the status as Lua's own os.exit reads it.
int exitFromScript(lua_State* L) {
    const int status = luaL_optint(L, 1, EXIT_SUCCESS);
    static_cast<ScriptManager*>(lua_touserdata(L, lua_upvalueindex(1)))->exitGame(status);
}

// Run through lua_cpcall with the manager: modules come only from Lua files on package.path
// (no C loaders, no package.cpath), and os.exit ends the game in order.
int restrictLibraries(lua_State* L) {
    void* manager = lua_touserdata(L, 1);
    lua_getglobal(L, "package");
    lua_pushliteral(L, "");
    lua_setfield(L, -2, "cpath");
    lua_getfield(L, -1, "loaders");
    // Lua's loaders: preload, Lua files, C libraries, C roots; the last two go.
    for (int i = static_cast<int>(lua_objlen(L, -1)); i > 2; --i) {
        lua_pushnil(L);
        lua_rawseti(L, -2, i);
    }
    lua_getglobal(L, "os");
    lua_pushlightuserdata(L, manager);
    lua_pushcclosure(L, exitFromScript, 1);
    lua_setfield(L, -2, "exit");
    return 0;
}

// Pushes table[key] for the value at index. Runs protected, because an __index metamethod
// (a strict-globals guard, say) may raise: that becomes a LuaError, not a jump over C++.
void pushField(Lua& lua, int index, const char* key) {
    lua_State* L = lua.state();
    if (index < 0 && index > LUA_REGISTRYINDEX) {
        index = lua_gettop(L) + index + 1;
    }
    pushHelper(L, &indexValueKey);
    lua_pushvalue(L, index);
    lua_pushstring(L, key);
    lua.call(2, 1, true);
}

} // namespace

ScriptObject::ScriptObject(ScriptManager& manager, std::unique_ptr<Lua> thread, Entity e,
                           std::string moduleName, std::string argument)
    : serial(manager.nextSerial()), entity(e), module(std::move(moduleName)),
      initArgument(std::move(argument)), manager_(manager), lua_(manager.lua()),
      thread_(std::move(thread)) {
    lua_State* L = lua_.state();
    lua_pushthread(thread_->state());
    lua_xmove(thread_->state(), L, 1);
    threadRef_ = luaL_ref(L, LUA_REGISTRYINDEX);
}

ScriptObject::~ScriptObject() {
    luaL_unref(lua_.state(), LUA_REGISTRYINDEX, threadRef_);
}

void ScriptObject::pushModule(const char* missing) {
    lua_State* L = lua_.state();
    if (!lua_.getLoadedModule(module)) {
        throw LuaError("Module " + module + " " + missing);
    }
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        throw LuaError("Module " + module + " does not return a table of functions.");
    }
}

void ScriptObject::start() {
    const ScopedCount busy(busy_);
    lua_State* L = lua_.state();
    StackGuard guard(L);
    pushModule("could not be loaded.");
    pushField(lua_, -1, "init");
    if (!lua_isnil(L, -1)) {
        lua_pushinteger(L, entity);
        const bool withArgument = !initArgument.empty();
        if (withArgument) {
            lua_pushlstring(L, initArgument.data(), initArgument.size());
        }
        naming([this] { return describe("init"); },
               [&] { lua_.call(withArgument ? 2 : 1, 0, true); });
    } else {
        lua_pop(L, 1);
    }
    initArgument.clear();
    pushField(lua_, -1, "think");
    if (!lua_isnil(L, -1)) {
        lua_xmove(L, thread_->state(), 1);
        hasThink = true;
        lua_pushinteger(thread_->state(), entity);
        resume(1);
    }
}

void ScriptObject::callModuleFunction(const char* name, const float* dt) {
    const ScopedCount busy(busy_);
    lua_State* L = lua_.state();
    pushHelper(L, &callInModuleKey);
    lua_pushlstring(L, module.data(), module.size());
    lua_pushstring(L, name);
    lua_pushinteger(L, entity);
    if (dt != nullptr) {
        lua_pushnumber(L, *dt);
    }
    naming([this, name] { return describe(name); },
           [&] { lua_.call(dt != nullptr ? 4 : 3, 0, true); });
}

std::string ScriptObject::describe(const char* function) const {
    const std::string* name = manager_.world().entities().getName(entity);
    return fmt::format("{}.{} for entity {}{}", module, function, entity,
                       name != nullptr ? " \"" + *name + "\"" : "");
}

void ScriptObject::step() {
    const ScopedCount busy(busy_);
    if (hasThink && alive && !waiting) {
        const int values = pendingValues;
        pendingValues = 0;
        resume(values);
    }
}

void ScriptObject::resume(int values) {
    try {
        alive = thread_->resume(values);
    } catch (const LuaError&) {
        alive = false;
        lua_State* co = thread_->state();
        reportError(lua_isstring(co, -1) ? lua_tostring(co, -1) : "");
    }
    openRequestedBox();
}

void ScriptObject::reportError(const char* message) const {
    printLine("{}: Entity {} has encountered a script error. {}", module, entity, message);
}

int ScriptObject::requestBox(lua_State* L, BoxRequest request) {
    box_ = std::move(request);
    lua_pushlightuserdata(L, &boxMarker);
    return 1;
}

void ScriptObject::openRequestedBox() {
    BoxRequest request = std::move(box_);
    box_ = {};
    lua_State* co = thread_->state();
    if (!alive || lua_gettop(co) == 0 || lua_touserdata(co, -1) != &boxMarker) {
        return; // no box asked for, or the yield for it failed: the request is dropped
    }
    lua_pop(co, 1);
    try {
        manager_.openBox(*this, std::move(request));
    } catch (const Error& error) {
        alive = false;
        reportError(error.what());
    }
}

void ScriptObject::pushThread() const {
    lua_rawgeti(lua_.state(), LUA_REGISTRYINDEX, threadRef_);
}

void ScriptObject::deliverValue(int value) {
    if (!(hasThink && alive && waiting)) {
        throw LuaError("Script object has no think() function or it has terminated.");
    }
    lua_pushinteger(thread_->state(), value);
    pendingValues += 1;
    waiting = false;
}

ScriptManager::ScriptManager(World& world) : world_(world) {
    lua_.setPackagePath(kPackagePath);
    if (lua_cpcall(lua_.state(), restrictLibraries, this) != 0) {
        throw LuaError(lua_tostring(lua_.state(), -1));
    }
    storeHelper(lua_.state(), &indexValueKey, indexValue);
    storeHelper(lua_.state(), &callInModuleKey, callInModule);
}

ScriptManager::~ScriptManager() = default;

void ScriptManager::init() {
    registerScriptApi(lua_, world_);
    lua_State* L = lua_.state();
    lua_createtable(L, 0, 0);
    lua_setglobal(L, kThreadTable);
    naming([] { return fmt::format("the start-up module {}", kStartModule); },
           [&] { lua_.require(kStartModule); });
}

namespace {

// Sets scriptThreads[e] to the value on top of the stack (popping it).
void setThreadEntry(Lua& lua, Entity e) {
    lua_State* L = lua.state();
    // Raw: a guard on the globals' metatable must not raise here, amid C++ objects.
    lua_pushstring(L, ScriptManager::kThreadTable);
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (!lua_istable(L, -1)) {
        lua_pop(L, 2);
        throw LuaError("The global scriptThreads is not a table.");
    }
    lua_insert(L, -2);
    lua_rawseti(L, -2, e);
    lua_pop(L, 1);
}

} // namespace

void ScriptManager::attachScript(Entity e, const std::string& module, const std::string& argument) {
    if (attachDepth_ >= kMaxAttachDepth) {
        throw LuaError(fmt::format("attachScript: scripts attached while scripts are attached nest "
                                   "deeper than {} levels.",
                                   kMaxAttachDepth));
    }
    const ScopedCount depth(attachDepth_);
    lua_State* L = lua_.state();
    auto thread = lua_.newThread();
    auto object = std::make_unique<ScriptObject>(*this, std::move(thread), e, module, argument);
    setThreadEntry(lua_, e); // pops the coroutine newThread left on the stack
    try {
        lua_.require(module);
        ScriptObject* const outer = current_;
        current_ = object.get();
        try {
            object->start();
        } catch (...) {
            current_ = outer;
            throw;
        }
        current_ = outer;
    } catch (...) {
        // The entity keeps its earlier script, if it had one.
        if (ScriptObject* earlier = find(e)) {
            earlier->pushThread();
        } else {
            lua_pushnil(L);
        }
        setThreadEntry(lua_, e);
        throw;
    }
    changes_ += 1;
    auto& slot = scripts_[e];
    std::unique_ptr<ScriptObject> replaced = std::move(slot);
    slot = std::move(object);
    drop(std::move(replaced));
    releaseRetired();
}

void ScriptManager::drop(std::unique_ptr<ScriptObject> script) {
    if (script && script->busy()) {
        retired_.push_back(std::move(script));
    }
}

void ScriptManager::releaseRetired() {
    std::erase_if(retired_, [](const auto& script) { return !script->busy(); });
}

void ScriptManager::detachScript(Entity e) {
    const auto it = scripts_.find(e);
    if (it == scripts_.end()) {
        return;
    }
    it->second->callModuleFunction("destroy");
    lua_pushnil(lua_.state());
    setThreadEntry(lua_, e);
    changes_ += 1;
    if (const auto left = scripts_.find(e); left != scripts_.end()) {
        drop(std::move(left->second));
        scripts_.erase(left);
    }
}

template <typename Each> void ScriptManager::forEachScript(Each each) {
    if (scripts_.empty()) {
        return;
    }
    // Scripts attached while these run (to entities created now, with higher handles) wait
    // for the next frame; the next entry is looked up afresh, since the map may have changed.
    const Entity last = scripts_.rbegin()->first;
    for (auto it = scripts_.begin(); it != scripts_.end() && it->first <= last;) {
        const Entity e = it->first;
        const std::uint64_t before = changes_;
        each(*it->second);
        it = changes_ == before ? std::next(it) : scripts_.upper_bound(e);
    }
}

void ScriptManager::update(float dt) {
    struct Frame {
        ScriptManager& self;
        ~Frame() {
            self.current_ = nullptr;
            self.releaseRetired();
        }
    } frame{*this};
    lua_State* L = lua_.state();
    pushField(lua_, LUA_GLOBALSINDEX, "update");
    if (!lua_isnil(L, -1)) {
        lua_pushnumber(L, dt);
        naming([] { return std::string("the global function update"); },
               [&] { lua_.call(1, 0, true); });
    } else {
        lua_pop(L, 1);
    }
    forEachScript([dt](ScriptObject& script) { script.callModuleFunction("update", &dt); });
    forEachScript([this](ScriptObject& script) {
        current_ = &script;
        script.step();
        if (!retired_.empty()) {
            releaseRetired();
        }
    });
}

void ScriptManager::callGlobal(const char* name) {
    lua_State* L = lua_.state();
    pushField(lua_, LUA_GLOBALSINDEX, name);
    if (lua_isfunction(L, -1)) {
        naming([name] { return fmt::format("the global function {}", name); },
               [&] { lua_.call(0, 0, true); });
    } else {
        lua_pop(L, 1);
    }
}

namespace {

// Empties the table at index 1 and fills it with the fields and metatable of the one at 2.
int refillTable(lua_State* L) {
    lua_pushnil(L);
    while (lua_next(L, 1) != 0) {
        lua_pop(L, 1);
        lua_pushvalue(L, -1);
        lua_pushnil(L);
        lua_rawset(L, 1); // clearing the field the traversal stands on is allowed
    }
    lua_pushnil(L);
    while (lua_next(L, 2) != 0) {
        lua_pushvalue(L, -2);
        lua_insert(L, -2);
        lua_rawset(L, 1);
    }
    if (lua_getmetatable(L, 2) == 0) {
        lua_pushnil(L);
    }
    lua_setmetatable(L, 1);
    return 0;
}

// Puts each module's new value (the table at index 1 holds them by module name) in
// package.loaded, or into the module's old table where both are tables. Run protected.
int installModules(lua_State* L) {
    lua_getglobal(L, "package");
    lua_getfield(L, -1, "loaded");
    const int loaded = lua_gettop(L);
    lua_pushnil(L);
    while (lua_next(L, 1) != 0) {
        const int value = lua_gettop(L);
        lua_pushvalue(L, value - 1);
        lua_gettable(L, loaded);
        if (lua_istable(L, -1) && lua_istable(L, value) && !lua_rawequal(L, -1, value)) {
            lua_pushcfunction(L, refillTable);
            lua_insert(L, -2);
            lua_pushvalue(L, value);
            lua_call(L, 2, 0);
        } else {
            lua_pop(L, 1);
            lua_pushvalue(L, value - 1);
            lua_pushvalue(L, value);
            lua_settable(L, loaded);
        }
        lua_settop(L, value - 1);
    }
    return 0;
}

} // namespace

std::string ScriptManager::modulePath(std::string_view module) {
    std::string path(kPackagePath);
    std::string file(module);
    std::replace(file.begin(), file.end(), '.', '/');
    path.replace(path.find('?'), 1, file);
    return path;
}

std::vector<std::string> ScriptManager::reloadModules(const std::vector<std::string>& modules) {
    lua_State* L = lua_.state();
    const StackGuard guard(L);
    lua_createtable(L, 0, static_cast<int>(modules.size()));
    const int fresh = lua_gettop(L);
    std::vector<std::string> reloaded;
    for (const std::string& module : modules) {
        const std::string path = modulePath(module);
        if (!lua_.getLoadedModule(module) || !std::filesystem::is_regular_file(path)) {
            lua_settop(L, fresh);
            continue;
        }
        lua_pop(L, 1);
        lua_pushlstring(L, module.data(), module.size());
        naming([&] { return fmt::format("the module {}", module); },
               [&] { lua_.runFile(path, 1, 1, true); });
        if (lua_isnil(L, -1)) {
            lua_pop(L, 1);
            lua_pushboolean(L, 1); // what require keeps for a module that returns nothing
        }
        lua_pushlstring(L, module.data(), module.size());
        lua_insert(L, -2);
        lua_rawset(L, fresh);
        reloaded.push_back(module);
    }
    lua_pushcfunction(L, installModules);
    lua_pushvalue(L, fresh);
    lua_.call(1, 0, true);
    return reloaded;
}

void ScriptManager::exitGame(int status) {
    if (exit_) {
        exit_(status);
    }
    // Nothing is torn down: the process ends here, with what it wrote flushed.
    std::fflush(nullptr);
    std::_Exit(status);
}

void ScriptManager::openBox(ScriptObject& script, BoxRequest request) {
    util::Signal<int>* chosen = request.chosen;
    world_.pushModal(std::move(request.box));
    if (chosen != nullptr) {
        AnswerReceiver& receiver = answerReceiver(script);
        chosen->connect(util::Signal<int>::Callback::of<&AnswerReceiver::deliver>(receiver));
        script.waitForValue();
    }
}

AnswerReceiver& ScriptManager::answerReceiver(const ScriptObject& script) {
    receivers_.push_back(std::make_unique<AnswerReceiver>(*this, script));
    return *receivers_.back();
}

void ScriptManager::releaseReceiver(const AnswerReceiver& receiver) {
    std::erase_if(receivers_, [&](const auto& held) { return held.get() == &receiver; });
}

void AnswerReceiver::deliver(int value) {
    ScriptObject* live = manager_.find(entity_);
    ScriptManager& manager = manager_;
    if (live != nullptr && live->serial == serial_) {
        try {
            live->deliverValue(value);
        } catch (...) {
            manager.releaseReceiver(*this);
            throw;
        }
    }
    manager.releaseReceiver(*this); // destroys this receiver: nothing of it is used after
}

ScriptObject* ScriptManager::find(Entity e) const {
    const auto it = scripts_.find(e);
    return it != scripts_.end() ? it->second.get() : nullptr;
}

} // namespace cindra::logic
