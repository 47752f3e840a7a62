// Whole frames of the real game loop on the null platform, in the shipped game folder: the
// player walks where the keys send it, and a frame of standing still allocates nothing. The
// allocations are counted through C++ new, replaced below, which is why this test is an
// executable of its own; the scripts' Lua allocator is counted apart, for information.
#include "cindra/Game.hpp"
#include "cindra/NullPlatform.hpp"
#include "cindra/World.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/logic/Entities.hpp"
#include "cindra/logic/ScriptManager.hpp"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<unsigned long> allocations{0};

struct LuaCount {
    lua_Alloc inner = nullptr;
    void* innerData = nullptr;
    unsigned long blocks = 0;
};

void* countingLuaAlloc(void* data, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* count = static_cast<LuaCount*>(data);
    if (counting.load(std::memory_order_relaxed) && newSize > (block != nullptr ? oldSize : 0)) {
        count->blocks += 1;
    }
    return count->inner(count->innerData, block, oldSize, newSize);
}

} // namespace

// The replacements below pair malloc with free by design; GCC, seeing them inlined into the
// library's own deletes, would warn about a mismatch that is not one.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

class GameLoop : public ::testing::Test {
protected:
    GameLoop() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(CINDRA_SOURCE_DIR "/game");
    }
    ~GameLoop() override { std::filesystem::current_path(previous_); }

    // One turn of the loop as the game runs it, a sixtieth of a second long.
    bool frame(cindra::Game& game) {
        platform.advance(1.0 / 60.0);
        game.frame();
        return game.inputStep();
    }
    cindra::util::GridPos player(cindra::Game& game) {
        cindra::World& world = game.world();
        return world.entities().location(world.getPlayer())->getPosition();
    }

    std::filesystem::path previous_;
    cindra::NullPlatform platform;
};

TEST_F(GameLoop, HundredsOfFramesWalkThePlayerAndStandingStillAllocatesNothing) {
    cindra::Game game(platform);
    ASSERT_TRUE(game.inputStep());
    for (int i = 0; i < 10; ++i) { // first-use work: lights, caches, the scripts' first steps
        ASSERT_TRUE(frame(game));
    }
    const cindra::util::GridPos start = player(game);

    LuaCount lua;
    lua_State* L = game.world().getScriptManager().lua().state();
    lua.inner = lua_getallocf(L, &lua.innerData);
    lua_setallocf(L, countingLuaAlloc, &lua);
    counting = true;
    for (int i = 0; i < 300; ++i) {
        frame(game);
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0u) << "C++ allocations in 300 frames of standing still";
    std::printf("Lua allocations in 300 idle frames: %lu blocks\n", lua.blocks);

    // The player walks west along the entry chamber, and back east.
    platform.keyDown(cindra::gui::kKeyLeft);
    for (int i = 0; i < 60; ++i) {
        ASSERT_TRUE(frame(game));
    }
    platform.keyUp(cindra::gui::kKeyLeft);
    frame(game);
    EXPECT_LT(player(game).x, start.x);
    EXPECT_EQ(player(game).y, start.y);
    platform.keyDown(cindra::gui::kKeyEscape);
    EXPECT_FALSE(frame(game));
    EXPECT_EQ(game.frameCount(), 10u + 300u + 61u + 1u);
    lua_setallocf(L, lua.inner, lua.innerData);
}

} // namespace
