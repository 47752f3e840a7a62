#include "cindra/gui/Widget.hpp"

#include "cindra/gui/Gui.hpp"

namespace cindra::gui {

Colours widgetColours(bool focused) {
    return focused ? Colours{kFocusText, kFocusBack} : Colours{kWidgetText, kWidgetBack};
}

Widget::Widget(GridPos position, int widgetWidth, int widgetHeight, SourceLocation where)
    : pos(position), width(widgetWidth), height(widgetHeight), id_(elementId(where)) {}

bool Widget::contains(GridPos cell) const {
    return cell.x >= pos.x && cell.x <= right() && cell.y >= pos.y && cell.y <= top();
}

bool Widget::hovered(const InputState& input) const {
    return input.mouseInside && contains(input.mousePos);
}

bool Widget::clicked(const InputState& input) const {
    return input.mousePressed[kButtonLeft] && hovered(input);
}

bool Widget::update(const InputState& input, bool focused) {
    changed_ = react(input, focused);
    return changed_;
}

void Widget::put(Console& target, int x, int y, int glyph, Colours colours) {
    if (target.isInside(x, y)) {
        target.setChar(x, y, glyph);
        target.setForeground(x, y, colours.text);
        target.setBackground(x, y, colours.back);
    }
}

void Widget::clearRow(Console& target, int y, Colours colours) const {
    for (int x = pos.x; x <= right(); ++x) {
        put(target, x, y, ' ', colours);
    }
}

int Widget::write(Console& target, int x, int y, std::string_view text, Colours colours) const {
    for (const char c : text) {
        if (x > right()) {
            break;
        }
        put(target, x++, y, static_cast<unsigned char>(c), colours);
    }
    return x;
}

} // namespace cindra::gui
