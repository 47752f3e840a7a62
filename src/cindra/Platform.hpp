// What the frame loop needs of the machine: video and audio brought up and shut down, a run
// stopwatch, the mixer, the screen console shown once per frame, and the devices' input
// written into a game's input state. The game runs on the SDL 1.2 / OpenGL / SDL_mixer
// platform (SdlPlatform) or, without a display or a sound device, on the NullPlatform.
#pragma once

namespace cindra {

class Console;

namespace audio {
class Mixer;
}
namespace gui {
struct InputState;
}

class Platform {
public:
    virtual ~Platform() = default;

    // The window at its fixed size, with the buffer-object decision; may print its status.
    virtual void startVideo(bool fullscreen, bool disableVBOs) = 0;
    // The audio device; throws cindra::Error "Could not open audio device." when it fails.
    virtual void startAudio() = 0;
    virtual void stopAudio() = 0;
    virtual void stopVideo() = 0;
    // Clears the window once, before the first frame.
    virtual void clearScreen() = 0;

    // Seconds on the run stopwatch, never decreasing.
    virtual double seconds() = 0;
    virtual audio::Mixer& mixer() = 0;

    // Makes the screen console of width x height cells with the font it is drawn in (a font
    // that cannot be loaded ends start-up with its error); it lives as long as the platform.
    virtual Console& openScreen(int width, int height) = 0;
    // Shows the screen console as it stands.
    virtual void present() = 0;

    // The start-of-frame sample of pointer, buttons and keys; clears the frame's last key.
    virtual void sampleInput(gui::InputState& input) = 0;
    // Drains the frame's events into input; false when the window was asked to close.
    virtual bool pollEvents(gui::InputState& input) = 0;
};

} // namespace cindra
