// The map file reader as the game meets it: World::loadMap on the input written to a file,
// with the world's entity chunk handler, in a fresh process state, then the first frame's
// render into the screen-sized console. The scripts folder is empty, so entity scripts fail
// to load; that, like every damaged file, is a cindra::Error.
#include "FuzzSupport.hpp"

#include "cindra/Console.hpp"
#include "cindra/Error.hpp"
#include "cindra/Process.hpp"
#include "cindra/World.hpp"
#include "cindra/logic/ScriptManager.hpp"

#include <filesystem>
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

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::writeInput("fuzz.cmap", data, size);
    resetProcess();
    {
        World world(path);
        world.getScriptManager().lua().setPackagePath(scriptPath());
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
