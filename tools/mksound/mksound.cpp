// mksound: writes Marrowfield's own music and sound effects as WAV files from the scores
// below, so the game's audio is built, not downloaded.
//
//   mksound music game/music/marrowfield.wav   a calm 16-bar loop in A minor pentatonic
//   mksound chime game/sounds/chime.wav        a short two-note bell
#include "Synth.hpp"

#include "cindra/util/FileContents.hpp"

#include <array>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

namespace {

using mksound::NoteEvent;
using mksound::Partial;
using mksound::Track;
using mksound::Voice;
using mksound::Wave;

// 108 beats a minute: one beat is exactly 24500 samples, so every note starts on a sample.
constexpr double kBeat = 60.0 / 108.0;
constexpr double kBar = 4 * kBeat;
constexpr int kBars = 16;

// MIDI note numbers of the melody's scale, A minor pentatonic.
enum : int { E4 = 64, G4 = 67, A4 = 69, C5 = 72, D5 = 74, E5 = 76, G5 = 79, A5 = 81 };

struct Chord {
    int root;                 // the bass note
    std::array<int, 3> tones; // held by the pad, broken by the arpeggio
};

constexpr Chord kAm{45, {57, 60, 64}};
constexpr Chord kF{41, {53, 57, 60}};
constexpr Chord kC{48, {55, 60, 64}};
constexpr Chord kG{43, {55, 59, 62}};
constexpr Chord kEm{40, {52, 55, 59}};

// Two eight-bar phrases; the second ends on E minor, which leads back into the first bar.
constexpr std::array<Chord, kBars> kChords = {kAm, kF, kC, kG, kAm, kF, kG,  kAm,
                                              kAm, kF, kC, kG, kF,  kG, kEm, kEm};

struct MelodyNote {
    int bar;
    double beat;
    double beats;
    int note;
};

constexpr MelodyNote kMelody[] = {
    {0, 0, 1.5, A4},  {0, 1.5, 0.5, C5},  {0, 2, 2, E5},    {1, 0, 1, D5},      {1, 1, 1, C5},
    {1, 2, 2, A4},    {2, 0, 1, G4},      {2, 1, 1, C5},    {2, 2, 1.5, E5},    {2, 3.5, 0.5, D5},
    {3, 0, 3, D5},    {4, 0, 1, E5},      {4, 1, 1, G5},    {4, 2, 1.5, A5},    {4, 3.5, 0.5, G5},
    {5, 0, 1, E5},    {5, 1, 1, D5},      {5, 2, 2, C5},    {6, 0, 1.5, D5},    {6, 1.5, 0.5, E5},
    {6, 2, 1, D5},    {6, 3, 1, G4},      {7, 0, 4, A4},    {8, 1, 0.5, C5},    {8, 1.5, 0.5, D5},
    {8, 2, 1, E5},    {8, 3, 1, A5},      {9, 0, 1.5, G5},  {9, 1.5, 0.5, E5},  {9, 2, 2, C5},
    {10, 0, 1, E5},   {10, 1, 1, G5},     {10, 2, 1, E5},   {10, 3, 1, D5},     {11, 0, 2, D5},
    {11, 2, 1, G4},   {11, 3, 1, D5},     {12, 0, 1.5, C5}, {12, 1.5, 0.5, A4}, {12, 2, 1, C5},
    {12, 3, 1, D5},   {13, 0, 1, D5},     {13, 1, 1, E5},   {13, 2, 2, G5},     {14, 0, 3, E5},
    {14, 3, 0.5, D5}, {14, 3.5, 0.5, C5}, {15, 0, 2, G4},   {15, 2, 2, E4},
};

// A soft flute-like lead: a sine with two quiet harmonics that fade faster than the tone.
const Voice kLead{Wave::Sine, {{1, 1, 1.6}, {2, 0.22, 0.5}, {3, 0.07, 0.25}}, 0.025, 0.3};
// Two slightly detuned sines that swell in and hold: a slow chorus under everything.
const Voice kPad{Wave::Sine, {{1, 0.5, 0}, {1.004, 0.5, 0}, {2, 0.12, 0}}, 0.6, 0.9};
// Round bass with a touch of octave so small speakers still hint at it.
const Voice kBass{Wave::Sine, {{1, 1, 2.5}, {2, 0.3, 0.8}}, 0.02, 0.25};
// A plucked triangle for the broken chords.
const Voice kPluck{Wave::Triangle, {{1, 1, 0.28}}, 0.004, 0.12};
// A bell: a bright, quickly fading top over a ringing fundamental.
const Voice kBell{
    Wave::Sine, {{1, 1, 0.6}, {2, 0.35, 0.3}, {3, 0.12, 0.18}, {4.16, 0.06, 0.1}}, 0.003, 0.4};

void addHarmony(Track& track) {
    constexpr std::array<int, 8> kPattern = {0, 1, 2, 1, 0, 2, 1, 2};
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& chord = kChords[static_cast<std::size_t>(bar)];
        const double at = bar * kBar;
        for (int tone : chord.tones) {
            track.add(kPad, {at, kBar - 0.3, tone, 0.10, 0.0});
        }
        track.add(kBass, {at, 2 * kBeat, chord.root, 0.32, 0.0});
        track.add(kBass, {at + 2 * kBeat, 1.5 * kBeat, chord.root, 0.24, 0.0});
        for (int i = 0; i < 8; ++i) {
            const int tone =
                chord.tones[static_cast<std::size_t>(kPattern[static_cast<std::size_t>(i)])];
            track.add(kPluck,
                      {at + i * kBeat / 2, kBeat / 2, tone + 12, 0.07, i % 2 ? 0.45 : -0.45});
        }
    }
}

Track melody(double seconds) {
    Track lead(seconds);
    for (const MelodyNote& n : kMelody) {
        lead.add(kLead,
                 {n.bar * kBar + n.beat * kBeat, n.beats * kBeat * 0.92, n.note, 0.22, -0.1});
    }
    return lead;
}

std::string music() {
    const double seconds = kBars * kBar;
    Track song(seconds);
    addHarmony(song);
    const Track lead = melody(seconds);
    song.mix(lead, 1.0);
    song.addEcho(lead, 0.75 * kBeat, 0.4, 4);
    return song.wav(0.7);
}

std::string chime() {
    Track bell(1.5);
    bell.add(kBell, {0.0, 0.9, A5, 0.5, -0.2});
    bell.add(kBell, {0.11, 0.9, A5 + 7, 0.45, 0.2}); // the fifth above, E6
    return bell.wav(0.6);
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view what = argc == 3 ? argv[1] : "";
    if (what != "music" && what != "chime") {
        std::cerr << "usage: mksound music|chime OUTPUT.wav\n";
        return 2;
    }
    try {
        cindra::util::replaceFile(argv[2], what == "music" ? music() : chime());
    } catch (const std::exception& e) {
        std::cerr << "mksound: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
