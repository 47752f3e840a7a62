// A group of widgets updated and drawn together, one of which holds the keyboard focus: a
// left click on a widget gives it the focus, Tab moves the focus to the next widget and
// Shift+Tab to the one before. The focus is kept as the focused widget's id.
#pragma once

#include "cindra/gui/Widget.hpp"

#include <cstdint>
#include <vector>

namespace cindra::gui {

class Form {
public:
    // The widget is not owned and must outlive the form. The first one added takes the
    // focus. A widget whose id the form holds already (two widgets made on one source line)
    // is refused with a cindra::Error, since the focus could not tell them apart.
    void add(Widget& widget);
    // Moves the focus as the frame's click or Tab asks, then updates every widget in the
    // order added with the same input.
    void update(const InputState& input);
    // Every widget, in the order added.
    void draw(Console& target) const;

    // 0 while the form is empty.
    std::uint32_t focusedId() const { return focusedId_; }
    // Gives the focus to the widget with that id; an id not in the form is ignored.
    void focus(std::uint32_t id);
    bool hasFocus(const Widget& widget) const { return widget.id() == focusedId_; }

private:
    void cycleFocus(int step);

    std::vector<Widget*> widgets_;
    std::uint32_t focusedId_ = 0;
};

} // namespace cindra::gui
