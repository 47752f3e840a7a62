// The end-to-end harness: the real executable in a temporary game folder under a private
// Xvfb, with its output lines read as they come, keys sent with xdotool, and screenshots
// read back as images.
#pragma once

#include "cindra/Console.hpp"
#include "cindra/FontAtlas.hpp"
#include "cindra/Map.hpp"
#include "cindra/util/Png.hpp"
#include "support/TempDir.hpp"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace cindra::e2e {

using namespace std::chrono_literals;

// The map file the game starts on.
inline constexpr const char* kFirstMap = "intro.cmap";
// The console the game draws, in cells.
inline constexpr int kConsoleWidth = 128;
inline constexpr int kConsoleHeight = 96;

// A virtual X server on the first free display number, stopped when destroyed.
class Xvfb {
public:
    Xvfb();
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    const std::string& display() const { return display_; }

private:
    std::string display_;
    pid_t pid_ = -1;
};

// A fresh temporary folder laid out as a game folder; removed when destroyed.
class GameFolder {
public:
    const std::filesystem::path& path() const { return dir_.path(); }
    void write(const std::string& name, const std::string& text) const;
    void copy(const std::filesystem::path& from, const std::string& name) const;
    void remove(const std::string& name) const;
    // The font the build made from the project's glyph table.
    void addFont() const;
    // Writes scripts/<module with dots as folders>.lua, where the game's require finds it.
    void addScript(const std::string& module, const std::string& text) const;
    // Compiles level source text into a map file; a faulty source raises cindra::Error.
    void addLevel(const std::string& source, const std::string& name = kFirstMap) const;
    // Writes map, with no entities, as a map file.
    void addMap(const Map& map, const std::string& name = kFirstMap) const;
    // The least the game starts with: the font, an empty start-up module, a player script
    // that does nothing, and the given level (a small floor by default).
    void addMinimalGame(const std::string& levelSource = "") const;
    // Marrowfield as it ships: the font, the scripts, music and sounds of game/, and every
    // level of game/maps compiled beside them.
    void addGame() const;

private:
    test::TempDir dir_{"cindra-e2e"};
};

struct RunOptions {
    std::vector<std::string> environment; // extra NAME=value entries
    std::vector<std::string> arguments;
};

// One run of an executable (the game by default) inside a folder on a display.
class GameProcess {
public:
    GameProcess(const Xvfb& xvfb, const GameFolder& folder, RunOptions options = {},
                const std::string& executable = "");
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Waits for a standard-output line starting with prefix; the whole line, or nothing when
    // the time runs out or the program ends first.
    std::optional<std::string> waitForLine(const std::string& prefix,
                                           std::chrono::milliseconds timeout = 20s);
    // Taps the keys (xdotool names, e.g. "Escape", "Return"), one after the other.
    void sendKeys(const std::vector<std::string>& keys) const;
    // Presses and at once releases one key: both go to the X server from one xdotool command,
    // so the release can never come late however loaded the machine is (a release that came
    // half a second after the press, from a second command slow to start, let SDL's key
    // repeat move a dialog's marker on). The game often sees the two in one frame; its event
    // pump then ignores the repeats SDL goes on sending for the released key.
    void tapKey(const std::string& key) const;
    // Presses the keys, one after the other, and holds them until releaseKeys. A held key
    // repeats after half a second, as on a real keyboard.
    void pressKeys(const std::vector<std::string>& keys) const;
    void releaseKeys(const std::vector<std::string>& keys) const;
    // The whole 1024 x 768 screen.
    util::Image screenshot() const;
    // Takes screenshots until done holds for one or the time runs out; the last one taken.
    util::Image screenshotWhen(const std::function<bool(const util::Image&)>& done,
                               std::chrono::milliseconds timeout = 20s) const;
    // Waits for the program to end and returns its exit status (-1 when it was killed).
    int wait(std::chrono::milliseconds timeout = 20s);

    const std::vector<std::string>& outputLines() const { return stdoutLines_; }
    const std::string& errorOutput() const { return stderrText_; }

private:
    void pump(std::chrono::milliseconds timeout);

    const Xvfb& xvfb_;
    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    int stderrFd_ = -1;
    std::string stdoutPartial_;
    std::vector<std::string> stdoutLines_;
    std::size_t linesSeen_ = 0;
    std::string stderrText_;
    std::optional<int> status_;
};

// Runs a command line with the given display and returns its exit status.
int runOnDisplay(const Xvfb& xvfb, const std::string& command);
// Runs a command line with the given display and returns what it printed.
std::string captureOnDisplay(const Xvfb& xvfb, const std::string& command);

std::filesystem::path sourceDir();
std::filesystem::path gameExecutable();

// The font the game draws with, as addFont copies it.
const FontAtlas& gameFont();

// What the game's first frame shows of folder: a World made in this process from the
// folder's scripts and first map, started and drawn but not yet updated. Scripts print to
// this process's standard output; the process-wide engine state is reset before and after.
Console renderWorld(const GameFolder& folder);

// The first console cell inside the rectangle from..to (corners included) that reads back
// from screen as glyph in the foreground colour, if any.
std::optional<GridPos> findGlyph(const util::Image& screen, int glyph, Color foreground,
                                 GridPos from, GridPos to);

} // namespace cindra::e2e
