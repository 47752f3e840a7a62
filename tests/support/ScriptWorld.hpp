// A headless game for script tests: a game folder of the test's own (scripts and levels
// written from text), the real game on the null platform (without a font), a key-state array
// the test holds keys in, and the World with its script manager, driven frame by frame.
#pragma once

#include "support/LevelText.hpp"
#include "support/StdoutCapture.hpp"
#include "support/TempDir.hpp"

#include "cindra/Game.hpp"
#include "cindra/NullPlatform.hpp"
#include "cindra/World.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/level/LevelSource.hpp"
#include "cindra/logic/ScriptManager.hpp"
#include "cindra/util/Perlin.hpp"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <lua.hpp>
#include <memory>
#include <optional>
#include <string>

namespace cindra::test {

class ScriptWorld {
public:
    ScriptWorld() : previous_(std::filesystem::current_path()) {
        std::filesystem::create_directories(folder_.path() / "scripts" / "entity");
        std::filesystem::current_path(folder_.path());
        // A player script that does nothing, and an empty start-up module, unless replaced.
        script("init", "");
        script("entity.player", "return {}");
    }
    ~ScriptWorld() {
        game_.reset();
        std::filesystem::current_path(previous_);
    }
    ScriptWorld(const ScriptWorld&) = delete;
    ScriptWorld& operator=(const ScriptWorld&) = delete;

    // Writes scripts/<module with dots as slashes>.lua.
    void script(const std::string& module, const std::string& text) {
        std::string path = module;
        for (char& c : path) {
            c = c == '.' ? '/' : c;
        }
        write("scripts/" + path + ".lua", text);
    }
    // Compiles level source into the map file name.
    void level(const std::string& name, const std::string& source) {
        const level::Level compiled = level::parseLevel(source, name);
        write(name, level::encodeLevel(compiled.map, compiled.entities));
    }
    // Writes the file, making its folders.
    void write(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories((folder_.path() / name).parent_path());
        std::ofstream(folder_.path() / name, std::ios::binary) << bytes;
    }

    // Starts the game on mapName: the configuration, the start-up module, the map, the
    // player and initWorld.
    World& start(const std::string& mapName = "intro.cmap") {
        GameOptions options;
        options.firstMap = mapName;
        game_.emplace(platform_, std::move(options));
        game_->input().keyState = keys_.data();
        game_->input().keyCount = static_cast<int>(keys_.size());
        return game_->world();
    }
    // One frame's update.
    void frame(float dt = 0.05f) { world().update(dt); }
    void frames(int count, float dt = 0.05f) {
        for (int i = 0; i < count; ++i) {
            frame(dt);
        }
    }

    void hold(int key, bool down = true) { keys_[static_cast<std::size_t>(key)] = down ? 1 : 0; }

    Game& game() { return *game_; }
    World& world() { return game_->world(); }
    gui::InputState& input() { return game_->input(); }
    NullPlatform& platform() { return platform_; }
    lua_State* lua() { return world().getScriptManager().lua().state(); }
    // The value of a global of the main state as a number (0 when it is not one).
    double number(const char* global) {
        lua_getglobal(lua(), global);
        const double value = lua_tonumber(lua(), -1);
        lua_pop(lua(), 1);
        return value;
    }
    util::Timer& clock() { return game_->gameClock(); }

private:
    std::filesystem::path previous_;
    TempDir folder_{"cindra-scripts"};
    NullPlatform platform_{NullPlatform::Options{.font = false}};
    std::array<std::uint8_t, 323> keys_{};
    std::optional<Game> game_;
};

} // namespace cindra::test
