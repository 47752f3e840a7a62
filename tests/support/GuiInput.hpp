// Frames of input for GUI tests, written into an input state of the helper's own as the event
// pump would: each step starts a new frame (no key, no press or release of buttons 1 to 3)
// and then adds what the step names. Widgets read it through state(); since the state
// belongs to the helper, each test starts from a fresh one and leaves nothing behind.
#pragma once

#include "cindra/gui/Gui.hpp"

#include <cstdint>

namespace cindra::test {

class GuiInput {
public:
    GuiInput() = default;
    GuiInput(const GuiInput&) = delete;
    GuiInput& operator=(const GuiInput&) = delete;

    // The frame's input, to hand to the widgets; tests may also set a field the steps below
    // do not.
    gui::InputState& state() { return state_; }
    const gui::InputState& state() const { return state_; }

    // A frame with nothing new; the pointer, held buttons and lastUnicode stay, as the
    // platform leaves them.
    void nextFrame() {
        state_.lastKey = 0;
        for (int button = 1; button <= 5; ++button) {
            state_.mousePressed[button] = false;
            state_.mouseReleased[button] = false;
        }
    }
    // A frame with a key-down of code, carrying the character unicode.
    void key(std::int32_t code, std::uint16_t unicode = 0) {
        nextFrame();
        state_.lastKey = code;
        state_.lastUnicode = unicode;
    }
    // A frame with the key of a printable character.
    void type(char c) { key(c, static_cast<std::uint8_t>(c)); }
    // Moves the pointer to cell, inside the console.
    void point(GridPos cell) {
        state_.mousePos = cell;
        state_.mouseInside = true;
    }
    // A frame in which the left button goes down at cell (it is held from the next frame).
    void press(GridPos cell, int button = gui::kButtonLeft) {
        nextFrame();
        point(cell);
        state_.mousePressed[button] = true;
    }
    // A frame with the left button held at cell.
    void drag(GridPos cell) {
        nextFrame();
        point(cell);
        state_.mouseDown[gui::kButtonLeft] = true;
    }
    // A frame in which the left button comes up at cell.
    void release(GridPos cell) {
        drag(cell);
        state_.mouseReleased[gui::kButtonLeft] = true;
    }
    // A frame where the button is no longer held, its release event lost.
    void letGo() {
        nextFrame();
        state_.mouseDown[gui::kButtonLeft] = false;
    }

private:
    gui::InputState state_;
};

} // namespace cindra::test
