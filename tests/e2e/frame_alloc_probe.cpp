// Runs the game's real start-up and frame loop in-process, in the game folder it is started
// in, and counts the allocations made through C++ new while frames run. All of the engine's
// own allocations go through new; the GL driver's are not ours and are not counted. The
// scripts' Lua allocator is counted apart, for information: Lua values live on Lua's heap.
#include "cindra/Game.hpp"
#include "cindra/PlatformSdl.hpp"
#include "cindra/World.hpp"
#include "cindra/logic/ScriptManager.hpp"

#include <lua.hpp>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>

namespace {
std::atomic<bool> counting{false};
std::atomic<unsigned long> allocations{0};

// Wraps the Lua state's allocator, counting the blocks it hands out and grows while counting.
struct LuaCount {
    lua_Alloc inner = nullptr;
    void* innerData = nullptr;
    unsigned long blocks = 0;
    unsigned long bytes = 0;
};
LuaCount luaCount;

void* countingLuaAlloc(void* data, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* count = static_cast<LuaCount*>(data);
    if (counting.load(std::memory_order_relaxed) && newSize > 0) {
        const std::size_t had = block != nullptr ? oldSize : 0;
        if (newSize > had) {
            count->blocks += 1;
            count->bytes += newSize - had;
        }
    }
    return count->inner(count->innerData, block, oldSize, newSize);
}
} // namespace

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

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::stoi(argv[1]) : 300;
    try {
        cindra::SdlPlatform platform;
        cindra::Game application(platform);
        for (int i = 0; i < 10; ++i) { // warm-up: first-use work in the driver and SDL
            application.frame();
            application.inputStep();
        }
        lua_State* L = application.world().getScriptManager().lua().state();
        luaCount.inner = lua_getallocf(L, &luaCount.innerData);
        lua_setallocf(L, countingLuaAlloc, &luaCount);
        counting = true;
        for (int i = 0; i < frames; ++i) {
            application.frame();
            application.inputStep();
        }
        counting = false;
        std::printf("allocations in %d frames: %lu\n", frames, allocations.load());
        std::printf("Lua allocations in %d frames: %lu blocks, %lu bytes\n", frames,
                    luaCount.blocks, luaCount.bytes);
        std::fflush(stdout);
        application.shutdown();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
