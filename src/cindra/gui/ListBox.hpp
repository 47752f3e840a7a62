// A list of text rows shown in a window of the widget's height, at most one row selected. A
// left click selects the row under the pointer; while focused, Up and Down move the
// selection by one, Page Up and Page Down by a window, Home and End to the ends. The wheel
// scrolls the window without selecting. The window follows a selection that moves out of it.
#pragma once

#include "cindra/gui/Widget.hpp"

#include <string>
#include <vector>

namespace cindra::gui {

class ListBox : public Widget {
public:
    // Rows scrolled by one step of the mouse wheel.
    static constexpr int kWheelRows = 3;

    ListBox(GridPos position, int boxWidth, int boxHeight,
            SourceLocation where = SourceLocation::current());

    // Replaces the rows, keeping the selected index where it still exists (the last row when
    // the list got shorter, none when it is empty) and the window within the rows.
    void setRows(std::vector<std::string> rows);
    const std::vector<std::string>& rows() const { return rows_; }
    // The selected row's index, or -1 for none.
    int selected() const { return selected_; }
    // Selects index (clamped to the rows; -1 or an empty list selects none) and scrolls it
    // into the window.
    void select(int index);
    // The index of the row at the top of the window.
    int scroll() const { return scroll_; }
    // Moves the window by rows, keeping it within the rows.
    void scrollBy(int rows);

    // When the rows overflow the window, the right column shows an up and a down arrow for
    // the rows hidden above and below.
    void draw(Console& target, bool focused) const override;

private:
    bool react(const InputState& input, bool focused) override;
    int keyStep(int key) const;
    bool overflows() const { return static_cast<int>(rows_.size()) > height; }
    void drawRow(Console& target, int index, bool focused) const;

    std::vector<std::string> rows_;
    int selected_ = -1;
    int scroll_ = 0;
};

} // namespace cindra::gui
