// The map file reader as the game meets it: World::loadMap on the input written to a file,
// with the world's entity chunk handler, in a fresh game on the null platform, then the first
// frame's render into the screen-sized console. The scripts folder is empty, so entity scripts fail
// to load; that, like every damaged file, is a cindra::Error.
#include "FuzzSupport.hpp"

#include "cindra/Console.hpp"
#include "cindra/Error.hpp"
#include "cindra/Game.hpp"
#include "cindra/NullPlatform.hpp"
#include "cindra/World.hpp"
#include "cindra/level/LevelSource.hpp"
#include "cindra/logic/ScriptManager.hpp"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace cindra;

namespace {

// The scripts folder the world's modules are looked up in: empty, so every entity script
// fails to load. The search path is absolute, because the fuzzer's own paths (the corpus and
// where it writes findings) are relative to the working directory, which stays as it is.
std::string scriptPath() {
    static const std::string path = [] {
        std::filesystem::create_directories(fuzz::scratch().path() / "scripts");
        return (fuzz::scratch().path() / "scripts" / "?.lua").string();
    }();
    return path;
}

// A game folder in the scratch folder that starts cleanly: an empty start-up module, a player
// script and a small first map; the game is made there, and the input is loaded after.
void writeStartFolder() {
    const std::filesystem::path folder = fuzz::scratch().path();
    std::filesystem::create_directories(folder / "scripts" / "entity");
    std::ofstream(folder / "scripts" / "init.lua") << "";
    std::ofstream(folder / "scripts" / "entity" / "player.lua") << "return {}";
    const level::Level start =
        level::parseLevel("cindra-level 1\nsize 4 4\ntile . glyph '.'\nmap\n....\n....\n....\n"
                          "....\n",
                          "start.level");
    std::ofstream(folder / "start.cmap", std::ios::binary)
        << level::encodeLevel(start.map, start.entities);
}

// A fresh game, made in the scratch folder; the working folder is given back at once, since
// the fuzzer's own paths are relative to it.
std::unique_ptr<Game> freshGame(NullPlatform& platform) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(fuzz::scratch().path());
    GameOptions options;
    options.firstMap = "start.cmap";
    auto game = std::make_unique<Game>(platform, std::move(options));
    std::filesystem::current_path(previous);
    return game;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::silenceStdout();
    writeStartFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::writeInput("fuzz.cmap", data, size);
    {
        NullPlatform platform(NullPlatform::Options{.font = false});
        const std::unique_ptr<Game> game = freshGame(platform);
        World& world = game->world();
        world.getScriptManager().lua().setPackagePath(scriptPath());
        try {
            world.loadMap(path);
        } catch (const Error&) {
        }
        Console console(Map::kViewWidth, Map::kViewHeight);
        world.render(console);
    }
    return 0;
}
