// An optional panel over the running game for its authors: the frame time, the living
// entities with their names, positions and scripts, and switches that outline the map's
// regions and the squares lit by its lights, and below the game a Lua console that runs lines
// in the game's own script state. F1 opens and closes it; the application makes one only
// when the configuration turns it on, so without it no key changes meaning. Whether open or
// not, it shows the problem the application hands it (a failed reload, a stopped game) in a
// red banner over the top of the game.
#pragma once

#include "cindra/Screen.hpp"
#include "cindra/gui/CheckBox.hpp"
#include "cindra/gui/Form.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/gui/ListBox.hpp"
#include "cindra/gui/TextField.hpp"
#include "cindra/logic/Entity.hpp"

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
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
    // Rows the console takes at the bottom of the screen, left of the panel: its frame, the
    // transcript and the input row.
    static constexpr int kConsoleRows = 12;
    // Lines kept for Up and Down to recall, and transcript rows kept for showing.
    static constexpr std::size_t kHistoryLimit = 100;
    static constexpr std::size_t kTranscriptLimit = 200;
    // Rows the problem banner may take; the rest of a longer text ends in "...".
    static constexpr std::size_t kProblemRows = 8;
    static constexpr Color kProblemBack{140, 20, 20, 255};

    // The panel is laid out for a screen of that size and starts closed.
    explicit Inspector(int screenWidth = kConsoleWidth, int screenHeight = kConsoleHeight);
    Inspector(const Inspector&) = delete;
    Inspector& operator=(const Inspector&) = delete;

    // Once per frame, after the world's render into screen: the toggle key in input opens or
    // closes the panel; while it is open, update and then draw. The problem banner, if any,
    // is drawn last, open or not.
    void frame(World& world, const gui::InputState& input, float frameSeconds, Console& screen);
    // The panel's widgets take the frame's input, then the frame time and the entity list
    // are refreshed from the world. frameSeconds is the frame time the world's update gets.
    // A line submitted in the console runs in the world's script state here.
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
    // The panel is open and the console's input has the focus: the keys of the frame are the
    // author's typing, not the game's. It reflects the last update.
    bool wantsKeyboard() const;

    // Shown until replaced; empty text clears it. Lines break at '\n', then at the width.
    void setProblem(std::string text);
    const std::string& problem() const { return problem_; }

    // One list row: "handle name (x,y) module", with "-" for a missing name, location or
    // script.
    static std::string entityRow(World& world, logic::Entity e);

    gui::ListBox entities;
    gui::CheckBox regions;
    gui::CheckBox lights;
    // Keeps the rows that contain its text, ignoring case.
    gui::TextField filter;
    // The console's input row: Return runs it, Up and Down recall the lines run before.
    gui::TextField luaLine;

private:
    void refreshEntities(World& world);
    void drawPanel(Console& screen, const World& world) const;
    void markSelected(Console& screen, const World& world) const;
    void updateConsole(World& world, const gui::InputState& input);
    void runLine(World& world, const std::string& line);
    void recall(int step);
    void appendRows(std::string_view text, bool error);
    void drawConsole(Console& screen) const;
    void drawProblem(Console& screen) const;

    struct TranscriptRow {
        std::string text;
        bool error;
    };

    gui::Form form_;
    int left_;
    int top_;
    bool open_ = false;
    double frameSeconds_ = 0.0;
    std::vector<logic::Entity> handles_;
    std::size_t livingCount_ = 0;
    std::deque<TranscriptRow> transcript_;
    std::deque<std::string> history_;
    // Where Up and Down stand in history_: its size while on the line being typed.
    std::size_t recalled_ = 0;
    std::string problem_;
    std::vector<std::string> problemRows_;
};

} // namespace cindra::devtools
