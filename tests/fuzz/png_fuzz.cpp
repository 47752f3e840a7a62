// The tools' PNG reader (the font builder's and the map tool's): the input is the file.
#include "FuzzSupport.hpp"

#include "cindra/Error.hpp"
#include "cindra/util/Png.hpp"

using namespace cindra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::writeInput("fuzz.png", data, size);
    try {
        const util::Image image = util::readPng(path);
        if (image.rgb.size() != static_cast<std::size_t>(image.width) * image.height * 3) {
            fuzz::finding("an image's pixels do not match its size");
        }
    } catch (const Error&) {
    }
    return 0;
}
