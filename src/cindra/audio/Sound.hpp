// Sound effects: one playable sample bound to a mixer channel. Samples are cached by file
// name for the whole run and never freed, since a dropped Sound's sample may still be playing.
#pragma once

#include <string>

namespace cindra::audio {

struct SoundChunk;

class Sound {
public:
    // Reuses the cached sample of file, or loads it once through the process-wide mixer and
    // caches the result, a failed (null) one included. Throws cindra::Error
    // "Could not load sound file <file>" when there is no sample, so a file that failed once
    // fails again the same way without another load. onChannel -1 is the first free channel.
    Sound(const std::string& file, int onChannel);
    virtual ~Sound() = default;

    Sound(const Sound&) = default;
    Sound& operator=(const Sound&) = default;

    // Plays once.
    virtual void play();
    // Plays looping until the channel is halted (nothing halts it, so for the rest of the run).
    virtual void playLooped();

    // Empties the sample cache without freeing anything (for tests that install a fresh mixer).
    static void clearCache();

private:
    SoundChunk* chunk;
    int channel;
};

} // namespace cindra::audio
