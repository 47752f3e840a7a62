#include "cindra/audio/Sound.hpp"

#include "cindra/Error.hpp"

namespace cindra::audio {

SoundChunk* SoundBank::chunk(const std::string& file) {
    if (auto found = chunks_.find(file); found != chunks_.end()) {
        return found->second;
    }
    SoundChunk* loaded = mixer_.loadChunk(file);
    chunks_.emplace(file, loaded);
    return loaded;
}

Sound::Sound(SoundBank& bank, const std::string& file, int onChannel)
    : mixer(&bank.mixer()), chunk(bank.chunk(file)), channel(onChannel) {
    if (chunk == nullptr) {
        throw Error("Could not load sound file " + file);
    }
}

void Sound::play() {
    mixer->playChannel(channel, chunk, 0);
}

void Sound::playLooped() {
    mixer->playChannel(channel, chunk, kLoopForever);
}

} // namespace cindra::audio
