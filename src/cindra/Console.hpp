// A console: a rectangular grid of character cells in memory, (0,0) at the bottom left.
// Also the word-wrapping text layout that the GUI uses to draw and to size its boxes.
#pragma once

#include "cindra/util/Color.hpp"
#include "cindra/util/GridPos.hpp"
#include "cindra/util/Rectangle.hpp"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace cindra {

using util::Color;
using util::GridPos;

struct ConsoleChar {
    std::int32_t glyph = 0;
    Color foreground;
    Color background;

    friend bool operator==(const ConsoleChar&, const ConsoleChar&) = default;
};
static_assert(sizeof(ConsoleChar) == 12);

// Named glyph codes of the code page 437 font.
enum SpecialChar : std::int32_t {
    Smiley = 1,
    Heart = 3,
    Diamond = 4,
    Bullet = 7,
    ArrowRight = 26,
    ArrowLeft = 27,
    ArrowUp = 24,
    ArrowDown = 25,
    ShadeLight = 176,
    ShadeMedium = 177,
    ShadeDark = 178,
    LineVertical = 179,
    LineHorizontal = 196,
    DoubleLineVertical = 186,
    DoubleLineHorizontal = 205,
    BlockFull = 219,
    BlockLower = 220,
    BlockLeft = 221,
    BlockRight = 222,
    BlockUpper = 223,
    MiddleDot = 250,
};

class Console {
public:
    // The most cells a console may have: far beyond any screen or box.
    static constexpr std::int64_t kMaxCells = std::int64_t{1} << 24;

    // Throws a cindra::Error for a negative size or one above kMaxCells.
    Console(int width, int height);
    virtual ~Console() = default;
    Console(const Console&) = default;
    Console& operator=(const Console&) = default;

    virtual bool isInside(int x, int y) const {
        return x >= 0 && x < width_ && y >= 0 && y < height_;
    }
    virtual bool isInside(GridPos p) const { return isInside(p.x, p.y); }
    virtual void setCurrentForeground(Color c) { currentForeground = c; }
    virtual void setCurrentBackground(Color c) { currentBackground = c; }

    // The setters do no bounds check: callers pass positions inside the console.
    virtual void setChar(int x, int y, int glyph) { at(x, y).glyph = glyph; }
    // Copies red, green and blue; the cell's fourth colour byte stays as it was.
    virtual void setForeground(int x, int y, const std::uint8_t* rgb);
    virtual void setForeground(int x, int y, Color c);
    virtual void setBackground(int x, int y, const std::uint8_t* rgb);
    virtual void setBackground(int x, int y, Color c);

    virtual util::IntRect getBounds() const { return {0, 0, width_, height_}; }
    virtual util::IntRect getBounds(GridPos offset) const {
        return {offset.x, offset.y, offset.x + width_, offset.y + height_};
    }
    // Copies source's cells with its cell (0,0) at pos, clipped to this console.
    virtual void blit(const Console& source, GridPos pos);
    // Every cell's foreground and background become c (all four bytes); glyphs stay.
    virtual void fill(Color c);

    int width() const { return width_; }
    int height() const { return height_; }
    ConsoleChar& at(int x, int y) { return cells[index(x, y)]; }
    const ConsoleChar& at(int x, int y) const { return cells[index(x, y)]; }

    // Row-major: cell (x, y) is element y * width + x.
    std::vector<ConsoleChar> cells;
    Color currentForeground;
    Color currentBackground;

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
};

using PutChar = std::function<void(int x, int y, int ch)>;

// Word-wrapping layout of text starting at start, wrapping at width columns; calls put for
// every byte it places and returns the y of the last line. Lines run towards smaller y.
// Positions beyond the int range are skipped (no console has them), and the returned y is
// at least the smallest int.
int layoutText(GridPos start, std::string_view text, int width, const PutChar& put);

// Number of lines layoutText needs for text at the given width.
int countLines(std::string_view text, int width);

} // namespace cindra
