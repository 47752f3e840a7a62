// The program itself: start-up in its fixed order, the frame loop, and the armed shutdown
// steps that run on every way out once video or audio is up.
#pragma once

#include "cindra/Configuration.hpp"
#include "cindra/FrameTimer.hpp"
#include "cindra/PhysicalConsoleGl.hpp"
#include "cindra/Screen.hpp"
#include "cindra/World.hpp"
#include "cindra/audio/Mixer.hpp"
#include "cindra/devtools/Inspector.hpp"
#include "cindra/util/Perlin.hpp"
#include "cindra/util/Timer.hpp"

#include <chrono>
#include <memory>
#include <optional>

namespace cindra {

inline constexpr const char* kConfigFile = "config.txt";
inline constexpr const char* kFirstMap = "intro.cmap";

class Application {
public:
    Application() = default;
    // Runs whichever shutdown steps are armed and not yet run.
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The whole program: start-up, loop, report and shutdown. Returns the exit status; an
    // error is reported on standard error after the armed shutdown steps.
    int run();

    // The pieces of run(), for tests that drive frames one at a time.
    void startUp();
    // Samples input and drains events; false when the loop must end.
    bool inputStep();
    void frame();
    void shutdown();
    std::uint64_t frameCount() const { return frames_; }

private:
    double elapsedSeconds() const;

    std::unique_ptr<Configuration> configuration_;
    std::unique_ptr<audio::Mixer> mixer_;
    std::unique_ptr<util::PerlinNoise> noise_;
    std::unique_ptr<util::Timer> gameClock_;
    std::unique_ptr<World> world_;
    // Made only when config.txt turns it on: without it F1 means nothing.
    std::unique_ptr<devtools::Inspector> inspector_;
    std::unique_ptr<PhysicalConsole> screen_;
    std::chrono::steady_clock::time_point started_;
    std::optional<FrameTimer> frameTimer_;
    float dt_ = 0.0f;
    std::uint64_t frames_ = 0;
    bool audioArmed_ = false;
    bool videoArmed_ = false;
};

} // namespace cindra
