#include "cindra/gui/CheckBox.hpp"

#include "cindra/gui/Gui.hpp"

namespace cindra::gui {

CheckBox::CheckBox(GridPos position, std::string boxText, bool isChecked, SourceLocation where)
    : Widget(position, static_cast<int>(kCheckedLabel.size() + boxText.size()), 1, where),
      text(std::move(boxText)), checked(isChecked) {}

bool CheckBox::react(const InputState& input, bool focused) {
    if (clicked(input) || (focused && input.lastKey == kKeySpace)) {
        checked = !checked;
        return true;
    }
    return false;
}

void CheckBox::draw(Console& target, bool focused) const {
    const Colours colours = widgetColours(focused);
    clearRow(target, pos.y, colours);
    const int x = write(target, pos.x, pos.y, checked ? kCheckedLabel : kUncheckedLabel, colours);
    write(target, x, pos.y, text, colours);
}

} // namespace cindra::gui
