// The modal text box: a framed parchment panel with a word-wrapped message, drawn over the
// game until the player presses Return. While it is open the game and the scripts wait.
#pragma once

#include "cindra/Console.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/gui/IModalElement.hpp"
#include "cindra/util/Random.hpp"

#include <cstdint>
#include <string>

namespace cindra::gui {

// The widest box accepted: far wider than the screen, small enough to refuse a width that
// would allocate a huge face.
inline constexpr int kMaxBoxWidth = 1024;
// The most cells a box's face may have: about 85 screens, 12 MB, so that sixteen open boxes
// stay well under a quarter of a gigabyte and each face is made in milliseconds.
inline constexpr std::int64_t kMaxBoxCells = std::int64_t{1} << 20;
// The most bytes a box's texts may hold, checked before they are copied or laid out: a face
// shows at most one glyph a cell, so a text of more bytes than kMaxBoxCells cannot fit (but
// for a word longer than the box, which is clipped).
inline constexpr std::uint64_t kMaxBoxTextBytes = kMaxBoxCells;

// Where a box of width x height goes: a negative x or y centres it on the 128 x 96 screen
// along that axis; otherwise pos.y names its top row. The result is its bottom-left cell.
GridPos placeBox(GridPos pos, int width, int height);

// Refuses a width outside minimum..kMaxBoxWidth with a cindra::Error naming what.
void checkBoxWidth(const char* what, int width, int minimum);
// height as an int, refusing a face of width x height cells above kMaxBoxCells.
int checkBoxHeight(const char* what, int width, std::int64_t height);

class TextBox : public IModalElement {
public:
    // Frame, margin and at least one column of text.
    static constexpr int kMinWidth = 5;

    // The box reads the frame's key from input, which must outlive it; random speckles its
    // face.
    TextBox(const InputState& input, util::Random& random, GridPos position, int boxWidth,
            std::string message);

    void draw(Console& target) override;
    // Closes on Return.
    bool update(float dt) override;

    Console face;
    int width;
    int height;
    GridPos pos;
    std::string text;

private:
    const InputState& input_;
};

} // namespace cindra::gui
