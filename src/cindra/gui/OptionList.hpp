// One of several options, shown in one row as "< option >". While focused, Left and Right
// step to the option before or after; a left click on the left half steps back, on the right
// half forward. The first and last options are ends, not a ring: their arrow is dimmed.
#pragma once

#include "cindra/gui/Widget.hpp"

#include <string>
#include <vector>

namespace cindra::gui {

class OptionList : public Widget {
public:
    // Refuses an empty option list with a cindra::Error; the selection is clamped to it.
    OptionList(GridPos position, int listWidth, std::vector<std::string> listOptions,
               int selection = 0, SourceLocation where = SourceLocation::current());

    int selected() const { return selected_; }
    const std::string& selectedText() const { return options[static_cast<std::size_t>(selected_)]; }
    // Clamped to the options.
    void select(int index);
    void draw(Console& target, bool focused) const override;

    const std::vector<std::string> options;

private:
    bool react(const InputState& input, bool focused) override;

    int selected_ = 0;
};

} // namespace cindra::gui
