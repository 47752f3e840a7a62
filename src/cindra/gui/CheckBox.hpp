// A check box: "[X] " or "[ ] " in front of its text. A left click on it, or Space while it
// has the focus, toggles it.
#pragma once

#include "cindra/gui/Widget.hpp"

#include <string>
#include <string_view>

namespace cindra::gui {

class CheckBox : public Widget {
public:
    static constexpr std::string_view kCheckedLabel = "[X] ";
    static constexpr std::string_view kUncheckedLabel = "[ ] ";

    // One row, as wide as its label and text.
    CheckBox(GridPos position, std::string boxText, bool isChecked = false,
             SourceLocation where = SourceLocation::current());

    void draw(Console& target, bool focused) const override;

    std::string text;
    bool checked;

private:
    bool react(const InputState& input, bool focused) override;
};

} // namespace cindra::gui
