#include "cindra/gui/OptionList.hpp"

#include "cindra/Error.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/util/Util.hpp"

namespace cindra::gui {

namespace {

const std::vector<std::string>& checkedOptions(const std::vector<std::string>& options) {
    if (options.empty()) {
        throw Error("An option list needs at least one option.");
    }
    return options;
}

} // namespace

OptionList::OptionList(GridPos position, int listWidth, std::vector<std::string> listOptions,
                       int selection, SourceLocation where)
    : Widget(position, listWidth, 1, where), options(checkedOptions(listOptions)) {
    select(selection);
}

void OptionList::select(int index) {
    selected_ = util::clamp(index, 0, static_cast<int>(options.size()) - 1);
}

bool OptionList::react(const InputState& input, bool focused) {
    int step = 0;
    if (focused && input.lastKey == kKeyLeft) {
        step = -1;
    } else if (focused && input.lastKey == kKeyRight) {
        step = 1;
    } else if (clicked(input)) {
        step = input.mousePos.x < pos.x + width / 2 ? -1 : 1;
    }
    const int before = selected_;
    select(selected_ + step);
    return selected_ != before;
}

void OptionList::draw(Console& target, bool focused) const {
    const Colours colours = widgetColours(focused);
    const Colours dim{kWidgetDim, colours.back};
    clearRow(target, pos.y, colours);
    const std::string& text = selectedText();
    const int shift = std::max(0, (width - 2 - static_cast<int>(text.size())) / 2);
    put(target, pos.x, pos.y, ArrowLeft, selected_ > 0 ? colours : dim);
    write(target, pos.x + 1 + shift, pos.y, text, colours);
    const bool last = selected_ + 1 == static_cast<int>(options.size());
    put(target, right(), pos.y, ArrowRight, last ? dim : colours);
}

} // namespace cindra::gui
