#include "cindra/gui/TextField.hpp"

#include "cindra/gui/Gui.hpp"

namespace cindra::gui {

TextField::TextField(GridPos position, int fieldWidth, std::size_t maxLength, SourceLocation where)
    : Widget(position, fieldWidth, 1, where), limit(maxLength) {}

void TextField::setText(std::string_view text) {
    text_ = text.substr(0, limit);
    cursor_ = text_.size();
}

std::size_t TextField::firstShown() const {
    // The cursor may stand after the last character, so it needs a cell of its own.
    const auto cells = static_cast<std::size_t>(width);
    return cursor_ >= cells ? cursor_ - cells + 1 : 0;
}

bool TextField::moveCursor(std::int32_t key) {
    switch (key) {
    case kKeyLeft:
        cursor_ -= cursor_ > 0 ? 1 : 0;
        return true;
    case kKeyRight:
        cursor_ += cursor_ < text_.size() ? 1 : 0;
        return true;
    case kKeyHome:
        cursor_ = 0;
        return true;
    case kKeyEnd:
        cursor_ = text_.size();
        return true;
    default:
        return false;
    }
}

// Whether the key changed the text.
bool TextField::edit(std::int32_t key, std::uint16_t unicode) {
    if (key == kKeyBackspace && cursor_ > 0) {
        text_.erase(--cursor_, 1);
        return true;
    }
    if (key == kKeyDelete && cursor_ < text_.size()) {
        text_.erase(cursor_, 1);
        return true;
    }
    const bool printable = unicode >= 32 && unicode < 127;
    if (key != kKeyBackspace && key != kKeyDelete && printable && text_.size() < limit) {
        text_.insert(cursor_++, 1, static_cast<char>(unicode));
        return true;
    }
    return false;
}

bool TextField::react(const InputState& input, bool focused) {
    submitted_ = focused && input.lastKey == kKeyReturn;
    // lastUnicode keeps its value across frames without a key: only a key-down counts.
    if (!focused || input.lastKey == 0 || submitted_ || moveCursor(input.lastKey)) {
        return false;
    }
    return edit(input.lastKey, input.lastUnicode);
}

void TextField::draw(Console& target, bool focused) const {
    const Colours colours = widgetColours(focused);
    clearRow(target, pos.y, colours);
    const std::size_t first = firstShown();
    write(target, pos.x, pos.y, std::string_view(text_).substr(first), colours);
    if (focused) {
        const int x = pos.x + static_cast<int>(cursor_ - first);
        const int glyph = cursor_ < text_.size() ? static_cast<unsigned char>(text_[cursor_]) : ' ';
        put(target, x, pos.y, glyph, {colours.back, colours.text});
    }
}

} // namespace cindra::gui
