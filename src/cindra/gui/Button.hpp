// A one-row push button: its label centred between brackets. A left click on it, or Return
// while it has the focus, presses it; changed() tells the owner in that frame.
#pragma once

#include "cindra/gui/Widget.hpp"

#include <string>

namespace cindra::gui {

class Button : public Widget {
public:
    Button(GridPos position, int buttonWidth, std::string buttonLabel,
           SourceLocation where = SourceLocation::current());

    bool pressed() const { return changed(); }
    void draw(Console& target, bool focused) const override;

    std::string label;

private:
    bool react(const InputState& input, bool focused) override;
};

} // namespace cindra::gui
