#include "cindra/Console.hpp"

#include "cindra/Error.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace cindra {

namespace {

std::size_t checkedCellCount(int width, int height) {
    const std::int64_t count = std::int64_t{width} * height;
    if (width < 0 || height < 0 || count > Console::kMaxCells) {
        throw Error(fmt::format("Invalid console size {} x {}", width, height));
    }
    return static_cast<std::size_t>(count);
}

} // namespace

Console::Console(int width, int height)
    : cells(checkedCellCount(width, height)), width_(width), height_(height) {}

namespace {

// Red, green and blue only: the colour's fourth byte stays as it was.
void copyRgb(Color& to, const std::uint8_t* rgb) {
    to.r = rgb[0];
    to.g = rgb[1];
    to.b = rgb[2];
}

} // namespace

void Console::setForeground(int x, int y, const std::uint8_t* rgb) {
    copyRgb(at(x, y).foreground, rgb);
}

void Console::setForeground(int x, int y, Color c) {
    const std::uint8_t rgb[3] = {c.r, c.g, c.b};
    setForeground(x, y, rgb);
}

void Console::setBackground(int x, int y, const std::uint8_t* rgb) {
    copyRgb(at(x, y).background, rgb);
}

void Console::setBackground(int x, int y, Color c) {
    const std::uint8_t rgb[3] = {c.r, c.g, c.b};
    setBackground(x, y, rgb);
}

void Console::blit(const Console& source, GridPos pos) {
    // The clip is worked out in 64 bits: source may stand anywhere, even where its far edge
    // lies beyond the int range.
    const std::int64_t x1 = std::max<std::int64_t>(pos.x, 0);
    const std::int64_t y1 = std::max<std::int64_t>(pos.y, 0);
    const std::int64_t x2 = std::min<std::int64_t>(std::int64_t{pos.x} + source.width_, width_);
    const std::int64_t y2 = std::min<std::int64_t>(std::int64_t{pos.y} + source.height_, height_);
    if (x1 >= x2 || y1 >= y2) {
        return;
    }
    const auto rowLength = static_cast<std::size_t>(x2 - x1);
    for (auto y = static_cast<int>(y1); y < y2; ++y) {
        // memmove: a console may be blitted onto itself.
        std::memmove(&at(static_cast<int>(x1), y),
                     &source.at(static_cast<int>(x1 - pos.x), static_cast<int>(y - pos.y)),
                     rowLength * sizeof(ConsoleChar));
    }
}

void Console::fill(Color c) {
    for (ConsoleChar& cell : cells) {
        cell.foreground = c;
        cell.background = c;
    }
}

namespace {

// Lays out one line (no line feeds) word by word; returns with the cursor after it. The
// cursor is 64-bit: a start near the edge of the int range, or a huge width, must not
// overflow. Cells beyond the int range exist in no console and are not passed to put.
void layoutLine(std::string_view line, std::int64_t x0, std::int64_t width, std::int64_t& x,
                std::int64_t& y, const PutChar& put) {
    constexpr std::int64_t kLow = std::numeric_limits<int>::min();
    constexpr std::int64_t kHigh = std::numeric_limits<int>::max();
    std::size_t begin = 0;
    while (true) {
        std::size_t end = line.find(' ', begin);
        std::string_view word = line.substr(
            begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
        if (x + static_cast<std::int64_t>(word.size()) > x0 + width) {
            x = x0;
            y -= 1;
        }
        for (char ch : word) {
            if (x >= kLow && x <= kHigh && y >= kLow) {
                put(static_cast<int>(x), static_cast<int>(y), static_cast<unsigned char>(ch));
            }
            x += 1;
        }
        x += 1; // the space after the word
        if (end == std::string_view::npos) {
            return;
        }
        begin = end + 1;
    }
}

} // namespace

int layoutText(GridPos start, std::string_view text, int width, const PutChar& put) {
    std::int64_t x = start.x;
    std::int64_t y = start.y;
    std::size_t begin = 0;
    while (true) {
        std::size_t feed = text.find('\n', begin);
        std::size_t end = feed == std::string_view::npos ? text.size() : feed;
        std::string_view line = text.substr(begin, end - begin);
        if (feed != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        layoutLine(line, start.x, width, x, y, put);
        if (feed == std::string_view::npos) {
            return static_cast<int>(std::max<std::int64_t>(y, std::numeric_limits<int>::min()));
        }
        x = start.x;
        y -= 1;
        begin = feed + 1;
    }
}

int countLines(std::string_view text, int width) {
    static const PutChar ignore = [](int, int, int) {};
    return 1 - layoutText({0, 0}, text, width, ignore);
}

} // namespace cindra
