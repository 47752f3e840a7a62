// The platform the game ships on: SDL 1.2 video and events, OpenGL drawing of the screen
// console, SDL_mixer audio and a high-resolution stopwatch.
#pragma once

#include "cindra/PhysicalConsoleGl.hpp"
#include "cindra/Platform.hpp"
#include "cindra/audio/MixerSdl.hpp"

#include <chrono>
#include <memory>

namespace cindra {

class SdlPlatform final : public Platform {
public:
    SdlPlatform();
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    void startVideo(bool fullscreen, bool disableVBOs) override;
    void startAudio() override;
    void stopAudio() override;
    void stopVideo() override;
    void clearScreen() override;
    double seconds() override;
    audio::Mixer& mixer() override { return mixer_; }
    Console& openScreen(int width, int height) override;
    // Draws the screen console and swaps the buffers.
    void present() override;
    void sampleInput(gui::InputState& input) override;
    bool pollEvents(gui::InputState& input) override;

private:
    std::chrono::steady_clock::time_point origin_;
    audio::MixerSdl mixer_;
    std::unique_ptr<PhysicalConsole> screen_;
};

} // namespace cindra
