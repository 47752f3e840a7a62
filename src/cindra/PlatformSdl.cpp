#include "cindra/PlatformSdl.hpp"

#include "cindra/SystemSdl.hpp"
#include "cindra/gui/Gui.hpp"

#include <GL/gl.h>
#include <SDL.h>

namespace cindra {

SdlPlatform::SdlPlatform() : origin_(std::chrono::steady_clock::now()) {}

// The screen goes after video shutdown: with the context gone it issues no GL call.
SdlPlatform::~SdlPlatform() = default;

void SdlPlatform::startVideo(bool fullscreen, bool disableVBOs) {
    initVideo(fullscreen, disableVBOs);
}

void SdlPlatform::startAudio() {
    initAudio();
}

void SdlPlatform::stopAudio() {
    shutdownAudio();
}

void SdlPlatform::stopVideo() {
    shutdownVideo();
}

void SdlPlatform::clearScreen() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

double SdlPlatform::seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - origin_).count();
}

Console& SdlPlatform::openScreen(int width, int height) {
    screen_ = std::make_unique<PhysicalConsole>(width, height);
    return *screen_;
}

void SdlPlatform::present() {
    screen_->draw();
    SDL_GL_SwapBuffers();
}

void SdlPlatform::sampleInput(gui::InputState& input) {
    gui::refreshInput(input);
}

bool SdlPlatform::pollEvents(gui::InputState& input) {
    return gui::pollEvents(input);
}

} // namespace cindra
