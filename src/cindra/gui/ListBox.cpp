#include "cindra/gui/ListBox.hpp"

#include "cindra/gui/Gui.hpp"
#include "cindra/util/Util.hpp"

#include <climits>

namespace cindra::gui {

ListBox::ListBox(GridPos position, int boxWidth, int boxHeight, SourceLocation where)
    : Widget(position, boxWidth, boxHeight, where) {}

void ListBox::setRows(std::vector<std::string> rows) {
    rows_ = std::move(rows);
    select(selected_);
    scrollBy(0);
}

void ListBox::select(int index) {
    const int count = static_cast<int>(rows_.size());
    selected_ = index < 0 || count == 0 ? -1 : std::min(index, count - 1);
    if (selected_ >= 0 && selected_ < scroll_) {
        scroll_ = selected_;
    } else if (selected_ >= scroll_ + height) {
        scroll_ = selected_ - height + 1;
    }
}

void ListBox::scrollBy(int rows) {
    const int last = std::max(0, static_cast<int>(rows_.size()) - height);
    scroll_ = util::clamp(scroll_ + rows, 0, last);
}

// How far a key moves the selection: 0 for keys the list does not take.
int ListBox::keyStep(int key) const {
    switch (key) {
    case kKeyUp:
        return -1;
    case kKeyDown:
        return 1;
    case kKeyPageUp:
        return -height;
    case kKeyPageDown:
        return height;
    case kKeyHome:
        return INT_MIN / 2;
    case kKeyEnd:
        return INT_MAX / 2;
    default:
        return 0;
    }
}

bool ListBox::react(const InputState& input, bool focused) {
    const int before = selected_;
    if (hovered(input)) {
        scrollBy((input.mousePressed[kWheelDown] ? kWheelRows : 0) -
                 (input.mousePressed[kWheelUp] ? kWheelRows : 0));
    }
    if (clicked(input)) {
        const int index = scroll_ + (top() - input.mousePos.y);
        if (index < static_cast<int>(rows_.size())) {
            select(index);
        }
    }
    if (const int step = focused ? keyStep(input.lastKey) : 0; step != 0 && !rows_.empty()) {
        select(std::max(0, selected_ + step));
    }
    return selected_ != before;
}

void ListBox::drawRow(Console& target, int index, bool focused) const {
    const int y = top() - (index - scroll_);
    Colours colours = widgetColours(false);
    if (index == selected_) {
        colours = {kFocusText, focused ? kFocusBack : kSelectBack};
    }
    clearRow(target, y, colours);
    if (index < static_cast<int>(rows_.size())) {
        write(target, pos.x, y, rows_[static_cast<std::size_t>(index)], colours);
    }
}

void ListBox::draw(Console& target, bool focused) const {
    for (int index = scroll_; index < scroll_ + height; ++index) {
        drawRow(target, index, focused);
    }
    if (overflows()) {
        const Colours bar{kWidgetText, kWidgetBack};
        const bool above = scroll_ > 0;
        const bool below = scroll_ + height < static_cast<int>(rows_.size());
        for (int y = pos.y; y <= top(); ++y) {
            put(target, right(), y, ' ', bar);
        }
        put(target, right(), top(), above ? int{ArrowUp} : ' ', bar);
        put(target, right(), pos.y, below ? int{ArrowDown} : ' ', bar);
    }
}

} // namespace cindra::gui
