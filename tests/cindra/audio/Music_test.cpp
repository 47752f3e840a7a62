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
    std::function<void(MusicPlayer&)> steps;
    Calls expected;
};

} // namespace

TEST(MusicPlayer, MixerCallsFollowEachOperation) {
    const MusicCase cases[] = {
        {"play loads and loops forever",
         [](MusicPlayer& music) { music.play("tune.wav"); },
         {"playingMusic? no", "loadMusic tune.wav -> #1", "playMusic #1 -1"}},
        {"playing the same file restarts it from a fresh load",
         [](MusicPlayer& music) {
             music.play("tune.wav");
             music.play("tune.wav");
         },
         {"playingMusic? no", "loadMusic tune.wav -> #1", "playMusic #1 -1", "playingMusic? yes",
          "haltMusic", "freeMusic #1", "loadMusic tune.wav -> #2", "playMusic #2 -1"}},
        {"stop with no track only asks",
         [](MusicPlayer& music) { music.stop(); },
         {"playingMusic? no"}},
        {"stop halts and frees, and a second stop finds nothing",
         [](MusicPlayer& music) {
             music.play("tune.wav");
             music.stop();
             music.stop();
         },
         {"playingMusic? no", "loadMusic tune.wav -> #1", "playMusic #1 -1", "playingMusic? yes",
          "haltMusic", "freeMusic #1", "playingMusic? no"}},
        {"pause and resume pass through without a track",
         [](MusicPlayer& music) {
             music.pause();
             music.resume();
         },
         {"pauseMusic", "resumeMusic"}},
        {"pause keeps the track loaded",
         [](MusicPlayer& music) {
             music.play("tune.wav");
             music.pause();
             music.resume();
             music.stop();
         },
         {"playingMusic? no", "loadMusic tune.wav -> #1", "playMusic #1 -1", "pauseMusic",
          "resumeMusic", "playingMusic? yes", "haltMusic", "freeMusic #1"}},
    };
    for (const MusicCase& c : cases) {
        FakeMixer fake;
        MusicPlayer music(fake);
        c.steps(music);
        EXPECT_EQ(fake.calls, c.expected) << c.name;
    }
}

TEST(MusicPlayer, TrackThatEndedIsFreedWithoutHalting) {
    FakeMixer fake;
    MusicPlayer music(fake);
    music.play("tune.wav");
    fake.playing = false;
    fake.take();
    music.stop();
    EXPECT_EQ(fake.take(), (Calls{"playingMusic? no", "freeMusic #1"}));
}

TEST(MusicPlayer, FailedPlayLeavesSilence) {
    FakeMixer fake;
    fake.missing.insert("gone.ogg");
    MusicPlayer music(fake);
    music.play("tune.wav");
    fake.take();

    EXPECT_EQ(errorOf([&] { music.play("gone.ogg"); }), "Music file gone.ogg could not be loaded.");
    EXPECT_EQ(fake.take(), (Calls{"playingMusic? yes", "haltMusic", "freeMusic #1",
                                  "loadMusic gone.ogg -> null"}));
    EXPECT_FALSE(fake.playing);

    music.stop(); // no track is left to free
    EXPECT_EQ(fake.take(), (Calls{"playingMusic? no"}));
}

TEST(MusicPlayer, WithoutDeviceLoadsFailAndTheRestIsHarmless) {
    cindra::audio::NullMixer silence;
    MusicPlayer music(silence);
    EXPECT_EQ(errorOf([&] { music.play("tune.wav"); }), "Music file tune.wav could not be loaded.");
    EXPECT_EQ(errorOf([&] {
                  music.pause();
                  music.resume();
                  music.stop();
              }),
              "(no error)");
}
