// One line of editable text. While focused, a key whose character (lastUnicode) is printable
// ASCII is inserted at the cursor, Backspace and Delete remove the character before or at
// the cursor, Left, Right, Home and End move the cursor, and Return submits the text. The
// row shows the part of the text around the cursor; a focused field shows the cursor cell
// in inverted colours.
#pragma once

#include "cindra/gui/Widget.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cindra::gui {

class TextField : public Widget {
public:
    // The field takes no more than maxLength characters.
    TextField(GridPos position, int fieldWidth, std::size_t maxLength = 256,
              SourceLocation where = SourceLocation::current());

    const std::string& text() const { return text_; }
    // Replaces the text (cut at the field's limit) and puts the cursor at its end.
    void setText(std::string_view text);
    // The cursor's index in the text: 0 before the first character, size() after the last.
    std::size_t cursor() const { return cursor_; }
    // Whether the last update saw Return.
    bool submitted() const { return submitted_; }
    // The index of the first character shown.
    std::size_t firstShown() const;
    void draw(Console& target, bool focused) const override;

    const std::size_t limit;

private:
    bool react(const InputState& input, bool focused) override;
    bool edit(std::int32_t key, std::uint16_t unicode);
    bool moveCursor(std::int32_t key);

    std::string text_;
    std::size_t cursor_ = 0;
    bool submitted_ = false;
};

} // namespace cindra::gui
