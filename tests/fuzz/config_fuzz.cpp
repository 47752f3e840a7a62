// config.txt: the input is the file, run as the game runs it at start-up, then the settings
// the game reads. The configuration never throws: a broken file only prints a line.
#include "FuzzSupport.hpp"

#include "cindra/Configuration.hpp"

#include <string>

using namespace cindra;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::writeInput("config.txt", data, size);
    const Configuration config(path);
    for (const char* key : {"fullscreen", "disableVBOs", "inspector"}) {
        config.getBool(key, false);
    }
    return 0;
}
