// The SDL_mixer implementation of the audio seam; it needs the audio device opened first
// (initAudio).
#pragma once

#include "cindra/audio/Mixer.hpp"

namespace cindra::audio {

class MixerSdl final : public Mixer {
public:
    MusicTrack* loadMusic(const std::string& file) override;
    void playMusic(MusicTrack* track, int loops) override;
    void haltMusic() override;
    void pauseMusic() override;
    void resumeMusic() override;
    bool playingMusic() override;
    void freeMusic(MusicTrack* track) override;
    SoundChunk* loadChunk(const std::string& file) override;
    void playChannel(int channel, SoundChunk* chunk, int loops) override;
};

} // namespace cindra::audio
