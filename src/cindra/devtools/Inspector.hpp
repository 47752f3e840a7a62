// An optional panel over the running game for its authors: the frame time, the living
// entities with their names, positions and scripts, and switches that outline the map's
// regions and the squares lit by its lights. F1 opens and closes it; the application makes
// one only when the configuration turns it on, so without it no key changes meaning.
#pragma once

#include "cindra/Screen.hpp"
#include "cindra/gui/CheckBox.hpp"
#include "cindra/gui/Form.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/gui/ListBox.hpp"
#include "cindra/gui/TextField.hpp"
#include "cindra/logic/Entity.hpp"

#include <string>
#include <vector>

namespace cindra {
class World;
}

namespace cindra::devtools {

class Inspector {
public:
    // Columns the panel takes at the right edge of the screen.
    static constexpr int kWidth = 40;
    static constexpr std::int32_t kToggleKey = gui::kKeyF1;
    // Weight of the newest frame in the shown frame time, which would flicker unreadably if
    // it showed every frame's own.
    static constexpr double kSmoothing = 0.1;

    // The panel is laid out for a screen of that size and starts closed.
    explicit Inspector(int screenWidth = kConsoleWidth, int screenHeight = kConsoleHeight);
    Inspector(const Inspector&) = delete;
    Inspector& operator=(const Inspector&) = delete;

    // Once per frame, after the world's render into screen: the toggle key in input opens or
    // closes the panel; while it is open, update and then draw.
    void frame(World& world, const gui::InputState& input, float frameSeconds, Console& screen);
    // The panel's widgets take the frame's input, then the frame time and the entity list
    // are refreshed from the world. frameSeconds is the frame time the world's update gets.
    void update(World& world, const gui::InputState& input, float frameSeconds);
    // The overlays switched on and the selected entity's cell over the world, then the panel.
    void draw(Console& screen, const World& world) const;

    bool isOpen() const { return open_; }
    void setOpen(bool open) { open_ = open; }
    // Seconds, smoothed over the recent frames; 0 before the first update.
    double frameSeconds() const { return frameSeconds_; }
    // The entities the list shows, by handle, and the one selected (kNoEntity for none).
    const std::vector<logic::Entity>& listedEntities() const { return handles_; }
    logic::Entity selectedEntity() const;

    // One list row: "handle name (x,y) module", with "-" for a missing name, location or
    // script.
    static std::string entityRow(World& world, logic::Entity e);

    gui::ListBox entities;
    gui::CheckBox regions;
    gui::CheckBox lights;
    // Keeps the rows that contain its text, ignoring case.
    gui::TextField filter;

private:
    void refreshEntities(World& world);
    void drawPanel(Console& screen, const World& world) const;
    void markSelected(Console& screen, const World& world) const;

    gui::Form form_;
    int left_;
    int top_;
    bool open_ = false;
    double frameSeconds_ = 0.0;
    std::vector<logic::Entity> handles_;
    std::size_t livingCount_ = 0;
};

} // namespace cindra::devtools
