// Runs the game's Lua: the start-up module, the global functions the engine calls, and one
// script per scripted entity, whose think function runs as a coroutine resumed once a frame.
#pragma once

#include "cindra/gui/IModalElement.hpp"
#include "cindra/logic/Entity.hpp"
#include "cindra/logic/Lua.hpp"
#include "cindra/util/Signal.hpp"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cindra {
class World;
}

namespace cindra::logic {

// One entity's script: its module (the functions init, update, think and destroy, each
// taking the entity first) and the coroutine that runs think.
class ScriptManager;

// Adds one to a count for as long as it lives: a call into Lua that is running, a level of
// nesting.
class ScopedCount {
public:
    explicit ScopedCount(int& count) : count_(count) { count_ += 1; }
    ~ScopedCount() { count_ -= 1; }
    ScopedCount(const ScopedCount&) = delete;
    ScopedCount& operator=(const ScopedCount&) = delete;

private:
    int& count_;
};

// A box a think function asked to open; it opens once the coroutine has really yielded.
struct BoxRequest {
    std::unique_ptr<gui::IModalElement> box;
    // The dialog's answer signal; null for a text box.
    util::Signal<int>* chosen = nullptr;
};

class ScriptObject {
public:
    // Takes the coroutine newThread left on top of lua's stack (and leaves it there) and keeps
    // a reference to it for as long as the object lives, so that a running coroutine is never
    // collected, even when scriptThreads no longer holds it.
    ScriptObject(ScriptManager& manager, std::unique_ptr<Lua> thread, Entity e, std::string module,
                 std::string initArgument);
    ~ScriptObject();
    ScriptObject(const ScriptObject&) = delete;
    ScriptObject& operator=(const ScriptObject&) = delete;

    // Calls the module's init (with the argument when there is one) and starts think up to
    // its first yield. Throws a LuaError for a module that is not loaded or not a table.
    void start();
    // From now on the coroutine is not resumed until a value is delivered.
    void waitForValue() { waiting = true; }
    // One resumption of think, with the values delivered since the last one.
    void step();
    // Calls the module function name with the entity (and dt when given, as a Lua number).
    void callModuleFunction(const char* name, const float* dt = nullptr);
    // Hands a dialog's answer to the waiting coroutine for its next resumption.
    void deliverValue(int value);
    // Pushes the coroutine on the main stack.
    void pushThread() const;
    // The state of the coroutine, as native functions called from think see it.
    lua_State* threadState() const { return thread_->state(); }
    // Keeps request for the yield that follows and pushes that yield's values on L (the
    // coroutine); returns their number. The box opens only if the yield suspends the
    // coroutine: a yield that fails (inside pcall, say) raises an error and the box is dropped.
    int requestBox(lua_State* L, BoxRequest request);
    // Whether one of this object's calls into Lua is running (perhaps further down the stack).
    bool busy() const { return busy_ > 0; }

    // Tells this object apart from one that later takes its place (or its address).
    const std::uint64_t serial;
    Entity entity;
    std::string module;
    std::string initArgument;
    bool hasThink = false;
    bool alive = false;
    bool waiting = false;
    int pendingValues = 0;

private:
    // Pushes the module's table on the main stack; message names what was asked of it.
    void pushModule(const char* missingMessage);
    void resume(int values);
    // After a yield: opens the box the yield was made for, if it was.
    void openRequestedBox();
    void reportError(const char* message) const;
    // "module.function for entity e" and the entity's name, for errors that end the game.
    std::string describe(const char* function) const;

    ScriptManager& manager_;
    Lua& lua_;
    std::unique_ptr<Lua> thread_;
    int threadRef_;
    BoxRequest box_;
    int busy_ = 0;
};

// Hands a dialog's answer to the script that opened the dialog, if that script is still the
// one attached to its entity; the answer for a script that has gone in the meantime (its
// entity destroyed while the dialog was open) is dropped.
class AnswerReceiver {
public:
    AnswerReceiver(ScriptManager& manager, const ScriptObject& script)
        : manager_(manager), entity_(script.entity), serial_(script.serial) {}
    // Delivers value, then lets the manager release this receiver.
    void deliver(int value);

private:
    ScriptManager& manager_;
    Entity entity_;
    std::uint64_t serial_;
};

class ScriptManager {
public:
    // The module search path of the game's scripts, relative to the working directory.
    static constexpr const char* kPackagePath = "./scripts/?.lua";
    static constexpr const char* kStartModule = "init";
    static constexpr const char* kThreadTable = "scriptThreads";
    // How deep scripts may attach scripts whose think (started at once) attaches more: each
    // level runs inside the one before on the C stack, which Lua does not count across
    // coroutines. The model is Lua's own limit on nested C calls.
    static constexpr int kMaxAttachDepth = 200;

    // A main Lua state with the package path set, modules only from Lua files and os.exit
    // going through exitGame. world is what the script API acts on.
    explicit ScriptManager(World& world);
    ~ScriptManager();

    // Publishes the script API, creates scriptThreads and runs the start-up module.
    void init();
    // Gives e the script module, replacing any earlier one (whose destroy is not called); the
    // earlier one is released at once unless it is running, and then when it returns.
    // Refuses to nest deeper than kMaxAttachDepth.
    void attachScript(Entity e, const std::string& module, const std::string& argument);
    // Calls the script's destroy and drops it; nothing for an entity without a script.
    void detachScript(Entity e);
    // The global update(dt), each script's update, then one step of each think coroutine.
    void update(float dt);
    // Calls the global function name with no arguments, if it is a function.
    void callGlobal(const char* name);
    // Runs again the files of those modules that are loaded, and returns the ones it ran; a
    // module not loaded, or whose file has gone, keeps what it was. Nothing is replaced until
    // every file has run: a file that does not compile or fails as it runs is a LuaError
    // naming the module, and every module stays as it was. A module that was a table and
    // still is keeps its table, emptied and filled with the new one's fields, so that the
    // modules holding it see the new functions.
    std::vector<std::string> reloadModules(const std::vector<std::string>& modules);
    // The file require loads the module from: its dots become folders under scripts/.
    static std::string modulePath(std::string_view module);
    // What os.exit does in a script: by default the process ends with status at once (its
    // output flushed); the game sets a handler that shuts the platform down first.
    void setExitHandler(std::function<void(int status)> handler) { exit_ = std::move(handler); }
    [[noreturn]] void exitGame(int status);
    // Opens the box a script's think asked for once its coroutine has yielded: pushes it on
    // the world's modal stack and, for a dialog, makes the script wait for the answer.
    void openBox(ScriptObject& script, BoxRequest request);
    std::uint64_t nextSerial() { return ++serials_; }

    Lua& lua() { return lua_; }
    World& world() { return world_; }
    // The script whose think coroutine is being resumed, or null.
    ScriptObject* current() const { return current_; }
    ScriptObject* find(Entity e) const;
    // A receiver for the answer of a dialog that script opens; it lives until it delivers.
    AnswerReceiver& answerReceiver(const ScriptObject& script);
    void releaseReceiver(const AnswerReceiver& receiver);
    std::size_t scriptCount() const { return scripts_.size(); }

private:
    template <typename Each> void forEachScript(Each each);
    // Releases script, or keeps it until releaseRetired when one of its calls is running.
    void drop(std::unique_ptr<ScriptObject> script);
    void releaseRetired();

    World& world_;
    Lua lua_;
    // Ordered by handle: scripts run in the order their entities were created.
    std::map<Entity, std::unique_ptr<ScriptObject>> scripts_;
    // Scripts replaced or detached while one of their calls runs, kept until it returns.
    std::vector<std::unique_ptr<ScriptObject>> retired_;
    std::vector<std::unique_ptr<AnswerReceiver>> receivers_;
    ScriptObject* current_ = nullptr;
    // Counts changes to scripts_, so a walk over it knows when to find its place again.
    std::uint64_t changes_ = 0;
    std::uint64_t serials_ = 0;
    int attachDepth_ = 0;
    std::function<void(int)> exit_;
};

} // namespace cindra::logic
