#include "cindra/gui/Form.hpp"

#include "cindra/Error.hpp"
#include "cindra/gui/Gui.hpp"

#include <fmt/format.h>

#include <algorithm>

namespace cindra::gui {

void Form::add(Widget& widget) {
    if (std::any_of(widgets_.begin(), widgets_.end(),
                    [&](const Widget* w) { return w->id() == widget.id(); })) {
        throw Error(fmt::format("A form holds element id {:#010x} already.", widget.id()));
    }
    widgets_.push_back(&widget);
    if (widgets_.size() == 1) {
        focusedId_ = widget.id();
    }
}

void Form::focus(std::uint32_t id) {
    if (std::any_of(widgets_.begin(), widgets_.end(),
                    [id](const Widget* w) { return w->id() == id; })) {
        focusedId_ = id;
    }
}

void Form::cycleFocus(int step) {
    const auto it = std::find_if(widgets_.begin(), widgets_.end(),
                                 [this](const Widget* w) { return hasFocus(*w); });
    const auto count = static_cast<int>(widgets_.size());
    const int index = it == widgets_.end() ? 0 : static_cast<int>(it - widgets_.begin());
    focusedId_ = widgets_[static_cast<std::size_t>((index + step + count) % count)]->id();
}

void Form::update(const InputState& input) {
    if (widgets_.empty()) {
        return;
    }
    if (input.lastKey == kKeyTab) {
        cycleFocus(input.shiftDown ? -1 : 1);
    }
    for (const Widget* widget : widgets_) {
        if (widget->clicked(input)) {
            focusedId_ = widget->id();
        }
    }
    for (Widget* widget : widgets_) {
        widget->update(input, hasFocus(*widget));
    }
}

void Form::draw(Console& target) const {
    for (const Widget* widget : widgets_) {
        widget->draw(target, hasFocus(*widget));
    }
}

} // namespace cindra::gui
