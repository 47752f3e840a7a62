#include "cindra/audio/MixerSdl.hpp"

#include <SDL.h>
#include <SDL_mixer.h>

// The handles are SDL_mixer's own pointers under opaque names; they only ever come back here.
namespace cindra::audio {

namespace {

Mix_Music* native(MusicTrack* track) {
    return reinterpret_cast<Mix_Music*>(track);
}

Mix_Chunk* native(SoundChunk* chunk) {
    return reinterpret_cast<Mix_Chunk*>(chunk);
}

} // namespace

MusicTrack* MixerSdl::loadMusic(const std::string& file) {
    return reinterpret_cast<MusicTrack*>(Mix_LoadMUS(file.c_str()));
}

void MixerSdl::playMusic(MusicTrack* track, int loops) {
    Mix_PlayMusic(native(track), loops);
}

void MixerSdl::haltMusic() {
    Mix_HaltMusic();
}

void MixerSdl::pauseMusic() {
    Mix_PauseMusic();
}

void MixerSdl::resumeMusic() {
    Mix_ResumeMusic();
}

bool MixerSdl::playingMusic() {
    return Mix_PlayingMusic() != 0;
}

void MixerSdl::freeMusic(MusicTrack* track) {
    Mix_FreeMusic(native(track));
}

// A null stream (missing file) is passed on: Mix_LoadWAV_RW then returns null, and with
// freesrc 1 it closes any stream it was given.
SoundChunk* MixerSdl::loadChunk(const std::string& file) {
    SDL_RWops* stream = SDL_RWFromFile(file.c_str(), "rb");
    return reinterpret_cast<SoundChunk*>(Mix_LoadWAV_RW(stream, 1));
}

void MixerSdl::playChannel(int channel, SoundChunk* chunk, int loops) {
    Mix_PlayChannelTimed(channel, native(chunk), loops, -1);
}

} // namespace cindra::audio
