#include "cindra/Game.hpp"

#include "cindra/Console.hpp"
#include "cindra/Error.hpp"
#include "cindra/Map.hpp"
#include "cindra/Output.hpp"
#include "cindra/Screen.hpp"
#include "cindra/World.hpp"
#include "cindra/devtools/Inspector.hpp"
#include "cindra/logic/Component.hpp"
#include "cindra/logic/Entities.hpp"
#include "cindra/logic/ScriptClock.hpp"
#include "cindra/logic/ScriptManager.hpp"

#include <fmt/format.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace cindra {

PlatformSession::PlatformSession(Platform& platform, const Configuration& configuration)
    : video_{platform} {
    const bool fullscreen = configuration.getBool("fullscreen", false);
    const bool disableVBOs = configuration.getBool("disableVBOs", false);
    video_.armed = true;
    platform.startVideo(fullscreen, disableVBOs);
    platform.startAudio();
    audioArmed_ = true;
}

PlatformSession::VideoStep::~VideoStep() {
    if (armed) {
        armed = false;
        platform.stopVideo();
    }
}

void PlatformSession::shutdown() {
    if (audioArmed_) {
        audioArmed_ = false;
        video_.platform.stopAudio();
    }
    if (video_.armed) {
        video_.armed = false;
        video_.platform.stopVideo();
    }
}

Game::Game(Platform& platform, GameOptions options)
    : platform_(platform), options_(std::move(options)), configuration_(kConfigFile),
      session_(platform, configuration_), started_(startStopwatch()), music_(platform.mixer()),
      sounds_(platform.mixer()) {
    const bool inspector = configuration_.getBool("inspector", false);
    // For authors: the map to start on, and the region to put the player in once it is
    // loaded, so that work on a late level needs no walk to it.
    const std::string firstMap = configuration_.getText("start", options_.firstMap);
    const std::string startRegion = configuration_.getText("startRegion", "");
    timers_.add(gameClock_);
    random_.seed(options_.seed);
    world_ = std::make_unique<World>(*this, firstMap);
    world_->getScriptManager().setExitHandler([this](int status) { exitFromScript(status); });
    if (options_.scriptClock) {
        logic::useScriptClock(world_->getScriptManager().lua(), options_.scriptClock);
    }
    world_->init();
    if (!startRegion.empty()) {
        placePlayer(startRegion, firstMap);
    }
    screen_ = &platform_.openScreen(kConsoleWidth, kConsoleHeight);
    if (inspector) {
        inspector_ = std::make_unique<devtools::Inspector>(kConsoleWidth, kConsoleHeight);
    }
    frameTimer_.emplace(elapsedSeconds());
    deltaTime_ = frameTimer_->measure(elapsedSeconds());
}

Game::~Game() = default;

void Game::placePlayer(const std::string& regionName, const std::string& mapName) {
    const MapRegion* region = world_->getMap().getRegion(regionName);
    logic::LocationComponent* location = world_->entities().location(world_->getPlayer());
    if (region == nullptr || location == nullptr) {
        printLine("Warning: startRegion {} is not a region of {}; the player stays at {}",
                  regionName, mapName,
                  location != nullptr ? location->getPosition().toString() : "no place");
        return;
    }
    location->setPosition(region->region.getCenter());
    world_->centerViewOn(location->getPosition());
}

double Game::startStopwatch() {
    const double now = platform_.seconds();
    platform_.clearScreen();
    return now;
}

// A script's os.exit ends the game as Escape does, without the frame-rate line: the platform
// shuts down first, so no audio thread outlives the process's teardown.
void Game::exitFromScript(int status) {
    shutdown();
    if (options_.onExit) {
        options_.onExit(status);
    }
    std::fflush(nullptr);
    std::_Exit(status);
}

bool Game::inputStep() {
    platform_.sampleInput(input_);
    gui::clampMouse(input_, kConsoleWidth, kConsoleHeight);
    if (!platform_.pollEvents(input_)) {
        return false;
    }
    return input_.lastKey != gui::kKeyEscape;
}

void Game::frame() {
    world_->render(*screen_);
    if (inspector_) {
        inspector_->frame(*world_, input_, deltaTime_, *screen_);
    }
    platform_.present();
    world_->update(deltaTime_);
    frames_ += 1;
    deltaTime_ = frameTimer_->measure(elapsedSeconds());
}

void Game::finish() {
    const double seconds = elapsedSeconds();
    printLine("Average FPS: {}", seconds > 0 ? static_cast<double>(frames_) / seconds : 0.0);
    shutdown();
}

void Game::report(const std::exception& error) {
    if (const auto* engineError = dynamic_cast<const Error*>(&error)) {
        fmt::print(stderr, "{}: {}\n", engineError->kind(), engineError->what());
        if (!engineError->context().empty()) {
            fmt::print(stderr, "  while running {}\n", engineError->context());
        }
        if (!engineError->location().empty()) {
            fmt::print(stderr, "  at {}\n", engineError->location());
        }
    } else {
        fmt::print(stderr, "std.exception: {}\n", error.what());
    }
    std::fflush(stderr);
}

int Game::run(Platform& platform, GameOptions options) {
    try {
        Game game(platform, std::move(options));
        bool running = game.inputStep();
        while (running) {
            game.frame();
            running = game.inputStep();
        }
        game.finish();
        return 0;
    } catch (const std::exception& error) {
        report(error);
    }
    return 1;
}

} // namespace cindra
