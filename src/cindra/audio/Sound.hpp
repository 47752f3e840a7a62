// Sound effects: one playable sample bound to a mixer channel. Samples are cached by file
// name for the whole game and never freed, since a dropped Sound's sample may still be playing.
#pragma once

#include "cindra/audio/Mixer.hpp"

#include <string>
#include <unordered_map>

namespace cindra::audio {

// The game's samples by file name, byte for byte; a file that failed to load is remembered
// as null, so it fails again the same way without another load.
class SoundBank {
public:
    // The mixer is not owned and must outlive the bank.
    explicit SoundBank(Mixer& mixer) : mixer_(mixer) {}
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;

    // The cached sample of file, loaded on first use; null when it could not be loaded.
    SoundChunk* chunk(const std::string& file);
    Mixer& mixer() { return mixer_; }

private:
    Mixer& mixer_;
    std::unordered_map<std::string, SoundChunk*> chunks_;
};

class Sound {
public:
    // Takes file's sample from bank. Throws cindra::Error "Could not load sound file <file>"
    // when there is none. onChannel -1 is the first free channel.
    Sound(SoundBank& bank, const std::string& file, int onChannel);
    virtual ~Sound() = default;

    Sound(const Sound&) = default;
    Sound& operator=(const Sound&) = default;

    // Plays once.
    virtual void play();
    // Plays looping until the channel is halted (nothing halts it, so for the rest of the run).
    virtual void playLooped();

private:
    Mixer* mixer;
    SoundChunk* chunk;
    int channel;
};

} // namespace cindra::audio
