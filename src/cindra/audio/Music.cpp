#include "cindra/audio/Music.hpp"

#include "cindra/Error.hpp"
#include "cindra/audio/Mixer.hpp"

namespace cindra::audio {

namespace {
MusicTrack* currentTrack = nullptr;
}

void MusicPlayer::play(const std::string& file) {
    stop();
    currentTrack = mixer().loadMusic(file);
    if (currentTrack == nullptr) {
        throw Error("Music file " + file + " could not be loaded.");
    }
    mixer().playMusic(currentTrack, kLoopForever);
}

void MusicPlayer::stop() {
    if (mixer().playingMusic()) {
        mixer().haltMusic();
    }
    if (currentTrack != nullptr) {
        mixer().freeMusic(currentTrack);
        currentTrack = nullptr;
    }
}

void MusicPlayer::pause() {
    mixer().pauseMusic();
}

void MusicPlayer::resume() {
    mixer().resumeMusic();
}

void MusicPlayer::forgetTrack() {
    currentTrack = nullptr;
}

} // namespace cindra::audio
