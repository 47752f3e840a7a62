// The seam between the audio logic and SDL_mixer: exactly the mixer calls that the music
// player and sound effects make, behind an interface that tests replace with a fake.
#pragma once

#include <string>

namespace cindra::audio {

// Opaque handles: a loaded music track (SDL_mixer's Mix_Music) and a loaded sample
// (Mix_Chunk). Only the mixer that made a handle knows what it points to; null means "none".
struct MusicTrack;
struct SoundChunk;

// A loop count of -1 repeats forever (music) or until the channel is halted (samples).
inline constexpr int kLoopForever = -1;
// The channel number that asks for the first free channel.
inline constexpr int kAnyChannel = -1;

class Mixer {
public:
    virtual ~Mixer() = default;

    // Null when the file cannot be read or decoded.
    virtual MusicTrack* loadMusic(const std::string& file) = 0;
    // Starts the track from the beginning; loops counts extra plays, kLoopForever for endless.
    virtual void playMusic(MusicTrack* track, int loops) = 0;
    virtual void haltMusic() = 0;
    virtual void pauseMusic() = 0;
    virtual void resumeMusic() = 0;
    virtual bool playingMusic() = 0;
    virtual void freeMusic(MusicTrack* track) = 0;

    // Opens the file for binary reading and decodes it as a sample; null when either fails.
    virtual SoundChunk* loadChunk(const std::string& file) = 0;
    // Plays on channel (kAnyChannel: the first free one) with no time limit; when no channel
    // is free the sample is simply not heard.
    virtual void playChannel(int channel, SoundChunk* chunk, int loops) = 0;
};

// A mixer without a device: every load fails (null), so music and sounds raise their usual
// load errors; the other operations do nothing and nothing plays.
class NullMixer final : public Mixer {
public:
    MusicTrack* loadMusic(const std::string&) override { return nullptr; }
    void playMusic(MusicTrack*, int) override {}
    void haltMusic() override {}
    void pauseMusic() override {}
    void resumeMusic() override {}
    bool playingMusic() override { return false; }
    void freeMusic(MusicTrack*) override {}
    SoundChunk* loadChunk(const std::string&) override { return nullptr; }
    void playChannel(int, SoundChunk*, int) override {}
};

} // namespace cindra::audio
