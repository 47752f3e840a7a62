// The platform without a machine: no window, no sound device, a stopwatch the caller sets,
// devices the caller works by queueing key, pointer and quit events, a mixer that records
// what it was asked to play, and a screen console that is drawn through the software
// rasteriser only when a picture is asked for. Tests and cindra-playtest run whole frames
// of the real game on it.
#pragma once

#include "cindra/Console.hpp"
#include "cindra/FontAtlas.hpp"
#include "cindra/Platform.hpp"
#include "cindra/audio/Mixer.hpp"
#include "cindra/util/GridPos.hpp"
#include "cindra/util/Png.hpp"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cindra {

// Loads succeed for files that can be opened for reading (a folder cannot); nothing is
// decoded, so a file that SDL_mixer would refuse still "plays" here.
class RecordingMixer final : public audio::Mixer {
public:
    audio::MusicTrack* loadMusic(const std::string& file) override;
    void playMusic(audio::MusicTrack* track, int loops) override;
    void haltMusic() override { musicPlaying_ = false; }
    void pauseMusic() override {}
    void resumeMusic() override {}
    bool playingMusic() override { return musicPlaying_; }
    void freeMusic(audio::MusicTrack*) override {}
    audio::SoundChunk* loadChunk(const std::string& file) override;
    void playChannel(int channel, audio::SoundChunk* chunk, int loops) override;

    // The file of every track and sample asked to play, in order.
    const std::vector<std::string>& played() const { return played_; }

private:
    const std::string* load(const std::string& file);

    // One entry per successful load; the handles point at them, so they must not move.
    std::deque<std::string> loaded_;
    std::vector<std::string> played_;
    bool musicPlaying_ = false;
};

class NullPlatform final : public Platform {
public:
    struct Options {
        // Whether openScreen loads the font "terminal.png" as the real screen does (and fails
        // as it does without one). Without it there is no picture.
        bool font = true;
    };

    NullPlatform();
    explicit NullPlatform(Options options);

    void startVideo(bool, bool) override {}
    void startAudio() override {}
    void stopAudio() override {}
    void stopVideo() override {}
    void clearScreen() override {}
    double seconds() override { return seconds_; }
    audio::Mixer& mixer() override { return mixer_; }
    Console& openScreen(int width, int height) override;
    void present() override { presented_ += 1; }
    void sampleInput(gui::InputState& input) override;
    bool pollEvents(gui::InputState& input) override;

    // The stopwatch: set, or moved on by the given seconds.
    void setSeconds(double seconds) { seconds_ = seconds; }
    void advance(double seconds) { seconds_ += seconds; }

    // Events for the next pollEvents, in order. A key goes down with the character it types.
    void keyDown(int code, std::uint16_t unicode = 0);
    void keyUp(int code);
    // The pointer over a console cell (the pixel at the cell's centre).
    void movePointer(util::GridPos cell);
    void button(int button, bool down);
    // The window is asked to close; events behind the request stay queued.
    void requestQuit();

    const RecordingMixer& recordingMixer() const { return mixer_; }
    // Frames shown so far.
    std::uint64_t presented() const { return presented_; }
    // The screen console (after openScreen).
    const Console* screen() const { return screen_.get(); }
    // The screen console as the OpenGL path draws it, pixel for pixel; needs the font.
    util::Image picture() const;

private:
    struct Event {
        enum class Kind { KeyDown, KeyUp, Button, Quit } kind;
        int code = 0;
        std::uint16_t unicode = 0;
        bool down = false;
    };

    Options options_;
    double seconds_ = 0.0;
    RecordingMixer mixer_;
    std::unique_ptr<Console> screen_;
    std::optional<FontAtlas> font_;
    std::uint64_t presented_ = 0;
    // Indexed by key code, as SDL 1.2's key-state array; nonzero means held.
    std::array<std::uint8_t, 323> keys_{};
    int pixelX_ = 0;
    int pixelY_ = 0;
    std::uint8_t buttons_ = 0;
    std::deque<Event> events_;
};

} // namespace cindra
