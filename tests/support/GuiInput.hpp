// Frames of input for GUI tests, written straight into the input state as the event pump
// would: each step starts a new frame (no key, no press or release of buttons 1 to 3) and
// then adds what the step names. The state is fresh for each test and cleared afterwards.
#pragma once

#include "cindra/gui/Gui.hpp"

#include <cstdint>

namespace cindra::test {

class GuiInput {
public:
    GuiInput() { gui::input() = gui::InputState{}; }
    ~GuiInput() { gui::input() = gui::InputState{}; }
    GuiInput(const GuiInput&) = delete;
    GuiInput& operator=(const GuiInput&) = delete;

    // A frame with nothing new; the pointer, held buttons and lastUnicode stay, as the
    // platform leaves them.
    void nextFrame() {
        gui::InputState& state = gui::input();
        state.lastKey = 0;
        for (int button = 1; button <= 5; ++button) {
            state.mousePressed[button] = false;
            state.mouseReleased[button] = false;
        }
    }
    // A frame with a key-down of code, carrying the character unicode.
    void key(std::int32_t code, std::uint16_t unicode = 0) {
        nextFrame();
        gui::input().lastKey = code;
        gui::input().lastUnicode = unicode;
    }
    // A frame with the key of a printable character.
    void type(char c) { key(c, static_cast<std::uint8_t>(c)); }
    // Moves the pointer to cell, inside the console.
    void point(GridPos cell) {
        gui::input().mousePos = cell;
        gui::input().mouseInside = true;
    }
    // A frame in which the left button goes down at cell (it is held from the next frame).
    void press(GridPos cell, int button = gui::kButtonLeft) {
        nextFrame();
        point(cell);
        gui::input().mousePressed[button] = true;
    }
    // A frame with the left button held at cell.
    void drag(GridPos cell) {
        nextFrame();
        point(cell);
        gui::input().mouseDown[gui::kButtonLeft] = true;
    }
    // A frame in which the left button comes up at cell.
    void release(GridPos cell) {
        drag(cell);
        gui::input().mouseReleased[gui::kButtonLeft] = true;
    }
    // A frame where the button is no longer held, its release event lost.
    void letGo() {
        nextFrame();
        gui::input().mouseDown[gui::kButtonLeft] = false;
    }
};

} // namespace cindra::test
