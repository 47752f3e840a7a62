// The frame-rate harness: runs the game and the two GL floor programs in turn under a
// private Xvfb, each for a fixed time, and reports frames per second as medians over several
// rounds, with the game's rate as a ratio of each floor measured in the same run. The fill
// floor (gl_floor) is the window's pixels alone; the design floor (gl_design_floor) is the
// console's two passes of per-cell quads from arrays filled once, so game/design floor is the
// share of the frame left after the engine's own per-frame work. Each round runs all three,
// so drift in the machine's speed falls on all of them alike. The game runs as it ships, on
// its intro level with its own scripts.
//
// Usage: framerate [seconds per run] [rounds] [--no-vbo] [--level NAME]
// --no-vbo sets "disableVBOs = true" for every program, so the game and the design floor
// both draw from client arrays (the fill floor draws no arrays either way). --level NAME
// starts the game on game/maps/NAME.level instead of the intro level: the level is put in
// the place of the first map, and the player stands at its region "start".
#include "Harness.hpp"

#include "cindra/Game.hpp"

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using namespace cindra::e2e;

namespace {

// Runs executable for the given seconds in a folder holding the font, or the whole game.
double runFor(const Xvfb& xvfb, const std::string& executable, double seconds, bool disableVBOs,
              bool withGame, const std::string& level) {
    GameFolder folder;
    if (withGame) {
        folder.addGame();
        if (!level.empty() && level != "intro") {
            folder.copy(folder.path() / (level + ".cmap"), cindra::kFirstMap);
        }
    } else {
        folder.addFont();
    }
    if (disableVBOs) {
        folder.write("config.txt", "disableVBOs = true\n");
    }
    GameProcess process(xvfb, folder, {}, executable);
    if (!process.waitForLine("VBOs enabled:")) {
        std::fprintf(stderr, "%s did not start: %s\n", executable.c_str(),
                     process.errorOutput().c_str());
        return 0;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    process.sendKeys({"Escape"});
    const auto line = process.waitForLine("Average FPS: ");
    process.wait();
    if (!line) {
        std::fprintf(stderr, "%s gave no frame rate: %s\n", executable.c_str(),
                     process.errorOutput().c_str());
    }
    return line ? std::stod(line->substr(13)) : 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double ratio(double numerator, double denominator) {
    return denominator > 0 ? numerator / denominator : 0.0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> numbers;
    bool disableVBOs = false;
    std::string level;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--no-vbo") {
            disableVBOs = true;
        } else if (arg == "--level" && i + 1 < argc) {
            level = argv[++i];
        } else {
            numbers.push_back(arg);
        }
    }
    const double seconds = numbers.size() > 0 ? std::stod(numbers[0]) : 5.0;
    const int rounds = numbers.size() > 1 ? std::stoi(numbers[1]) : 3;
    Xvfb xvfb;
    std::vector<double> game;
    std::vector<double> fill;
    std::vector<double> design;
    for (int round = 0; round < rounds; ++round) {
        game.push_back(runFor(xvfb, gameExecutable().string(), seconds, disableVBOs, true, level));
        fill.push_back(runFor(xvfb, CINDRA_GL_FLOOR, seconds, disableVBOs, false, ""));
        design.push_back(runFor(xvfb, CINDRA_GL_DESIGN_FLOOR, seconds, disableVBOs, false, ""));
        std::printf("round %d: game %.1f fps, fill floor %.1f fps, design floor %.1f fps\n",
                    round + 1, game.back(), fill.back(), design.back());
        std::fflush(stdout);
    }
    const double g = median(game);
    const double f = median(fill);
    const double d = median(design);
    std::printf("median game %.1f fps (%s, level %s), fill floor %.1f fps, design floor %.1f fps\n",
                g, disableVBOs ? "client arrays" : "buffer objects",
                level.empty() ? "intro" : level.c_str(), f, d);
    std::printf("game/fill floor %.3f, game/design floor %.3f\n", ratio(g, f), ratio(g, d));
    return 0;
}
