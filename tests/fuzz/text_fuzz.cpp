// Word-wrapping text layout and line counting, and the boxes' text writing on a small face.
// The input gives the start, the wrap width and the face's size, then the text.
#include "FuzzSupport.hpp"

#include "cindra/Console.hpp"
#include "cindra/Error.hpp"
#include "cindra/gui/BoxFace.hpp"
#include "cindra/util/Random.hpp"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <limits>

#include <string>

using namespace cindra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int startX = input.ConsumeIntegral<int>();
    const int startY = input.ConsumeIntegral<int>();
    const int width = input.ConsumeIntegral<int>();
    const int faceWidth = input.ConsumeIntegralInRange(0, 40);
    const int faceHeight = input.ConsumeIntegralInRange(0, 20);
    const std::string text = input.ConsumeRemainingBytesAsString();

    int placed = 0;
    int lowest = startY;
    const int last = layoutText({startX, startY}, text, width, [&](int, int y, int) {
        ++placed;
        lowest = std::min(lowest, y);
    });
    if (placed > static_cast<int>(text.size()) || last > startY || lowest < last) {
        fuzz::finding("layoutText placed more bytes than the text has, or outside its lines");
    }
    const int lines = countLines(text, width);
    // The last line's y stops at the smallest int; above it the two agree.
    const bool clamped = last == std::numeric_limits<int>::min();
    if (lines < 1 || (!clamped && static_cast<long long>(startY) - last + 1 != lines)) {
        fuzz::finding("countLines disagrees with the lines layoutText used");
    }

    util::Random random(1);
    try {
        Console face = gui::makeFace(faceWidth, faceHeight, random);
        gui::writeText(face, {startX, startY}, text, width, gui::kTextColor);
        gui::writeText(face, {1, faceHeight - 2}, text, faceWidth - 2, gui::kTextColor);
    } catch (const Error&) {
    }
    return 0;
}
