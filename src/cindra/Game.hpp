// One running game: everything it is made of, created in the start-up order in one place
// and reached through this object, on whichever platform it runs. The frame loop's steps
// are here too, so the game and the tools that drive it frame by frame share one loop.
#pragma once

#include "cindra/Configuration.hpp"
#include "cindra/FrameTimer.hpp"
#include "cindra/Platform.hpp"
#include "cindra/audio/Music.hpp"
#include "cindra/audio/Sound.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/util/Perlin.hpp"
#include "cindra/util/Random.hpp"
#include "cindra/util/Timer.hpp"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace cindra {

class Console;
class World;
namespace devtools {
class Inspector;
class LiveReload;
} // namespace devtools

inline constexpr const char* kConfigFile = "config.txt";
inline constexpr const char* kFirstMap = "intro.cmap";

struct GameOptions {
    std::string firstMap = kFirstMap;
    // Seeds the shared generator before any script runs, so the boxes' faces come out the
    // same in every run with the same seed.
    std::uint32_t seed = 1;
    // What a script's os.exit does once the platform is shut down; unset, the process ends
    // with the status at once.
    std::function<void(int status)> onExit;
    // When set, the scripts' os.time, os.clock and os.date read this clock (in seconds)
    // instead of the wall clock, from before the start-up module runs.
    std::function<double()> scriptClock;
};

// Video and audio as started (with the configuration's "fullscreen" and "disableVBOs"), and
// the shutdown steps they arm: each runs once, on every way
// out (its destructor runs whatever is still armed).
class PlatformSession {
public:
    PlatformSession(Platform& platform, const Configuration& configuration);
    ~PlatformSession() { shutdown(); }
    PlatformSession(const PlatformSession&) = delete;
    PlatformSession& operator=(const PlatformSession&) = delete;

    void shutdown();

private:
    // Armed from the constructor on, so a failure to open audio still shuts video down.
    struct VideoStep {
        Platform& platform;
        bool armed = false;
        ~VideoStep();
    };
    VideoStep video_;
    bool audioArmed_ = false;
};

class Game {
public:
    // Start-up: the configuration, video, audio, the stopwatch, the noise generator, the game
    // clock, the world with its first map and scripts, the screen console. An error ends
    // start-up after the platform steps started so far are shut down.
    explicit Game(Platform& platform, GameOptions options = {});
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // The input sample and event pump; false when the loop must end (a quit, or Escape).
    bool inputStep();
    // Draws the world into the screen console, shows it, updates the world by the frame time
    // and measures the next one.
    void frame();
    // Start-up, frames until the input step ends them, then the frame-rate line; the exit
    // status, with an error reported on standard error after the armed shutdown steps.
    static int run(Platform& platform, GameOptions options = {});
    // The end of a run that was not cut short: the frame-rate line, then the shutdown steps.
    void finish();
    // An error that ended the game, as the game reports it on standard error.
    static void report(const std::exception& error);
    // The lines report prints: the kind and message, then the step that was running and the
    // script line, each on a line of its own when known.
    static std::string describe(const std::exception& error);
    // Makes the world anew (a new Lua state, the start-up module, the first map, the player,
    // initWorld, the start region's player placed): at start-up, and for a reload after a
    // start-up that failed.
    void startWorld();
    // The armed shutdown steps that have not run yet.
    void shutdown() { session_.shutdown(); }

    World& world() { return *world_; }
    const World& world() const { return *world_; }
    Platform& platform() { return platform_; }
    Console& screen() { return *screen_; }
    // Null unless config.txt turns the inspector on.
    devtools::Inspector* inspector() { return inspector_.get(); }
    // Null unless config.txt turns reloading on.
    devtools::LiveReload* liveReload() { return reload_.get(); }
    util::PerlinNoise& noise() { return noise_; }
    util::Timer& gameClock() { return gameClock_; }
    util::TimerSystem& timers() { return timers_; }
    gui::InputState& input() { return input_; }
    util::Random& random() { return random_; }
    audio::MusicPlayer& music() { return music_; }
    audio::SoundBank& sounds() { return sounds_; }
    // The clamped duration of the last frame, in seconds (0 before the first measurement).
    float deltaTime() const { return deltaTime_; }
    std::uint64_t frameCount() const { return frames_; }
    // Seconds on the run stopwatch since start-up step 6.
    double elapsedSeconds() { return platform_.seconds() - started_; }

private:
    double startStopwatch();
    // The world's update by the frame time, unless a reload is waiting for a fix.
    void advance();
    void exitFromScript(int status);
    // Puts the player at the middle of the region and the view on it; a region the map does
    // not have is a warning on standard output, and the player stays where it is.
    void placePlayer(const std::string& regionName, const std::string& mapName);

    Platform& platform_;
    GameOptions options_;
    Configuration configuration_;
    PlatformSession session_;
    double started_;
    util::PerlinNoise noise_;
    util::TimerSystem timers_;
    util::Timer gameClock_;
    gui::InputState input_;
    util::Random random_;
    audio::MusicPlayer music_;
    audio::SoundBank sounds_;
    float deltaTime_ = 0.0f;
    std::string firstMap_;
    std::string startRegion_;
    std::unique_ptr<World> world_;
    Console* screen_ = nullptr;
    // Made only when config.txt turns it on: without it F1 means nothing.
    std::unique_ptr<devtools::Inspector> inspector_;
    // Made only when config.txt turns reloading on: without it no file is watched, F5 means
    // nothing and an error ends the game.
    std::unique_ptr<devtools::LiveReload> reload_;
    std::optional<FrameTimer> frameTimer_;
    std::uint64_t frames_ = 0;
};

} // namespace cindra
