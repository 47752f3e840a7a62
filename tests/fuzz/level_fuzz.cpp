// The level-source compiler of the map tool: source text in, map file bytes out, as
// "cmap build" does. What compiles must also print back (as "cmap dump" does) to source that
// compiles to the same bytes and the same warnings, but for the lines they name.
#include "FuzzSupport.hpp"

#include "cindra/Error.hpp"
#include "cindra/level/LevelSource.hpp"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

using namespace cindra;

namespace {

// What the warnings say without their file and line, in order: the printed source has the
// same lights, regions and entities, but on other lines and in another order.
std::vector<std::string> problems(const level::Level& level) {
    std::vector<std::string> said;
    for (const std::string& warning : level.warnings) {
        said.push_back(warning.substr(warning.find(": warning: ")));
    }
    std::sort(said.begin(), said.end());
    return said;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string bytes;
    std::string printed;
    std::vector<std::string> warned;
    try {
        const level::Level level = level::parseLevel(text, "fuzz.level");
        bytes = level::encodeLevel(level.map, level.entities);
        printed = level::printLevel(level.map, level.entities);
        warned = problems(level);
    } catch (const Error&) {
        return 0;
    }
    const level::Level again = level::parseLevel(printed, "printed.level");
    if (level::encodeLevel(again.map, again.entities) != bytes) {
        fuzz::finding("a printed level does not compile to the bytes it was printed from");
    }
    if (problems(again) != warned) {
        fuzz::finding("a printed level does not give the warnings of the level it was printed "
                      "from");
    }
    return 0;
}
