// The platform in a web page: SDL 1.2, OpenGL and SDL_mixer as the browser build provides
// them (over WebGL and Web Audio), and the frame loop unchanged. Each frame shown hands the
// browser back its event loop, without which the page would neither draw nor take keys.
#pragma once

#include "cindra/Platform.hpp"
#include "cindra/PlatformSdl.hpp"

namespace cindra {

class WebPlatform final : public Platform {
public:
    void startVideo(bool fullscreen, bool disableVBOs) override {
        sdl_.startVideo(fullscreen, disableVBOs);
    }
    void startAudio() override { sdl_.startAudio(); }
    void stopAudio() override { sdl_.stopAudio(); }
    void stopVideo() override { sdl_.stopVideo(); }
    void clearScreen() override { sdl_.clearScreen(); }
    double seconds() override { return sdl_.seconds(); }
    audio::Mixer& mixer() override { return sdl_.mixer(); }
    Console& openScreen(int width, int height) override { return sdl_.openScreen(width, height); }
    // Draws, then yields to the browser until its next turn.
    void present() override;
    void sampleInput(gui::InputState& input) override { sdl_.sampleInput(input); }
    bool pollEvents(gui::InputState& input) override { return sdl_.pollEvents(input); }

private:
    SdlPlatform sdl_;
};

} // namespace cindra
