// An integer value between a minimum and a maximum, shown as a one-row track with a thumb.
// While focused, Left and Right step the value, Home and End set the ends. A left click on
// the track sets the value from the pointer's column, and while the button stays down the
// thumb follows the pointer, even beyond the track's ends.
#pragma once

#include "cindra/gui/Widget.hpp"

namespace cindra::gui {

class Slider : public Widget {
public:
    // Refuses a width below 2 or a maximum below the minimum with a cindra::Error; the value
    // is clamped to the range.
    Slider(GridPos position, int trackWidth, int minimumValue, int maximumValue, int startValue,
           SourceLocation where = SourceLocation::current());

    int value() const { return value_; }
    // Clamped to the range.
    void setValue(int v);
    bool dragging() const { return dragging_; }
    // The track column of the thumb, 0 at the minimum and width - 1 at the maximum.
    int thumbColumn() const;
    void draw(Console& target, bool focused) const override;

    const int minimum;
    const int maximum;
    // What one press of Left or Right adds or takes away.
    int step = 1;

private:
    bool react(const InputState& input, bool focused) override;
    int keyValue(int key) const;
    int valueAtColumn(int column) const;

    int value_;
    bool dragging_ = false;
};

} // namespace cindra::gui
