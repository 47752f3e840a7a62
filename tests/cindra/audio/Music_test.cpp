#include "cindra/audio/Music.hpp"

#include "support/ErrorText.hpp"
#include "support/FakeMixer.hpp"

#include <gtest/gtest.h>

#include <functional>

using cindra::audio::MusicPlayer;
using cindra::test::errorOf;
using cindra::test::FakeMixer;
using Calls = std::vector<std::string>;

namespace {

struct MusicCase {
    const char* name;
    std::function<void()> steps;
    Calls expected;
};

} // namespace

TEST(MusicPlayer, MixerCallsFollowEachOperation) {
    const MusicCase cases[] = {
        {"play loads and loops forever",
         [] { MusicPlayer::play("tune.wav"); },
         {"playingMusic? no", "loadMusic tune.wav -> #1", "playMusic #1 -1"}},
        {"playing the same file restarts it from a fresh load",
         [] {
             MusicPlayer::play("tune.wav");
             MusicPlayer::play("tune.wav");
         },
         {"playingMusic? no", "loadMusic tune.wav -> #1", "playMusic #1 -1", "playingMusic? yes",
          "haltMusic", "freeMusic #1", "loadMusic tune.wav -> #2", "playMusic #2 -1"}},
        {"stop with no track only asks", [] { MusicPlayer::stop(); }, {"playingMusic? no"}},
        {"stop halts and frees, and a second stop finds nothing",
         [] {
             MusicPlayer::play("tune.wav");
             MusicPlayer::stop();
             MusicPlayer::stop();
         },
         {"playingMusic? no", "loadMusic tune.wav -> #1", "playMusic #1 -1", "playingMusic? yes",
          "haltMusic", "freeMusic #1", "playingMusic? no"}},
        {"pause and resume pass through without a track",
         [] {
             MusicPlayer::pause();
             MusicPlayer::resume();
         },
         {"pauseMusic", "resumeMusic"}},
        {"pause keeps the track loaded",
         [] {
             MusicPlayer::play("tune.wav");
             MusicPlayer::pause();
             MusicPlayer::resume();
             MusicPlayer::stop();
         },
         {"playingMusic? no", "loadMusic tune.wav -> #1", "playMusic #1 -1", "pauseMusic",
          "resumeMusic", "playingMusic? yes", "haltMusic", "freeMusic #1"}},
    };
    for (const MusicCase& c : cases) {
        FakeMixer fake;
        c.steps();
        EXPECT_EQ(fake.calls, c.expected) << c.name;
    }
}

TEST(MusicPlayer, TrackThatEndedIsFreedWithoutHalting) {
    FakeMixer fake;
    MusicPlayer::play("tune.wav");
    fake.playing = false;
    fake.take();
    MusicPlayer::stop();
    EXPECT_EQ(fake.take(), (Calls{"playingMusic? no", "freeMusic #1"}));
}

TEST(MusicPlayer, FailedPlayLeavesSilence) {
    FakeMixer fake;
    fake.missing.insert("gone.ogg");
    MusicPlayer::play("tune.wav");
    fake.take();

    EXPECT_EQ(errorOf([] { MusicPlayer::play("gone.ogg"); }),
              "Music file gone.ogg could not be loaded.");
    EXPECT_EQ(fake.take(), (Calls{"playingMusic? yes", "haltMusic", "freeMusic #1",
                                  "loadMusic gone.ogg -> null"}));
    EXPECT_FALSE(fake.playing);

    MusicPlayer::stop(); // no track is left to free
    EXPECT_EQ(fake.take(), (Calls{"playingMusic? no"}));
}

TEST(MusicPlayer, WithoutMixerLoadsFailAndTheRestIsHarmless) {
    cindra::audio::setMixer(nullptr);
    MusicPlayer::forgetTrack();
    EXPECT_EQ(errorOf([] { MusicPlayer::play("tune.wav"); }),
              "Music file tune.wav could not be loaded.");
    EXPECT_EQ(errorOf([] {
                  MusicPlayer::pause();
                  MusicPlayer::resume();
                  MusicPlayer::stop();
              }),
              "(no error)");
}
