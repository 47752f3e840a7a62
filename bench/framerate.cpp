// The frame-rate harness: runs the game and the GL floor program in turn under a private
// Xvfb, each for a fixed time, and reports frames per second as medians over several
// rounds, with the game's rate as a ratio of the floor measured in the same run.
//
// Usage: framerate [seconds per run] [rounds] [--no-vbo]
#include "Harness.hpp"

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using namespace cindra::e2e;

namespace {

double runFor(const Xvfb& xvfb, const std::string& executable, double seconds, bool disableVBOs) {
    GameFolder folder;
    folder.addFont();
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
    return line ? std::stod(line->substr(13)) : 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::stod(argv[1]) : 5.0;
    const int rounds = argc > 2 ? std::stoi(argv[2]) : 3;
    const bool disableVBOs = argc > 3 && std::string(argv[3]) == "--no-vbo";
    Xvfb xvfb;
    std::vector<double> game;
    std::vector<double> floor;
    for (int round = 0; round < rounds; ++round) {
        game.push_back(runFor(xvfb, gameExecutable().string(), seconds, disableVBOs));
        floor.push_back(runFor(xvfb, CINDRA_GL_FLOOR, seconds, false));
        std::printf("round %d: game %.1f fps, floor %.1f fps\n", round + 1, game.back(),
                    floor.back());
        std::fflush(stdout);
    }
    const double g = median(game);
    const double f = median(floor);
    std::printf("median game %.1f fps (%s), median floor %.1f fps, game/floor %.3f\n", g,
                disableVBOs ? "client arrays" : "buffer objects", f, f > 0 ? g / f : 0.0);
    return 0;
}
