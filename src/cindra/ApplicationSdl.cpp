#include "cindra/ApplicationSdl.hpp"

#include "cindra/Error.hpp"
#include "cindra/Output.hpp"
#include "cindra/Process.hpp"
#include "cindra/SystemSdl.hpp"
#include "cindra/World.hpp"
#include "cindra/audio/MixerSdl.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/logic/ScriptManager.hpp"

#include <GL/gl.h>
#include <SDL.h>
#include <fmt/format.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace cindra {

// The objects live as long as the application; the process-wide accessors must not outlive
// them.
Application::~Application() {
    shutdown();
    world_.reset();
    process().noise = nullptr;
    if (gameClock_) {
        process().timerSystem.remove(*gameClock_);
        process().gameClock = nullptr;
    }
}

double Application::elapsedSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

void Application::startUp() {
    configuration_ = std::make_unique<Configuration>(kConfigFile);
    const bool fullscreen = configuration_->getBool("fullscreen", false);
    const bool disableVBOs = configuration_->getBool("disableVBOs", false);
    const bool inspector = configuration_->getBool("inspector", false);
    initVideo(fullscreen, disableVBOs);
    videoArmed_ = true;
    initAudio();
    audioArmed_ = true;
    mixer_ = std::make_unique<audio::MixerSdl>();
    audio::setMixer(mixer_.get());
    started_ = std::chrono::steady_clock::now();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    noise_ = std::make_unique<util::PerlinNoise>();
    process().noise = noise_.get();
    gameClock_ = std::make_unique<util::Timer>();
    process().gameClock = gameClock_.get();
    process().timerSystem.add(*gameClock_);
    world_ = std::make_unique<World>(kFirstMap);
    // A script's os.exit ends the game as Escape does, without the frame-rate line: the
    // platform shuts down first, so no audio thread outlives the process's teardown.
    world_->getScriptManager().setExitHandler([this](int status) {
        shutdown();
        std::fflush(nullptr);
        std::_Exit(status);
    });
    world_->init();
    screen_ = std::make_unique<PhysicalConsole>(kConsoleWidth, kConsoleHeight);
    if (inspector) {
        inspector_ = std::make_unique<devtools::Inspector>(kConsoleWidth, kConsoleHeight);
    }
    frameTimer_.emplace(elapsedSeconds());
    dt_ = frameTimer_->measure(elapsedSeconds());
    process().deltaTime = dt_;
}

bool Application::inputStep() {
    gui::refreshInput();
    gui::clampMouse(kConsoleWidth, kConsoleHeight);
    if (!gui::pollEvents()) {
        return false;
    }
    return gui::input().lastKey != gui::kKeyEscape;
}

void Application::frame() {
    world_->render(*screen_);
    if (inspector_) {
        inspector_->frame(*world_, gui::input(), dt_, *screen_);
    }
    screen_->draw();
    SDL_GL_SwapBuffers();
    world_->update(dt_);
    frames_ += 1;
    dt_ = frameTimer_->measure(elapsedSeconds());
    process().deltaTime = dt_;
}

void Application::shutdown() {
    if (audioArmed_) {
        audioArmed_ = false;
        shutdownAudio();
        audio::setMixer(nullptr);
    }
    if (videoArmed_) {
        videoArmed_ = false;
        shutdownVideo();
    }
}

int Application::run() {
    try {
        startUp();
        bool running = inputStep();
        while (running) {
            frame();
            running = inputStep();
        }
        const double seconds = elapsedSeconds();
        printLine("Average FPS: {}", seconds > 0 ? static_cast<double>(frames_) / seconds : 0.0);
        shutdown();
        return 0;
    } catch (const Error& error) {
        shutdown();
        fmt::print(stderr, "{}: {}\n", error.kind(), error.what());
        if (!error.context().empty()) {
            fmt::print(stderr, "  while running {}\n", error.context());
        }
    } catch (const std::exception& error) {
        shutdown();
        fmt::print(stderr, "std.exception: {}\n", error.what());
    }
    std::fflush(stderr);
    return 1;
}

} // namespace cindra
