#include "cindra/audio/Sound.hpp"

#include "support/ErrorText.hpp"
#include "support/FakeMixer.hpp"

#include <gtest/gtest.h>

using cindra::audio::Sound;
using cindra::audio::SoundBank;
using cindra::test::errorOf;
using cindra::test::FakeMixer;
using Calls = std::vector<std::string>;

TEST(Sound, OneFileLoadsOnceAndPlaysOverlapping) {
    FakeMixer fake;
    SoundBank bank(fake);
    Sound(bank, "chime.wav", -1).play();
    Sound(bank, "chime.wav", -1).play();
    EXPECT_EQ(fake.calls,
              (Calls{"loadChunk chime.wav -> #1", "playChannel -1 #1 0", "playChannel -1 #1 0"}));
}

TEST(Sound, PlaysOnItsChannelOnceOrLooped) {
    FakeMixer fake;
    SoundBank bank(fake);
    Sound onThree(bank, "chime.wav", 3);
    onThree.play();
    onThree.playLooped();
    Sound anyFree(bank, "chime.wav", -1);
    anyFree.playLooped();
    EXPECT_EQ(fake.calls, (Calls{"loadChunk chime.wav -> #1", "playChannel 3 #1 0",
                                 "playChannel 3 #1 -1", "playChannel -1 #1 -1"}));
}

TEST(Sound, NamesAreComparedByteForByte) {
    FakeMixer fake;
    SoundBank bank(fake);
    for (const char* file : {"a.wav", "A.wav", "./a.wav", "a.wav", "a.wav "}) {
        Sound(bank, file, -1);
    }
    EXPECT_EQ(fake.calls, (Calls{"loadChunk a.wav -> #1", "loadChunk A.wav -> #2",
                                 "loadChunk ./a.wav -> #3", "loadChunk a.wav  -> #4"}));
}

TEST(Sound, MissingFileFailsAgainWithoutAnotherLoad) {
    FakeMixer fake;
    SoundBank bank(fake);
    fake.missing.insert("gone.wav");
    EXPECT_EQ(errorOf([&] { Sound(bank, "gone.wav", -1); }), "Could not load sound file gone.wav");
    fake.missing.clear(); // even when the file appears later, the failure is remembered
    EXPECT_EQ(errorOf([&] { Sound(bank, "gone.wav", 2); }), "Could not load sound file gone.wav");
    EXPECT_EQ(fake.calls, (Calls{"loadChunk gone.wav -> null"}));
}

TEST(Sound, CacheOutlivesSoundsAndBelongsToItsBank) {
    FakeMixer fake;
    SoundBank bank(fake);
    { Sound dropped(bank, "chime.wav", -1); }
    Sound(bank, "chime.wav", -1).play();
    SoundBank fresh(fake);
    Sound(fresh, "chime.wav", -1).play();
    EXPECT_EQ(fake.calls, (Calls{"loadChunk chime.wav -> #1", "playChannel -1 #1 0",
                                 "loadChunk chime.wav -> #2", "playChannel -1 #2 0"}));
}

TEST(Sound, WithoutDeviceEveryLoadFails) {
    cindra::audio::NullMixer silence;
    SoundBank bank(silence);
    EXPECT_EQ(errorOf([&] { Sound(bank, "chime.wav", -1).play(); }),
              "Could not load sound file chime.wav");
}
