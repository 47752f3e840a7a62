// The map file reader as the game meets it: World::loadMap on the input written to a file,
// with the world's entity chunk handler, in a fresh process state, then the first frame's
// render into the screen-sized console. The scripts folder is empty, so entity scripts fail
// to load; that, like every damaged file, is a cindra::Error.
#include "FuzzSupport.hpp"

#include "cindra/Console.hpp"
#include "cindra/Error.hpp"
#include "cindra/Process.hpp"
#include "cindra/World.hpp"

#include <filesystem>

using namespace cindra;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::filesystem::create_directories(fuzz::scratch().path() / "scripts");
    std::filesystem::current_path(fuzz::scratch().path());
    fuzz::silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::writeInput("fuzz.cmap", data, size);
    resetProcess();
    {
        World world(path);
        try {
            world.loadMap(path);
        } catch (const Error&) {
        }
        Console console(Map::kViewWidth, Map::kViewHeight);
        world.render(console);
    }
    resetProcess();
    return 0;
}
