// The common ground of the GUI's widgets (Button, CheckBox, ListBox, OptionList, Slider,
// TextField): a place on a console, an id by the element-id rule, and one update per frame
// that reads only the input state its owner hands it. Widgets are retained: each object
// keeps its own value and interaction state from frame to frame, and its owner calls update,
// then draw, each frame.
#pragma once

#include "cindra/Console.hpp"
#include "cindra/gui/Gui.hpp"

#include <cstdint>
#include <string_view>

namespace cindra::gui {

// A dark panel with light text; the focused widget stands out by its background, and a
// selected list row by a warm one.
inline constexpr Color kWidgetText{210, 210, 200, 255};
inline constexpr Color kWidgetBack{24, 24, 32, 255};
inline constexpr Color kWidgetDim{110, 110, 120, 255};
inline constexpr Color kFocusText{255, 255, 255, 255};
inline constexpr Color kFocusBack{52, 60, 104, 255};
inline constexpr Color kSelectBack{110, 80, 30, 255};

struct Colours {
    Color text;
    Color back;
};

// The colours of a widget's cells with and without the keyboard focus.
Colours widgetColours(bool focused);

class Widget {
public:
    // where is the use site that names the widget: its id is elementId(where).
    Widget(GridPos position, int widgetWidth, int widgetHeight, SourceLocation where);
    virtual ~Widget() = default;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    std::uint32_t id() const { return id_; }
    bool contains(GridPos cell) const;
    // The pointer is on the widget (and inside the console).
    bool hovered(const InputState& input) const;
    // The left button went down on the widget in this frame.
    bool clicked(const InputState& input) const;

    // Reacts to this frame's input: to the mouse always, to keys only when focused. Returns
    // changed().
    bool update(const InputState& input, bool focused);
    // Whether the last update changed the widget's value (for a button: pressed it).
    bool changed() const { return changed_; }
    virtual void draw(Console& target, bool focused) const = 0;

    // The bottom-left cell and the size in cells; the owner may move the widget between
    // frames.
    GridPos pos;
    int width;
    int height;

protected:
    // The frame's share of update: whether the value changed.
    virtual bool react(const InputState& input, bool focused) = 0;
    // Sets a cell that lies inside target; others are skipped.
    static void put(Console& target, int x, int y, int glyph, Colours colours);
    // Blanks row y across the widget.
    void clearRow(Console& target, int y, Colours colours) const;
    // Writes text from column x of row y, cut at the widget's right edge; returns the column
    // after the last character written.
    int write(Console& target, int x, int y, std::string_view text, Colours colours) const;
    int right() const { return pos.x + width - 1; }
    int top() const { return pos.y + height - 1; }

private:
    std::uint32_t id_;
    bool changed_ = false;
};

} // namespace cindra::gui
