// Background music: the single current track, loaded from a file and looped forever.
#pragma once

#include "cindra/audio/Mixer.hpp"

#include <string>

namespace cindra::audio {

// At most one track is loaded at a time; every call goes through the game's mixer.
class MusicPlayer {
public:
    // The mixer is not owned and must outlive the player.
    explicit MusicPlayer(Mixer& mixer) : mixer_(mixer) {}
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // Stops and frees the current track, then loads file and loops it forever. Throws
    // cindra::Error "Music file <file> could not be loaded." when it cannot be loaded; the
    // previous track is gone by then, so silence follows.
    void play(const std::string& file);
    // Halts the music if it plays and frees the current track; nothing to do without one.
    void stop();
    // Passed to the mixer unchanged, track or no track; sound effects are not affected.
    void pause();
    void resume();

private:
    Mixer& mixer_;
    MusicTrack* track_ = nullptr;
};

} // namespace cindra::audio
