// The protocol of modal GUI elements (text and dialog boxes): while one is open the world
// draws it over the map every frame and gives the top one the frame's update instead of
// advancing the game.
#pragma once

namespace cindra {
class Console;
}

namespace cindra::gui {

class IModalElement {
public:
    virtual ~IModalElement() = default;
    // Draws the element into the screen console; called every frame while it is open.
    virtual void draw(Console& target) = 0;
    // Called once per frame while the element is on top, with the world's frame time in
    // seconds; the key of the frame is read from the input state. False closes the element.
    virtual bool update(float dt) = 0;
};

} // namespace cindra::gui
