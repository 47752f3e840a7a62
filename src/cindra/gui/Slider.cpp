#include "cindra/gui/Slider.hpp"

#include "cindra/Error.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/util/Util.hpp"

#include <fmt/format.h>

#include <cstdint>

namespace cindra::gui {

namespace {

int checkedWidth(int width, int minimum, int maximum) {
    if (width < 2 || maximum < minimum) {
        throw Error(
            fmt::format("A slider of width {} cannot run from {} to {}.", width, minimum, maximum));
    }
    return width;
}

// a * b / c rounded to the nearest integer, in 64 bits so that wide ranges do not overflow.
std::int64_t scaled(std::int64_t a, std::int64_t b, std::int64_t c) {
    return (a * b + c / 2) / c;
}

} // namespace

Slider::Slider(GridPos position, int trackWidth, int minimumValue, int maximumValue, int startValue,
               SourceLocation where)
    : Widget(position, checkedWidth(trackWidth, minimumValue, maximumValue), 1, where),
      minimum(minimumValue), maximum(maximumValue), value_(minimumValue) {
    setValue(startValue);
}

void Slider::setValue(int v) {
    value_ = util::clamp(v, minimum, maximum);
}

int Slider::thumbColumn() const {
    const std::int64_t range = std::int64_t{maximum} - minimum;
    return range == 0 ? 0
                      : static_cast<int>(scaled(std::int64_t{value_} - minimum, width - 1, range));
}

int Slider::valueAtColumn(int column) const {
    const std::int64_t range = std::int64_t{maximum} - minimum;
    return static_cast<int>(minimum + scaled(util::clamp(column, 0, width - 1), range, width - 1));
}

// The value a key asks for; the current one for keys the slider does not take.
int Slider::keyValue(int key) const {
    const std::int64_t v = value_;
    switch (key) {
    case kKeyLeft:
        return static_cast<int>(std::max<std::int64_t>(v - step, minimum));
    case kKeyRight:
        return static_cast<int>(std::min<std::int64_t>(v + step, maximum));
    case kKeyHome:
        return minimum;
    case kKeyEnd:
        return maximum;
    default:
        return value_;
    }
}

bool Slider::react(const InputState& input, bool focused) {
    const int before = value_;
    dragging_ = dragging_ || clicked(input);
    if (dragging_) {
        setValue(valueAtColumn(input.mousePos.x - pos.x));
        // A release event can be lost outside the window; the button state then ends it.
        const bool held = input.mouseDown[kButtonLeft] || input.mousePressed[kButtonLeft];
        dragging_ = held && !input.mouseReleased[kButtonLeft];
    }
    if (focused) {
        setValue(keyValue(input.lastKey));
    }
    return value_ != before;
}

void Slider::draw(Console& target, bool focused) const {
    const Colours colours = widgetColours(focused);
    for (int x = pos.x; x <= right(); ++x) {
        put(target, x, pos.y, LineHorizontal, colours);
    }
    put(target, pos.x + thumbColumn(), pos.y, BlockFull, colours);
}

} // namespace cindra::gui
