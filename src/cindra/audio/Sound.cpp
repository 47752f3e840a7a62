#include "cindra/audio/Sound.hpp"

#include "cindra/Error.hpp"
#include "cindra/audio/Mixer.hpp"

#include <unordered_map>

namespace cindra::audio {

namespace {

// File name, byte for byte, to its sample; null for a file that could not be loaded.
std::unordered_map<std::string, SoundChunk*>& chunkCache() {
    static std::unordered_map<std::string, SoundChunk*> cache;
    return cache;
}

SoundChunk* cachedChunk(const std::string& file) {
    auto& cache = chunkCache();
    if (auto found = cache.find(file); found != cache.end()) {
        return found->second;
    }
    SoundChunk* loaded = mixer().loadChunk(file);
    cache.emplace(file, loaded);
    return loaded;
}

} // namespace

Sound::Sound(const std::string& file, int onChannel)
    : chunk(cachedChunk(file)), channel(onChannel) {
    if (chunk == nullptr) {
        throw Error("Could not load sound file " + file);
    }
}

void Sound::play() {
    mixer().playChannel(channel, chunk, 0);
}

void Sound::playLooped() {
    mixer().playChannel(channel, chunk, kLoopForever);
}

void Sound::clearCache() {
    chunkCache().clear();
}

} // namespace cindra::audio
