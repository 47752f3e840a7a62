#include "mksound/Synth.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace mksound {
namespace {

std::uint32_t u32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
    }
    return v;
}

// The frame'th sample of a channel (0 left, 1 right) of a stereo 16-bit WAV.
int sample(const std::string& wav, std::size_t frame, std::size_t channel = 0) {
    const std::size_t at = 44 + 4 * frame + 2 * channel;
    return static_cast<std::int16_t>(static_cast<unsigned char>(wav[at]) |
                                     static_cast<unsigned char>(wav[at + 1]) << 8);
}

// Upward zero crossings per second of the left channel from one time to another.
double pitchBetween(const std::string& wav, double from, double to) {
    int crossings = 0;
    for (auto i = static_cast<std::size_t>(from * kRate); i < to * kRate; ++i) {
        crossings += sample(wav, i) < 0 && sample(wav, i + 1) >= 0;
    }
    return crossings / (to - from);
}

const Voice kTone{Wave::Sine, {{1, 1, 0}}, 0, 0.5};
const Voice kHiss{Wave::Noise, {{1, 1, 0}, {3, 0.5, 0.1}}, 0.01, 0.1};

TEST(Synth, WritesStereo16BitPcmScaledToThePeak) {
    Track track(1.0);
    track.add(kTone, {0.1, 0.2, 69, 0.3, 0.5});
    const std::string wav = track.wav(0.5);
    const std::uint32_t frames = 44100;
    ASSERT_EQ(wav.size(), 44 + 4 * frames);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(u32(wav, 4), 36 + 4 * frames);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(u32(wav, 20), 1u | 2u << 16); // PCM, two channels
    EXPECT_EQ(u32(wav, 24), 44100u);
    EXPECT_EQ(u32(wav, 32), 4u | 16u << 16); // four bytes a frame, 16 bits a sample
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(u32(wav, 40), 4 * frames);
    int loudest = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        loudest = std::max({loudest, std::abs(sample(wav, i)), std::abs(sample(wav, i, 1))});
    }
    EXPECT_EQ(loudest, 16384);       // 0.5 of full scale
    EXPECT_EQ(sample(wav, 4000), 0); // before the note

    // A silent track stays silent rather than being scaled up from nothing.
    const std::string silence = Track(0.1).wav(0.5);
    EXPECT_EQ(silence.find_first_not_of('\0', 44), std::string::npos);
}

TEST(Synth, NoiseIsTheSameEachRunButEachNoteHasItsOwn) {
    auto render = [] {
        Track track(1.0);
        track.add(kHiss, {0.0, 0.3, 60, 0.5, 0.0});
        track.add(kHiss, {0.5, 0.3, 60, 0.5, 0.0});
        return track.wav(0.8);
    };
    const std::string wav = render();
    EXPECT_EQ(wav, render());
    // The note at 0.5 s is not the first one again, shifted.
    int same = 0;
    for (std::size_t i = 100; i < 10000; ++i) {
        same += sample(wav, i) == sample(wav, i + 22050);
    }
    EXPECT_LT(same, 500);
}

TEST(Synth, ABendSlidesToItsPitchAndStaysThere) {
    Track track(1.0);
    track.add(kTone, {0.0, 0.4, 69, 0.5, 0.0, 12});
    const std::string wav = track.wav(0.8);
    EXPECT_NEAR(pitchBetween(wav, 0.0, 0.02), 440, 60);
    EXPECT_NEAR(pitchBetween(wav, 0.4, 0.8), 880, 5);
}

TEST(Synth, ADroneRunsOnRoundTheLoopWithoutAJump) {
    Track track(0.99); // 435.6 cycles of A4 unless the drone is retuned
    track.addDrone({Wave::Sine, {{1, 1, 0}, {2.003, 0.5, 0}}, 0, 0}, 69, 0.5, 0.0);
    const std::string wav = track.wav(0.8);
    const std::size_t frames = (wav.size() - 44) / 4;
    int steepest = 0;
    for (std::size_t i = 0; i + 1 < frames; ++i) {
        steepest = std::max(steepest, std::abs(sample(wav, i + 1) - sample(wav, i)));
    }
    EXPECT_LE(std::abs(sample(wav, 0) - sample(wav, frames - 1)), steepest);
    EXPECT_GT(steepest, 0);
}

} // namespace
} // namespace mksound
