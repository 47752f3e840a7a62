#include "cindra/audio/Music.hpp"

#include "cindra/Error.hpp"

namespace cindra::audio {

void MusicPlayer::play(const std::string& file) {
    stop();
    track_ = mixer_.loadMusic(file);
    if (track_ == nullptr) {
        throw Error("Music file " + file + " could not be loaded.");
    }
    mixer_.playMusic(track_, kLoopForever);
}

void MusicPlayer::stop() {
    if (mixer_.playingMusic()) {
        mixer_.haltMusic();
    }
    if (track_ != nullptr) {
        mixer_.freeMusic(track_);
        track_ = nullptr;
    }
}

void MusicPlayer::pause() {
    mixer_.pauseMusic();
}

void MusicPlayer::resume() {
    mixer_.resumeMusic();
}

} // namespace cindra::audio
