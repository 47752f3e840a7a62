// The level-source compiler of the map tool: source text in, map file bytes out, as
// "cmap build" does. What compiles must also print back (as "cmap dump" does) to source that
// compiles to the same bytes.
#include "FuzzSupport.hpp"

#include "cindra/Error.hpp"
#include "cindra/level/LevelSource.hpp"

#include <string>
#include <string_view>

using namespace cindra;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string bytes;
    std::string printed;
    try {
        const level::Level level = level::parseLevel(text, "fuzz.level");
        bytes = level::encodeLevel(level.map, level.entities);
        printed = level::printLevel(level.map, level.entities);
    } catch (const Error&) {
        return 0;
    }
    const level::Level again = level::parseLevel(printed, "printed.level");
    if (level::encodeLevel(again.map, again.entities) != bytes) {
        fuzz::finding("a printed level does not compile to the bytes it was printed from");
    }
    return 0;
}
