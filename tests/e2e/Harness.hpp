// The end-to-end harness: the real executable in a temporary game folder under a private
// Xvfb, with its output lines read as they come, keys sent with xdotool, and screenshots
// read back as images.
#pragma once

#include "cindra/util/Png.hpp"
#include "support/TempDir.hpp"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace cindra::e2e {

using namespace std::chrono_literals;

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
    // The font the build made from the project's glyph table.
    void addFont() const;

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
    // Sends keys (xdotool names, e.g. "Escape", "Return") to the game's window.
    void sendKeys(const std::vector<std::string>& keys) const;
    // The whole 1024 x 768 screen.
    util::Image screenshot() const;
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

} // namespace cindra::e2e
