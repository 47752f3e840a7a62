// A mixer that records every call as a line of text instead of making sound.
#pragma once

#include "cindra/audio/Mixer.hpp"

#include <array>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace cindra::test {

class FakeMixer final : public audio::Mixer {
public:
    // Lines such as "loadMusic a.wav -> #1", "playMusic #1 -1", "playChannel -1 #2 0".
    std::vector<std::string> calls;
    // Files whose loads fail (return null).
    std::set<std::string> missing;
    // What playingMusic answers: true from playMusic until haltMusic, like SDL_mixer.
    bool playing = false;

    FakeMixer() = default;
    FakeMixer(const FakeMixer&) = delete;
    FakeMixer& operator=(const FakeMixer&) = delete;

    audio::MusicTrack* loadMusic(const std::string& file) override {
        return reinterpret_cast<audio::MusicTrack*>(load("loadMusic", file));
    }
    void playMusic(audio::MusicTrack* track, int loops) override {
        playing = true;
        calls.push_back("playMusic " + name(track) + " " + std::to_string(loops));
    }
    void haltMusic() override {
        playing = false;
        calls.push_back("haltMusic");
    }
    void pauseMusic() override { calls.push_back("pauseMusic"); }
    void resumeMusic() override { calls.push_back("resumeMusic"); }
    bool playingMusic() override {
        calls.push_back(playing ? "playingMusic? yes" : "playingMusic? no");
        return playing;
    }
    void freeMusic(audio::MusicTrack* track) override {
        calls.push_back("freeMusic " + name(track));
    }
    audio::SoundChunk* loadChunk(const std::string& file) override {
        return reinterpret_cast<audio::SoundChunk*>(load("loadChunk", file));
    }
    void playChannel(int channel, audio::SoundChunk* chunk, int loops) override {
        calls.push_back("playChannel " + std::to_string(channel) + " " + name(chunk) + " " +
                        std::to_string(loops));
    }

    // The calls made since the last take, which starts the record afresh.
    std::vector<std::string> take() { return std::exchange(calls, {}); }

private:
    // Handles are addresses of numbered slots: "#1" is the first successful load.
    std::array<char, 64> slots{};
    int loads = 0;

    char* load(const char* what, const std::string& file) {
        char* handle = missing.contains(file) ? nullptr : &slots.at(++loads);
        calls.push_back(std::string(what) + " " + file + " -> " + name(handle));
        return handle;
    }
    std::string name(const void* handle) const {
        if (handle == nullptr) {
            return "null";
        }
        return "#" + std::to_string(static_cast<const char*>(handle) - slots.data());
    }
};

} // namespace cindra::test
