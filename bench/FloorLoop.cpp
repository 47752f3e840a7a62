#include "FloorLoop.hpp"

#include "cindra/Configuration.hpp"
#include "cindra/Game.hpp"
#include "cindra/Output.hpp"
#include "cindra/SystemSdl.hpp"
#include "cindra/gui/Gui.hpp"

#include <SDL.h>
#include <fmt/format.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>

namespace cindra::bench {

namespace {

// Frames per second of the loop; kept apart so the drawing's resources can be released
// while the GL context is still alive.
double loop(const std::function<DrawFrame()>& setUp) {
    const DrawFrame draw = setUp();
    const auto start = std::chrono::steady_clock::now();
    std::uint64_t frames = 0;
    gui::InputState input;
    while (true) {
        gui::refreshInput(input);
        if (!gui::pollEvents(input) || input.lastKey == gui::kKeyEscape) {
            break;
        }
        draw();
        SDL_GL_SwapBuffers();
        frames += 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return seconds > 0 ? static_cast<double>(frames) / seconds : 0.0;
}

} // namespace

int runFloor(const std::function<DrawFrame()>& setUp) {
    {
        const Configuration configuration(kConfigFile);
        initVideo(configuration.getBool("fullscreen", false),
                  configuration.getBool("disableVBOs", false));
    }
    try {
        const double fps = loop(setUp);
        printLine("Average FPS: {}", fps);
        shutdownVideo();
        return 0;
    } catch (const std::exception& error) {
        shutdownVideo();
        fmt::print(stderr, "{}\n", error.what());
        std::fflush(stderr);
        return 1;
    }
}

} // namespace cindra::bench
