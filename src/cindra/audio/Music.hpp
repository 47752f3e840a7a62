// Background music: the single current track, loaded from a file and looped forever.
#pragma once

#include <string>

namespace cindra::audio {

// Used only through its static operations; the current track is module state, at most one
// track is loaded at a time, and all calls go through the process-wide mixer.
class MusicPlayer {
public:
    MusicPlayer() = delete;

    // Stops and frees the current track, then loads file and loops it forever. Throws
    // cindra::Error "Music file <file> could not be loaded." when it cannot be loaded; the
    // previous track is gone by then, so silence follows.
    static void play(const std::string& file);
    // Halts the music if it plays and frees the current track; nothing to do without one.
    static void stop();
    // Passed to the mixer unchanged, track or no track; sound effects are not affected.
    static void pause();
    static void resume();

    // Forgets the current track without asking the mixer (for tests that install a fresh one).
    static void forgetTrack();
};

} // namespace cindra::audio
