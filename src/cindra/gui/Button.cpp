#include "cindra/gui/Button.hpp"

#include "cindra/gui/Gui.hpp"

#include <algorithm>

namespace cindra::gui {

Button::Button(GridPos position, int buttonWidth, std::string buttonLabel, SourceLocation where)
    : Widget(position, buttonWidth, 1, where), label(std::move(buttonLabel)) {}

bool Button::react(const InputState& input, bool focused) {
    return clicked(input) || (focused && input.lastKey == kKeyReturn);
}

void Button::draw(Console& target, bool focused) const {
    const Colours colours = widgetColours(focused);
    clearRow(target, pos.y, colours);
    // A label wider than the room between the brackets starts right after the left one.
    const int room = width - 2;
    const int shift = std::max(0, (room - static_cast<int>(label.size())) / 2);
    put(target, pos.x, pos.y, '[', colours);
    write(target, pos.x + 1 + shift, pos.y, label, colours);
    put(target, right(), pos.y, ']', colours);
}

} // namespace cindra::gui
