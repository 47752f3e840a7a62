#include "cindra/gui/TextBox.hpp"

#include "cindra/Screen.hpp"

#include "cindra/Error.hpp"
#include "cindra/gui/BoxFace.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/util/Random.hpp"

#include <fmt/format.h>

namespace cindra::gui {

namespace {

// The text box's height for its message: frame and empty row above and below the text.
int textBoxHeight(int width, const std::string& message) {
    checkBoxWidth("textBox", width, TextBox::kMinWidth);
    return checkBoxHeight("textBox", width, std::int64_t{countLines(message, width - 4)} + 4);
}

} // namespace

void checkBoxWidth(const char* what, int width, int minimum) {
    if (width < minimum || width > kMaxBoxWidth) {
        throw Error(fmt::format("{}: a box width of {} is outside {} to {}.", what, width, minimum,
                                kMaxBoxWidth));
    }
}

int checkBoxHeight(const char* what, int width, std::int64_t height) {
    if (height * width > kMaxBoxCells) {
        throw Error(fmt::format("{}: a box of {} x {} cells is too large.", what, width, height));
    }
    return static_cast<int>(height);
}

GridPos placeBox(GridPos pos, int width, int height) {
    return {pos.x < 0 ? (kConsoleWidth - width) / 2 : pos.x,
            pos.y < 0 ? (kConsoleHeight - height) / 2 : pos.y - (height - 1)};
}

TextBox::TextBox(const InputState& input, util::Random& random, GridPos position, int boxWidth,
                 std::string message)
    : face(0, 0), width(boxWidth), height(textBoxHeight(boxWidth, message)),
      pos(placeBox(position, boxWidth, height)), text(std::move(message)), input_(input) {
    face = makeFace(width, height, random);
    writeText(face, {2, height - 3}, text, width - 4, kTextColor);
}

void TextBox::draw(Console& target) {
    target.blit(face, pos);
}

bool TextBox::update(float) {
    return input_.lastKey != kKeyReturn;
}

} // namespace cindra::gui
