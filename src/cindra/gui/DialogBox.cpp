#include "cindra/gui/DialogBox.hpp"

#include "cindra/Error.hpp"
#include "cindra/gui/BoxFace.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/gui/TextBox.hpp"
#include "cindra/util/Random.hpp"

#include <cstdint>

namespace cindra::gui {

namespace {

// Frame, empty row, message, two empty rows, the answers one empty row apart, empty row,
// frame.
int dialogHeight(int width, const std::string& message, const std::vector<std::string>& answers) {
    checkBoxWidth("dialogBox", width, DialogBox::kMinWidth);
    if (answers.empty()) {
        throw Error("dialogBox: a dialog needs at least one answer.");
    }
    std::int64_t height = std::int64_t{countLines(message, width - 4)} + 6 +
                          static_cast<std::int64_t>(answers.size()) - 1;
    for (const std::string& answer : answers) {
        height += countLines(answer, width - 6);
    }
    return checkBoxHeight("dialogBox", width, height);
}

} // namespace

DialogBox::DialogBox(const InputState& input, util::Random& random, GridPos position, int boxWidth,
                     std::string message, const std::vector<std::string>& answers)
    : face(0, 0), width(boxWidth), height(dialogHeight(boxWidth, message, answers)),
      pos(placeBox(position, boxWidth, height)), text(std::move(message)), input_(input) {
    face = makeFace(width, height, random);
    int row = writeText(face, {2, height - 3}, text, width - 4, kTextColor) - 1;
    options.reserve(answers.size());
    for (const std::string& answer : answers) {
        row -= 2;
        options.push_back({answer, row});
        row = writeText(face, {4, row}, answer, width - 6, kAnswerColor);
    }
}

void DialogBox::draw(Console& target) {
    target.blit(face, pos);
    // In 64 bits: the box may stand anywhere, even at the edge of the int range.
    const std::int64_t x = std::int64_t{pos.x} + 2;
    const std::int64_t y = std::int64_t{pos.y} + options[selected].line;
    if (x >= 0 && x < target.width() && y >= 0 && y < target.height()) {
        target.setChar(static_cast<int>(x), static_cast<int>(y), kMarkerGlyph);
        target.setForeground(static_cast<int>(x), static_cast<int>(y), kTextColor);
    }
}

bool DialogBox::update(float) {
    const auto count = static_cast<std::uint32_t>(options.size());
    switch (input_.lastKey) {
    case kKeyUp:
        selected = selected == 0 ? count - 1 : selected - 1;
        return true;
    case kKeyDown:
        selected = (selected + 1) % count;
        return true;
    case kKeyReturn:
        chosen.emit(static_cast<int>(selected));
        return false;
    default:
        return true;
    }
}

} // namespace cindra::gui
