#include "cindra/Game.hpp"

#include "cindra/Console.hpp"
#include "cindra/Error.hpp"
#include "cindra/Map.hpp"
#include "cindra/Output.hpp"
#include "cindra/Screen.hpp"
#include "cindra/World.hpp"
#include "cindra/devtools/Inspector.hpp"
#include "cindra/devtools/LiveReload.hpp"
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
    firstMap_ = configuration_.getText("start", options_.firstMap);
    startRegion_ = configuration_.getText("startRegion", "");
    if (configuration_.getBool("reload", false)) {
        reload_ = std::make_unique<devtools::LiveReload>(*this);
    }
    // Before the world, so that a start-up error under reload is shown in it too.
    if (inspector) {
        inspector_ = std::make_unique<devtools::Inspector>(kConsoleWidth, kConsoleHeight);
    }
    timers_.add(gameClock_);
    random_.seed(options_.seed);
    try {
        startWorld();
    } catch (const std::exception& error) {
        if (!reload_) {
            throw;
        }
        reload_->stopOn(error, false);
    }
    screen_ = &platform_.openScreen(kConsoleWidth, kConsoleHeight);
    frameTimer_.emplace(elapsedSeconds());
    deltaTime_ = frameTimer_->measure(elapsedSeconds());
}

void Game::startWorld() {
    // The old world, if any, goes only once the new one is made, so there is always one to draw.
    world_ = std::make_unique<World>(*this, firstMap_);
    world_->getScriptManager().setExitHandler([this](int status) { exitFromScript(status); });
    if (options_.scriptClock) {
        logic::useScriptClock(world_->getScriptManager().lua(), options_.scriptClock);
    }
    world_->init();
    if (!startRegion_.empty()) {
        placePlayer(startRegion_, firstMap_);
    }
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
    if (reload_) {
        reload_->frame(input_, elapsedSeconds());
    }
    world_->render(*screen_);
    if (inspector_) {
        inspector_->frame(*world_, input_, deltaTime_, *screen_);
        if (inspector_->wantsKeyboard()) {
            // What the author types into the inspector is not played.
            input_.keyState = nullptr;
            input_.keyCount = 0;
            input_.lastKey = 0;
            input_.lastUnicode = 0;
        }
    }
    platform_.present();
    advance();
    frames_ += 1;
    deltaTime_ = frameTimer_->measure(elapsedSeconds());
}

void Game::advance() {
    if (reload_ && reload_->stopped()) {
        return;
    }
    try {
        world_->update(deltaTime_);
    } catch (const std::exception& error) {
        if (!reload_) {
            throw;
        }
        reload_->stopOn(error);
    }
}

void Game::finish() {
    const double seconds = elapsedSeconds();
    printLine("Average FPS: {}", seconds > 0 ? static_cast<double>(frames_) / seconds : 0.0);
    shutdown();
}

std::string Game::describe(const std::exception& error) {
    const auto* engineError = dynamic_cast<const Error*>(&error);
    if (engineError == nullptr) {
        return fmt::format("std.exception: {}", error.what());
    }
    std::string text = fmt::format("{}: {}", engineError->kind(), engineError->what());
    if (!engineError->context().empty()) {
        text += fmt::format("\n  while running {}", engineError->context());
    }
    if (!engineError->location().empty()) {
        text += fmt::format("\n  at {}", engineError->location());
    }
    return text;
}

void Game::report(const std::exception& error) {
    fmt::print(stderr, "{}\n", describe(error));
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
