// One frame of World::update with many scripted entities, each with an update function and
// a think coroutine that reads its position and walks towards a target every frame. The
// baseline is the same number of bare Lua coroutine resumes doing the same table work
// without the engine, in the same run.
#include "cindra/Game.hpp"
#include "cindra/NullPlatform.hpp"
#include "cindra/World.hpp"
#include "cindra/level/LevelSource.hpp"
#include "cindra/logic/Lua.hpp"

#include <benchmark/benchmark.h>
#include <lua.hpp>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr const char* kWalker = R"(
local M = {}
local targets = {}
function M.update(e, dt) end
function M.think(e)
    local a, b = {2, 2}, {60, 40}
    local target = a
    while true do
        local p = Cindra.Entity.getPosition(e)
        if Cindra.Entity.moveTowards(e, target) then
            target = target == a and b or a
        end
        coroutine.yield()
    end
end
return M
)";

constexpr const char* kInit = R"(
function initWorld()
    for i = 1, COUNT do
        local e = Cindra.Entity.create()
        Cindra.Entity.createComponent(e, 'location')
        Cindra.Entity.setPosition(e, {i % 64, i % 48})
        Cindra.Entity.setSpeed(e, 1000)
        Cindra.Entity.attachScript(e, 'entity.walker', '')
    end
end
)";

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A game folder with a 64 x 48 open level and count walking entities.
class Game {
public:
    explicit Game(int count) {
        char pattern[] = "/tmp/cindra-bench-XXXXXX";
        folder_ = mkdtemp(pattern);
        previous_ = fs::current_path();
        std::string level = "cindra-level 1\nsize 64 48\ntile . glyph '.'\nmap\n";
        for (int y = 0; y < 48; ++y) {
            level += std::string(64, '.') + "\n";
        }
        const cindra::level::Level compiled = cindra::level::parseLevel(level, "bench.level");
        writeFile(folder_ / "intro.cmap", cindra::level::encodeLevel(compiled.map, {}));
        writeFile(folder_ / "scripts/init.lua", "COUNT = " + std::to_string(count) + kInit);
        writeFile(folder_ / "scripts/entity/player.lua", "return {}");
        writeFile(folder_ / "scripts/entity/walker.lua", kWalker);
        fs::current_path(folder_);
        game_.emplace(platform_);
    }
    ~Game() {
        game_.reset();
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }
    cindra::World& world() { return game_->world(); }

private:
    fs::path folder_;
    fs::path previous_;
    cindra::NullPlatform platform_{cindra::NullPlatform::Options{.font = false}};
    std::optional<cindra::Game> game_;
};

void BM_WorldUpdate(benchmark::State& state) {
    Game game(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        game.world().update(1.0f / 60.0f);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WorldUpdate)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The same per-entity work in a bare Lua state, driven from one Lua loop: an update call and
// one resume of a coroutine that builds a position table and calls a movement function.
// What the Lua work alone costs, without the engine's calls across the C boundary.
void BM_BareLuaResumes(benchmark::State& state) {
    cindra::logic::Lua lua;
    lua.runString("local n = " + std::to_string(state.range(0)) + R"(
local M = {}
function M.update(e, dt) end
local function getPosition(e) return {e, e} end
local function moveTowards(e, t) return false end
local threads = {}
for i = 1, n do
    threads[i] = coroutine.create(function(e)
        while true do
            local p = getPosition(e)
            moveTowards(e, p)
            coroutine.yield()
        end
    end)
end
function step(dt)
    for i = 1, n do M.update(i, dt) end
    for i = 1, n do coroutine.resume(threads[i], i) end
end
)",
                  "baseline", 0, 0, true);
    lua_State* L = lua.state();
    for (auto _ : state) {
        lua_getglobal(L, "step");
        lua_pushnumber(L, 1.0 / 60.0);
        lua.call(1, 0, true);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BareLuaResumes)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
